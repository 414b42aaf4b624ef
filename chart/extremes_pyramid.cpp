#include "chart/extremes_pyramid.h"

namespace zorvan::chart {

void ExtremesPyramid::restart(qint64 firstIndex) {
    next_ = firstIndex;
    levels_.clear();
}

void ExtremesPyramid::append(double y) {
    ValueRange point;
    point.include(y);
    qint64 node = next_ >> kLeafShift;
    mergeInto(0, node, point);
    const bool leafComplete = (next_ & (kLeafSize - 1)) == kLeafSize - 1;
    ++next_;
    if (!leafComplete) {
        return;
    }
    // Carry the completed node up while it is the second child, which completes its parent too.
    for (std::size_t level = 0;; ++level) {
        const ValueRange complete = levels_[level].nodes.back();
        mergeInto(level + 1, node >> 1, complete);
        if ((node & 1) == 0) {
            return;
        }
        node >>= 1;
    }
}

void ExtremesPyramid::dropBefore(qint64 firstHeld) {
    for (std::size_t level = 0; level < levels_.size(); ++level) {
        Level& l = levels_[level];
        const int shift = kLeafShift + int(level);
        while (!l.nodes.empty() && ((l.firstNode + 1) << shift) <= firstHeld) {
            l.nodes.pop_front();
            ++l.firstNode;
        }
    }
}

ValueRange ExtremesPyramid::overLeaves(qint64 firstLeaf, qint64 endLeaf) const {
    ValueRange range;
    for (std::size_t level = 0; firstLeaf < endLeaf; ++level) {
        const Level& l = levels_[level];
        if (firstLeaf & 1) {
            range.include(l.nodes[std::size_t(firstLeaf - l.firstNode)]);
            ++firstLeaf;
        }
        if (endLeaf & 1) {
            --endLeaf;
            range.include(l.nodes[std::size_t(endLeaf - l.firstNode)]);
        }
        firstLeaf >>= 1;
        endLeaf >>= 1;
    }
    return range;
}

qsizetype ExtremesPyramid::bytesHeld() const {
    std::size_t nodes = 0;
    for (const Level& level : levels_) {
        nodes += level.nodes.size();
    }
    return qsizetype(nodes * sizeof(ValueRange));
}

void ExtremesPyramid::mergeInto(std::size_t level, qint64 node, const ValueRange& range) {
    if (level == levels_.size()) {
        levels_.push_back({node, {}});
    }
    Level& l = levels_[level];
    if (l.nodes.empty()) {
        l.firstNode = node;
    }
    if (node == l.firstNode + qint64(l.nodes.size())) {
        l.nodes.push_back(range);
    } else {
        l.nodes.back().include(range);
    }
}

} // namespace zorvan::chart
