#pragma once

// Work that needs the line for longer than one poll answer (a FLASH write, graph reads, a sweep)
// runs as a line job: on a worker thread that holds the line lock for the whole job, never on the
// user-interface thread. The job hands its progress and its result back as values, posted to the
// user-interface thread and dropped when the window that asked is gone by then.

#include "link/line_flags.h"
#include "link/worker_threads.h"

#include <QObject>
#include <QPointer>
#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>

namespace zorvan::ui {

using UiStep = std::function<void()>;
using UiPost = std::function<void(UiStep)>;

// Runs each step on the user-interface thread, later, unless `receiver` is destroyed by then.
UiPost postTo(QObject* receiver);

// Runs `work` on a worker thread holding link::lineMutex and posts its result to `done`, or
// nullopt when the line did not come free within `lineWait`. False when the system gave no
// thread: nothing runs and nothing is posted.
template <typename Result>
bool startLineJob(QObject* receiver, std::function<Result()> work,
                  std::function<void(std::optional<Result>)> done,
                  std::chrono::milliseconds lineWait = link::kLineWait) {
    const UiPost post = postTo(receiver);
    return link::tryStartWorker([post, lineWait, work = std::move(work), done = std::move(done)] {
        std::optional<Result> result;
        {
            const std::unique_lock line = link::takeLine(lineWait);
            if (line.owns_lock()) {
                result = work();
            }
        }
        post([done, result = std::move(result)] { done(result); });
    });
}

} // namespace zorvan::ui
