#include "chart/colour_runs.h"

#include <algorithm>
#include <iterator>

namespace zorvan::chart {

void ColourRuns::append(qint64 index, const QColor& colour) {
    if (runs_.empty() || runs_.back().colour != colour) {
        runs_.push_back({index, colour});
    }
}

void ColourRuns::insert(qint64 index, const QColor& colour) {
    auto holder = runHolding(index);
    if (holder == runs_.end()) {
        append(index, colour);
        return;
    }
    if (holder->colour == colour) {
        // The new point joins the run it lands in; only the runs after it move up.
        for (auto run = std::next(holder); run != runs_.end(); ++run) {
            ++run->first;
        }
        return;
    }
    if (holder->first < index) {
        holder = runs_.insert(std::next(holder), {index, holder->colour});
    }
    for (auto run = holder; run != runs_.end(); ++run) {
        ++run->first;
    }
    auto added = runs_.insert(holder, {index, colour});
    if (added != runs_.begin() && std::prev(added)->colour == colour) {
        runs_.erase(added);
    }
}

void ColourRuns::dropBefore(qint64 firstIndex) {
    while (runs_.size() > 1 && runs_[1].first <= firstIndex) {
        runs_.pop_front();
    }
}

QColor ColourRuns::at(qint64 index) const {
    const auto after = std::upper_bound(runs_.begin(), runs_.end(), index,
                                        [](qint64 i, const Run& run) { return i < run.first; });
    return after == runs_.begin() ? QColor() : std::prev(after)->colour;
}

std::deque<ColourRuns::Run>::iterator ColourRuns::runHolding(qint64 index) {
    const auto after = std::upper_bound(runs_.begin(), runs_.end(), index,
                                        [](qint64 i, const Run& run) { return i < run.first; });
    return after == runs_.begin() ? runs_.end() : std::prev(after);
}

} // namespace zorvan::chart
