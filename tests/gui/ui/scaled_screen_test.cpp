// On a screen scaled as Windows scales by 150 % and 200 % (ctest runs these with QT_SCALE_FACTOR
// set): the artwork is painted from its vector source at the screen's ratio, not stretched.
#include "ui/artwork_pixmap.h"
#include "ui/artwork_view.h"
#include "ui/borderless_window.h"
#include "ui/title_bar_button.h"
#include "ui/window_region.h"

#include <QApplication>
#include <QTest>
#include <QTransform>
#include <gtest/gtest.h>

namespace zorvan::ui {
namespace {

using resources::Artwork;

TEST(ScaledScreen, ArtworkIsPaintedPixelForPixelAtTheScreensRatio) {
    const qreal ratio = qApp->devicePixelRatio();
    if (ratio == 1.0) {
        GTEST_SKIP() << "the screen is not scaled";
    }
    QWidget window;
    window.resize(300, 250);
    ArtworkView front(Artwork::FrontKind43, &window);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

    const QImage shown = window.grab().toImage().convertToFormat(QImage::Format_ARGB32);
    const QImage sharp =
        artworkPixmap(Artwork::FrontKind43, ratio).toImage().convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(shown.devicePixelRatio(), ratio);
    ASSERT_GE(shown.width(), sharp.width());
    int differing = 0;
    for (int y = 0; y < sharp.height(); ++y) {
        for (int x = 0; x < sharp.width(); ++x) {
            const QRgb wanted = sharp.pixel(x, y);
            differing += qAlpha(wanted) == 255 && shown.pixel(x, y) != wanted ? 1 : 0;
        }
    }
    EXPECT_EQ(differing, 0);
}

TEST(ScaledScreen, TitleButtonsTakeTheirPicturesAtTheScreensRatio) {
    const qreal ratio = qApp->devicePixelRatio();
    if (ratio == 1.0) {
        GTEST_SKIP() << "the screen is not scaled";
    }
    QWidget window;
    TitleBarButton close(resources::TitleButton::Close, &window);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    const QPixmap picture = close.currentPicture();
    EXPECT_EQ(picture.devicePixelRatio(), ratio);
    EXPECT_EQ(picture.deviceIndependentSize().toSize(), close.size());
}

// The outline takes in whole device pixels, some of which the front's rim covers only in part; a
// light background there showed as a seam down one side at 150 %.
TEST(ScaledScreen, NothingOfTheWindowsBackgroundShowsInsideTheOutlineOfAFront) {
    const QRegion outline = roundRectRegion(5, 0, 273, 227, 30, 30);
    const auto shownOver = [&outline](const QColor& background) {
        BorderlessWindow window;
        window.resize(278, 227);
        QPalette palette = window.palette();
        palette.setColor(QPalette::Window, background);
        window.setPalette(palette);
        ArtworkView front(Artwork::FrontKind43, &window);
        window.setOutline(outline);
        window.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
        return window.grab().toImage().convertToFormat(QImage::Format_RGB32);
    };
    const QImage overWhite = shownOver(Qt::white);
    const QImage overBlack = shownOver(Qt::black);
    // The device pixels the window keeps: Qt scales a window's mask to them this way.
    const qreal ratio = qApp->devicePixelRatio();
    const QRegion kept = QTransform::fromScale(ratio, ratio).map(outline);
    int differing = 0;
    for (const QRect& band : kept) {
        for (int y = band.top(); y <= band.bottom(); ++y) {
            for (int x = band.left(); x <= band.right(); ++x) {
                differing += overWhite.pixel(x, y) != overBlack.pixel(x, y) ? 1 : 0;
            }
        }
    }
    EXPECT_EQ(differing, 0);
}

} // namespace
} // namespace zorvan::ui
