#include "ui/artwork_pixmap.h"

#include <QFontDatabase>
#include <QImage>
#include <QPainter>
#include <QPixmapCache>
#include <QSvgRenderer>

namespace zorvan::ui {

namespace {

// The letters of the artwork are set in a font the program carries, not in whatever the system
// has under that name.
void registerArtworkFont() {
    static const bool registered =
        QFontDatabase::addApplicationFont(QStringLiteral(":/fonts/LiberationSans-Bold.ttf")) >= 0;
    Q_UNUSED(registered);
}

QPixmap renderArtwork(resources::Artwork artwork, qreal devicePixelRatio) {
    registerArtworkFont();
    QSvgRenderer renderer(resources::artworkPath(artwork));
    if (!renderer.isValid()) {
        return {};
    }
    const QSize size = resources::artworkSize(artwork);
    QImage image(size * devicePixelRatio, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(image.size())));
    }
    image.setDevicePixelRatio(devicePixelRatio);
    return QPixmap::fromImage(image);
}

} // namespace

QPixmap artworkPixmap(resources::Artwork artwork, qreal devicePixelRatio) {
    const QString key = QStringLiteral("zorvan-artwork/%1@%2")
                            .arg(resources::artworkName(artwork))
                            .arg(devicePixelRatio);
    QPixmap pixmap;
    if (QPixmapCache::find(key, &pixmap)) {
        return pixmap;
    }
    pixmap = renderArtwork(artwork, devicePixelRatio);
    if (!pixmap.isNull()) {
        QPixmapCache::insert(key, pixmap);
    }
    return pixmap;
}

} // namespace zorvan::ui
