#include "app/termination_signals.h"

#include <QAbstractNativeEventFilter>
#include <QSocketNotifier>

#ifdef _WIN32
#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <windows.h>
#else
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>
#endif

namespace zorvan::app {

#ifdef _WIN32

namespace {

// Once the session ends, Windows may end the process as soon as WM_ENDSESSION has been answered,
// so the answer waits, bounded, for the orderly close to reach the end of the event loop.
constexpr int kSessionEndBoundMs = 4000;

class SessionEndFilter : public QAbstractNativeEventFilter {
public:
    explicit SessionEndFilter(std::function<void()> close) : close_(std::move(close)) {}

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override {
        if (eventType != "windows_generic_MSG") {
            return false;
        }
        const MSG* windowsMessage = static_cast<const MSG*>(message);
        if (windowsMessage->message == WM_QUERYENDSESSION) {
            // The program may always end: nothing asks the user first.
            *result = TRUE;
            return true;
        }
        if (windowsMessage->message != WM_ENDSESSION) {
            return false;
        }
        // Every top-level window is told; the first one ends the program.
        if (windowsMessage->wParam == TRUE && !ending_) {
            ending_ = true;
            close_();
            QEventLoop closing;
            QTimer::singleShot(kSessionEndBoundMs, &closing, &QEventLoop::quit);
            // Leaves as soon as the close quits the application, which ends every event loop.
            closing.exec();
        }
        *result = 0;
        return true;
    }

private:
    std::function<void()> close_;
    bool ending_ = false;
};

} // namespace

TerminationSignals::TerminationSignals(std::function<void()> close, QObject* parent)
    : QObject(parent), close_(std::move(close)),
      sessionEnd_(std::make_unique<SessionEndFilter>(close_)) {
    QCoreApplication::instance()->installNativeEventFilter(sessionEnd_.get());
}

TerminationSignals::~TerminationSignals() {
    QCoreApplication::instance()->removeNativeEventFilter(sessionEnd_.get());
}

void TerminationSignals::readSignal() {
}

#else

namespace {

// A signal handler may only write to a descriptor; the other end wakes the event loop.
int signalPipe[2] = {-1, -1};

void passSignalOn(int signalNumber) {
    const char byte = static_cast<char>(signalNumber);
    [[maybe_unused]] const ssize_t written = ::write(signalPipe[0], &byte, 1);
}

void setHandler(int signalNumber, void (*handler)(int)) {
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(signalNumber, &action, nullptr);
}

} // namespace

TerminationSignals::TerminationSignals(std::function<void()> close, QObject* parent)
    : QObject(parent), close_(std::move(close)) {
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signalPipe) != 0) {
        return;
    }
    notifier_ = new QSocketNotifier(signalPipe[1], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, [this] { readSignal(); });
    setHandler(SIGTERM, passSignalOn);
    setHandler(SIGINT, passSignalOn);
}

TerminationSignals::~TerminationSignals() {
    if (notifier_ == nullptr) {
        return;
    }
    setHandler(SIGTERM, SIG_DFL);
    setHandler(SIGINT, SIG_DFL);
    ::close(signalPipe[0]);
    ::close(signalPipe[1]);
    signalPipe[0] = signalPipe[1] = -1;
}

void TerminationSignals::readSignal() {
    char byte = 0;
    if (::read(signalPipe[1], &byte, 1) == 1 && close_) {
        close_();
    }
}

#endif

} // namespace zorvan::app
