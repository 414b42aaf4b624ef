#include "link/local_serial_port.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <windows.h>

namespace zorvan::link {
namespace {

// A pulled USB adapter leaves a handle that refuses every request with one of these.
bool deviceRemoved(DWORD error) {
    return error == ERROR_BAD_COMMAND || error == ERROR_DEVICE_NOT_CONNECTED ||
           error == ERROR_GEN_FAILURE || error == ERROR_ACCESS_DENIED;
}

// The name of the object that marks a port as held by this program: one per port, whatever the
// case the user wrote its name in.
std::string holdName(const std::string& port) {
    std::string name = "zorvan-serial-port-";
    for (const char c : port) {
        name += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return name;
}

OpenStatus statusOf(DWORD error) {
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
        return OpenStatus::NotFound;
    case ERROR_ACCESS_DENIED:
        return OpenStatus::Busy;
    default:
        return OpenStatus::OtherError;
    }
}

class Win32SerialPort final : public SerialPort {
public:
    ~Win32SerialPort() override { close(); }

    OpenResult open(const std::string& name) override {
        close();
        const std::string path = "\\\\.\\" + name;
        // No sharing: a second opener of the port gets ERROR_ACCESS_DENIED.
        handle_ = ::CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                OPEN_EXISTING, 0, nullptr);
        if (handle_ == INVALID_HANDLE_VALUE) {
            const DWORD error = ::GetLastError();
            return {statusOf(error), static_cast<int>(error)};
        }
        // Not every port refuses a second opener (Wine's ports, some virtual port drivers do
        // not): a named object held while the port is open keeps a second handle of this
        // program off it there too. The system drops it with its holder.
        ::SetLastError(ERROR_SUCCESS);
        hold_ = ::CreateMutexA(nullptr, FALSE, holdName(name).c_str());
        if (hold_ == nullptr || ::GetLastError() == ERROR_ALREADY_EXISTS) {
            close();
            return {OpenStatus::Busy, ERROR_ACCESS_DENIED};
        }
        gone_ = false;
        return {OpenStatus::Opened, 0};
    }

    bool setLineFormat(std::int32_t baudRate) override {
        DCB settings{};
        settings.DCBlength = sizeof settings;
        if (!isOpen() || !::GetCommState(handle_, &settings)) {
            return false;
        }
        settings.BaudRate = static_cast<DWORD>(baudRate);
        settings.ByteSize = 8;
        settings.Parity = NOPARITY;
        settings.StopBits = ONESTOPBIT;
        settings.fDtrControl = DTR_CONTROL_DISABLE;
        settings.fRtsControl = RTS_CONTROL_DISABLE;
        return ::SetCommState(handle_, &settings) != 0;
    }

    // The system waits in slices, so that a read can be abandoned between two of them; read()
    // puts the slices together up to the whole time-out.
    bool setReadTimeout(std::int32_t milliseconds) override {
        COMMTIMEOUTS timeouts{};
        if (!isOpen() || milliseconds < 0 || !::GetCommTimeouts(handle_, &timeouts)) {
            return false;
        }
        timeouts.ReadTotalTimeoutConstant =
            static_cast<DWORD>(std::min<std::int32_t>(milliseconds, kAbandonNoticeMs));
        readTimeout_ = std::chrono::milliseconds(milliseconds);
        return ::SetCommTimeouts(handle_, &timeouts) != 0;
    }

    void purgeReceive() override {
        if (isOpen()) {
            ::PurgeComm(handle_, PURGE_RXCLEAR);
        }
    }

    std::size_t write(const std::uint8_t* bytes, std::size_t count) override {
        DWORD written = 0;
        if (isOpen() &&
            !::WriteFile(handle_, bytes, static_cast<DWORD>(count), &written, nullptr)) {
            gone_ = deviceRemoved(::GetLastError());
        }
        return written;
    }

    std::size_t read(std::uint8_t* bytes, std::size_t maxCount) override {
        std::size_t received = 0;
        const auto deadline = std::chrono::steady_clock::now() + readTimeout_;
        while (isOpen() && received < maxCount) {
            if (readsAbandoned) {
                return received + takeWaiting(bytes + received, maxCount - received);
            }
            DWORD got = 0;
            if (!::ReadFile(handle_, bytes + received, static_cast<DWORD>(maxCount - received),
                            &got, nullptr)) {
                // Noticed here too, not only by a failed write: a listener never writes.
                gone_ = deviceRemoved(::GetLastError());
                break;
            }
            received += got;
            if (std::chrono::steady_clock::now() >= deadline) {
                break;
            }
        }
        return received;
    }

    void close() override {
        if (isOpen()) {
            ::CloseHandle(handle_);
        }
        handle_ = INVALID_HANDLE_VALUE;
        if (hold_ != nullptr) {
            ::CloseHandle(hold_);
        }
        hold_ = nullptr;
    }

    bool isOpen() const override { return handle_ != INVALID_HANDLE_VALUE; }
    bool deviceGone() const override { return gone_; }

private:
    // Only what the driver holds already, without waiting.
    std::size_t takeWaiting(std::uint8_t* bytes, std::size_t maxCount) {
        COMSTAT status{};
        DWORD errors = 0;
        if (!::ClearCommError(handle_, &errors, &status) || status.cbInQue == 0) {
            return 0;
        }
        DWORD got = 0;
        const DWORD wanted = std::min<DWORD>(status.cbInQue, static_cast<DWORD>(maxCount));
        ::ReadFile(handle_, bytes, wanted, &got, nullptr);
        return got;
    }

    HANDLE handle_ = INVALID_HANDLE_VALUE;
    HANDLE hold_ = nullptr;
    bool gone_ = false;
    std::chrono::milliseconds readTimeout_{200};
};

} // namespace

std::unique_ptr<SerialPort> makeLocalSerialPort() {
    return std::make_unique<Win32SerialPort>();
}

} // namespace zorvan::link
