#include "ui/window_picture.h"

#include <QPainter>
#include <QWidget>

namespace zorvan::ui {

QImage renderWindowPicture(QWidget& window) {
    const qreal ratio = window.devicePixelRatioF();
    QImage image(window.size() * ratio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::transparent);
    const QRegion visible =
        window.mask().isEmpty() ? QRegion(window.rect()) : window.mask().intersected(window.rect());
    // render() reads an empty source region as "everything", so stop here instead.
    if (visible.isEmpty()) {
        return image;
    }
    QPainter painter(&image);
    painter.setClipRegion(visible);
    // render() puts the top-left corner of the source region at the target offset.
    window.render(&painter, visible.boundingRect().topLeft(), visible);
    return image;
}

} // namespace zorvan::ui
