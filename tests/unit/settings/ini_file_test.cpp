#include "settings/ini_file.h"
#include "settings/keys.h"
#include "settings/typed_settings.h"
#include "temp_settings_file.h"

#include <QDir>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <vector>

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
    setFileProblemHandler([&](const QString& path, FileProblem) { reported = path; });

    const QString inMissingFolder = file.folder() + "/missing/zorvan.ini";
    EXPECT_FALSE(IniFile(inMissingFolder).writeString(u"a", u"k", u"1"));
    EXPECT_EQ(reported, inMissingFolder);
    EXPECT_EQ(fileProblemText(reported, FileProblem::Unwritable),
              "Unable to write to " + inMissingFolder);

    // A path that cannot be read is never replaced, or its other keys would be lost.
    ASSERT_TRUE(QDir(file.folder()).mkdir("zorvan.ini"));
    reported.clear();
    EXPECT_FALSE(writeSetting(kGraphSpan, 1));
    EXPECT_EQ(reported, file.path());
    EXPECT_TRUE(QFileInfo(file.path()).isDir());
    setFileProblemHandler({});
}

// A device, a pipe or a huge file at the settings path: reading it once grew the process
// without end (/dev/zero) or blocked the start for ever (a pipe). Each reads as defaults, is
// said once and is left as it is.
TEST(IniFile, SettingsPathThatIsNoSettingsFileReadsAsDefaultsAndIsNeverWritten) {
    const TempSettingsFile file;
    std::vector<FileProblem> reports;
    const auto expectLeftAlone = [&](FileProblem expected, const char* what) {
        reports.clear();
        setFileProblemHandler(
            [&](const QString&, FileProblem problem) { reports.push_back(problem); });
        EXPECT_EQ(readSetting(kGraphSpan), kGraphSpan.defaultValue) << what;
        EXPECT_FALSE(writeSetting(kGraphSpan, 5)) << what;
        EXPECT_EQ(reports, std::vector<FileProblem>{expected}) << what;
    };

    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), file.path()));
    expectLeftAlone(FileProblem::NotAFile, "a link to /dev/zero");
    EXPECT_EQ(QFileInfo(file.path()).symLinkTarget(), "/dev/zero");
    ASSERT_TRUE(QFile::remove(file.path()));

    ASSERT_EQ(::mkfifo(QFile::encodeName(file.path()).constData(), 0600), 0);
    expectLeftAlone(FileProblem::NotAFile, "a named pipe");
    EXPECT_FALSE(QFileInfo(file.path()).isFile());
    ASSERT_TRUE(QFile::remove(file.path()));

    const QByteArray huge = QByteArray(kMaxSettingsFileBytes, ' ') + "\n[График]\n";
    file.writeBytes(huge);
    expectLeftAlone(FileProblem::TooLarge, "a file larger than any settings file");
    EXPECT_EQ(file.readBytes().size(), huge.size());
    setFileProblemHandler({});
}

} // namespace
} // namespace zorvan::settings
