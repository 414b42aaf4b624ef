// One measured start, as a process of its own: `startup_probe program <settings file> <seconds>`
// runs the program, `startup_probe bare <seconds>` a bare Qt window. Each prints the monotonic
// clock at its first paint, then, after <seconds> of running, its resident memory.
#include "app/program.h"
#include "settings/settings_path.h"

#include <QApplication>
#include <QFile>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <ctime>

namespace {

long long monotonicNs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec * 1'000'000'000LL + now.tv_nsec;
}

long residentKiB() {
    QFile status(QStringLiteral("/proc/self/status"));
    status.open(QIODevice::ReadOnly);
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:")) {
            return line.mid(6).trimmed().split(' ').first().toLong();
        }
    }
    return -1;
}

// Prints the first paint, then the memory once the run time is over, and ends the program.
class FirstPaintProbe final : public QObject {
public:
    explicit FirstPaintProbe(int seconds) : seconds_(seconds) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && !painted_) {
            painted_ = true;
            std::printf("first-paint-ns %lld\n", monotonicNs());
            std::fflush(stdout);
            QTimer::singleShot(seconds_ * 1000, [] {
                std::printf("rss-kib %ld\n", residentKiB());
                std::fflush(stdout);
                std::_Exit(0);
            });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    int seconds_;
    bool painted_ = false;
};

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s program <settings> <seconds> | bare <seconds>\n", argv[0]);
        return 2;
    }
    const bool bare = QByteArray(argv[1]) == "bare";
    const int seconds = std::atoi(argv[bare ? 2 : 3]);
    FirstPaintProbe probe(seconds);
    if (bare) {
        QApplication application(argc, argv);
        QWidget window;
        window.resize(278, 227);
        window.installEventFilter(&probe);
        window.show();
        return QApplication::exec();
    }
    const QString settings = QString::fromLocal8Bit(argv[2]);
    zorvan::app::ProgramHooks hooks;
    hooks.beforeSettings = [&] { zorvan::settings::setSettingsFilePath(settings); };
    hooks.mainWindowCreated = [&](QWidget& window) { window.installEventFilter(&probe); };
    return zorvan::app::runProgram(argc, argv, hooks);
}
