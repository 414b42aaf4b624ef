#pragma once

#include <QRegion>

namespace zorvan::ui {

// Window outlines are given by their corner coordinates with the right and bottom
// edges exclusive, the way the windows' shapes were first laid out.

QRegion rectRegion(int left, int top, int right, int bottom);

QRegion ellipseRegion(int left, int top, int right, int bottom);

// A rectangle whose corners are quarters of a cornerWidth x cornerHeight ellipse.
QRegion roundRectRegion(int left, int top, int right, int bottom, int cornerWidth,
                        int cornerHeight);

} // namespace zorvan::ui
