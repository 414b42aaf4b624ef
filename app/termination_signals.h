#pragma once

// A log-out or `kill` ends the program the way the user's close does: the request arrives as
// SIGTERM (or SIGINT from a terminal), or on Windows as the end of the session, and is handed to
// the event loop, which runs the orderly close, so the windows' positions are saved and the
// line is left in order.

#include <QObject>
#include <functional>
#include <memory>

class QAbstractNativeEventFilter;
class QSocketNotifier;

namespace zorvan::app {

class TerminationSignals : public QObject {
    Q_OBJECT

public:
    // From now on SIGTERM and SIGINT call `close` on the user-interface thread, once per signal;
    // on Windows the end of the session (log-off, shutdown) calls it once. Needs a
    // QCoreApplication.
    explicit TerminationSignals(std::function<void()> close, QObject* parent = nullptr);
    // The signals end the process again as by default.
    ~TerminationSignals() override;

private:
    void readSignal();

    std::function<void()> close_;
    QSocketNotifier* notifier_ = nullptr;
    std::unique_ptr<QAbstractNativeEventFilter> sessionEnd_;
};

} // namespace zorvan::app
