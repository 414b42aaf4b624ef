#include "graphs/file_calls.h"

#include <QFile>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zorvan::graphs {
namespace {

QString lastError() {
    return qt_error_string(errno);
}

QByteArray nameOf(const QString& path) {
    return QFile::encodeName(path);
}

FileIdentity identityFrom(const struct stat& status) {
    return {static_cast<std::uint64_t>(status.st_dev), static_cast<std::uint64_t>(status.st_ino)};
}

// A call interrupted by a signal before it did anything is made again.
template <typename Call> auto retryInterrupted(Call call) {
    for (;;) {
        const auto result = call();
        if (result >= 0 || errno != EINTR) {
            return result;
        }
    }
}

class PosixFileCalls final : public FileCalls {
public:
    Handle openForAppend(const QString& path, QString& error) override {
        return openWith(path, O_RDWR | O_APPEND | O_CREAT, error);
    }

    Handle create(const QString& path, QString& error) override {
        return openWith(path, O_WRONLY | O_CREAT | O_TRUNC, error);
    }

    qint64 write(Handle file, const char* bytes, qint64 count, QString& error) override {
        const ssize_t written = retryInterrupted(
            [&] { return ::write(static_cast<int>(file), bytes, static_cast<size_t>(count)); });
        if (written < 0) {
            error = lastError();
        }
        return written;
    }

    qint64 readAt(Handle file, qint64 offset, char* bytes, qint64 count) override {
        return retryInterrupted([&] {
            return ::pread(static_cast<int>(file), bytes, static_cast<size_t>(count), offset);
        });
    }

    qint64 size(Handle file) override {
        struct stat status {};
        return ::fstat(static_cast<int>(file), &status) == 0 ? qint64(status.st_size) : -1;
    }

    bool truncate(Handle file, qint64 size, QString& error) override {
        if (retryInterrupted([&] { return ::ftruncate(static_cast<int>(file), size); }) != 0) {
            error = lastError();
            return false;
        }
        return true;
    }

    bool flush(Handle file, QString& error) override {
        if (::fdatasync(static_cast<int>(file)) != 0) {
            error = lastError();
            return false;
        }
        return true;
    }

    void close(Handle file) override { ::close(static_cast<int>(file)); }

    std::optional<FileIdentity> identityOf(Handle file) override {
        struct stat status {};
        if (::fstat(static_cast<int>(file), &status) != 0 || status.st_nlink == 0) {
            return std::nullopt;
        }
        return identityFrom(status);
    }

    std::optional<FileIdentity> identityAt(const QString& path) override {
        struct stat status {};
        if (::stat(nameOf(path).constData(), &status) != 0) {
            return std::nullopt;
        }
        return identityFrom(status);
    }

    bool exists(const QString& path) override {
        return ::access(nameOf(path).constData(), F_OK) == 0;
    }

    void remove(const QString& path) override { ::unlink(nameOf(path).constData()); }

    bool keepCopy(const QString& path, const QString& copy, QString& error) override {
        ::unlink(nameOf(copy).constData());
        if (::link(nameOf(path).constData(), nameOf(copy).constData()) == 0) {
            return true;
        }
        error = lastError();
        // A file system without hard links (a FAT stick, some network folders) takes a copy.
        return QFile::copy(path, copy);
    }

    bool replace(const QString& from, const QString& to, QString& error) override {
        if (::rename(nameOf(from).constData(), nameOf(to).constData()) != 0) {
            error = lastError();
            return false;
        }
        return true;
    }

private:
    static Handle openWith(const QString& path, int flags, QString& error) {
        const int file = retryInterrupted(
            [&] { return ::open(nameOf(path).constData(), flags | O_CLOEXEC, 0644); });
        if (file < 0) {
            error = lastError();
            return kNoHandle;
        }
        return file;
    }
};

} // namespace

FileCalls& systemFileCalls() {
    // Never destroyed: a recording still finishing when the program gives up waiting for it
    // must not call into an object torn down at exit.
    static auto* const calls = new PosixFileCalls;
    return *calls;
}

} // namespace zorvan::graphs
