#pragma once

#include <QtGlobal>
#include <deque>

namespace zorvan::chart {

// The lowest and highest of the values a series holds, in O(1) amortised. A series that is only
// appended to needs just two running values. Once values also leave at the front, two monotonic
// deques are kept instead: each holds the values that can still become the extreme after older
// ones leave, so its front is the extreme of the window.
class SlidingExtremes {
public:
    // Forgets every value; `window` chooses the deques. The owner pushes the held values again.
    void restart(bool window);
    bool window() const { return window_; }

    void push(double value);
    // Only while keeping the window: drops the oldest value.
    void popFront();

    // 0 when no value is held.
    double minimum() const;
    double maximum() const;
    qsizetype bytesHeld() const;

private:
    struct Entry {
        qint64 index;
        double value;
    };

    bool window_ = false;
    qint64 pushed_ = 0;
    qint64 popped_ = 0;
    double runningMinimum_ = 0.0;
    double runningMaximum_ = 0.0;
    std::deque<Entry> lowest_;  // values ascending from the front
    std::deque<Entry> highest_; // values descending from the front
};

} // namespace zorvan::chart
