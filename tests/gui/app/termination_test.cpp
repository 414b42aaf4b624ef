// The program ended by SIGTERM (a log-out, `kill`) closes as by its close picture: the windows'
// positions reach the settings file before it exits.
#include "settings/ini_file.h"
#include "settings/keys.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

namespace zorvan::app {
namespace {

bool waitUntil(const std::function<bool()>& condition) {
    for (int attempt = 0; attempt < 200; ++attempt) {
        if (condition()) {
            return true;
        }
        QThread::msleep(50);
    }
    return false;
}

TEST(Termination, SigtermSavesTheWindowPositionsAndEndsNormally) {
    // A copy of its own, so that its settings file and single-instance name are the test's.
    QTemporaryDir folder;
    const QString program = folder.filePath(QStringLiteral("zorvan"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(ZORVAN_PROGRAM), program));
    const settings::IniFile settingsFile(folder.filePath(QStringLiteral("zorvan.ini")));
    settingsFile.writeString(settings::kComPort.section, settings::kComPort.name,
                             u"ttyNoSuchPort7");
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    QProcess running;
    running.setProcessEnvironment(environment);
    running.start(program, {});
    ASSERT_TRUE(running.waitForStarted(5000));

    // The last key the main window writes while it is created.
    const settings::BoolKey& lastWritten = settings::kSignalRangeFixed;
    ASSERT_TRUE(waitUntil([&] {
        return settingsFile.readString(lastWritten.section, lastWritten.name).has_value();
    }));
    QThread::msleep(300);
    running.terminate();

    ASSERT_TRUE(running.waitForFinished(10000));
    EXPECT_EQ(running.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(running.exitCode(), 0);
    const settings::IntegerKey& left = settings::kWindowLeft[0];
    EXPECT_TRUE(settingsFile.readString(left.section, left.name).has_value());
}

} // namespace
} // namespace zorvan::app
