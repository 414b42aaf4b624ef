#pragma once

#include <functional>

class QWidget;

namespace zorvan::app {

// Places where a variant of the program joins the start.
struct ProgramHooks {
    // Once the application object exists, before any setting is read (the demo points the
    // settings at its simulated line there).
    std::function<void()> beforeSettings;
    // Once the main window exists, before it is shown.
    std::function<void(QWidget& mainWindow)> mainWindowCreated;
};

// The program from process start to exit.
int runProgram(int argc, char** argv, const ProgramHooks& hooks = {});

} // namespace zorvan::app
