#include "ui/window_position.h"

#include <gtest/gtest.h>

namespace zorvan::ui {
namespace {

const QSize kMainWindow{278, 227};
const QRect kScreen{0, 0, 1920, 1080};

struct ClampRow {
    QPoint saved;
    QSize window;
    QRect screen;
    QPoint expected;
};

TEST(WindowPosition, ClampsSavedPositionsOntoTheScreen) {
    const ClampRow rows[] = {
        {{-50, -50}, kMainWindow, kScreen, {0, 0}},
        {{5000, 5000}, kMainWindow, kScreen, {1920 - 278, 1080 - 227 - 20}},
        {{100, 200}, kMainWindow, kScreen, {100, 200}},
        {{1642, 833}, kMainWindow, kScreen, {1642, 833}},
        {{1643, 834}, kMainWindow, kScreen, {1642, 833}},
        {{-5, 900}, kMainWindow, kScreen, {0, 833}},
        // A screen that does not start at the origin keeps windows inside its own area.
        {{1800, -10}, kMainWindow, {1920, 0, 1280, 1024}, {1920, 0}},
        // The right-edge rule comes last, so an over-wide window ends flush right.
        {{10, 10}, {2000, 227}, kScreen, {-80, 10}},
    };
    for (const ClampRow& row : rows) {
        EXPECT_EQ(clampToScreen(row.saved, row.window, row.screen), row.expected)
            << "saved " << row.saved.x() << ',' << row.saved.y();
    }
}

TEST(WindowPosition, PlacesSmallWindowsCentredAcrossAndAThirdDownTheOwner) {
    const QRect owner{100, 100, 278, 227};
    EXPECT_EQ(positionOverOwner(owner, {205, 103}), QPoint(136, 141));
    // A window larger than its owner: the halves and thirds truncate toward zero.
    EXPECT_EQ(positionOverOwner(owner, {412, 297}), QPoint(33, 77));
}

} // namespace
} // namespace zorvan::ui
