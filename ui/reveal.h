#pragma once

#include <QRegion>
#include <QSize>

namespace zorvan::ui {

// How a window appears and disappears. The extent is a radius for the ellipses and a
// height for the top-down band; it moves by a fixed step on every timer tick.
enum class RevealShape {
    // Ellipse at the window's centre: half-width r, half-height 3r/4.
    CentreEllipse,
    // Ellipse centred on the window's top-left corner, so a quarter of it shows.
    CornerEllipse,
    // Full-width band from the top edge down to the extent.
    TopDown,
};

struct RevealSteps {
    RevealShape shape = RevealShape::CentreEllipse;
    int startExtent = 1;
    int openStep = 5;
    int openPeriodMs = 10;
    // The opening ends on the tick whose extent exceeds this.
    int openLimit = 0;
    int closeStep = 5;
    int closePeriodMs = 20;
};

// Panel windows: +5 every 10 ms until r exceeds the width; -5 every 20 ms.
RevealSteps centreEllipseReveal(QSize window);

// Message window: +15 every 15 ms until r exceeds twice the width; -2 per closing step.
RevealSteps cornerEllipseReveal(QSize window);

// Settings windows: +5 every 10 ms until the height exceeds openLimit; -15 every 20 ms.
RevealSteps topDownReveal(int openLimit);

// The area shown before the first tick: a 2 x 2 ellipse box for the ellipses (3r/4
// would flatten r = 1 to nothing), a band of startExtent for the top-down kind.
QRegion initialRevealArea(RevealShape shape, QSize window, int startExtent);

// The area shown at a given extent, before it is cut to the window's outline. Integer
// halves and quarters truncate toward zero.
QRegion revealArea(RevealShape shape, QSize window, int extent);

} // namespace zorvan::ui
