#include "graphs/fixed_point.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <iterator>

namespace zorvan::graphs {

namespace {

constexpr double kPowersOfTen[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9};

constexpr char kDigitPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

// Room for what fixedByInteger writes: 15 digits, zeros up to the decimals, separator and sign.
constexpr int kIntegerRoom = 32;

// `value` in fixed point as std::to_chars writes it, through a scaled integer whose digits are
// written from the last, the separator among them, to end at `end`: several times faster, which
// a save of a hundred thousand lines of four values notices. Only where rounding cannot differ
// from the exact decimal: away from a tie, and not a negative value rounding to 0. Returns the
// length written, or -1 where to_chars must decide.
int fixedByInteger(char* end, double value, int decimals, char separator) {
    if (decimals < 0 || decimals >= int(std::size(kPowersOfTen))) {
        return -1;
    }
    const double scaled = std::fabs(value) * kPowersOfTen[decimals];
    if (!(scaled < 1e15)) {
        return -1;
    }
    const double whole = std::floor(scaled);
    const double fraction = scaled - whole;
    // The product is off the exact one by at most half a unit in its last place.
    if (std::fabs(fraction - 0.5) <= scaled * 4e-16) {
        return -1;
    }
    auto rounded = static_cast<unsigned long long>(fraction > 0.5 ? whole + 1 : whole);
    if (std::signbit(value) && rounded == 0) {
        return -1;
    }
    // Two digits at a time, which halves the chain of divisions.
    char* first = end;
    for (; rounded >= 100; rounded /= 100) {
        first -= 2;
        std::memcpy(first, kDigitPairs + 2 * (rounded % 100), 2);
    }
    if (rounded >= 10) {
        first -= 2;
        std::memcpy(first, kDigitPairs + 2 * rounded, 2);
    } else {
        *--first = char('0' + rounded);
    }
    // At least one digit before the separator: 5 with two decimals is "0.05".
    while (end - first < decimals + 1) {
        *--first = '0';
    }
    if (decimals > 0) {
        char* const separatorAt = end - decimals - 1;
        std::memmove(first - 1, first, std::size_t(separatorAt + 1 - first));
        --first;
        *separatorAt = separator;
    }
    if (std::signbit(value)) {
        *--first = '-';
    }
    return int(end - first);
}

} // namespace

int writeFixed(char* out, double value, int decimals, char separator) {
    char text[kIntegerRoom];
    if (const int length = fixedByInteger(text + kIntegerRoom, value, decimals, separator);
        length >= 0) {
        std::memcpy(out, text + kIntegerRoom - length, std::size_t(length));
        return length;
    }
    const auto [end, error] =
        std::to_chars(out, out + kMaxFixedLength, value, std::chars_format::fixed, decimals);
    const int length = error == std::errc{} ? int(end - out) : 0;
    if (separator != '.') {
        std::replace(out, out + length, '.', separator);
    }
    return length;
}

char* writeFixedAligned(char* out, double value, int decimals, char separator, int width) {
    // The usual number fits its field: written at the end of blanks, the field is one copy.
    if (width <= kIntegerRoom) {
        char text[kIntegerRoom];
        std::memset(text, ' ', sizeof text);
        const int length = fixedByInteger(text + kIntegerRoom, value, decimals, separator);
        if (length >= 0 && length <= width) {
            std::memcpy(out, text + kIntegerRoom - width, std::size_t(width));
            return out + width;
        }
    }
    char digits[kMaxFixedLength];
    const int length = writeFixed(digits, value, decimals, separator);
    const int padding = std::max(width - length, 0);
    std::memset(out, ' ', std::size_t(padding));
    std::memcpy(out + padding, digits, std::size_t(length));
    return out + padding + length;
}

} // namespace zorvan::graphs
