#include "settings/integer_text.h"
#include "settings/number_format.h"

#include <QLocale>
#include <QProcess>
#include <QTemporaryDir>
#include <clocale>
#include <cstdlib>
#include <gtest/gtest.h>

namespace zorvan::settings {
namespace {

std::string show(std::optional<double> value) {
    return value ? std::to_string(*value) : "<default>";
}

TEST(IntegerText, FollowsTheIntegerRules) {
    const struct {
        QStringView text;
        std::optional<std::int32_t> expected;
    } rows[] = {
        {u"10", 10},          {u"-5", -5},
        {u"007", 7},          {u"0x1A", 26},
        {u"0X1a", 26},        {u"0xFFFFFFFF", -1},
        {u"0x100000000", {}}, {u"0x", {}},
        {u"0xG", {}},         {u"abc", {}},
        {u"12abc", {}},       {u"", {}},
        {u"-", {}},           {u"+5", {}},
        {u"1.5", {}},         {u"2147483647", 2147483647},
        {u"2147483648", {}},  {u"-2147483648", -2147483647 - 1},
        {u"-2147483649", {}}, {u"\u0663", {}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text.toString().toStdString());
        EXPECT_EQ(parseInteger(row.text), row.expected);
    }
}

class RealText : public ::testing::Test {
protected:
    ~RealText() override { setDecimalSeparator(u'.'); }
};

TEST_F(RealText, FormatsTheShortestGeneralFormWithTheProcessSeparator) {
    const struct {
        QChar separator;
        double value;
        const char* text;
    } rows[] = {
        {u'.', 2.0, "2"},
        {u'.', 7.5, "7.5"},
        {u',', 7.5, "7,5"},
        {u'.', 0.1 + 0.2, "0.3"},
        {u'.', -3.25, "-3.25"},
        {u'.', 1e-5, "1e-05"},
        {u',', 1.0 / 3, "0,333333333333333"},
        {u',', 1.5e20, "1,5e+20"},
    };
    for (const auto& row : rows) {
        setDecimalSeparator(row.separator);
        EXPECT_EQ(formatReal(row.value).toStdString(), row.text);
    }
}

TEST_F(RealText, ParsesOnlyTextsOfTheProcessSeparator) {
    const struct {
        QChar separator;
        QStringView text;
        std::optional<double> expected;
    } rows[] = {
        {u'.', u"2.5", 2.5},     {u',', u"2,5", 2.5},  {u',', u"2.5", {}}, {u'.', u"2,5", {}},
        {u'.', u" 7 ", 7.0},     {u'.', u"-.5", -0.5}, {u'.', u"5.", 5.0}, {u'.', u"+1e3", 1000.0},
        {u',', u"1,5E-1", 0.15}, {u'.', u"", {}},      {u'.', u".", {}},   {u'.', u"1e", {}},
        {u'.', u"1.2.3", {}},    {u'.', u"1 000", {}}, {u'.', u"nan", {}}, {u'.', u"inf", {}},
        {u'.', u"1e999", {}},    {u'.', u"0x10", {}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text.toString().toStdString());
        setDecimalSeparator(row.separator);
        EXPECT_EQ(show(parseReal(row.text)), show(row.expected));
    }
}

TEST_F(RealText, SeparatorSettingPicksPointCommaOrTheSystemLocale) {
    const QChar system = QLocale::system().decimalPoint().front();
    const std::pair<int, QChar> rows[] = {{1, u'.'}, {2, u','}, {0, system}, {3, system}};
    for (const auto& [value, expected] : rows) {
        setDecimalSeparator(u'#');
        applyDecimalSeparatorSetting(value);
        EXPECT_EQ(decimalSeparator(), expected) << value;
    }
}

// A file holds the separator as one byte: NUL in every value was written for the Arabic one.
TEST(SystemSeparator, OneOutsideLatin1FallsBackToThePoint) {
    const QString arabic = QLocale(QLocale::Arabic, QLocale::Egypt).decimalPoint();
    const struct {
        QString point;
        QChar expected;
    } rows[] = {{arabic, u'.'},
                {QStringLiteral("\u066B"), u'.'},
                {QStringLiteral(","), u','},
                {QStringLiteral("."), u'.'},
                {QStringLiteral(""), u'.'},
                {QStringLiteral(",,"), u'.'}};
    for (const auto& row : rows) {
        EXPECT_EQ(usableSeparator(row.point), row.expected) << row.point.toStdString();
    }
}

// Makes a German locale usable by setlocale: an installed one, or one compiled into a
// temporary folder when the locale sources are there.
bool enterForeignLocale(const QTemporaryDir& folder) {
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "ru_RU.UTF-8"}) {
        if (std::setlocale(LC_ALL, name) != nullptr) {
            return true;
        }
    }
    const QString compiled = folder.filePath("de_DE.UTF-8");
    if (QProcess::execute("localedef", {"-i", "de_DE", "-f", "UTF-8", compiled}) != 0) {
        return false;
    }
    setenv("LOCPATH", folder.path().toLocal8Bit().constData(), 1);
    return std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr;
}

TEST_F(RealText, IgnoresTheCLocaleAndQtsDefaultLocale) {
    const QTemporaryDir folder;
    if (!enterForeignLocale(folder)) {
        GTEST_SKIP() << "no locale with a decimal comma is available";
    }
    const std::string cDecimalPoint = std::localeconv()->decimal_point;
    QLocale::setDefault(QLocale(QLocale::German));

    setDecimalSeparator(u'.');
    const QString pointText = formatReal(2.5);
    const std::optional<double> pointValue = parseReal(u"2.5");
    setDecimalSeparator(u',');
    const QString commaText = formatReal(1234.5);
    const std::optional<double> commaRejected = parseReal(u"2.5");

    QLocale::setDefault(QLocale::c());
    std::setlocale(LC_ALL, "C");
    unsetenv("LOCPATH");
    ASSERT_EQ(cDecimalPoint, ",");
    EXPECT_EQ(pointText.toStdString(), "2.5");
    EXPECT_EQ(show(pointValue), show(2.5));
    EXPECT_EQ(commaText.toStdString(), "1234,5");
    EXPECT_EQ(show(commaRejected), "<default>");
}

} // namespace
} // namespace zorvan::settings
