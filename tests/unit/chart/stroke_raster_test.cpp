#include "chart/stroke_raster.h"

#include <gtest/gtest.h>
#include <random>

namespace zorvan::chart {
namespace {

// Row runs must put every stroke pixel where writing it down its column puts it, and nothing
// outside the clip: strokes of all heights, band-aligned or not, touching, apart, of changing
// colour, partly or wholly outside a clip that itself starts off the bands.
TEST(StrokeRaster, RowRunsWriteExactlyTheStrokePixelsWithinTheClip) {
    constexpr int kWidth = 300;
    constexpr int kHeight = 200;
    const QRect clip(7, 5, 280, 181);
    const QPoint offset(3, -2);
    const QRgb pixels[] = {0xff102030, 0xff405060, 0xff708090};
    std::mt19937 random(11);
    std::uniform_int_distribution<int> row(-20, kHeight + 20);
    std::uniform_int_distribution<int> gap(0, 2);
    std::uniform_int_distribution<int> colour(0, 2);
    std::bernoulli_distribution keepColour(0.9);
    for (int trial = 0; trial < 20; ++trial) {
        std::vector<Stroke> strokes;
        int pixel = 0;
        for (int x = -5; x < kWidth + 5; x += 1 + gap(random)) {
            const int a = row(random);
            const int b = row(random);
            pixel = keepColour(random) ? pixel : colour(random);
            strokes.push_back({x, 1, std::min(a, b), std::max(a, b), pixels[pixel]});
        }
        std::vector<QRgb> got(kWidth * kHeight, 0);
        std::vector<QRgb> want(kWidth * kHeight, 0);
        writeStrokes({got.data(), kWidth, offset, clip}, strokes, true);
        for (const Stroke& stroke : strokes) {
            for (int y = stroke.top; y <= stroke.bottom; ++y) {
                if (clip.contains(stroke.left, y)) {
                    want[std::size_t((y + offset.y()) * kWidth + stroke.left + offset.x())] =
                        stroke.pixel;
                }
            }
        }
        ASSERT_EQ(got, want) << "trial " << trial;
    }
}

} // namespace
} // namespace zorvan::chart
