#include "panel/key_areas.h"

#include "link/device_state.h"
#include "link/workers.h"

#include <array>

namespace zorvan::panel {
namespace {

constexpr std::array<KeyArea, 4> kKeys{{
    {PanelKey::T, 23, 80, link::kKeyT},
    {PanelKey::Zero, 82, 138, link::kKeyZero},
    {PanelKey::F1, 140, 196, link::kKeyF1},
    {PanelKey::F2, 198, 254, link::kKeyF2},
}};

constexpr int kOutputLeft = 208;
constexpr int kOutputRight = 248;
constexpr int kOutputTop = 104;
constexpr int kOutputBottom = 144;

} // namespace

const KeyArea& keyArea(PanelKey key) {
    return kKeys[static_cast<std::size_t>(key)];
}

std::optional<KeyArea> keyAt(int x, int y) {
    if (y < kKeyRowTop || y > kKeyRowBottom) {
        return std::nullopt;
    }
    for (const KeyArea& area : kKeys) {
        if (x >= area.left && x <= area.right) {
            return area;
        }
    }
    return std::nullopt;
}

bool inOutputArea(int x, int y) {
    return x >= kOutputLeft && x <= kOutputRight && y >= kOutputTop && y <= kOutputBottom;
}

bool outputAreaActive(std::uint8_t versionByte1, bool controlAllowed) {
    return versionByte1 >= link::kFirstOutputKind && controlAllowed;
}

} // namespace zorvan::panel
