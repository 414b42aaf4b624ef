#pragma once

// The system's file calls that a recording and a whole-file save rely on, behind one seam: the
// program uses the system's, tests put failures in between (a full disk, a short write, a failed
// flush or rename, a file replaced under its name).

#include <QString>
#include <cstdint>
#include <optional>

namespace zorvan::graphs {

// Which file a name or an open handle stands for: device and inode on POSIX, volume serial and
// file index on Windows. A file put in place of another under the same name differs.
struct FileIdentity {
    std::uint64_t volume = 0;
    std::uint64_t index = 0;
    friend bool operator==(const FileIdentity&, const FileIdentity&) = default;
};

class FileCalls {
public:
    // A file descriptor, or a Windows HANDLE.
    using Handle = std::intptr_t;
    static constexpr Handle kNoHandle = -1;

    virtual ~FileCalls() = default;

    // Opens `path` for reading and for writing at its end, creating it; kNoHandle and `error`
    // when it cannot. On POSIX another program may still rename or delete it while it is open;
    // Windows refuses that.
    virtual Handle openForAppend(const QString& path, QString& error) = 0;
    // Creates `path` empty, or empties it, for writing.
    virtual Handle create(const QString& path, QString& error) = 0;
    // Writes at the end of the file; returns how many bytes went, which may be fewer than
    // `count` (a full disk), or -1 and `error` when none did.
    virtual qint64 write(Handle file, const char* bytes, qint64 count, QString& error) = 0;
    // Reads up to `count` bytes from `offset`; -1 on failure.
    virtual qint64 readAt(Handle file, qint64 offset, char* bytes, qint64 count) = 0;
    // The file's length in bytes; -1 on failure.
    virtual qint64 size(Handle file) = 0;
    virtual bool truncate(Handle file, qint64 size, QString& error) = 0;
    // Past the system's cache: on the disk when it returns true.
    virtual bool flush(Handle file, QString& error) = 0;
    virtual void close(Handle file) = 0;

    // The file the handle is open on; nullopt once no name is left to it (deleted).
    virtual std::optional<FileIdentity> identityOf(Handle file) = 0;
    // The file `path` names now; nullopt when there is none.
    virtual std::optional<FileIdentity> identityAt(const QString& path) = 0;
    virtual bool exists(const QString& path) = 0;
    virtual void remove(const QString& path) = 0;
    // `copy` becomes what `path` holds now, and stays so when `path` is replaced afterwards: a
    // second name of the same file where the system allows one, else a copy.
    virtual bool keepCopy(const QString& path, const QString& copy, QString& error) = 0;
    // Puts `from` in the place of `to` in one step: at every moment `to` names a whole file.
    virtual bool replace(const QString& from, const QString& to, QString& error) = 0;
};

// The operating system's own calls.
FileCalls& systemFileCalls();

} // namespace zorvan::graphs
