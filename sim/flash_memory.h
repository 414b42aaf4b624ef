#pragma once

// The instrument's FLASH memory and the sequence that writes one 256-byte page of it:
// prepare (254 with 3), open the page buffer (255 with 251, or 251 with 1), the pieces,
// close the buffer (block 255 [250], or 251 [0]), name the page (254 with its index), burn it
// (255 with 5), then the master reads the page result (code 255, 0 = written).

#include <array>
#include <cstddef>
#include <cstdint>
#include <map>
#include <vector>

namespace zorvan::sim {

constexpr std::size_t kFlashSize = 65536;
constexpr std::size_t kFlashPageSize = 256;

// Page result of a burn that came out of sequence (no page named since preparation).
constexpr std::uint8_t kPageSequenceError = 1;

class FlashMemory {
public:
    enum class Step { Idle, Prepared, Receiving, Received, PageNamed };

    FlashMemory(); // erased: every byte 0xFF

    void prepare();
    void openBuffer();
    // Stores a piece at its offset in the page buffer; false (not acknowledged) while the buffer
    // is not open or when the piece runs past the end of the page.
    bool writePiece(std::uint8_t offset, const std::uint8_t* bytes, std::size_t count);
    void closeBuffer();
    // 254 names the page only after the buffer was closed; otherwise it is a mode command.
    bool expectsPageIndex() const { return step_ == Step::Received || step_ == Step::PageNamed; }
    void namePage(std::uint8_t index);
    // Burns the named page unless `failingPages` gives it a result. A repeated burn (its
    // acknowledgement was lost) changes nothing.
    void burn(const std::map<std::uint8_t, std::uint8_t>& failingPages);
    // Forgets a sequence under way, as a restart does.
    void abort() { step_ = Step::Idle; }

    Step step() const { return step_; }
    std::uint8_t pageResult() const { return pageResult_; }
    std::vector<std::uint8_t> page(std::uint8_t index) const;
    const std::vector<std::uint8_t>& bytes() const { return memory_; }

private:
    std::vector<std::uint8_t> memory_;
    std::array<std::uint8_t, kFlashPageSize> buffer_{};
    Step step_ = Step::Idle;
    std::uint8_t pageIndex_ = 0;
    std::uint8_t pageResult_ = 0;
};

} // namespace zorvan::sim
