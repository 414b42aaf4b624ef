#pragma once

// The program's end while a graph or the sweep window is open: each window takes its leave as
// its user would, so a recording is stopped and saved and the instrument gets its set value back.

namespace zorvan::graphs {

// A running graph stops as at "Стоп" and its window closes as at "Выход"; the sweep window
// closes as at "Выход". The sweep's leave-taking needs the line, so its window may still be open
// on return.
void endOpenWindows();

// Whether the graph or the sweep window still exists.
bool windowsStillOpen();

} // namespace zorvan::graphs
