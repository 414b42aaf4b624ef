#include "app/single_instance.h"

#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QSignalSpy>
#include <QTest>
#include <QThread>
#include <QUuid>
#include <atomic>
#include <gtest/gtest.h>
#include <memory>

#ifdef Q_OS_UNIX
#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#endif

namespace zorvan::app {
namespace {

QString uniqueExecutablePath() {
    return QStringLiteral("/opt/zorvan/") + QUuid::createUuid().toString(QUuid::WithoutBraces) +
           QStringLiteral("/zorvan");
}

// Starts another copy on its own thread, as another process would, while this thread keeps
// serving the first copy's event loop.
bool startedCopyIsFirst(const QString& key) {
    std::atomic<bool> first = true;
    std::unique_ptr<QThread> copy(QThread::create([&key, &first] {
        SingleInstance instance(key);
        first = instance.becomeFirst();
    }));
    copy->start();
    EXPECT_TRUE(QTest::qWaitFor([&copy] { return copy->isFinished(); }, 10000));
    copy->wait();
    return first;
}

TEST(SingleInstance, SecondCopyFromTheSamePathGivesWayAndRestoresTheFirst) {
    const QString path = uniqueExecutablePath();
    SingleInstance first(path);
    QSignalSpy restore(&first, &SingleInstance::restoreRequested);
    ASSERT_TRUE(first.becomeFirst());

    EXPECT_FALSE(startedCopyIsFirst(path));
    EXPECT_TRUE(restore.count() == 1 || restore.wait(2000));

    EXPECT_FALSE(startedCopyIsFirst(path));
    EXPECT_TRUE(restore.count() == 2 || restore.wait(2000));
    EXPECT_EQ(restore.count(), 2);
}

TEST(SingleInstance, CopyFromAnotherPathRunsBeside) {
    SingleInstance first(uniqueExecutablePath());
    QSignalSpy restore(&first, &SingleInstance::restoreRequested);
    ASSERT_TRUE(first.becomeFirst());

    EXPECT_TRUE(startedCopyIsFirst(uniqueExecutablePath()));
    QTest::qWait(50);
    EXPECT_EQ(restore.count(), 0);
}

// A first copy that has stopped answering must not hold the second one up for ever.
TEST(SingleInstance, SecondCopyGivesWayToAHungFirstCopy) {
    const QString path = uniqueExecutablePath();
    QLocalServer hung;
    ASSERT_TRUE(hung.listen(SingleInstance(path).serverName()));
    // This thread serves no events while becomeFirst waits, so the request goes unanswered.
    EXPECT_FALSE(SingleInstance(path).becomeFirst());
}

#ifdef Q_OS_UNIX
// What a copy that crashed leaves behind: the socket file of its server, with nobody
// listening on it.
void leaveStaleSocket(const QString& file) {
    const QByteArray name = QFile::encodeName(file);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    ASSERT_LT(static_cast<size_t>(name.size()), sizeof(address.sun_path));
    std::memcpy(address.sun_path, name.constData(), static_cast<size_t>(name.size()));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(fd, 0);
    EXPECT_EQ(::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)), 0);
    ::close(fd);
}

TEST(SingleInstance, ServerLeftByACrashedCopyIsTakenOver) {
    const QString path = uniqueExecutablePath();
    SingleInstance first(path);
    const QString socketFile = QDir(QDir::tempPath()).filePath(first.serverName());
    leaveStaleSocket(socketFile);
    ASSERT_TRUE(QFileInfo::exists(socketFile));

    QSignalSpy restore(&first, &SingleInstance::restoreRequested);
    ASSERT_TRUE(first.becomeFirst());
    EXPECT_TRUE(QFileInfo::exists(socketFile));
    EXPECT_FALSE(startedCopyIsFirst(path));
    EXPECT_TRUE(restore.count() == 1 || restore.wait(2000));
}
#endif

} // namespace
} // namespace zorvan::app
