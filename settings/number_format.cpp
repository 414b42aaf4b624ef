#include "settings/number_format.h"

#include <QLocale>
#include <charconv>
#include <cmath>

namespace zorvan::settings {

namespace {

std::optional<QChar>& chosenSeparator() {
    static std::optional<QChar> separator;
    return separator;
}

QChar systemSeparator() {
    return usableSeparator(QLocale::system().decimalPoint());
}

bool isDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

// Advances past a run of ASCII digits and says whether there was at least one.
bool skipDigits(QStringView text, qsizetype& at) {
    const qsizetype start = at;
    while (at < text.size() && isDigit(text[at])) {
        ++at;
    }
    return at > start;
}

bool isSign(QStringView text, qsizetype at) {
    return at < text.size() && (text[at] == u'+' || text[at] == u'-');
}

// The same number with '.' as separator when text has the form "[sign]digits[sep digits]
// [e[sign]digits]" for separator sep; empty otherwise.
QString toCanonicalForm(QStringView text, QChar separator) {
    qsizetype at = isSign(text, 0) ? 1 : 0;
    bool hasDigits = skipDigits(text, at);
    qsizetype separatorAt = -1;
    if (at < text.size() && text[at] == separator) {
        separatorAt = at++;
        hasDigits = skipDigits(text, at) || hasDigits;
    }
    if (!hasDigits) {
        return {};
    }
    if (at < text.size() && (text[at] == u'e' || text[at] == u'E')) {
        ++at;
        at += isSign(text, at) ? 1 : 0;
        if (!skipDigits(text, at)) {
            return {};
        }
    }
    if (at != text.size()) {
        return {};
    }
    QString canonical = text.toString();
    if (separatorAt >= 0) {
        canonical[separatorAt] = u'.';
    }
    return canonical;
}

} // namespace

QChar usableSeparator(QStringView point) {
    // Files are 8-bit text: a separator outside Latin-1 (the Arabic one, say) has no byte there.
    const bool usable = point.size() == 1 && point.front().unicode() < 0x100 &&
                        !point.front().isDigit() && !point.front().isSpace();
    return usable ? point.front() : QChar(u'.');
}

QChar decimalSeparator() {
    // Not value_or: the system locale is asked only while no separator was chosen, since every
    // label and file line asks for the separator.
    if (const std::optional<QChar> chosen = chosenSeparator()) {
        return *chosen;
    }
    return systemSeparator();
}

void setDecimalSeparator(QChar separator) {
    chosenSeparator() = separator;
}

void applyDecimalSeparatorSetting(int value) {
    switch (value) {
    case 1:
        setDecimalSeparator(u'.');
        break;
    case 2:
        setDecimalSeparator(u',');
        break;
    default:
        // Taken once, so a change of the regional settings during the run changes nothing.
        setDecimalSeparator(systemSeparator());
        break;
    }
}

QString formatReal(double value) {
    QString text = QString::number(value, 'g', 15);
    const QChar separator = decimalSeparator();
    if (separator != u'.') {
        text.replace(u'.', separator);
    }
    return text;
}

std::optional<double> parseReal(QStringView text) {
    const QString canonical = toCanonicalForm(text.trimmed(), decimalSeparator());
    if (canonical.isEmpty()) {
        return std::nullopt;
    }
    // The form is plain ASCII by now; from_chars reads it without a locale, and fast, which a
    // file of a hundred thousand lines notices.
    const QByteArray ascii = canonical.toLatin1();
    const char* first = ascii.constData() + (ascii.front() == '+' ? 1 : 0);
    double value = 0.0;
    const auto [end, error] = std::from_chars(first, ascii.constData() + ascii.size(), value);
    if (error != std::errc{} || end != ascii.constData() + ascii.size() || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

} // namespace zorvan::settings
