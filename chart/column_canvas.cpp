#include "chart/column_canvas.h"

#include <QPaintEngine>
#include <QPainter>
#include <algorithm>
#include <cstring>
#include <limits>

namespace zorvan::chart {
namespace {

// Formats whose pixel is one 0xAARRGGBB word, where an opaque colour is written as it is.
bool takesOpaqueWords(QImage::Format format) {
    return format == QImage::Format_RGB32 || format == QImage::Format_ARGB32 ||
           format == QImage::Format_ARGB32_Premultiplied;
}

// Narrows `clip` to a region given as one rectangle; false for a region of several.
bool narrowTo(QRect& clip, const QRegion& region) {
    if (region.rectCount() > 1) {
        return false;
    }
    clip &= region.boundingRect();
    return true;
}

} // namespace

void ColumnCanvas::begin(const QRect& area) {
    area_ = area;
    strokes_.clear();
    touched_ = QRect();
    ordered_ = true;
    rightmost_ = std::numeric_limits<int>::min();
    otherPixelsRight_ = std::numeric_limits<int>::min();
    opaque_ = true;
}

void ColumnCanvas::addStroke(int left, int top, int bottom, int width, const QColor& colour) {
    const QRect stroke = QRect(left, top, width, bottom - top + 1).intersected(area_);
    if (stroke.isEmpty()) {
        return;
    }
    const QRgb pixel = qPremultiply(colour.rgba());
    if (!strokes_.empty() && pixel != strokes_.back().pixel) {
        otherPixelsRight_ = rightmost_;
    }
    ordered_ = ordered_ && (strokes_.empty() || stroke.left() >= strokes_.back().left) &&
               stroke.left() > otherPixelsRight_;
    rightmost_ = std::max(rightmost_, stroke.right());
    opaque_ = opaque_ && colour.alpha() == 255;
    strokes_.push_back({stroke.left(), stroke.width(), stroke.top(), stroke.bottom(), pixel});
    touched_ |= stroke;
}

void ColumnCanvas::paintOnto(QPainter& painter) {
    if (!strokes_.empty() && !writeIntoDevice(painter)) {
        drawThroughImage(painter);
    }
    begin(area_);
}

// Opaque strokes drawn over whatever is there are plain pixel writes, so they can go straight
// into the painter's image where it maps widget pixels one to one; the clip is kept by hand.
bool ColumnCanvas::writeIntoDevice(QPainter& painter) {
    QPaintEngine* engine = painter.paintEngine();
    QPaintDevice* device = engine ? engine->paintDevice() : nullptr;
    if (!opaque_ || !device || device->devType() != QInternal::Image || painter.opacity() != 1.0 ||
        painter.compositionMode() != QPainter::CompositionMode_SourceOver) {
        return false;
    }
    auto* image = static_cast<QImage*>(device);
    const QTransform& transform = painter.deviceTransform();
    const QPoint offset(int(transform.dx()), int(transform.dy()));
    // A shared image would be copied by bits(), leaving the painter's pixels behind.
    if (!takesOpaqueWords(image->format()) || !image->isDetached() ||
        transform.type() > QTransform::TxTranslate || QPointF(offset) != transform.map(QPointF())) {
        return false;
    }
    QRect clip = touched_;
    if (painter.hasClipping() && !narrowTo(clip, painter.clipRegion())) {
        return false;
    }
    const QRegion system = engine->systemClip();
    if (!system.isEmpty() && !narrowTo(clip, system.translated(-offset))) {
        return false;
    }
    clip &= image->rect().translated(-offset);
    if (clip.isEmpty()) {
        return true;
    }
    const StrokeTarget target{reinterpret_cast<QRgb*>(image->bits()),
                              image->bytesPerLine() / qsizetype(sizeof(QRgb)), offset, clip};
    writeStrokes(target, strokes_, ordered_);
    return true;
}

void ColumnCanvas::drawThroughImage(QPainter& painter) {
    if (image_.size() != area_.size()) {
        image_ = QImage(area_.size(), QImage::Format_ARGB32_Premultiplied);
        image_.fill(Qt::transparent);
    }
    const QRect inImage = touched_.translated(-area_.topLeft());
    const StrokeTarget target{reinterpret_cast<QRgb*>(image_.bits()),
                              image_.bytesPerLine() / qsizetype(sizeof(QRgb)), -area_.topLeft(),
                              touched_};
    writeStrokes(target, strokes_, ordered_);
    painter.drawImage(touched_.topLeft(), image_, inImage);
    // Cleared behind the blit, so the image is transparent whenever strokes begin.
    for (int y = inImage.top(); y <= inImage.bottom(); ++y) {
        std::memset(image_.scanLine(y) + inImage.left() * qsizetype(sizeof(QRgb)), 0,
                    std::size_t(inImage.width()) * sizeof(QRgb));
    }
}

} // namespace zorvan::chart
