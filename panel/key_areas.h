#pragma once

// Where the keys and the discrete-output switch lie on the front picture, in the picture's own
// pixels, bounds inclusive.

#include <cstdint>
#include <optional>

namespace zorvan::panel {

enum class PanelKey { T, Zero, F1, F2 };

struct KeyArea {
    PanelKey key;
    int left;
    int right;
    std::int32_t code; // the key code sent with command 253
};

constexpr int kKeyRowTop = 148;
constexpr int kKeyRowBottom = 205;

// The area of one key.
const KeyArea& keyArea(PanelKey key);

// The key under a point of the front picture; the gaps between keys belong to none.
std::optional<KeyArea> keyAt(int x, int y);

// The discrete-output switch area; it works only on the 8.0 kind with control allowed.
bool inOutputArea(int x, int y);
bool outputAreaActive(std::uint8_t versionByte1, bool controlAllowed);

} // namespace zorvan::panel
