#include "ui/title_bar_button.h"

#include <QCursor>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace zorvan::ui {
namespace {

using State = TitleBarButton::State;

const QPoint kAway{1000, 700};

class TitleBarButtonTest : public ::testing::Test {
protected:
    // Hover follows the platform's one mouse cursor, so every test starts and ends
    // with it away from the windows.
    void SetUp() override {
        QCursor::setPos(kAway);
        parent.resize(278, 40);
        button = new TitleBarButton(resources::TitleButton::Close, &parent);
        button->move(209, 0);
        parent.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&parent));
    }

    void TearDown() override { QCursor::setPos(kAway); }

    bool shows(State state) const {
        return button->currentPicture().cacheKey() == button->picture(state).cacheKey();
    }

    QWidget parent;
    TitleBarButton* button = nullptr;
};

TEST_F(TitleBarButtonTest, PictureFollowsTheMouse) {
    QSignalSpy clicked(button, &TitleBarButton::clicked);
    EXPECT_EQ(button->size(), QSize(46, 20));
    EXPECT_TRUE(shows(State::Normal));

    QTest::mouseMove(button, {10, 10});
    EXPECT_TRUE(shows(State::Hover));
    QTest::mousePress(button, Qt::LeftButton, {}, {10, 10});
    EXPECT_TRUE(shows(State::Pressed));
    QTest::mouseRelease(button, Qt::LeftButton, {}, {10, 10});
    EXPECT_TRUE(shows(State::Hover));
    EXPECT_EQ(clicked.count(), 1);

    QTest::mouseMove(&parent, {20, 30});
    EXPECT_TRUE(shows(State::Normal));
}

TEST_F(TitleBarButtonTest, OtherButtonsPressButDoNotClick) {
    QSignalSpy clicked(button, &TitleBarButton::clicked);
    QTest::mouseMove(button, {10, 10});
    QTest::mousePress(button, Qt::RightButton, {}, {10, 10});
    EXPECT_TRUE(shows(State::Pressed));
    QTest::mouseRelease(button, Qt::RightButton, {}, {10, 10});
    EXPECT_TRUE(shows(State::Hover));
    EXPECT_EQ(clicked.count(), 0);
}

TEST_F(TitleBarButtonTest, ThreePicturesDiffer) {
    const QImage normal = button->picture(State::Normal).toImage();
    const QImage hover = button->picture(State::Hover).toImage();
    const QImage pressed = button->picture(State::Pressed).toImage();
    EXPECT_NE(normal, hover);
    EXPECT_NE(hover, pressed);
    EXPECT_NE(normal, pressed);
}

} // namespace
} // namespace zorvan::ui
