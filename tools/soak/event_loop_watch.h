#pragma once

// The longest time the user-interface thread's event loop did not come round: a 1 ms timer
// whose turns should follow each other; any longer gap is time the user waited.

#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>

namespace zorvan::soak {

class EventLoopWatch {
public:
    EventLoopWatch() {
        timer_.setInterval(1);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            const double gapMs = sinceTurn_.nsecsElapsed() / 1e6;
            if (gapMs > longestGapMs_) {
                longestGapMs_ = gapMs;
                longestDuring_ = activity_;
                longestAtS_ = sinceStart_.elapsed() / 1000;
            }
            gapsOverHalfTheGoal_ += gapMs > 50.0 ? 1 : 0;
            sinceTurn_.start();
        });
    }
    void start() {
        sinceStart_.start();
        sinceTurn_.start();
        timer_.start();
    }
    // What the user was doing, for the report of the longest gap.
    void setActivity(const char* activity) { activity_ = activity; }
    double longestGapMs() const { return longestGapMs_; }
    const char* longestGapDuring() const { return longestDuring_; }
    qint64 longestGapAtS() const { return longestAtS_; }
    // One long gap is the machine's doing as often as the program's; many point at the program.
    int gapsOver50Ms() const { return gapsOverHalfTheGoal_; }

private:
    QTimer timer_;
    QElapsedTimer sinceStart_;
    QElapsedTimer sinceTurn_;
    double longestGapMs_ = 0.0;
    const char* activity_ = "";
    const char* longestDuring_ = "";
    qint64 longestAtS_ = 0;
    int gapsOverHalfTheGoal_ = 0;
};

} // namespace zorvan::soak
