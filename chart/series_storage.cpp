#include "chart/series_storage.h"

namespace zorvan::chart {

void SeriesStorage::append(double x, double y, double time) {
    const qsizetype position = first_ + count_;
    if (std::size_t(position >> kChunkShift) == chunks_.size()) {
        // Default-initialised: the chunk's pages are only touched as points arrive.
        chunks_.push_back(spare_ ? std::move(spare_) : std::unique_ptr<Chunk>(new Chunk));
    }
    ++count_;
    write(count_ - 1, x, y, time);
}

void SeriesStorage::insert(qsizetype index, double x, double y, double time) {
    append(x, y, time);
    for (qsizetype i = count_ - 1; i > index; --i) {
        write(i, this->x(i - 1), this->y(i - 1), this->time(i - 1));
    }
    write(index, x, y, time);
}

void SeriesStorage::removeFirst() {
    if (count_ == 0) {
        return;
    }
    --count_;
    if (++first_ == kChunkSize) {
        spare_ = std::move(chunks_.front());
        chunks_.pop_front();
        first_ = 0;
    }
}

void SeriesStorage::clear() {
    chunks_.clear();
    spare_.reset();
    first_ = 0;
    count_ = 0;
}

qsizetype SeriesStorage::bytesHeld() const {
    return chunkCount() * qsizetype(sizeof(Chunk));
}

void SeriesStorage::write(qsizetype index, double x, double y, double time) {
    const Slot s = slot(index);
    s.chunk->x[s.offset] = x;
    s.chunk->y[s.offset] = y;
    s.chunk->time[s.offset] = time;
}

} // namespace zorvan::chart
