#include "sim/flash_memory.h"

#include <algorithm>

namespace zorvan::sim {

namespace {
constexpr std::uint8_t kErased = 0xFF;
}

FlashMemory::FlashMemory() : memory_(kFlashSize, kErased) {
}

void FlashMemory::prepare() {
    buffer_.fill(kErased);
    step_ = Step::Prepared;
}

void FlashMemory::openBuffer() {
    if (step_ == Step::Prepared) {
        step_ = Step::Receiving;
    }
}

bool FlashMemory::writePiece(std::uint8_t offset, const std::uint8_t* bytes, std::size_t count) {
    if (step_ != Step::Receiving || offset + count > kFlashPageSize) {
        return false;
    }
    std::copy(bytes, bytes + count, buffer_.begin() + offset);
    return true;
}

void FlashMemory::closeBuffer() {
    if (step_ == Step::Receiving) {
        step_ = Step::Received;
    }
}

void FlashMemory::namePage(std::uint8_t index) {
    pageIndex_ = index;
    step_ = Step::PageNamed;
}

void FlashMemory::burn(const std::map<std::uint8_t, std::uint8_t>& failingPages) {
    if (step_ == Step::Idle) {
        return;
    }
    if (step_ != Step::PageNamed) {
        pageResult_ = kPageSequenceError;
    } else if (const auto failing = failingPages.find(pageIndex_); failing != failingPages.end()) {
        pageResult_ = failing->second;
    } else {
        std::copy(buffer_.begin(), buffer_.end(),
                  memory_.begin() + static_cast<std::ptrdiff_t>(pageIndex_ * kFlashPageSize));
        pageResult_ = 0;
    }
    step_ = Step::Idle;
}

std::vector<std::uint8_t> FlashMemory::page(std::uint8_t index) const {
    const auto first = memory_.begin() + static_cast<std::ptrdiff_t>(index * kFlashPageSize);
    return {first, first + static_cast<std::ptrdiff_t>(kFlashPageSize)};
}

} // namespace zorvan::sim
