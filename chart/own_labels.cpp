#include "chart/own_labels.h"

namespace zorvan::chart {
namespace {

// Removed points' entries are dropped once they are this many and half of all, so removing
// stays O(1) amortised.
constexpr std::size_t kDropInBulk = 1024;

} // namespace

void OwnLabels::set(qsizetype index, QStringView text) {
    while (size() < index) {
        appendEntry({});
    }
    appendEntry(text);
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
    if (index < 0 || index >= size()) {
        return {};
    }
    const std::size_t entry = dropped_ + std::size_t(index);
    const std::uint32_t begin = beginOf(entry);
    return QString::fromUtf8(text_.data() + begin, qsizetype(ends_[entry] - begin));
}

qsizetype OwnLabels::bytesHeld() const {
    return qsizetype(text_.capacity() + ends_.capacity() * sizeof(std::uint32_t));
}

// Written here rather than through a converter, which would allocate for each of the
// hundred thousand points of a loaded file: labels end in a Cyrillic unit.
void OwnLabels::appendEntry(QStringView text) {
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u < 0x80) {
            text_.push_back(char(u));
        } else if (u < 0x800) {
            text_.push_back(char(0xC0 | (u >> 6)));
            text_.push_back(char(0x80 | (u & 0x3F)));
        } else if (!c.isSurrogate()) {
            text_.push_back(char(0xE0 | (u >> 12)));
            text_.push_back(char(0x80 | ((u >> 6) & 0x3F)));
            text_.push_back(char(0x80 | (u & 0x3F)));
        } else {
            // Beyond the basic plane, which a label hardly holds: the converter pairs them up.
            text_.resize(beginOf(ends_.size()));
            const QByteArray utf8 = text.toUtf8();
            text_.append(utf8.constData(), std::size_t(utf8.size()));
            break;
        }
    }
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
