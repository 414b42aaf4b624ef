#include "graphs/file_calls.h"

#include <QFile>
#include <windows.h>

namespace zorvan::graphs {
namespace {

QString lastError() {
    return qt_error_string(static_cast<int>(::GetLastError()));
}

const wchar_t* nameOf(const QString& path) {
    return reinterpret_cast<const wchar_t*>(path.utf16());
}

HANDLE handleOf(FileCalls::Handle file) {
    return reinterpret_cast<HANDLE>(file);
}

std::optional<FileIdentity> identityOfHandle(HANDLE file) {
    BY_HANDLE_FILE_INFORMATION information{};
    if (!::GetFileInformationByHandle(file, &information) || information.nNumberOfLinks == 0) {
        return std::nullopt;
    }
    FILE_STANDARD_INFO standard{};
    if (::GetFileInformationByHandleEx(file, FileStandardInfo, &standard, sizeof standard) &&
        standard.DeletePending) {
        return std::nullopt;
    }
    return FileIdentity{information.dwVolumeSerialNumber,
                        (std::uint64_t(information.nFileIndexHigh) << 32) |
                            information.nFileIndexLow};
}

class Win32FileCalls final : public FileCalls {
public:
    Handle openForAppend(const QString& path, QString& error) override {
        return openWith(path, GENERIC_READ | GENERIC_WRITE, OPEN_ALWAYS, error);
    }

    Handle create(const QString& path, QString& error) override {
        return openWith(path, GENERIC_WRITE, CREATE_ALWAYS, error);
    }

    qint64 write(Handle file, const char* bytes, qint64 count, QString& error) override {
        // Only this program writes the file, so its end is where the last write left off; it is
        // looked up each time because a truncate moves it.
        LARGE_INTEGER end{};
        DWORD written = 0;
        if (!::SetFilePointerEx(handleOf(file), LARGE_INTEGER{}, &end, FILE_END) ||
            !::WriteFile(handleOf(file), bytes, static_cast<DWORD>(count), &written, nullptr)) {
            error = lastError();
            return written > 0 ? qint64(written) : -1;
        }
        return written;
    }

    qint64 readAt(Handle file, qint64 offset, char* bytes, qint64 count) override {
        OVERLAPPED at{};
        at.Offset = static_cast<DWORD>(offset);
        at.OffsetHigh = static_cast<DWORD>(offset >> 32);
        DWORD read = 0;
        if (!::ReadFile(handleOf(file), bytes, static_cast<DWORD>(count), &read, &at)) {
            return ::GetLastError() == ERROR_HANDLE_EOF ? 0 : -1;
        }
        return read;
    }

    qint64 size(Handle file) override {
        LARGE_INTEGER size{};
        return ::GetFileSizeEx(handleOf(file), &size) ? qint64(size.QuadPart) : -1;
    }

    bool truncate(Handle file, qint64 size, QString& error) override {
        LARGE_INTEGER at{};
        at.QuadPart = size;
        if (!::SetFilePointerEx(handleOf(file), at, nullptr, FILE_BEGIN) ||
            !::SetEndOfFile(handleOf(file))) {
            error = lastError();
            return false;
        }
        return true;
    }

    bool flush(Handle file, QString& error) override {
        if (!::FlushFileBuffers(handleOf(file))) {
            error = lastError();
            return false;
        }
        return true;
    }

    void close(Handle file) override { ::CloseHandle(handleOf(file)); }

    std::optional<FileIdentity> identityOf(Handle file) override {
        return identityOfHandle(handleOf(file));
    }

    std::optional<FileIdentity> identityAt(const QString& path) override {
        // Opened for no access at all: it reads the identity without disturbing anyone.
        const HANDLE file =
            ::CreateFileW(nameOf(path), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                          nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) {
            return std::nullopt;
        }
        const std::optional<FileIdentity> identity = identityOfHandle(file);
        ::CloseHandle(file);
        return identity;
    }

    bool exists(const QString& path) override {
        return ::GetFileAttributesW(nameOf(path)) != INVALID_FILE_ATTRIBUTES;
    }

    void remove(const QString& path) override { ::DeleteFileW(nameOf(path)); }

    bool keepCopy(const QString& path, const QString& copy, QString& error) override {
        ::DeleteFileW(nameOf(copy));
        if (::CreateHardLinkW(nameOf(copy), nameOf(path), nullptr)) {
            return true;
        }
        if (::CopyFileW(nameOf(path), nameOf(copy), FALSE)) {
            return true;
        }
        error = lastError();
        return false;
    }

    bool replace(const QString& from, const QString& to, QString& error) override {
        if (!::MoveFileExW(nameOf(from), nameOf(to),
                           MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            error = lastError();
            return false;
        }
        return true;
    }

private:
    static Handle openWith(const QString& path, DWORD access, DWORD disposition, QString& error) {
        // Not shared for deleting: while the recording holds its file, Windows refuses to delete
        // it or to put another in its place, where a deleted name would otherwise linger until
        // the handle is closed and then take the recording with it.
        const HANDLE file = ::CreateFileW(nameOf(path), access, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                          nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) {
            error = lastError();
            return kNoHandle;
        }
        return reinterpret_cast<Handle>(file);
    }
};

} // namespace

FileCalls& systemFileCalls() {
    // Never destroyed: a recording still finishing when the program gives up waiting for it
    // must not call into an object torn down at exit.
    static auto* const calls = new Win32FileCalls;
    return *calls;
}

} // namespace zorvan::graphs
