#pragma once

#include <QImage>

class QWidget;

namespace zorvan::ui {

// The window as it appears on screen: its contents inside its mask, transparent outside, at the
// pixel ratio of its screen. Works for hidden windows too, so pictures can be taken offscreen.
QImage renderWindowPicture(QWidget& window);

} // namespace zorvan::ui
