#include "link/indicator_codes.h"

#include <array>
#include <utility>

namespace zorvan::link {
namespace {

// Segment bits: 0 top, 1 upper left, 2 upper right, 3 middle, 4 lower right, 6 bottom,
// 7 lower left.
constexpr std::array<std::pair<std::uint8_t, char>, 39> kPatterns{{
    {0x00, ' '}, {0x08, '-'}, {0x0E, 'V'}, {0x14, '1'}, {0x15, '7'}, {0x1E, '4'}, {0x1F, 'q'},
    {0x40, '_'}, {0x53, 'S'}, {0x5B, '5'}, {0x5D, '3'}, {0x5E, 'Y'}, {0x5F, '9'}, {0x82, 'I'},
    {0x88, 'r'}, {0x8B, 'F'}, {0x8E, 'K'}, {0x8F, 'P'}, {0x97, 'M'}, {0x98, 'n'}, {0x9A, 'h'},
    {0x9E, 'X'}, {0x9F, 'A'}, {0xC2, 'L'}, {0xC3, 'C'}, {0xC5, 'Z'}, {0xCA, 't'}, {0xCB, 'E'},
    {0xCD, '2'}, {0xD0, 'u'}, {0xD3, 'G'}, {0xD4, 'J'}, {0xD6, 'W'}, {0xD7, '0'}, {0xD8, 'o'},
    {0xDA, 'b'}, {0xDB, '6'}, {0xDC, 'd'}, {0xDF, '8'},
}};

} // namespace

char characterOfCode(std::uint8_t code) {
    const std::uint8_t segments = code & static_cast<std::uint8_t>(~kPointBit);
    for (const auto& [pattern, character] : kPatterns) {
        if (pattern == segments) {
            return character;
        }
    }
    return '?';
}

std::uint8_t codeOfCharacter(char character) {
    for (const auto& [pattern, shown] : kPatterns) {
        if (shown == character) {
            return pattern;
        }
    }
    return 0;
}

std::string CodeToChar(std::uint8_t code, IndicatorPosition& point) {
    const bool lit = (code & kPointBit) != 0;
    if (point.pointVisible() != lit) {
        point.setPointVisible(lit);
    }
    return std::string(1, characterOfCode(code));
}

void ShowIndicatorPosition(std::uint8_t code, IndicatorPosition& position) {
    position.setCaption(CodeToChar(code, position));
    if (position.caption() == "_") {
        if (position.fontSize() == kIndicatorFontSize) {
            position.setFontSize(kUnderscoreFontSize);
        }
    } else if (position.fontSize() == kUnderscoreFontSize) {
        position.setFontSize(kIndicatorFontSize);
    }
}

} // namespace zorvan::link
