// On a screen scaled as Windows scales by 150 % and 200 % (ctest runs these with QT_SCALE_FACTOR
// set): the artwork is painted from its vector source at the screen's ratio, not stretched.
#include "ui/artwork_pixmap.h"
#include "ui/artwork_view.h"
#include "ui/title_bar_button.h"

#include <QApplication>
#include <QTest>
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

} // namespace
} // namespace zorvan::ui
