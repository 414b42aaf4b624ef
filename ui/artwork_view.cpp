#include "ui/artwork_view.h"

#include "ui/artwork_pixmap.h"

#include <QPainter>

namespace zorvan::ui {

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
    QPainter(this).drawPixmap(0, top, shown);
}

} // namespace zorvan::ui
