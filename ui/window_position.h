#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

namespace zorvan::ui {

// Keeps a saved window position on the screen: nothing left of or above the screen,
// nothing past its right edge, and the bottom edge at least 20 pixels above the
// screen's, clear of a bottom task bar. Checked in that order, so a window wider
// than the screen ends flush with its right edge.
QPoint clampToScreen(QPoint topLeft, QSize window, QRect screen);

// Where a small window opens over its owner: centred across, a third of the way down.
QPoint positionOverOwner(QRect owner, QSize window);

// The whole screen holding point, or the primary screen when no screen holds it: what saved
// and derived window positions are clamped to. A task bar may cover part of it; the bottom
// margin of clampToScreen keeps a window clear of one at the bottom.
QRect screenArea(QPoint point);

// The available area of the screen holding point, or of the primary screen when no
// screen holds it.
QRect availableScreenArea(QPoint point);

} // namespace zorvan::ui
