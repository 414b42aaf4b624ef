#include "link/serial_port.h"

#include <windows.h>

namespace zorvan::link {
namespace {

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

    bool setReadTimeout(std::int32_t milliseconds) override {
        COMMTIMEOUTS timeouts{};
        if (!isOpen() || !::GetCommTimeouts(handle_, &timeouts)) {
            return false;
        }
        timeouts.ReadTotalTimeoutConstant = static_cast<DWORD>(milliseconds);
        return ::SetCommTimeouts(handle_, &timeouts) != 0;
    }

    void purgeReceive() override {
        if (isOpen()) {
            ::PurgeComm(handle_, PURGE_RXCLEAR);
        }
    }

    std::size_t write(const std::uint8_t* bytes, std::size_t count) override {
        DWORD written = 0;
        if (isOpen()) {
            ::WriteFile(handle_, bytes, static_cast<DWORD>(count), &written, nullptr);
        }
        return written;
    }

    std::size_t read(std::uint8_t* bytes, std::size_t maxCount) override {
        DWORD received = 0;
        if (isOpen()) {
            ::ReadFile(handle_, bytes, static_cast<DWORD>(maxCount), &received, nullptr);
        }
        return received;
    }

    void close() override {
        if (isOpen()) {
            ::CloseHandle(handle_);
        }
        handle_ = INVALID_HANDLE_VALUE;
    }

    bool isOpen() const override { return handle_ != INVALID_HANDLE_VALUE; }

private:
    HANDLE handle_ = INVALID_HANDLE_VALUE;
};

} // namespace

std::unique_ptr<SerialPort> makeSerialPort() {
    return std::make_unique<Win32SerialPort>();
}

} // namespace zorvan::link
