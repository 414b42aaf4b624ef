#pragma once

// The process decimal separator and the formatting and parsing of real numbers with it.
// Every real number the program shows, writes or reads goes through here, so neither the C
// locale nor Qt's default locale can change what a file holds. The separator is set once at
// start, before any worker thread exists, and only read afterwards.

#include <QChar>
#include <QString>
#include <optional>

namespace zorvan::settings {

// The separator in use: the one set last, or the system locale's until one is set.
QChar decimalSeparator();
void setDecimalSeparator(QChar separator);

// A system's decimal point as the process separator: itself when a file can hold it as one
// byte, else '.', the settings file's own default.
QChar usableSeparator(QStringView point);

// The settings value of the separator: 1 is '.', 2 is ',', any other the system locale's.
void applyDecimalSeparatorSetting(int value);

// The shortest general form with up to 15 significant digits: 2, 7.5 or 7,5, 1e-05.
QString formatReal(double value);

// Optional sign, digits with at most one separator, optional exponent; surrounding blanks
// are allowed. Any other text, the other separator included, gives nullopt, as does a value
// outside the range of double.
std::optional<double> parseReal(QStringView text);

} // namespace zorvan::settings
