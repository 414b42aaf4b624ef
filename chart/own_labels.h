#pragma once

#include <QString>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zorvan::chart {

// Texts some points carry in place of the label formatted from their time: a point read back
// from a file keeps the text it was written with. Such points come first in practice (a file is
// loaded into an emptied series and live points follow), so the texts are held for the points
// [0, size()) only, as UTF-8 one after another: a point past them costs nothing, one among them
// four bytes and its text. An empty text means the label is formatted from the time.
class OwnLabels {
public:
    qsizetype size() const { return qsizetype(ends_.size() - dropped_); }
    // Point `index`, at or past size(), gets `utf8`; the points between get none.
    void set(qsizetype index, std::string_view utf8);
    // A point without an own text moves the points from `index` on up by one.
    void insertNone(qsizetype index);
    void removeFirst();
    void clear();

    // Empty for a point without one.
    QString at(qsizetype index) const;
    std::string_view utf8At(qsizetype index) const;
    qsizetype bytesHeld() const;

private:
    std::uint32_t beginOf(std::size_t entry) const { return entry == 0 ? 0 : ends_[entry - 1]; }
    void appendEntry(std::string_view utf8);
    void dropRemoved();

    std::string text_;
    std::vector<std::uint32_t> ends_; // where each point's text ends in text_
    std::size_t dropped_ = 0;         // entries of removed points, dropped in bulk
};

} // namespace zorvan::chart
