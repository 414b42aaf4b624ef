// The FLASH write of a whole 65,536-byte image from the main window's menu, against a simulated
// instrument paced at 9600 bit/s: the write's time against the pauses and wire time its page
// sequence requires, and the longest the window's event loop goes without running meanwhile.
// Takes several minutes per kind; an argument "small" or "large" runs one kind only.
#include "link/flash_write.h"
#include "link/worker_threads.h"
#include "tests/support/panel_session.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

using zorvan::testing::PanelSession;

constexpr int kBaud = 9600;
constexpr double kBeforeRequestMs = 15;
constexpr double kBeforeReadMs = 10 + 2;
constexpr double kAfterWriteMs = 10;
constexpr double kAfterBlockMs = 5;
constexpr double kBeforeResultMs = 200;

double wireMs(std::size_t bytes) {
    return static_cast<double>(bytes) * 10 * 1000.0 / kBaud;
}

// A request and its answer: the answer is on the wire while the master still pauses, so the
// exchange takes the longer of the two.
double answeredExchangeMs(std::size_t answerBytes) {
    return kBeforeRequestMs + std::max(kBeforeReadMs, wireMs(4 + answerBytes));
}

double blockExchangeMs(std::size_t dataBytes) {
    return kBeforeRequestMs + std::max(kAfterWriteMs, wireMs(dataBytes + 4 + 2)) + kAfterBlockMs;
}

// What the page sequence demands of a patient master: its pauses and its bytes on the wire.
double requiredMs(std::size_t pieceBytes, int pages) {
    const double command = answeredExchangeMs(2);
    const double oneByteRead = answeredExchangeMs(1 + 3);
    const double page = 4 * command + (256 / pieceBytes) * blockExchangeMs(pieceBytes) +
                        blockExchangeMs(1) + kBeforeResultMs + oneByteRead;
    return oneByteRead + pages * page + command;
}

struct Run {
    double totalMs = 0;
    double requiredMs = 0;
    double longestGapMs = 0;
    double longestExchangeMs = 0;
    bool written = false;
};

Run writeWholeImage(std::uint8_t readiness) {
    QTemporaryDir folder;
    const QString previous = QDir::currentPath();
    QDir::setCurrent(folder.path());
    QFile data(QStringLiteral("data.bin"));
    data.open(QIODevice::WriteOnly);
    data.write(QByteArray(static_cast<qsizetype>(zorvan::link::kFlashImageCapacity), '\x3C'));
    data.close();

    PanelSession session(kBaud);
    session.line.add(10, {10, 80, 1, 2}).update([&](zorvan::sim::Instrument& it) {
        it.flashReadiness = readiness;
    });
    zorvan::testing::SessionSettings settings;
    settings.readTimeoutMs = 200;
    auto& window = session.start(settings);
    session.waitForPollCycles(1);
    window.suspendPolling();
    zorvan::link::waitForWorkers(std::chrono::seconds(5));

    const std::size_t piece = readiness >= 100 ? 128 : 16;
    Run run;
    run.requiredMs = requiredMs(piece, 256);
    run.longestExchangeMs = blockExchangeMs(piece);
    auto& writer = window.MainPopupMenu->flashWriter();
    QElapsedTimer clock;
    QElapsedTimer sinceTick;
    QTimer tick;
    tick.setTimerType(Qt::PreciseTimer);
    tick.setInterval(1);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        run.longestGapMs = std::max(run.longestGapMs, sinceTick.nsecsElapsed() / 1e6);
        sinceTick.restart();
        if (run.totalMs == 0 && window.stIndSoobsch->text().endsWith(QStringLiteral("успешно!"))) {
            run.totalMs = clock.nsecsElapsed() / 1e6;
            run.written = true;
        }
    });
    clock.start();
    sinceTick.start();
    tick.start();
    writer.NWriteEEPROMClick();
    PanelSession::waitFor([&] { return !writer.running(); }, 30 * 60 * 1000);
    tick.stop();
    session.mainForm.reset();
    QDir::setCurrent(previous);
    return run;
}

void report(const char* name, const Run& run) {
    if (!run.written) {
        std::printf("%-30s the write did not succeed\n", name);
        return;
    }
    std::printf("%-30s total %9.1f ms  required %9.1f ms  ratio %.3f  (goal <= 1.05)\n", name,
                run.totalMs, run.requiredMs, run.totalMs / run.requiredMs);
    std::printf("%-30s longest event-loop gap %.1f ms  longest exchange %.1f ms  (goal: gap <= "
                "exchange)\n",
                "", run.longestGapMs, run.longestExchangeMs);
}

QtMessageHandler defaultHandler = nullptr;

// The offscreen platform says on every mask change and raise that it cannot do them.
void dropPlatformNotes(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (!text.contains(QLatin1String("This plugin does not support"))) {
        defaultHandler(type, context, text);
    }
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    defaultHandler = qInstallMessageHandler(dropPlatformNotes);
    QApplication application(argc, argv);
    const char* only = argc > 1 ? argv[1] : "";
    std::printf("65,536-byte FLASH write at %d bit/s, 256 pages\n", kBaud);
    if (std::strcmp(only, "large") != 0) {
        report("16-byte pieces (readiness 99)", writeWholeImage(99));
    }
    if (std::strcmp(only, "small") != 0) {
        report("128-byte pieces (readiness 100)", writeWholeImage(100));
    }
    return 0;
}
