#include "settings/ini_file.h"
#include "settings/keys.h"
#include "settings/typed_settings.h"
#include "temp_settings_file.h"

#include <QDir>
#include <gtest/gtest.h>

namespace zorvan::settings {
namespace {

using test::TempSettingsFile;

// "[График]" and "Окно" spelled out in Windows-1251 bytes, independent of any converter.
const QByteArray kGraphSection = "[\xC3\xF0\xE0\xF4\xE8\xEA]";
const QByteArray kSpanKey = "\xCE\xEA\xED\xEE";
const QByteArray kSpanKeyLowerCase = "\xEE\xEA\xED\xEE";

TEST(IniFile, WritesWindows1251BytesWithCrlfToANewFile) {
    const TempSettingsFile file;
    ASSERT_TRUE(writeSetting(kGraphSpan, 200));
    EXPECT_EQ(file.readBytes(), kGraphSection + "\r\n" + kSpanKey + "=200\r\n");
    EXPECT_EQ(readSetting(kGraphSpan), 200);
}

TEST(IniFile, RewritesOnlyTheWrittenKeyOfAnExistingFile) {
    const TempSettingsFile file;
    const QByteArray head = QByteArray("\x01\x02 junk\n", 9) + QByteArray(100 * 1024, '\xE9') +
                            "\n" + QStringLiteral("[Окна]\nutf-8 ключ=1\n").toUtf8() +
                            kGraphSection + " \n  " + kSpanKeyLowerCase;
    const QByteArray tail = "\n[x]\ny\n";
    file.writeBytes(head + " = 100" + tail);

    ASSERT_TRUE(writeSetting(kGraphSpan, 300));
    EXPECT_EQ(file.readBytes(),
              head.chopped(kSpanKeyLowerCase.size() + 2) + kSpanKeyLowerCase + "=300" + tail);
    EXPECT_EQ(QDir(file.folder()).entryList(QDir::Files), QStringList{"zorvan.ini"});
}

TEST(IniFile, RefusedWriteIsReportedAndChangesNothing) {
    const TempSettingsFile file;
    QString reported;
    setWriteFailureHandler([&](const QString& path) { reported = path; });

    const QString inMissingFolder = file.folder() + "/missing/zorvan.ini";
    EXPECT_FALSE(IniFile(inMissingFolder).writeString(u"a", u"k", u"1"));
    EXPECT_EQ(reported, inMissingFolder);
    EXPECT_EQ(writeFailureText(reported), "Unable to write to " + inMissingFolder);

    // A path that cannot be read is never replaced, or its other keys would be lost.
    ASSERT_TRUE(QDir(file.folder()).mkdir("zorvan.ini"));
    reported.clear();
    EXPECT_FALSE(writeSetting(kGraphSpan, 1));
    EXPECT_EQ(reported, file.path());
    EXPECT_TRUE(QFileInfo(file.path()).isDir());
    setWriteFailureHandler({});
}

} // namespace
} // namespace zorvan::settings
