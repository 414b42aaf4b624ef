#include "ui/artwork_view.h"

#include "ui/artwork_pixmap.h"

#include <QPainter>

namespace zorvan::ui {

namespace {

bool isFront(resources::Artwork artwork) {
    return artwork == resources::Artwork::FrontKind43 || artwork == resources::Artwork::FrontKind80;
}

} // namespace

ArtworkView::ArtworkView(resources::Artwork artwork, QWidget* parent)
    : QWidget(parent), artwork_(artwork) {
    resize(resources::artworkSize(artwork));
}

void ArtworkView::setArtwork(resources::Artwork artwork) {
    if (artwork != artwork_) {
        artwork_ = artwork;
        update();
    }
}

QPixmap ArtworkView::picture() const {
    return artworkPixmap(artwork_, devicePixelRatioF());
}

void ArtworkView::paintEvent(QPaintEvent*) {
    const QPixmap shown = picture();
    const int top = (height() - resources::artworkSize(artwork_).height()) / 2;
    QPainter painter(this);
    if (isFront(artwork_)) {
        // A front is cut to shape by its window's outline, which keeps whole device pixels: along
        // the edge it keeps some that the rim covers only in part, a whole column of them at 125 %
        // and 150 %. Black behind the front keeps them as dark as the rim; the window's light
        // background would show through there as a seam.
        painter.fillRect(rect(), Qt::black);
    }
    painter.drawPixmap(0, top, shown);
}

} // namespace zorvan::ui
