#include "ui/borderless_window.h"

#include <QTest>
#include <gtest/gtest.h>

namespace zorvan::ui {
namespace {

TEST(Dragging, WindowFollowsTheGrabbedPoint) {
    BorderlessWindow window;
    window.resize(278, 227);
    window.move(100, 100);

    window.beginDrag({40, 50});
    window.dragTo({43, 46});
    EXPECT_EQ(window.pos(), QPoint(103, 96));
    // Positions stay in coordinates that moved with the window, so holding the mouse
    // still at the grabbed point keeps the window where it is.
    window.dragTo({40, 50});
    EXPECT_EQ(window.pos(), QPoint(103, 96));
    window.endDrag();
    window.dragTo({90, 90});
    EXPECT_EQ(window.pos(), QPoint(103, 96));
}

TEST(Dragging, LeftButtonOnAHandleMovesTheWindowByTheMouseDelta) {
    BorderlessWindow window;
    window.resize(278, 227);
    auto* handle = new QWidget(&window);
    handle->setGeometry(window.rect());
    window.dragWith(handle);
    window.move(100, 100);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    const QPoint start = window.pos();

    QTest::mousePress(handle, Qt::LeftButton, {}, {10, 10});
    EXPECT_TRUE(window.isDragging());
    QTest::mouseMove(handle, {30, 25});
    EXPECT_EQ(window.pos(), start + QPoint(20, 15));
    QTest::mouseRelease(handle, Qt::LeftButton, {}, {10, 10});
    EXPECT_FALSE(window.isDragging());

    QTest::mousePress(handle, Qt::RightButton, {}, {10, 10});
    EXPECT_FALSE(window.isDragging());
    QTest::mouseRelease(handle, Qt::RightButton, {}, {10, 10});
}

} // namespace
} // namespace zorvan::ui
