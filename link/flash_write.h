#pragma once

// Writing a program image into the FLASH memory of an instrument, page by page. The instrument
// tells its kind by a readiness byte: 100 or more takes a 256-byte page in two 128-byte pieces,
// less in sixteen 16-byte pieces. Every page is prepared, filled, named by its index, burnt and
// its result read back; after the last page the instrument is restarted.

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace zorvan::link {

// The page index travels in one byte: 256 pages of 256 bytes at most.
constexpr std::size_t kFlashPageBytes = 256;
constexpr std::size_t kFlashImageCapacity = 65536;

enum class FlashImageStatus {
    Loaded,
    Unopened, // missing, not a regular file, or not readable to its end
    TooLarge, // longer than kFlashImageCapacity; nothing was read
};

struct FlashImage {
    FlashImageStatus status = FlashImageStatus::Unopened;
    std::vector<std::uint8_t> bytes;
};

// Reads the whole file, refusing one that would not fit the instrument's memory before reading.
FlashImage loadFlashImage(const std::string& path);

// Whole pages of an image of `bytes` bytes; bytes after the last whole page are not written.
int flashPageCount(std::size_t bytes);

enum class FlashWriteOutcome {
    Written,      // every page burnt and the restart acknowledged
    NoReadiness,  // the readiness byte did not come after three reads
    NoConnection, // a step failed after its retry, or the restart was not acknowledged
    PageRejected, // a page result other than 0
    Stopped,      // asked to stop between two pages
};

struct FlashWriteResult {
    FlashWriteOutcome outcome = FlashWriteOutcome::NoReadiness;
    int pagesWritten = 0;
    std::uint8_t pageResult = 0; // the refusing result when the outcome is PageRejected
};

// Progress, reported on the writing thread.
struct FlashWriteReports {
    // The readiness byte came: `pages` pages follow (possibly none).
    std::function<void(int pages)> pagesStarting;
    // Page `page` (from 0) was prepared and is being written.
    std::function<void(int page)> pageBegun;
};

// The instrument's own pauses: after a failed step, between readiness reads, and for the burn
// before its result can be read.
struct FlashWritePauses {
    std::chrono::milliseconds retry{300};
    std::chrono::milliseconds secondReadiness{50};
    std::chrono::milliseconds thirdReadiness{500};
    std::chrono::milliseconds beforeResult{200};
};

// Runs the whole sequence against the instrument at `address` on the calling thread. The caller
// owns the line (lineMutex) for the whole run. `stop`, when given, is tested before each page.
FlashWriteResult WriteFlashImage(std::uint8_t address, const std::vector<std::uint8_t>& image,
                                 const FlashWriteReports& reports = {},
                                 const std::atomic<bool>* stop = nullptr,
                                 const FlashWritePauses& pauses = {});

} // namespace zorvan::link
