#pragma once

// Short-lived worker threads, one per job. They are counted so that the program can wait for
// them, with a bound, before it destroys the windows they report to and closes the port.

#include <chrono>
#include <functional>

namespace zorvan::link {

// The system refuses a thread only while it is short of memory or threads; a job that still
// finds none after this is given up.
inline constexpr std::chrono::milliseconds kWorkerStartWait{500};

// Starts the job on its own thread; when the system refuses a thread, tries again every
// millisecond until `bound`. False when no thread came: the job does not run.
bool startWorker(std::function<void()> job, std::chrono::milliseconds bound = kWorkerStartWait);

// Starts the job once; false when no thread could be created.
bool tryStartWorker(std::function<void()> job);

// Waits until no worker runs, at most `bound`; false when some still run.
bool waitForWorkers(std::chrono::milliseconds bound);

int runningWorkers();

} // namespace zorvan::link
