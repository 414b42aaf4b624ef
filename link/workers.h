#pragma once

// The jobs that run on the line outside the user-interface thread: the poll cycle and the
// command workers. Each reports back through a hook that the windows install; a hook runs on
// the worker thread and is expected to post its work to the user-interface thread.

#include "link/command_codes.h"

#include <cstdint>
#include <functional>

namespace zorvan::link {

struct WorkerReports {
    // The poll cycle has stored its answers and flags (wakes the display refresh).
    std::function<void()> pollFinished;
    // A key press to instrument `device` is done; keyCommandFailed tells how it went.
    std::function<void(std::uint32_t device)> keyPressFinished;
    // A discrete-output switch of instrument `device` is done; digitalOutFailed tells how.
    std::function<void(std::uint32_t device)> digitalOutFinished;
    // A single command on behalf of the window of instrument `device` was sent; `acknowledged`
    // is its result.
    std::function<void(std::uint32_t device, std::int32_t code, std::int32_t parameter,
                       bool acknowledged)>
        commandFinished;
};

// Installs the hooks (empty ones: no reports); takes effect for the next report.
void setWorkerReports(WorkerReports reports);

// A new poll cycle may start: no cycle runs and no command waits for the line.
bool pollMayStart();

// Starts a poll cycle; false when no thread could be created (the timer then tries again).
bool StartPoll();
// A worker that gets no thread, or waits in vain for its flag or the line, reports as one whose
// exchange failed: the key press and the output switch set their failure flags, the command is
// reported not acknowledged.
void StartKeyPress(std::int32_t keyCode);
void StartDigitalOut(std::int32_t parameter);
// Sends one command for the window of instrument `device`, which gets the report.
void StartCommand(std::int32_t address, std::int32_t code, std::int32_t parameter,
                  std::uint32_t device = 0);

// The cycle itself, run on the calling thread (the poll worker's body). On a port whose device
// went away it first tries to open it again; while that fails every present instrument is
// reported failed. A port whose device is found gone during the cycle is closed after it.
void PollWorker();

} // namespace zorvan::link
