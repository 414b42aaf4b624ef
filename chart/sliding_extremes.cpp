#include "chart/sliding_extremes.h"

namespace zorvan::chart {

void SlidingExtremes::restart(bool window) {
    window_ = window;
    pushed_ = 0;
    popped_ = 0;
    runningMinimum_ = 0.0;
    runningMaximum_ = 0.0;
    lowest_.clear();
    highest_.clear();
}

void SlidingExtremes::push(double value) {
    if (!window_) {
        runningMinimum_ = pushed_ == 0 || value < runningMinimum_ ? value : runningMinimum_;
        runningMaximum_ = pushed_ == 0 || value > runningMaximum_ ? value : runningMaximum_;
        ++pushed_;
        return;
    }
    // A value that is not below a newer one can never be the minimum again: the newer one
    // stays at least as long.
    while (!lowest_.empty() && lowest_.back().value >= value) {
        lowest_.pop_back();
    }
    while (!highest_.empty() && highest_.back().value <= value) {
        highest_.pop_back();
    }
    lowest_.push_back({pushed_, value});
    highest_.push_back({pushed_, value});
    ++pushed_;
}

void SlidingExtremes::popFront() {
    if (popped_ == pushed_) {
        return;
    }
    if (!lowest_.empty() && lowest_.front().index == popped_) {
        lowest_.pop_front();
    }
    if (!highest_.empty() && highest_.front().index == popped_) {
        highest_.pop_front();
    }
    ++popped_;
}

double SlidingExtremes::minimum() const {
    if (!window_) {
        return runningMinimum_;
    }
    return lowest_.empty() ? 0.0 : lowest_.front().value;
}

double SlidingExtremes::maximum() const {
    if (!window_) {
        return runningMaximum_;
    }
    return highest_.empty() ? 0.0 : highest_.front().value;
}

qsizetype SlidingExtremes::bytesHeld() const {
    return qsizetype((lowest_.size() + highest_.size()) * sizeof(Entry));
}

} // namespace zorvan::chart
