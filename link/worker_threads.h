#pragma once

// Short-lived worker threads, one per job. They are counted so that the program can wait for
// them, with a bound, before it destroys the windows they report to and closes the port.

#include <chrono>
#include <functional>

namespace zorvan::link {

// Starts the job on its own thread; when the system refuses a thread, tries again at once.
void startWorker(std::function<void()> job);

// Starts the job once; false when no thread could be created.
bool tryStartWorker(std::function<void()> job);

// Waits until no worker runs, at most `bound`; false when some still run.
bool waitForWorkers(std::chrono::milliseconds bound);

int runningWorkers();

} // namespace zorvan::link
