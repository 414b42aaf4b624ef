#include "ui/window_region.h"

#include <algorithm>

namespace zorvan::ui {

QRegion rectRegion(int left, int top, int right, int bottom) {
    if (right <= left || bottom <= top) {
        return {};
    }
    return QRegion(left, top, right - left, bottom - top);
}

QRegion ellipseRegion(int left, int top, int right, int bottom) {
    if (right <= left || bottom <= top) {
        return {};
    }
    return QRegion(left, top, right - left, bottom - top, QRegion::Ellipse);
}

QRegion roundRectRegion(int left, int top, int right, int bottom, int cornerWidth,
                        int cornerHeight) {
    const int width = right - left;
    const int height = bottom - top;
    if (width <= 0 || height <= 0) {
        return {};
    }
    const int cw = std::clamp(cornerWidth, 0, width);
    const int ch = std::clamp(cornerHeight, 0, height);
    // Two crossing bands cover everything but the corners; the four corner ellipses
    // round them off.
    QRegion region = rectRegion(left + cw / 2, top, right - cw / 2, bottom);
    region += rectRegion(left, top + ch / 2, right, bottom - ch / 2);
    region += ellipseRegion(left, top, left + cw, top + ch);
    region += ellipseRegion(right - cw, top, right, top + ch);
    region += ellipseRegion(left, bottom - ch, left + cw, bottom);
    region += ellipseRegion(right - cw, bottom - ch, right, bottom);
    return region;
}

} // namespace zorvan::ui
