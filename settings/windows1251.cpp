#include "settings/windows1251.h"

#include <array>
#include <cstdint>

namespace zorvan::settings {

namespace {

// Bytes 0x80..0xBF of the code page; 0xC0..0xFF are А..я in order. 0x98 is unassigned and
// stands for U+0098, as Windows maps it, so every byte survives a decode and an encode.
constexpr std::array<char16_t, 64> kUpperPunctuation = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, 0x20AC, 0x2030, 0x0409,
    0x2039, 0x040A, 0x040C, 0x040B, 0x040F, 0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, 0x00A0,
    0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7, 0x0401, 0x00A9, 0x0404, 0x00AB,
    0x00AC, 0x00AD, 0x00AE, 0x0407, 0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6,
    0x00B7, 0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,
};

constexpr char16_t kFirstLetter = u'\u0410';
constexpr std::uint8_t kFirstLetterByte = 0xC0;
constexpr char kSubstitute = '?';

// The table is the code page itself, not the platform's converter: Qt for Windows without ICU
// has no Windows-1251 converter, and the files must read alike on every system.
char encodeCharacter(char16_t character) {
    if (character < 0x80) {
        return static_cast<char>(character);
    }
    if (character >= kFirstLetter && character < kFirstLetter + 64) {
        return static_cast<char>(kFirstLetterByte + (character - kFirstLetter));
    }
    for (std::size_t index = 0; index < kUpperPunctuation.size(); ++index) {
        if (kUpperPunctuation[index] == character) {
            return static_cast<char>(0x80 + index);
        }
    }
    return kSubstitute;
}

} // namespace

char16_t windows1251Character(char byte) {
    const auto code = static_cast<std::uint8_t>(byte);
    if (code < 0x80) {
        return code;
    }
    if (code < kFirstLetterByte) {
        return kUpperPunctuation[code - 0x80];
    }
    return static_cast<char16_t>(kFirstLetter + (code - kFirstLetterByte));
}

QString decodeWindows1251(QByteArrayView bytes) {
    QString text(bytes.size(), Qt::Uninitialized);
    char16_t* out = reinterpret_cast<char16_t*>(text.data());
    for (const char byte : bytes) {
        *out++ = windows1251Character(byte);
    }
    return text;
}

QByteArray encodeWindows1251(QStringView text) {
    QByteArray bytes(text.size(), Qt::Uninitialized);
    char* out = bytes.data();
    for (const QChar character : text) {
        *out++ = encodeCharacter(character.unicode());
    }
    return bytes;
}

} // namespace zorvan::settings
