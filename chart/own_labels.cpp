#include "chart/own_labels.h"

namespace zorvan::chart {
namespace {

// Removed points' entries are dropped once they are this many and half of all, so removing
// stays O(1) amortised.
constexpr std::size_t kDropInBulk = 1024;

} // namespace

void OwnLabels::set(qsizetype index, std::string_view utf8) {
    while (size() < index) {
        appendEntry({});
    }
    appendEntry(utf8);
}

void OwnLabels::insertNone(qsizetype index) {
    if (index >= size()) {
        return;
    }
    const std::size_t entry = dropped_ + std::size_t(index);
    ends_.insert(ends_.begin() + std::ptrdiff_t(entry), beginOf(entry));
}

void OwnLabels::removeFirst() {
    if (size() == 0) {
        return;
    }
    ++dropped_;
    if (dropped_ >= kDropInBulk && dropped_ * 2 >= ends_.size()) {
        dropRemoved();
    }
}

void OwnLabels::clear() {
    text_ = {};
    ends_ = {};
    dropped_ = 0;
}

QString OwnLabels::at(qsizetype index) const {
    const std::string_view utf8 = utf8At(index);
    return QString::fromUtf8(utf8.data(), qsizetype(utf8.size()));
}

std::string_view OwnLabels::utf8At(qsizetype index) const {
    if (index < 0 || index >= size()) {
        return {};
    }
    const std::size_t entry = dropped_ + std::size_t(index);
    const std::uint32_t begin = beginOf(entry);
    return std::string_view(text_).substr(begin, ends_[entry] - begin);
}

qsizetype OwnLabels::bytesHeld() const {
    return qsizetype(text_.capacity() + ends_.capacity() * sizeof(std::uint32_t));
}

void OwnLabels::appendEntry(std::string_view utf8) {
    text_ += utf8;
    ends_.push_back(std::uint32_t(text_.size()));
}

void OwnLabels::dropRemoved() {
    const std::uint32_t offset = beginOf(dropped_);
    text_.erase(0, offset);
    ends_.erase(ends_.begin(), ends_.begin() + std::ptrdiff_t(dropped_));
    for (std::uint32_t& end : ends_) {
        end -= offset;
    }
    dropped_ = 0;
}

} // namespace zorvan::chart
