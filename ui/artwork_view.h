#pragma once

#include "resources/artwork.h"

#include <QPixmap>
#include <QWidget>

namespace zorvan::ui {

// One picture of the artwork, rendered from its vector source at the pixel ratio of the screen
// the window is on when it is painted: sharp at every display scale, and again after the window
// moves to a screen of another scale. Laid out at its design size, vertically centred.
class ArtworkView : public QWidget {
    Q_OBJECT

public:
    ArtworkView(resources::Artwork artwork, QWidget* parent);

    resources::Artwork artwork() const { return artwork_; }
    void setArtwork(resources::Artwork artwork);
    // What a paint draws now.
    QPixmap picture() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    resources::Artwork artwork_;
};

} // namespace zorvan::ui
