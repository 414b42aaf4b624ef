#pragma once

// A window whose minimise takes the whole application down, as the program's windows do: the
// program's other visible windows are minimised with it and come back when it is restored.

class QWidget;

namespace zorvan::ui {

// From now on, for the life of `window`.
void minimizeApplicationWith(QWidget& window);

} // namespace zorvan::ui
