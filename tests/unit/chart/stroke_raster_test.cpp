#include "chart/stroke_raster.h"

#include <gtest/gtest.h>
#include <random>

namespace zorvan::chart {
namespace {

// Each pixel must end as the last stroke over it leaves it, and nothing outside the clip be
// touched: strokes of all heights and of widths that overlap their neighbours, band-aligned or
// not, touching, apart, of changing colour, in one to three passes over the width as the series
// of a chart come, partly or wholly outside a clip that itself starts off the bands.
TEST(StrokeRaster, EveryPixelIsTheLastStrokeOverItWithinTheClip) {
    constexpr int kWidth = 300;
    constexpr int kHeight = 200;
    const QRect clip(7, 5, 280, 181);
    const QPoint offset(3, -2);
    const QRgb pixels[] = {0xff102030, 0xff405060, 0xff708090};
    std::mt19937 random(11);
    std::uniform_int_distribution<int> row(-20, kHeight + 20);
    std::uniform_int_distribution<int> gap(0, 2);
    std::uniform_int_distribution<int> width(1, 3);
    std::uniform_int_distribution<int> colour(0, 2);
    std::bernoulli_distribution keepColour(0.9);
    StrokeWriter writer;
    for (int trial = 0; trial < 30; ++trial) {
        std::vector<Stroke> strokes;
        for (int pass = 0; pass <= trial % 3; ++pass) {
            int pixel = colour(random);
            for (int x = -5; x < kWidth + 5; x += gap(random)) {
                const int a = row(random);
                const int b = row(random);
                pixel = keepColour(random) ? pixel : colour(random);
                strokes.push_back({x, trial % 2 ? width(random) : 1, std::min(a, b), std::max(a, b),
                                   pixels[pixel]});
            }
        }
        std::vector<QRgb> got(kWidth * kHeight, 0);
        std::vector<QRgb> want(kWidth * kHeight, 0);
        writer.write({got.data(), kWidth, offset, clip}, strokes);
        for (const Stroke& stroke : strokes) {
            for (int x = stroke.left; x < stroke.left + stroke.width; ++x) {
                for (int y = stroke.top; y <= stroke.bottom; ++y) {
                    if (clip.contains(x, y)) {
                        want[std::size_t((y + offset.y()) * kWidth + x + offset.x())] =
                            stroke.pixel;
                    }
                }
            }
        }
        ASSERT_EQ(got, want) << "trial " << trial;
    }
}

} // namespace
} // namespace zorvan::chart
