#include "ui/borderless_window.h"
#include "ui/window_region.h"

#include <QCoreApplication>
#include <QSignalSpy>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <gtest/gtest.h>

namespace zorvan::ui {
namespace {

class CountingWindow : public BorderlessWindow {
public:
    int closePreparations = 0;

protected:
    void prepareForClosing() override { ++closePreparations; }
};

struct WindowShape {
    const char* name;
    QSize size;
    QRegion outline;
    RevealSteps steps;
    int openingTicks;
    int closingTicksToFinish;
};

// The three windows the program reveals: a panel window, the message window and the
// connection settings window.
std::vector<WindowShape> windowShapes() {
    const QSize panel{278, 227};
    const QSize message{205, 103};
    const QSize settings{412, 297};
    return {
        {"panel", panel, roundRectRegion(5, 0, 273, 227, 30, 30), centreEllipseReveal(panel), 56,
         57},
        {"message", message, roundRectRegion(5, 5, 200, 98, 20, 15), cornerEllipseReveal(message),
         28, 211},
        {"settings", settings, roundRectRegion(5, 0, 407, 292, 20, 15),
         topDownReveal(settings.width()), 83, 29},
    };
}

void prepare(BorderlessWindow& window, const WindowShape& shape) {
    window.resize(shape.size);
    window.setOutline(shape.outline);
    window.startReveal(shape.steps);
}

void tick(int count, void (BorderlessWindow::*step)(), BorderlessWindow& window) {
    for (int i = 0; i < count; ++i) {
        (window.*step)();
    }
}

TEST(WindowRegion, OutlineIsARoundedRectangleWithExclusiveRightAndBottomEdges) {
    const QRegion outline = roundRectRegion(5, 0, 273, 227, 30, 30);
    EXPECT_EQ(outline.boundingRect(), QRect(5, 0, 268, 227));
    EXPECT_FALSE(outline.contains(QPoint(5, 0)));
    EXPECT_FALSE(outline.contains(QPoint(272, 226)));
    EXPECT_TRUE(outline.contains(QPoint(20, 0)));
    EXPECT_TRUE(outline.contains(QPoint(5, 15)));
    EXPECT_TRUE(outline.contains(QPoint(272, 113)));
    EXPECT_FALSE(outline.contains(QPoint(273, 113)));
    // The corners are mirror images of each other.
    for (int d = 0; d < 15; ++d) {
        EXPECT_EQ(outline.contains(QPoint(5 + d, d)), outline.contains(QPoint(272 - d, d)));
        EXPECT_EQ(outline.contains(QPoint(5 + d, d)), outline.contains(QPoint(5 + d, 226 - d)));
    }
}

TEST(BorderlessWindow, PanelWindowGrowsFromACentreDotToTheFullOutline) {
    const WindowShape shape = windowShapes()[0];
    BorderlessWindow window;
    QSignalSpy opened(&window, &BorderlessWindow::opened);
    prepare(window, shape);
    EXPECT_TRUE(QRect(138, 112, 2, 2).contains(window.revealRegion().boundingRect()));

    window.openingTick();
    EXPECT_EQ(window.revealExtent(), 6);
    // Ellipse box W/2 - 6, H/2 - 3*6/4 .. W/2 + 6, H/2 + 4 with W/2 = 139, H/2 = 113.
    EXPECT_EQ(window.revealRegion().boundingRect(), QRect(133, 109, 12, 8));

    tick(54, &BorderlessWindow::openingTick, window);
    EXPECT_EQ(window.revealExtent(), 276);
    EXPECT_EQ(window.phase(), BorderlessWindow::Phase::Opening);
    EXPECT_EQ(opened.count(), 0);

    window.openingTick();
    EXPECT_EQ(window.revealExtent(), 281);
    EXPECT_EQ(window.phase(), BorderlessWindow::Phase::Open);
    EXPECT_EQ(window.revealRegion(), shape.outline);
    EXPECT_EQ(window.mask(), shape.outline);
    EXPECT_EQ(opened.count(), 1);

    window.openingTick();
    EXPECT_EQ(window.revealExtent(), 281);
    EXPECT_EQ(opened.count(), 1);
}

TEST(BorderlessWindow, FirstCloseRequestStartsTheClosingAnimationAndOnlyOne) {
    CountingWindow window;
    prepare(window, windowShapes()[0]);
    tick(56, &BorderlessWindow::openingTick, window);
    window.show();
    QSignalSpy finished(&window, &BorderlessWindow::closingFinished);

    EXPECT_FALSE(window.close());
    EXPECT_FALSE(window.close());
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(window.phase(), BorderlessWindow::Phase::Closing);
    EXPECT_EQ(window.closePreparations, 1);

    window.closingTick();
    EXPECT_EQ(window.revealExtent(), 276);
    EXPECT_FALSE(window.close());
    EXPECT_EQ(window.revealExtent(), 276);

    tick(55, &BorderlessWindow::closingTick, window);
    EXPECT_EQ(window.revealExtent(), 1);
    EXPECT_EQ(window.revealRegion().boundingRect(), QRect(133, 109, 12, 8));
    EXPECT_EQ(finished.count(), 0);
    EXPECT_TRUE(window.isVisible());

    window.closingTick();
    EXPECT_EQ(finished.count(), 1);
    EXPECT_TRUE(window.closingDone());
    EXPECT_FALSE(window.isVisible());

    window.closingTick();
    EXPECT_EQ(finished.count(), 1);
    EXPECT_EQ(window.closePreparations, 1);
}

TEST(BorderlessWindow, CloseDuringTheOpeningShrinksFromTheRadiusReached) {
    BorderlessWindow window;
    QSignalSpy opened(&window, &BorderlessWindow::opened);
    prepare(window, windowShapes()[1]);
    tick(3, &BorderlessWindow::openingTick, window);
    EXPECT_EQ(window.revealExtent(), 46);

    window.close();
    window.openingTick();
    EXPECT_EQ(window.revealExtent(), 46);
    window.closingTick();
    EXPECT_EQ(window.revealExtent(), 44);
    EXPECT_EQ(opened.count(), 0);
}

TEST(BorderlessWindow, EachRevealShapeOpensAndClosesInItsNumberOfTicks) {
    for (const WindowShape& shape : windowShapes()) {
        SCOPED_TRACE(shape.name);
        BorderlessWindow window;
        QSignalSpy opened(&window, &BorderlessWindow::opened);
        QSignalSpy finished(&window, &BorderlessWindow::closingFinished);
        prepare(window, shape);
        tick(shape.openingTicks - 1, &BorderlessWindow::openingTick, window);
        EXPECT_EQ(opened.count(), 0);
        window.openingTick();
        EXPECT_EQ(opened.count(), 1);
        EXPECT_EQ(window.revealRegion(), shape.outline);

        window.close();
        tick(shape.closingTicksToFinish - 1, &BorderlessWindow::closingTick, window);
        EXPECT_EQ(finished.count(), 0);
        window.closingTick();
        EXPECT_EQ(finished.count(), 1);
    }
}

TEST(BorderlessWindow, CornerRevealShowsAQuarterEllipseAtTheTopLeft) {
    BorderlessWindow window;
    prepare(window, windowShapes()[1]);
    // The first 2 x 2 box lies outside the outline, which starts at (5, 5).
    EXPECT_TRUE(window.revealRegion().isEmpty());
    EXPECT_FALSE(window.mask().isEmpty());
    EXPECT_FALSE(window.mask().intersects(window.rect()));

    window.openingTick();
    EXPECT_EQ(window.revealExtent(), 16);
    EXPECT_TRUE(window.revealRegion().contains(QPoint(10, 8)));
    EXPECT_FALSE(window.revealRegion().contains(QPoint(15, 11)));
    EXPECT_FALSE(window.revealRegion().contains(QPoint(3, 3)));
}

TEST(BorderlessWindow, TopDownRevealUnrollsFullWidthBands) {
    BorderlessWindow window;
    prepare(window, windowShapes()[2]);
    EXPECT_EQ(window.revealRegion().boundingRect().bottom(), 1);
    window.openingTick();
    EXPECT_EQ(window.revealRegion().boundingRect().bottom(), 6);
    EXPECT_TRUE(window.revealRegion().contains(QPoint(206, 6)));
    EXPECT_FALSE(window.revealRegion().contains(QPoint(206, 7)));
}

TEST(BorderlessWindow, ShowModalReturnsOnceTheClosingAnimationHasRun) {
    BorderlessWindow window;
    prepare(window, windowShapes()[1]);
    QTimer::singleShot(0, &window, [&window] { window.close(); });
    window.showModal();
    EXPECT_TRUE(window.closingDone());
    EXPECT_FALSE(window.isVisible());
}

using RevealClock = std::chrono::steady_clock;

// Runs the window's own timers until `running` ends; returns when each tick changed the extent.
std::vector<RevealClock::time_point> ticksWhile(BorderlessWindow& window,
                                                BorderlessWindow::Phase running) {
    std::vector<RevealClock::time_point> ticks;
    int extent = window.revealExtent();
    const auto deadline = RevealClock::now() + std::chrono::seconds(20);
    while (window.phase() == running && RevealClock::now() < deadline) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        if (window.revealExtent() != extent) {
            extent = window.revealExtent();
            ticks.push_back(RevealClock::now());
        }
    }
    return ticks;
}

// A late machine only stretches timer intervals, so the whole run is a floor for the period;
// the median interval, which a few late ticks do not move, bounds it from above.
void expectPeriod(RevealClock::time_point start, std::vector<RevealClock::time_point> ticks,
                  int periodMs) {
    ASSERT_GE(ticks.size(), 2u);
    const std::chrono::duration<double, std::milli> total = ticks.back() - start;
    EXPECT_GE(total.count(), 0.9 * periodMs * static_cast<double>(ticks.size()));
    std::vector<double> intervals;
    for (std::size_t i = 1; i < ticks.size(); ++i) {
        intervals.push_back(
            std::chrono::duration<double, std::milli>(ticks[i] - ticks[i - 1]).count());
    }
    std::nth_element(intervals.begin(), intervals.begin() + intervals.size() / 2, intervals.end());
    EXPECT_LT(intervals[intervals.size() / 2], 1.5 * periodMs);
}

TEST(BorderlessWindow, PanelRevealOpensEveryTenMillisecondsAndClosesEveryTwenty) {
    BorderlessWindow window;
    const WindowShape panel = windowShapes()[0];
    const auto opening = RevealClock::now();
    prepare(window, panel);
    window.show();
    const auto openTicks = ticksWhile(window, BorderlessWindow::Phase::Opening);
    EXPECT_EQ(openTicks.size(), std::size_t(panel.openingTicks));
    expectPeriod(opening, openTicks, 10);

    const auto closing = RevealClock::now();
    window.close();
    expectPeriod(closing, ticksWhile(window, BorderlessWindow::Phase::Closing), 20);
}

} // namespace
} // namespace zorvan::ui
