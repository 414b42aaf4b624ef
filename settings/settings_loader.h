#pragma once

// Reading the settings at start into the process-wide variables: the shared device state of
// link/ and the variables of settings/settings_variables.h.

#include <QChar>
#include <QString>

namespace zorvan::settings {

// Before the main window exists: the decimal separator, writing 1 ('.') when the key is
// absent.
void loadDecimalSeparator();

// While the main window is created: every other key, in the file's table order. Missing keys
// of the humidity-and-temperature section are written back with their defaults at once, so
// the file holds that whole section after the first start; no other missing key is written.
void loadAllSettings();

// Sets refreshPeriodText and refreshPeriodSeconds from the text of the refresh period key; a
// text that is not an integer gives "6" and 6 (the file keeps what it holds).
void setRefreshPeriodFromText(const QString& text);

// The reference level text with its separators turned into the process separator, so that a
// value written under the other separator still converts.
QString realValueForSeparator(QString text, QChar separator);

} // namespace zorvan::settings
