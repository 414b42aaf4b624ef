#include "chart/column_canvas.h"

#include <QPaintEngine>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <cstring>

namespace zorvan::chart {
namespace {

// Formats whose pixel is one 0xAARRGGBB word, where an opaque colour is written as it is.
bool takesOpaqueWords(QImage::Format format) {
    return format == QImage::Format_RGB32 || format == QImage::Format_ARGB32 ||
           format == QImage::Format_ARGB32_Premultiplied;
}

// The pixels whose centres lie within `rect`: its edges rounded to the nearest pixel edge.
QRect roundedEdges(const QRectF& rect) {
    return QRect(QPoint(qRound(rect.left()), qRound(rect.top())),
                 QPoint(qRound(rect.right()) - 1, qRound(rect.bottom()) - 1));
}

// Narrows `clip` to a region given as one rectangle, mapped by `toPixels`; false for a region of
// several.
bool narrowTo(QRect& clip, const QRegion& region, const QTransform& toPixels) {
    if (region.rectCount() > 1) {
        return false;
    }
    clip &= roundedEdges(toPixels.mapRect(QRectF(region.boundingRect())));
    return true;
}

} // namespace

// The painter of a scaled screen, or of a picture of a window on one, only scales and moves:
// there the strokes are computed in device pixels, a column per device column.
void ColumnCanvas::begin(QPainter& painter, const QRect& area) {
    painter_ = &painter;
    const QTransform& transform = painter.deviceTransform();
    devicePixels_ = transform.type() <= QTransform::TxScale && transform.m11() > 0.0 &&
                    transform.m11() == transform.m22();
    toPixels_ = devicePixels_ ? transform : QTransform();
    fromPixels_ = toPixels_.inverted();
    scale_ = toPixels_.m11();
    area_ = roundedEdges(toPixels_.mapRect(QRectF(area)));
    strokes_.clear();
    layerStart_ = 0;
}

int ColumnCanvas::pixelWidth(int width) const {
    // A width times a ratio such as 1.1 may fall a hair short of the whole number it is.
    return std::max(1, int(std::floor(width * scale_ + 1e-9)));
}

void ColumnCanvas::startLayer() {
    layerStart_ = strokes_.size();
}

void ColumnCanvas::addStroke(int left, int top, int bottom, int width, const QColor& colour) {
    const QRect stroke = QRect(left, top, width, bottom - top + 1).intersected(area_);
    if (stroke.isEmpty()) {
        return;
    }
    // A translucent stroke shows what lies under it, so that must be drawn first.
    if (colour.alpha() != 255) {
        drawEarlierLayers();
    }
    strokes_.push_back({stroke.left(), stroke.width(), stroke.top(), stroke.bottom(),
                        qPremultiply(colour.rgba())});
}

void ColumnCanvas::drawEarlierLayers() {
    draw(layerStart_);
}

void ColumnCanvas::drawAll() {
    draw(strokes_.size());
}

void ColumnCanvas::draw(std::size_t count) {
    if (count == 0 || !painter_) {
        return;
    }
    QRect touched;
    bool opaque = true;
    for (std::size_t i = 0; i < count; ++i) {
        const Stroke& stroke = strokes_[i];
        touched |= QRect(stroke.left, stroke.top, stroke.width, stroke.bottom - stroke.top + 1);
        opaque = opaque && qAlpha(stroke.pixel) == 255;
    }
    const std::span<const Stroke> drawn(strokes_.data(), count);
    if (!opaque || !writeIntoDevice(drawn, touched)) {
        drawThroughImage(drawn, touched);
    }
    strokes_.erase(strokes_.begin(), strokes_.begin() + std::ptrdiff_t(count));
    layerStart_ -= std::min(layerStart_, count);
}

// Opaque strokes drawn over whatever is there are plain pixel writes, so they can go straight
// into the painter's image where the canvas's pixels are its pixels; the clip is kept by hand.
bool ColumnCanvas::writeIntoDevice(std::span<const Stroke> strokes, const QRect& touched) {
    QPainter& painter = *painter_;
    QPaintEngine* engine = painter.paintEngine();
    QPaintDevice* device = engine ? engine->paintDevice() : nullptr;
    if (!devicePixels_ || !device || device->devType() != QInternal::Image ||
        painter.opacity() != 1.0 ||
        painter.compositionMode() != QPainter::CompositionMode_SourceOver) {
        return false;
    }
    auto* image = static_cast<QImage*>(device);
    // A shared image would be copied by bits(), leaving the painter's pixels behind.
    if (!takesOpaqueWords(image->format()) || !image->isDetached()) {
        return false;
    }
    QRect clip = touched;
    if (painter.hasClipping() && !narrowTo(clip, painter.clipRegion(), toPixels_)) {
        return false;
    }
    // The system clip is in device pixels already.
    const QRegion system = engine->systemClip();
    if (!system.isEmpty() && !narrowTo(clip, system, QTransform())) {
        return false;
    }
    clip &= image->rect();
    if (clip.isEmpty()) {
        return true;
    }
    const StrokeTarget target{reinterpret_cast<QRgb*>(image->bits()),
                              image->bytesPerLine() / qsizetype(sizeof(QRgb)), QPoint(), clip};
    writer_.write(target, strokes);
    return true;
}

void ColumnCanvas::drawThroughImage(std::span<const Stroke> strokes, const QRect& touched) {
    if (image_.size() != area_.size()) {
        image_ = QImage(area_.size(), QImage::Format_ARGB32_Premultiplied);
        image_.fill(Qt::transparent);
    }
    // At the canvas's resolution, so that the painter lays its pixels one to one over the device's
    // rather than stretching them.
    image_.setDevicePixelRatio(scale_);
    const QRect inImage = touched.translated(-area_.topLeft());
    const StrokeTarget target{reinterpret_cast<QRgb*>(image_.bits()),
                              image_.bytesPerLine() / qsizetype(sizeof(QRgb)), -area_.topLeft(),
                              touched};
    writer_.write(target, strokes);
    painter_->drawImage(toPainter(touched.topLeft()), image_, inImage);
    // Cleared behind the blit, so the image is transparent whenever strokes begin.
    for (int y = inImage.top(); y <= inImage.bottom(); ++y) {
        std::memset(image_.scanLine(y) + inImage.left() * qsizetype(sizeof(QRgb)), 0,
                    std::size_t(inImage.width()) * sizeof(QRgb));
    }
}

} // namespace zorvan::chart
