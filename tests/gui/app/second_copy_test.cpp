// The real program started twice from the same path: the second copy hands over and ends.
#include "app/single_instance.h"

#include <QLocalSocket>
#include <QProcess>
#include <QThread>
#include <gtest/gtest.h>

namespace zorvan::app {
namespace {

// True once a copy of the program listens for restore requests.
bool programListens(const QString& program) {
    // Connecting only looks: becoming first here would take the name from the program.
    const SingleInstance names(program);
    for (int attempt = 0; attempt < 100; ++attempt) {
        QLocalSocket socket;
        socket.connectToServer(names.serverName());
        if (socket.waitForConnected(100)) {
            return true;
        }
        QThread::msleep(50);
    }
    return false;
}

TEST(SecondCopy, FromTheSamePathEndsAndLeavesTheFirstRunning) {
    const QString program = QStringLiteral(ZORVAN_PROGRAM);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    QProcess first;
    first.setProcessEnvironment(environment);
    first.start(program, {});
    ASSERT_TRUE(first.waitForStarted(5000));
    ASSERT_TRUE(programListens(program));

    QProcess second;
    second.setProcessEnvironment(environment);
    second.start(program, {});
    EXPECT_TRUE(second.waitForFinished(5000));
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_EQ(first.state(), QProcess::Running);

    first.kill();
    first.waitForFinished(5000);
}

} // namespace
} // namespace zorvan::app
