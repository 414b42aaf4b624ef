#include "settings/integer_text.h"

#include <limits>

namespace zorvan::settings {

namespace {

constexpr int kMaxHexDigits = 8;

int hexDigitValue(char16_t c) {
    if (c >= u'0' && c <= u'9') {
        return c - u'0';
    }
    if (c >= u'a' && c <= u'f') {
        return c - u'a' + 10;
    }
    if (c >= u'A' && c <= u'F') {
        return c - u'A' + 10;
    }
    return -1;
}

std::optional<std::int32_t> parseHex(QStringView digits) {
    if (digits.isEmpty() || digits.size() > kMaxHexDigits) {
        return std::nullopt;
    }
    std::uint32_t value = 0;
    for (const QChar c : digits) {
        const int digit = hexDigitValue(c.unicode());
        if (digit < 0) {
            return std::nullopt;
        }
        value = value * 16 + static_cast<std::uint32_t>(digit);
    }
    return static_cast<std::int32_t>(value);
}

std::optional<std::int32_t> parseDecimal(QStringView text) {
    const bool negative = text.startsWith(u'-');
    const QStringView digits = negative ? text.mid(1) : text;
    if (digits.isEmpty()) {
        return std::nullopt;
    }
    // Accumulated as a negative number so that the smallest int32 fits too.
    std::int64_t value = 0;
    for (const QChar c : digits) {
        if (c < u'0' || c > u'9') {
            return std::nullopt;
        }
        value = value * 10 - (c.unicode() - u'0');
        if (value < std::numeric_limits<std::int32_t>::min()) {
            return std::nullopt;
        }
    }
    if (!negative) {
        value = -value;
        if (value > std::numeric_limits<std::int32_t>::max()) {
            return std::nullopt;
        }
    }
    return static_cast<std::int32_t>(value);
}

} // namespace

std::optional<std::int32_t> parseInteger(QStringView text) {
    if (text.size() > 2 && (text.startsWith(u"0x") || text.startsWith(u"0X"))) {
        return parseHex(text.mid(2));
    }
    return parseDecimal(text);
}

} // namespace zorvan::settings
