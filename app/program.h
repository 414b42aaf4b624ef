#pragma once

#include <functional>

namespace zorvan::app {

// The program from process start to exit. `prepare` runs once the application object exists
// and before any setting is read (the demo points the settings at its simulated line there).
int runProgram(int argc, char** argv, const std::function<void()>& prepare = {});

} // namespace zorvan::app
