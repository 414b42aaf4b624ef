#pragma once

#include <QtGlobal>
#include <algorithm>
#include <deque>
#include <memory>

namespace zorvan::chart {

// X, Y and time of a series' points in fixed-size chunks. Appending never moves what is held and
// never reserves more than one chunk ahead, so a series of millions of points costs its 24 bytes
// a point; removing from the front frees whole chunks, and the last one freed is kept for the next
// append, so a sliding window runs on the same few chunks.
class SeriesStorage {
public:
    static constexpr int kChunkShift = 12;
    static constexpr qsizetype kChunkSize = qsizetype(1) << kChunkShift;

    void append(double x, double y, double time);
    // Moves the points from `index` on up by one: O(n).
    void insert(qsizetype index, double x, double y, double time);
    void removeFirst();
    void clear();

    qsizetype count() const { return count_; }
    double x(qsizetype index) const { return slot(index).chunk->x[slot(index).offset]; }
    double y(qsizetype index) const { return slot(index).chunk->y[slot(index).offset]; }
    double time(qsizetype index) const { return slot(index).chunk->time[slot(index).offset]; }
    // Asks for the X and Y of a point to be brought into the cache ahead of their reading.
    void prefetch(qsizetype index) const {
        const Slot s = slot(index);
        __builtin_prefetch(&s.chunk->x[s.offset]);
        __builtin_prefetch(&s.chunk->y[s.offset]);
    }

    // Calls visit(const double* values, qsizetype count) for each contiguous stretch of the Y
    // values of points [from, to).
    template <typename Visit> void visitY(qsizetype from, qsizetype to, Visit visit) const {
        while (from < to) {
            const Slot s = slot(from);
            const qsizetype n = std::min(to - from, kChunkSize - s.offset);
            visit(s.chunk->y + s.offset, n);
            from += n;
        }
    }

    qsizetype chunkCount() const { return qsizetype(chunks_.size()) + (spare_ ? 1 : 0); }
    qsizetype bytesHeld() const;

private:
    struct Chunk {
        double x[kChunkSize];
        double y[kChunkSize];
        double time[kChunkSize];
    };
    struct Slot {
        Chunk* chunk;
        qsizetype offset;
    };

    Slot slot(qsizetype index) const {
        const qsizetype position = first_ + index;
        return {chunks_[std::size_t(position >> kChunkShift)].get(), position & (kChunkSize - 1)};
    }
    void write(qsizetype index, double x, double y, double time);

    std::deque<std::unique_ptr<Chunk>> chunks_;
    std::unique_ptr<Chunk> spare_;
    qsizetype first_ = 0; // where point 0 sits in the front chunk
    qsizetype count_ = 0;
};

} // namespace zorvan::chart
