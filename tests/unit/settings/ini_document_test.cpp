#include "settings/ini_document.h"
#include "settings/windows1251.h"

#include <gtest/gtest.h>

namespace zorvan::settings {
namespace {

QByteArray cp1251(QStringView text) {
    return encodeWindows1251(text);
}

std::string lookup(const QByteArray& bytes, QStringView section, QStringView key) {
    const auto value = IniDocument::parse(bytes).value(section, key);
    return value ? value->toStdString() : "<absent>";
}

struct ReadRow {
    const char* what;
    QByteArray file;
    QStringView section;
    QStringView key;
    std::string expected;
};

TEST(IniDocumentRead, FindsValuesByTheFileRules) {
    const ReadRow rows[] = {
        {"Cyrillic names in any letter case",
         cp1251(u"[график]\r\nразДЕЛИТЕЛЬ ЦЕЛОЙ И ДРОБНОЙ ЧАСТИ=2\r\n"), u"ГРАФИК",
         u"Разделитель целой и дробной части", "2"},
        {"blanks around key and value", cp1251(u"[Окна]\r\n \t Ключ \t= 12 \t\r\n"), u"окна",
         u"ключ", "12"},
        {"no-break spaces are blanks too", "[\xA0s\xA0]\n\xA0k\xA0=\xA0v\xA0\n", u"s", u"k", "v"},
        {"first of duplicate sections", "[a]\nk=1\n[A]\nk=2\nj=3\n", u"a", u"k", "1"},
        {"later duplicate section is not searched", "[a]\nk=1\n[a]\nj=3\n", u"a", u"j", "<absent>"},
        {"first of duplicate keys", "[a]\nk=1\nK=2\n", u"a", u"k", "1"},
        {"lines without '=' are ignored", "[a]\nk\nk 5\nk=5\n", u"a", u"k", "5"},
        {"keys before any section belong to none", "k=1\n[a]\n", u"a", u"k", "<absent>"},
        {"key of another section", "[a]\nk=1\n[b]\n", u"b", u"k", "<absent>"},
        {"value holding '='", "[a]\nk=b=c\n", u"a", u"k", "b=c"},
        {"empty value is present", "[a]\nk=\n", u"a", u"k", ""},
        {"header without closing bracket", "[a\nk=1\n", u"a", u"k", "1"},
        {"lone CR inside a line stays in the value", "[a]\nk=1\r2\n", u"a", u"k", "1\r2"},
        {"UTF-8 text does not match Russian names", QStringLiteral("[График]\nОкно=5\n").toUtf8(),
         u"График", u"Окно", "<absent>"},
    };
    for (const ReadRow& row : rows) {
        SCOPED_TRACE(row.what);
        EXPECT_EQ(lookup(row.file, row.section, row.key), row.expected);
    }
}

TEST(IniDocumentRead, SurvivesBinaryJunkAndHugeLines) {
    QByteArray junk;
    for (int i = 0; i < 4096; ++i) {
        junk.append(static_cast<char>((i * 131 + i / 256) & 0xFF));
    }
    EXPECT_EQ(lookup(junk, u"a", u"k"), "<absent>");

    const QByteArray longLine(100 * 1024, 'x');
    const QByteArray file = longLine + "\r\n[a]\r\n" + longLine + "=1\r\nk=" + longLine + "\r\n";
    EXPECT_EQ(lookup(file, u"a", u"k"), longLine.toStdString());
    EXPECT_EQ(IniDocument::parse(file).toBytes(), file);
}

struct WriteRow {
    const char* what;
    QByteArray before;
    QStringView section;
    QStringView key;
    QStringView value;
    QByteArray after;
};

TEST(IniDocumentWrite, ChangesOnlyTheWrittenKey) {
    const WriteRow rows[] = {
        {"replaces the value, keeps every other byte",
         "junk\r\n[a]\r\n; note\r\n  k  =  1 \r\nj=2\r\n", u"a", u"k", u"5",
         "junk\r\n[a]\r\n; note\r\nk=5\r\nj=2\r\n"},
        {"adds a key after the last key line of its section", "[a]\r\nk=1\r\n\r\n[b]\r\nx=1\r\n",
         u"a", u"j", u"2", "[a]\r\nk=1\r\nj=2\r\n\r\n[b]\r\nx=1\r\n"},
        {"adds a key right after a header without keys, keeping LF", "[a]\n[b]\n", u"a", u"k", u"v",
         "[a]\nk=v\n[b]\n"},
        {"appends a missing section", "[a]\r\nk=1\r\n", u"b", u"x", u"1",
         "[a]\r\nk=1\r\n\r\n[b]\r\nx=1\r\n"},
        {"new file gets CRLF", "", u"a", u"k", u"v", "[a]\r\nk=v\r\n"},
        {"last line without a break", "[a]\nk=1", u"a", u"j", u"2", "[a]\nk=1\nj=2\n"},
        {"writes the first of duplicate keys", "[a]\nk=1\nk=2\n", u"a", u"K", u"3",
         "[a]\nk=3\nk=2\n"},
        {"keeps the key's spelling from the file", cp1251(u"[ОКНА]\r\nпозиция=1\r\n"), u"Окна",
         u"ПОЗИЦИЯ", u"2", cp1251(u"[ОКНА]\r\nпозиция=2\r\n")},
        {"line breaks in a value cannot split the line", "[a]\n", u"a", u"k", u"1\r\n2",
         "[a]\nk=1  2\n"},
    };
    for (const WriteRow& row : rows) {
        SCOPED_TRACE(row.what);
        IniDocument document = IniDocument::parse(row.before);
        document.setValue(row.section, row.key, row.value);
        EXPECT_EQ(document.toBytes().toStdString(), row.after.toStdString());
    }
}

TEST(IniDocumentWrite, LeavesJunkAndUtf8FilesIntactAndAppendsTheKey) {
    QByteArray junk("\xEF\xBB\xBF\x00\xFF[\x98\r\n=\n\r\r\n", 13);
    junk += QStringLiteral("[График]\nОкно=5\n").toUtf8();
    IniDocument document = IniDocument::parse(junk);
    document.setValue(u"График", u"Окно", u"7");
    const QByteArray written = document.toBytes();
    EXPECT_TRUE(written.startsWith(junk));
    EXPECT_EQ(lookup(written, u"график", u"окно"), "7");
}

} // namespace
} // namespace zorvan::settings
