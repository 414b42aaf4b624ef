#include "link/flash_write.h"

#include "link/command_codes.h"
#include "link/exchange.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <thread>

namespace zorvan::link {
namespace {

constexpr std::uint8_t kPageWritten = 0;
constexpr std::uint8_t kFirstLargeKind = 100;

// How an instrument kind takes a page: the command that opens its page buffer, the size of the
// pieces, and the one-byte block that closes the buffer.
struct PageLayout {
    std::size_t pieceBytes;
    std::uint8_t openCode;
    std::uint8_t openParameter;
    std::uint8_t closeCode;
    std::uint8_t closeByte;
};

constexpr PageLayout kLargeLayout{128, kServiceCode, kOpenBufferLarge, kServiceCode,
                                  kCloseBufferLarge};
constexpr PageLayout kSmallLayout{16, kBufferCodeSmall, kOpenBufferSmall, kBufferCodeSmall,
                                  kCloseBufferSmall};

using FileHandle = std::unique_ptr<std::FILE, decltype(&std::fclose)>;

template <typename Hook, typename... Args> void report(const Hook& hook, Args... args) {
    if (hook) {
        hook(args...);
    }
}

class PageSequence {
public:
    PageSequence(std::uint8_t address, const PageLayout& layout, const FlashWritePauses& pauses)
        : address_(address), layout_(layout), pauses_(pauses) {}

    // A step done with one retry: a failed exchange is tried once more after a pause.
    template <typename Exchange> bool withRetry(Exchange&& exchange) const {
        if (exchange()) {
            return true;
        }
        std::this_thread::sleep_for(pauses_.retry);
        return exchange();
    }

    bool command(std::uint8_t code, std::uint8_t parameter) const {
        return withRetry([&] { return SendCommand(address_, code, parameter); });
    }

    bool closeBuffer() const {
        return withRetry(
            [&] { return WriteBlock(address_, layout_.closeCode, 1, &layout_.closeByte); });
    }

    // When the preparation is refused twice, a page buffer left open by an earlier, broken
    // write is closed and the preparation asked for once more.
    bool prepare() const {
        if (command(kModeCode, kPrepareFlash)) {
            return true;
        }
        std::this_thread::sleep_for(pauses_.retry);
        WriteBlock(address_, layout_.closeCode, 1, &layout_.closeByte);
        std::this_thread::sleep_for(pauses_.retry);
        return SendCommand(address_, kModeCode, kPrepareFlash);
    }

    bool sendPieces(const std::uint8_t* page) const {
        for (std::size_t offset = 0; offset < kFlashPageBytes; offset += layout_.pieceBytes) {
            // The code byte of a piece carries its offset in the page.
            const auto code = static_cast<std::uint8_t>(offset);
            const bool sent = withRetry([&] {
                return WriteBlock(address_ | kWriteBits, code,
                                  static_cast<std::uint32_t>(layout_.pieceBytes), page + offset);
            });
            if (!sent) {
                return false;
            }
        }
        return true;
    }

    // Fills, names and burns a prepared page; the page result, or nothing when a step failed.
    std::optional<std::uint8_t> write(const std::uint8_t* page, std::uint8_t index) const {
        if (!command(layout_.openCode, layout_.openParameter) || !sendPieces(page) ||
            !closeBuffer() || !command(kModeCode, index) || !command(kServiceCode, kBurnPage)) {
            return std::nullopt;
        }
        std::this_thread::sleep_for(pauses_.beforeResult);
        std::uint8_t answer[4]{};
        if (!withRetry(
                [&] { return ReadData(address_ | kDataReadBits, kPageResultCode, 1, answer); })) {
            return std::nullopt;
        }
        return answer[2];
    }

private:
    std::uint8_t address_;
    const PageLayout& layout_;
    const FlashWritePauses& pauses_;
};

std::optional<std::uint8_t> readReadiness(std::uint8_t address, const FlashWritePauses& pauses) {
    const std::chrono::milliseconds before[] = {std::chrono::milliseconds(0),
                                                pauses.secondReadiness, pauses.thirdReadiness};
    for (const auto pause : before) {
        std::this_thread::sleep_for(pause);
        std::uint8_t answer[4]{};
        if (ReadData(address | kDataReadBits, kFlashReadinessCode, 1, answer)) {
            return answer[2];
        }
    }
    return std::nullopt;
}

} // namespace

FlashImage loadFlashImage(const std::string& path) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) {
        return {};
    }
    const auto length = std::filesystem::file_size(path, error);
    if (error) {
        return {};
    }
    if (length > kFlashImageCapacity) {
        return {FlashImageStatus::TooLarge, {}};
    }
    const FileHandle file(std::fopen(path.c_str(), "rb"), &std::fclose);
    if (!file) {
        return {};
    }
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(length));
    if (std::fread(bytes.data(), 1, bytes.size(), file.get()) != bytes.size()) {
        return {};
    }
    return {FlashImageStatus::Loaded, std::move(bytes)};
}

int flashPageCount(std::size_t bytes) {
    return static_cast<int>(bytes / kFlashPageBytes);
}

FlashWriteResult WriteFlashImage(std::uint8_t address, const std::vector<std::uint8_t>& image,
                                 const FlashWriteReports& reports, const std::atomic<bool>* stop,
                                 const FlashWritePauses& pauses) {
    FlashWriteResult result;
    const auto readiness = readReadiness(address, pauses);
    if (!readiness) {
        return result;
    }
    const PageLayout& layout = *readiness >= kFirstLargeKind ? kLargeLayout : kSmallLayout;
    const PageSequence sequence(address, layout, pauses);
    const int pages = std::min(flashPageCount(image.size()), flashPageCount(kFlashImageCapacity));
    report(reports.pagesStarting, pages);

    for (int page = 0; page < pages; ++page) {
        if (stop != nullptr && *stop) {
            result.outcome = FlashWriteOutcome::Stopped;
            return result;
        }
        if (!sequence.prepare()) {
            result.outcome = FlashWriteOutcome::NoConnection;
            return result;
        }
        report(reports.pageBegun, page);
        const auto pageResult =
            sequence.write(image.data() + static_cast<std::size_t>(page) * kFlashPageBytes,
                           static_cast<std::uint8_t>(page));
        if (!pageResult) {
            result.outcome = FlashWriteOutcome::NoConnection;
            return result;
        }
        if (*pageResult != kPageWritten) {
            result.outcome = FlashWriteOutcome::PageRejected;
            result.pageResult = *pageResult;
            return result;
        }
        ++result.pagesWritten;
    }
    result.outcome = SendCommand(address, kServiceCode, kRestart) ? FlashWriteOutcome::Written
                                                                  : FlashWriteOutcome::NoConnection;
    return result;
}

} // namespace zorvan::link
