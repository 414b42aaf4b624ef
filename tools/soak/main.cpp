// Runs the program's windows for a given time against the simulated instruments with the line's
// faults beneath, and fails unless every recording is exact and the program stayed flat,
// responsive and reconnected each time:
//
//   zorvan-soak MINUTES [--seed N] [--network] [--gap-not-judged]
//
// Offscreen unless QT_QPA_PLATFORM names another platform (xcb under Xvfb). The seed, printed
// first, repeats the faults of a run; --network reaches the line through ser2net and rfc2217://.
// --gap-not-judged prints the longest event-loop gap without failing on it: on a shared test
// machine it measures the machine's load as much as the program.
#include "tools/soak/soak.h"

#include <QApplication>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

namespace {

// The offscreen platform says for every window that it cannot shape or size it as a window
// system would; over an hour that buries what matters.
QtMessageHandler otherMessages = nullptr;

void dropPlatformNotes(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (!message.startsWith(QLatin1String("This plugin does not support"))) {
        otherMessages(type, context, message);
    }
}

} // namespace

int main(int argc, char** argv) {
    const auto usage = [] {
        std::fprintf(stderr,
                     "usage: zorvan-soak MINUTES [--seed N] [--network] [--gap-not-judged]\n");
        return 2;
    };
    if (argc < 2) {
        return usage();
    }
    zorvan::soak::SoakOptions options;
    char* end = nullptr;
    const double minutes = std::strtod(argv[1], &end);
    if (*end != '\0' || !(minutes > 0)) {
        return usage();
    }
    options.length = std::chrono::seconds(std::lround(minutes * 60));
    options.seed = std::random_device{}();
    for (int i = 2; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--network") {
            options.network = true;
        } else if (argument == "--gap-not-judged") {
            options.judgeGap = false;
        } else if (argument == "--seed" && i + 1 < argc) {
            options.seed = std::strtoull(argv[++i], &end, 10);
            if (*end != '\0') {
                return usage();
            }
        } else {
            return usage();
        }
    }
    // A line at a time, so that a soak's progress can be followed in its log.
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    if (qgetenv("QT_QPA_PLATFORM") == "xcb" && qEnvironmentVariableIsEmpty("DISPLAY")) {
        std::fprintf(stderr, "soak: cannot start: no X display (run it under xvfb-run)\n");
        return 1;
    }
    otherMessages = qInstallMessageHandler(dropPlatformNotes);
    QApplication application(argc, argv);
    zorvan::soak::Soak soak(options);
    return soak.run() ? 0 : 1;
}
