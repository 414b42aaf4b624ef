#pragma once

// A system call that cannot be told how long it may take (a name lookup waits on the resolver's
// own time-outs, several seconds each), bounded from outside: it runs on a thread of its own, and
// the caller waits for it only until its deadline.

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>

namespace zorvan::link {

// The call's result, or nothing when it had not returned by the deadline (it then finishes
// alone and its result is destroyed with it) or no thread could be had.
template <typename Result, typename Call>
std::optional<Result> callBefore(Call call, std::chrono::steady_clock::time_point deadline) {
    struct Shared {
        std::mutex mutex;
        std::condition_variable done;
        std::optional<Result> result;
    };
    const auto shared = std::make_shared<Shared>();
    try {
        std::thread([shared, call = std::move(call)]() mutable {
            Result result = call();
            const std::lock_guard lock(shared->mutex);
            shared->result = std::move(result);
            shared->done.notify_all();
        }).detach();
    } catch (const std::system_error&) {
        return std::nullopt;
    }
    std::unique_lock lock(shared->mutex);
    if (!shared->done.wait_until(lock, deadline, [&] { return shared->result.has_value(); })) {
        return std::nullopt;
    }
    return std::move(shared->result);
}

} // namespace zorvan::link
