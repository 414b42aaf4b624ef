#include "app/termination_signals.h"

#include <QSocketNotifier>

#ifndef _WIN32
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>
#endif

namespace zorvan::app {

#ifdef _WIN32

// Windows ends a program with a close message to its windows, which runs the orderly close.
TerminationSignals::TerminationSignals(std::function<void()> close, QObject* parent)
    : QObject(parent), close_(std::move(close)) {
}

TerminationSignals::~TerminationSignals() = default;

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
