#include "ui/reveal.h"

#include "ui/window_region.h"

namespace zorvan::ui {

RevealSteps centreEllipseReveal(QSize window) {
    return {RevealShape::CentreEllipse, 1, 5, 10, window.width(), 5, 20};
}

RevealSteps cornerEllipseReveal(QSize window) {
    // The closing runs about two hundred 2-pixel steps; 2 ms each keeps it brief.
    return {RevealShape::CornerEllipse, 1, 15, 15, 2 * window.width(), 2, 2};
}

RevealSteps topDownReveal(int openLimit) {
    return {RevealShape::TopDown, 2, 5, 10, openLimit, 15, 20};
}

QRegion initialRevealArea(RevealShape shape, QSize window, int startExtent) {
    const int cx = window.width() / 2;
    const int cy = window.height() / 2;
    switch (shape) {
    case RevealShape::CentreEllipse:
        return ellipseRegion(cx - 1, cy - 1, cx + 1, cy + 1);
    case RevealShape::CornerEllipse:
        return ellipseRegion(-1, -1, 1, 1);
    case RevealShape::TopDown:
        return rectRegion(0, 0, window.width(), startExtent);
    }
    return {};
}

QRegion revealArea(RevealShape shape, QSize window, int extent) {
    const int halfHeight = 3 * extent / 4;
    switch (shape) {
    case RevealShape::CentreEllipse: {
        const int cx = window.width() / 2;
        const int cy = window.height() / 2;
        return ellipseRegion(cx - extent, cy - halfHeight, cx + extent, cy + halfHeight);
    }
    case RevealShape::CornerEllipse:
        return ellipseRegion(-extent, -halfHeight, extent, halfHeight);
    case RevealShape::TopDown:
        return rectRegion(0, 0, window.width(), extent);
    }
    return {};
}

} // namespace zorvan::ui
