#pragma once

// The texts the dynamic graph shows beside its points: the elapsed-time label of a point, the
// read rate and the window caption.

#include <QString>
#include <cstdint>
#include <string>
#include <string_view>

namespace zorvan::graphs {

// " 12.345c ": the whole time since the first point, in seconds with `decimals` decimals and
// the process decimal separator, so a run of days never wraps at midnight.
QString secondsLabel(double elapsedSeconds, int decimals);

// " 12.50мин.": minutes since the start with two decimals.
QString minutesLabel(double elapsedSeconds);

// The label of a point taken `elapsedSeconds` after the origin, in seconds or in minutes; a
// point of unknown time (NaN) gets the unit alone.
QString pointLabel(double elapsedSeconds, bool inMinutes, int secondsDecimals);

// The label of a point read back from a file, in UTF-8 to `utf8`: a blank, the line's time
// field as it stands (" 007.5c "), and the unit, so that saving the point again writes the same
// field. `timeField` is in the code page.
void labelOfTimeField(std::string_view timeField, bool inMinutes, std::string& utf8);

// The time field a point is saved with, in the code page: that of its own label (UTF-8, from a
// file) when it has one, else the one formatted from its time. The bytes are in `ownLabel` or
// in `scratch`.
std::string_view savedTimeField(std::string_view ownLabel, double elapsedSeconds, bool inMinutes,
                                int secondsDecimals, std::string& scratch);

// "49.51 изм./сек.": readings per second over the points held, 0 for no time.
QString readRateText(qsizetype points, double spanSeconds);

// "Zorvan 48" from the instrument's kind byte (tens and units: 5 gives "Zorvan 05"), or
// "Zorvan 4X, 8X" while the kind is unknown.
QString instrumentTitle(std::uint8_t versionByte1);

} // namespace zorvan::graphs
