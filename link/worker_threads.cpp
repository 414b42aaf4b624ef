#include "link/worker_threads.h"

#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>

namespace zorvan::link {
namespace {

std::mutex countMutex;
std::condition_variable countChanged;
int running = 0; // guarded by countMutex

void finished() {
    const std::lock_guard lock(countMutex);
    --running;
    countChanged.notify_all();
}

} // namespace

bool tryStartWorker(std::function<void()> job) {
    {
        const std::lock_guard lock(countMutex);
        ++running;
    }
    try {
        std::thread([job = std::move(job)] {
            job();
            finished();
        }).detach();
        return true;
    } catch (const std::system_error&) {
        finished();
        return false;
    }
}

bool startWorker(std::function<void()> job, std::chrono::milliseconds bound) {
    const auto deadline = std::chrono::steady_clock::now() + bound;
    while (!tryStartWorker(job)) {
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

bool waitForWorkers(std::chrono::milliseconds bound) {
    std::unique_lock lock(countMutex);
    return countChanged.wait_for(lock, bound, [] { return running == 0; });
}

int runningWorkers() {
    const std::lock_guard lock(countMutex);
    return running;
}

} // namespace zorvan::link
