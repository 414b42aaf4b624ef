#pragma once

// The colours of the graph window's points, live and loaded from a file.

#include <QColor>

namespace zorvan::graphs {

inline const QColor kPointRed(255, 0, 0);
inline const QColor kPointBlue(0, 0, 255);
inline const QColor kPointGreen(0, 128, 0);
inline const QColor kPointTeal(0, 128, 128);

} // namespace zorvan::graphs
