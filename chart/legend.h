#pragma once

#include <QPen>
#include <QRect>
#include <QString>
#include <vector>

class QFontMetrics;
class QPainter;

namespace zorvan::chart {

struct LegendEntry {
    QString title;
    QPen pen;
};

// Entries flow left to right in centred rows, each a short line sample in the series' pen
// followed by its title.
class Legend {
public:
    Legend(const QFontMetrics& metrics, std::vector<LegendEntry> entries, int width);
    int height() const { return height_; }
    void paint(QPainter& painter, QPoint topLeft, const QColor& textColour) const;

private:
    std::vector<LegendEntry> entries_;
    std::vector<QRect> places_; // one per entry, relative to the legend's top left
    int height_ = 0;
    int lineHeight_ = 0;
};

} // namespace zorvan::chart
