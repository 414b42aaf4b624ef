#include "chart/stroke_raster.h"

#include <algorithm>

namespace zorvan::chart {
namespace {

// Rows are grouped in bands of this many: the part of a tall stroke that covers whole bands goes
// into row runs, the rest down its column. A shorter stroke goes down its column whole: its runs
// would mostly be as narrow as itself, written once more when they end.
constexpr int kBandShift = 4;
constexpr int kBandRows = 1 << kBandShift;
constexpr int kMinRunBands = 3;

class Writer {
public:
    explicit Writer(const StrokeTarget& target) : target_(target) {}

    QRgb* at(int x, int y) const {
        return target_.bits + qsizetype(y + target_.offset.y()) * target_.stride +
               (x + target_.offset.x());
    }

    void column(int x, int top, int bottom, QRgb pixel) const {
        QRgb* p = at(x, top);
        for (int y = top; y <= bottom; ++y, p += target_.stride) {
            *p = pixel;
        }
    }

    void rows(int left, int right, int top, int bottom, QRgb pixel) const {
        for (int y = top; y <= bottom; ++y) {
            QRgb* row = at(0, y);
            std::fill(row + left, row + right + 1, pixel);
        }
    }

private:
    const StrokeTarget& target_;
};

// A run of whole-band stroke parts in neighbouring columns, all of one pixel.
struct BandRun {
    int left = 0;
    int end = 0; // one past the last column; equal to left while there is no run
    QRgb pixel = 0;
};

// Bands are counted from the top of the clip, so every band lies within it.
void writeOrdered(const Writer& writer, QRect clip, const std::vector<Stroke>& strokes) {
    std::vector<BandRun> runs(std::size_t(clip.height() >> kBandShift) + 1);
    const auto flush = [&](std::size_t band) {
        BandRun& run = runs[band];
        if (run.end > run.left) {
            const int top = clip.top() + int(band << kBandShift);
            writer.rows(run.left, run.end - 1, top, top + kBandRows - 1, run.pixel);
        }
        run.end = run.left;
    };
    for (const Stroke& stroke : strokes) {
        const int left = std::max(stroke.left, clip.left());
        const int right = std::min(stroke.left + stroke.width - 1, clip.right());
        const int top = std::max(stroke.top, clip.top());
        const int bottom = std::min(stroke.bottom, clip.bottom());
        if (left > right || top > bottom) {
            continue;
        }
        const int firstBand = (top - clip.top() + kBandRows - 1) >> kBandShift;
        const int endBand = (bottom - clip.top() + 1) >> kBandShift;
        if (endBand - firstBand < kMinRunBands) {
            for (int x = left; x <= right; ++x) {
                writer.column(x, top, bottom, stroke.pixel);
            }
            continue;
        }
        for (int x = left; x <= right; ++x) {
            writer.column(x, top, clip.top() + (firstBand << kBandShift) - 1, stroke.pixel);
            writer.column(x, clip.top() + (endBand << kBandShift), bottom, stroke.pixel);
        }
        for (int band = firstBand; band < endBand; ++band) {
            BandRun& run = runs[std::size_t(band)];
            if (run.end < left || run.pixel != stroke.pixel) {
                flush(std::size_t(band));
                run.left = left;
                run.pixel = stroke.pixel;
            }
            run.end = std::max(run.end, right + 1);
        }
    }
    for (std::size_t band = 0; band < runs.size(); ++band) {
        flush(band);
    }
}

} // namespace

void writeStrokes(const StrokeTarget& target, const std::vector<Stroke>& strokes, bool ordered) {
    const Writer writer(target);
    if (ordered) {
        writeOrdered(writer, target.clip, strokes);
        return;
    }
    for (const Stroke& stroke : strokes) {
        const QRect clipped =
            QRect(stroke.left, stroke.top, stroke.width, stroke.bottom - stroke.top + 1)
                .intersected(target.clip);
        for (int x = clipped.left(); x <= clipped.right(); ++x) {
            writer.column(x, clipped.top(), clipped.bottom(), stroke.pixel);
        }
    }
}

} // namespace zorvan::chart
