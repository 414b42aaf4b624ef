// Renders every window of the program in each of its states to PNG files, so anyone can look at
// what the program shows: screenshots <folder> [scale]. A scale (1.25, 1.5, 2) renders the
// windows as on a screen scaled so, as Windows scales by 125 %, 150 % and 200 %.
#include "tools/screenshots/scene_pictures.h"
#include "tools/screenshots/scenes.h"

#include <QApplication>
#include <cstdio>

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    if (argc > 2) {
        qputenv("QT_SCALE_FACTOR", argv[2]);
    }
    QApplication application(argc, argv);
    const QString folder =
        argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("screenshots");
    using namespace zorvan::screenshots;
    if (!setOutputFolder(folder)) {
        std::fprintf(stderr, "cannot create %s\n", qPrintable(folder));
        return 1;
    }
    panelScenes();
    graphScenes();
    sweepScenes();
    menuAndSettingsScenes();
    artworkScenes();
    std::printf("%d pictures\n", picturesWritten());
    return 0;
}
