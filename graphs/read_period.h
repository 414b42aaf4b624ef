#pragma once

// The read period of the graphs: the entries of its list, what each gives in milliseconds, and
// which entry shows a stored period.

#include <QString>
#include <QStringList>
#include <optional>

namespace zorvan::graphs {

// The entries in seconds, written with '.' as stored in the window's design.
QStringList readPeriodEntries();

// The timer interval of an entry: its milliseconds less an allowance for the read itself (7 from
// 200 ms, 4 from 80 ms, 2 from 20 ms). Takes '.' or ',' alike, so the choice works whatever the
// process decimal separator; nullopt for text that is no number.
std::optional<int> readPeriodOfEntry(QStringView entry);

// The entry that shows a period: two decimals below 100 ms, one from there on (18 gives
// "0.02", 493 "0.5", 9993 "10.0"), written with '.'.
QString entryOfReadPeriod(int readPeriodMs);

// Decimals of the seconds in point labels: 3 for periods below 99 ms, else 2.
int timeLabelDecimalsFor(int readPeriodMs);

} // namespace zorvan::graphs
