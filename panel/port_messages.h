#pragma once

// What the main window's indicator says when the port could not be used: the text, and the font
// size and height of the message label that fit it over the indicator.

#include "link/com_port.h"

#include <QString>

namespace zorvan::panel {

struct PortMessage {
    QString text;
    int fontSize = 0;
    int top = 0;
    int height = 0;
};

PortMessage portMessage(const link::PortFailure& failure);

} // namespace zorvan::panel
