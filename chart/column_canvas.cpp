#include "chart/column_canvas.h"

#include <QPainter>
#include <cstring>

namespace zorvan::chart {

void ColumnCanvas::begin(const QRect& area) {
    if (image_.size() != area.size()) {
        image_ = QImage(area.size(), QImage::Format_ARGB32_Premultiplied);
        image_.fill(Qt::transparent);
    }
    origin_ = area.topLeft();
    touched_ = QRect();
}

void ColumnCanvas::addStroke(int left, int top, int bottom, int width, const QColor& colour) {
    const QRect stroke = QRect(left - origin_.x(), top - origin_.y(), width, bottom - top + 1)
                             .intersected(image_.rect());
    if (stroke.isEmpty()) {
        return;
    }
    touched_ |= stroke;
    const QRgb pixel = qPremultiply(colour.rgba());
    const qsizetype stride = image_.bytesPerLine() / qsizetype(sizeof(QRgb));
    auto* bits = reinterpret_cast<QRgb*>(image_.bits());
    for (int x = stroke.left(); x <= stroke.right(); ++x) {
        QRgb* p = bits + qsizetype(stroke.top()) * stride + x;
        for (int y = stroke.top(); y <= stroke.bottom(); ++y, p += stride) {
            *p = pixel;
        }
    }
}

void ColumnCanvas::paintOnto(QPainter& painter) {
    if (touched_.isEmpty()) {
        return;
    }
    painter.drawImage(touched_.topLeft() + origin_, image_, touched_);
    // Cleared behind the blit, so the image is transparent whenever strokes begin.
    for (int y = touched_.top(); y <= touched_.bottom(); ++y) {
        std::memset(image_.scanLine(y) + touched_.left() * qsizetype(sizeof(QRgb)), 0,
                    std::size_t(touched_.width()) * sizeof(QRgb));
    }
    touched_ = QRect();
}

} // namespace zorvan::chart
