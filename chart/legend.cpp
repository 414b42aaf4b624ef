#include "chart/legend.h"

#include <QFontMetrics>
#include <QPainter>

namespace zorvan::chart {
namespace {

constexpr int kSampleLength = 24;
constexpr int kSampleGap = 6;
constexpr int kEntryGap = 16;

void centreRow(std::vector<QRect>& places, std::size_t from, int rowWidth, int width) {
    const int shift = std::max(0, (width - rowWidth) / 2);
    for (std::size_t i = from; i < places.size(); ++i) {
        places[i].translate(shift, 0);
    }
}

} // namespace

Legend::Legend(const QFontMetrics& metrics, std::vector<LegendEntry> entries, int width)
    : entries_(std::move(entries)), lineHeight_(metrics.height()) {
    int x = 0;
    int y = 0;
    std::size_t rowStart = 0;
    for (const LegendEntry& entry : entries_) {
        const int entryWidth = kSampleLength + kSampleGap + metrics.horizontalAdvance(entry.title);
        if (x > 0 && x + entryWidth > width) {
            centreRow(places_, rowStart, x - kEntryGap, width);
            rowStart = places_.size();
            x = 0;
            y += lineHeight_;
        }
        places_.emplace_back(x, y, entryWidth, lineHeight_);
        x += entryWidth + kEntryGap;
    }
    centreRow(places_, rowStart, x - kEntryGap, width);
    height_ = entries_.empty() ? 0 : y + lineHeight_;
}

void Legend::paint(QPainter& painter, QPoint topLeft, const QColor& textColour) const {
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        const QRect place = places_[i].translated(topLeft);
        const int middle = place.top() + place.height() / 2;
        painter.setPen(entries_[i].pen);
        painter.drawLine(place.left(), middle, place.left() + kSampleLength, middle);
        painter.setPen(textColour);
        painter.drawText(place.adjusted(kSampleLength + kSampleGap, 0, 0, 0),
                         Qt::AlignLeft | Qt::AlignVCenter, entries_[i].title);
    }
}

} // namespace zorvan::chart
