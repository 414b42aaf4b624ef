#pragma once

#include "resources/artwork.h"

#include <QPixmap>

namespace zorvan::ui {

// The picture rendered at its design size (times devicePixelRatio for sharp output on
// scaled screens). Rendered once per ratio and kept in the pixmap cache. A null pixmap
// means the SVG is missing or unreadable.
QPixmap artworkPixmap(resources::Artwork artwork, qreal devicePixelRatio = 1.0);

} // namespace zorvan::ui
