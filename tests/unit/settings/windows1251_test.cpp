// The code page is our own table: a wrong entry would change every Russian key in the file.
#include "settings/windows1251.h"

#include <gtest/gtest.h>

namespace zorvan::settings {
namespace {

TEST(Windows1251, MapsTheCyrillicLettersAndSignsOfTheSettingsKeys) {
    EXPECT_EQ(decodeWindows1251("\xC0\xFF\xA8\xB8\xB9 A"), QStringLiteral("АяЁё№ A"));
    EXPECT_EQ(encodeWindows1251(u"Адрес прибора №1"),
              QByteArray("\xC0\xE4\xF0\xE5\xF1 \xEF\xF0\xE8\xE1\xEE\xF0\xE0 \xB9"
                         "1"));
    EXPECT_EQ(encodeWindows1251(u"€—«»"), QByteArray("\x88\x97\xAB\xBB"));
}

TEST(Windows1251, EveryByteSurvivesADecodeAndAnEncode) {
    QByteArray allBytes;
    for (int code = 0; code < 256; ++code) {
        allBytes.append(static_cast<char>(code));
    }
    const QString text = decodeWindows1251(allBytes);
    EXPECT_EQ(text.size(), 256);
    EXPECT_EQ(encodeWindows1251(text), allBytes);
}

TEST(Windows1251, CharactersOutsideTheCodePageBecomeAQuestionMark) {
    EXPECT_EQ(encodeWindows1251(u"a\u4E2Db"), QByteArray("a?b"));
}

} // namespace
} // namespace zorvan::settings
