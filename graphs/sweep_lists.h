#pragma once

// The four lists of the sweep window: their entries, the value each entry stands for, and which
// entry shows a stored value. Voltages and the step are kept in tens of millivolts, the pause in
// hundreds of milliseconds; entries are volts and seconds with the process decimal separator.

#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>

namespace zorvan::graphs {

QStringList voltageEntries(); // 0.0 .. 5.0 V by 0.1
QStringList stepEntries();    // 0.01 .. 0.50 V by 0.01
QStringList pauseEntries();   // 0.1 .. 5.0 s by 0.1

// A stored value as its list writes it: 1 decimal for voltages and the pause, 2 for the step.
QString voltageText(std::int32_t tensOfMillivolts);
QString stepText(std::int32_t tensOfMillivolts);
QString pauseText(std::int32_t hundredsOfMilliseconds);

// The whole value an entry stands for (volts x 100, seconds x 10); nothing for text that is no
// number.
std::optional<std::int32_t> tensOfMillivoltsOf(QStringView entry);
std::optional<std::int32_t> hundredsOfMillisecondsOf(QStringView entry);

// The entry that shows a stored value's text: the first equal one, else the one nearest in value,
// so that a stored value outside the list never leaves the list without a choice. -1 only for an
// empty list.
int entryIndexFor(const QStringList& entries, const QString& storedText);

// The sweep tick's period for a pause: a millisecond over it.
int sweepTickMs(std::int32_t hundredsOfMilliseconds);

} // namespace zorvan::graphs
