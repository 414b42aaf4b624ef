#include "panel/message_window.h"
#include "tests/support/picture_folder.h"
#include "ui/window_picture.h"
#include "ui/window_position.h"
#include "ui/window_region.h"

#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace zorvan::panel {
namespace {

using Phase = ui::BorderlessWindow::Phase;

constexpr QSize kMainWindow{278, 227};

void openingTicks(TFormMessage& window, int count) {
    for (int i = 0; i < count; ++i) {
        window.openingTick();
    }
}

TEST(MessageWindow, OpensFromTheTopLeftCornerInTwentyEightTicks) {
    QWidget owner;
    owner.setGeometry(QRect({100, 100}, kMainWindow));
    TFormMessage window(&owner);
    window.show();
    EXPECT_EQ(window.phase(), Phase::Opening);
    EXPECT_EQ(window.revealExtent(), 1);
    EXPECT_EQ(window.ButtonPusto->size(), QSize(0, 0));
    EXPECT_EQ(window.focusWidget(), window.ButtonPusto);

    openingTicks(window, 10);
    EXPECT_TRUE(window.revealRegion().contains(QPoint(10, 10)));
    EXPECT_FALSE(window.revealRegion().contains(QPoint(150, 80)));
    // The whole outline shows from r = 256 on, yet the growing goes on to twice the width.
    openingTicks(window, 17);
    EXPECT_EQ(window.phase(), Phase::Opening);
    window.openingTick();
    EXPECT_EQ(window.phase(), Phase::Open);
    EXPECT_EQ(window.revealExtent(), 421);
    EXPECT_EQ(window.mask(), ui::roundRectRegion(5, 5, 200, 98, 20, 15));
}

TEST(MessageWindow, OpensOverItsOwnerAndStaysClearOfTheScreenEdges) {
    const QRect screen = ui::availableScreenArea({});
    const QPoint lowestRight{screen.left() + screen.width() - 205,
                             screen.top() + screen.height() - 103 - 20};
    const struct {
        QPoint owner;
        QPoint expected;
    } rows[] = {
        {{100, 100}, {136, 141}},
        // Owner at the lower right corner: pulled back inside, 20 pixels above the bottom.
        {{screen.right() - 100, screen.bottom() - 50}, lowestRight},
        {{screen.left() - 200, screen.top() - 150}, screen.topLeft()},
    };
    for (const auto& row : rows) {
        QWidget owner;
        owner.setGeometry(QRect(row.owner, kMainWindow));
        TFormMessage window(&owner);
        window.show();
        EXPECT_EQ(window.pos(), row.expected)
            << "owner at " << row.owner.x() << ',' << row.owner.y();
    }
}

TEST(MessageWindow, DraggingByThePanelOrTheLabelFollowsTheMouse) {
    TFormMessage window;
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    for (QWidget* handle : {window.paMessage, static_cast<QWidget*>(window.laMessage)}) {
        SCOPED_TRACE(handle->objectName().toStdString());
        const QPoint start = window.pos();
        QTest::mousePress(handle, Qt::LeftButton, {}, {20, 30});
        QTest::mouseMove(handle, {27, 25});
        QTest::mouseRelease(handle, Qt::LeftButton, {}, {20, 30});
        EXPECT_EQ(window.pos(), start + QPoint(7, -5));
    }
}

// The user presses "OK" while the notice is still growing.
TEST(MessageWindow, OkDuringTheOpeningClosesFromTheRadiusReachedAndEndsTheModalShowing) {
    QWidget owner;
    owner.setGeometry(QRect({100, 100}, kMainWindow));
    int extentAtOk = 0;
    int extentAfterOk = 0;
    Phase phaseAfterOk = Phase::Idle;
    QTimer watcher;
    QObject::connect(&watcher, &QTimer::timeout, [&] {
        auto* window = owner.findChild<TFormMessage*>();
        if (extentAtOk != 0 || window == nullptr || window->revealExtent() < 100) {
            return;
        }
        extentAtOk = window->revealExtent();
        window->BitBtnOK->click();
        phaseAfterOk = window->phase();
        window->closingTick();
        extentAfterOk = window->revealExtent();
    });
    watcher.start(1);
    bool gaveUp = false;
    QTimer::singleShot(10000, &watcher, [&gaveUp] {
        gaveUp = true;
        QCoreApplication::exit(1);
    });

    TFormMessage::showMessageWindow(&owner);

    ASSERT_FALSE(gaveUp) << "the modal showing did not end";
    EXPECT_LT(extentAtOk, 421);
    EXPECT_EQ(phaseAfterOk, Phase::Closing);
    EXPECT_EQ(extentAfterOk, extentAtOk - 2);
    EXPECT_EQ(owner.findChild<TFormMessage*>(), nullptr);
}

using MessageWindowPictures = zorvan::testing::PictureTest;

// White text on the dark red panel: antialiased, so its pixels are light rather than white.
int lightPixelsInRows(const QImage& image, int top, int bottom) {
    int count = 0;
    for (int y = top; y < bottom; ++y) {
        for (int x = 0; x < image.width(); ++x) {
            count += qGreen(image.pixel(x, y)) > 160 ? 1 : 0;
        }
    }
    return count;
}

TEST_F(MessageWindowPictures, NoticeAsDrawnWhileGrowingAndOpen) {
    TFormMessage window;
    EXPECT_EQ(window.laMessage->text(), QStringLiteral("Ошибка связи с прибором !"));
    EXPECT_EQ(window.BitBtnOK->text(), QStringLiteral("OK"));
    EXPECT_EQ(window.BitBtnOK->geometry(), QRect(64, 56, 75, 25));
    window.show();
    openingTicks(window, 8);
    const QImage growing = ui::renderWindowPicture(window);
    save(growing, QStringLiteral("message_r121"));
    EXPECT_EQ(growing.pixel(20, 20), qRgb(128, 0, 0));
    EXPECT_EQ(qAlpha(growing.pixel(150, 90)), 0);

    openingTicks(window, 20);
    const QImage open = ui::renderWindowPicture(window);
    save(open, QStringLiteral("message_open"));
    EXPECT_EQ(open.size(), QSize(205, 103));
    EXPECT_EQ(qAlpha(open.pixel(2, 2)), 0);
    EXPECT_EQ(open.pixel(180, 90), qRgb(128, 0, 0));
    // White text in the band above the button, nothing above the label.
    EXPECT_GT(lightPixelsInRows(open, 22, 50), 100);
    EXPECT_EQ(lightPixelsInRows(open, 0, 22), 0);
}

} // namespace
} // namespace zorvan::panel
