#include "chart/stroke_raster.h"

#include <algorithm>
#include <numeric>

namespace zorvan::chart {
namespace {

// Rows are grouped in bands of this many: the part of a tall stroke that covers whole bands goes
// into row runs, the rest down its column. A shorter stroke goes down its column whole: its runs
// would mostly be as narrow as itself, written once more when they end.
constexpr int kBandShift = 4;
constexpr int kBandRows = 1 << kBandShift;
constexpr int kMinRunBands = 3;

QRgb* pixelAt(const StrokeTarget& target, int x, int y) {
    return target.bits + qsizetype(y + target.offset.y()) * target.stride + (x + target.offset.x());
}

void writeDown(const StrokeTarget& target, int x, int top, int bottom, QRgb pixel) {
    QRgb* p = pixelAt(target, x, top);
    for (int y = top; y <= bottom; ++y, p += target.stride) {
        *p = pixel;
    }
}

} // namespace

// Bands are counted from the top of the clip, so every band lies within it.
void StrokeWriter::write(const StrokeTarget& target, std::span<const Stroke> strokes) {
    const QRect& clip = target.clip;
    if (clip.isEmpty()) {
        return;
    }
    sortIntoColumns(clip, strokes);
    runs_.assign(std::size_t(clip.height() >> kBandShift) + 1, {});
    for (int column = 0; column < clip.width(); ++column) {
        const Span* spans = spans_.data();
        writeColumn(target, clip.left() + column, spans + columnStarts_[std::size_t(column)],
                    spans + columnStarts_[std::size_t(column) + 1]);
    }
    for (std::size_t band = 0; band < runs_.size(); ++band) {
        flushRun(target, band);
    }
}

// A counting sort: the spans of each column stay in the order of their strokes.
void StrokeWriter::sortIntoColumns(const QRect& clip, std::span<const Stroke> strokes) {
    const auto clipped = [&](const Stroke& stroke, auto each) {
        const int top = std::max(stroke.top, clip.top());
        const int bottom = std::min(stroke.bottom, clip.bottom());
        const int left = std::max(stroke.left, clip.left());
        const int right = std::min(stroke.left + stroke.width - 1, clip.right());
        if (top > bottom) {
            return;
        }
        for (int x = left; x <= right; ++x) {
            each(std::size_t(x - clip.left()), Span{top, bottom, stroke.pixel});
        }
    };
    columnStarts_.assign(std::size_t(clip.width()) + 1, 0);
    for (const Stroke& stroke : strokes) {
        clipped(stroke, [&](std::size_t column, const Span&) { ++columnStarts_[column + 1]; });
    }
    std::partial_sum(columnStarts_.begin(), columnStarts_.end(), columnStarts_.begin());
    spans_.resize(std::size_t(columnStarts_.back()));
    next_.assign(columnStarts_.begin(), columnStarts_.end() - 1);
    for (const Stroke& stroke : strokes) {
        clipped(stroke, [&](std::size_t column, const Span& span) {
            spans_[std::size_t(next_[column]++)] = span;
        });
    }
}

// From the last span up: each shows only where no later one lies over it.
void StrokeWriter::writeColumn(const StrokeTarget& target, int x, const Span* first,
                               const Span* end) {
    if (end - first == 1) {
        writeVisible(target, x, first->top, first->bottom, first->pixel);
        return;
    }
    covered_.clear();
    for (const Span* span = end; span-- != first;) {
        int from = span->top;
        for (const Span& under : covered_) {
            if (under.top > span->bottom || from > span->bottom) {
                break;
            }
            if (under.bottom < from) {
                continue;
            }
            if (under.top > from) {
                writeVisible(target, x, from, under.top - 1, span->pixel);
            }
            from = under.bottom + 1;
        }
        if (from <= span->bottom) {
            writeVisible(target, x, from, span->bottom, span->pixel);
        }
        cover(span->top, span->bottom);
    }
}

// Adds rows [top, bottom] to the covered ones, merging what they touch.
void StrokeWriter::cover(int top, int bottom) {
    auto first = covered_.begin();
    while (first != covered_.end() && first->bottom + 1 < top) {
        ++first;
    }
    auto last = first;
    while (last != covered_.end() && last->top <= bottom + 1) {
        top = std::min(top, last->top);
        bottom = std::max(bottom, last->bottom);
        ++last;
    }
    if (first == last) {
        covered_.insert(first, {top, bottom, 0});
        return;
    }
    *first = {top, bottom, 0};
    covered_.erase(first + 1, last);
}

void StrokeWriter::writeVisible(const StrokeTarget& target, int x, int top, int bottom,
                                QRgb pixel) {
    const int clipTop = target.clip.top();
    const int firstBand = (top - clipTop + kBandRows - 1) >> kBandShift;
    const int endBand = (bottom - clipTop + 1) >> kBandShift;
    if (endBand - firstBand < kMinRunBands) {
        writeDown(target, x, top, bottom, pixel);
        return;
    }
    writeDown(target, x, top, clipTop + (firstBand << kBandShift) - 1, pixel);
    writeDown(target, x, clipTop + (endBand << kBandShift), bottom, pixel);
    for (int band = firstBand; band < endBand; ++band) {
        BandRun& run = runs_[std::size_t(band)];
        if (run.end != x || run.pixel != pixel) {
            flushRun(target, std::size_t(band));
            run.left = x;
            run.pixel = pixel;
        }
        run.end = x + 1;
    }
}

void StrokeWriter::flushRun(const StrokeTarget& target, std::size_t band) {
    BandRun& run = runs_[band];
    if (run.end > run.left) {
        const int top = target.clip.top() + int(band << kBandShift);
        for (int y = top; y < top + kBandRows; ++y) {
            QRgb* row = pixelAt(target, 0, y);
            std::fill(row + run.left, row + run.end, run.pixel);
        }
    }
    run.end = run.left;
}

} // namespace zorvan::chart
