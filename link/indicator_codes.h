#pragma once

// One position of the instrument's seven-segment indicator: the segment bits select a
// character, bit 5 is the decimal point of the position.

#include <cstdint>
#include <string>

namespace zorvan::link {

constexpr std::uint8_t kPointBit = 0x20;
constexpr int kIndicatorFontSize = 43;
// "_" sits on the baseline of a 43-point font and would be clipped, so it is drawn smaller.
constexpr int kUnderscoreFontSize = 30;

// What the panels expose of one indicator position, so the rules below work without widgets.
class IndicatorPosition {
public:
    virtual ~IndicatorPosition() = default;
    virtual std::string caption() const = 0;
    virtual void setCaption(const std::string& text) = 0;
    virtual int fontSize() const = 0;
    virtual void setFontSize(int size) = 0;
    virtual bool pointVisible() const = 0;
    virtual void setPointVisible(bool visible) = 0;
};

// The character of the segment pattern ("?" for a pattern outside the table); sets the
// point's visibility from bit 5 only when it differs.
std::string CodeToChar(std::uint8_t code, IndicatorPosition& point);

// The character of a code without touching any point.
char characterOfCode(std::uint8_t code);

// The segment pattern that shows a character (the inverse of the table), 0 when none does.
std::uint8_t codeOfCharacter(char character);

void ShowIndicatorPosition(std::uint8_t code, IndicatorPosition& position);

} // namespace zorvan::link
