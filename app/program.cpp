#include "app/program.h"

#include "app/orderly_end.h"
#include "app/single_instance.h"
#include "app/termination_signals.h"
#include "app/window_launchers.h"
#include "graphs/recording_file.h"
#include "panel/main_form.h"
#include "settings/ini_file.h"
#include "settings/settings_loader.h"
#include "ui/application_title.h"

#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <chrono>
#include <cstdio>

namespace zorvan::app {
namespace {

constexpr std::chrono::seconds kRecordingsEndBound{30};

} // namespace

int runProgram(int argc, char** argv, const ProgramHooks& hooks) {
    QApplication application(argc, argv);
    QPointer<panel::TMainFormTestIndZorvan4> mainWindow;
    const TerminationSignals terminations([&mainWindow] { endProgramInOrder(mainWindow); });
    SingleInstance guard(QCoreApplication::applicationFilePath());
    if (!guard.becomeFirst()) {
        return 0;
    }
    settings::setFileProblemHandler([](const QString& path, settings::FileProblem problem) {
        QMessageBox::critical(nullptr, ui::applicationTitle(),
                              settings::fileProblemText(path, problem));
    });
    if (hooks.beforeSettings) {
        hooks.beforeSettings();
    }
    settings::loadDecimalSeparator();

    panel::TMainFormTestIndZorvan4 mainForm;
    mainWindow = &mainForm;
    installWindowLaunchers(mainForm);
    QObject::connect(&guard, &SingleInstance::restoreRequested, &mainForm,
                     &panel::TMainFormTestIndZorvan4::restoreFromSecondCopy);
    if (hooks.mainWindowCreated) {
        hooks.mainWindowCreated(mainForm);
    }
    mainForm.show();
    const int exitCode = QApplication::exec();
    // The appended points are on the disk already; a last rewrite of a long recording on a slow
    // disk is let finish rather than cut off.
    if (!graphs::waitForFinishingRecordings(kRecordingsEndBound)) {
        std::fprintf(stderr,
                     "zorvan: a graph file's last rewrite did not finish within %lld s; "
                     "its points appended so far are in the file\n",
                     static_cast<long long>(kRecordingsEndBound.count()));
    }
    return exitCode;
}

} // namespace zorvan::app
