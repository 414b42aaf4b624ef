#pragma once

// Numbers in fixed point, exactly as std::to_chars writes them, with a chosen decimal separator:
// the values of graph files and the time labels of points, of which a save writes a hundred
// thousand lines.

namespace zorvan::graphs {

// Room enough for any double with up to 17 decimals.
inline constexpr int kMaxFixedLength = 400;

// Writes `value` with `decimals` decimals to `out` (kMaxFixedLength bytes), the point replaced by
// `separator`; returns the length written.
int writeFixed(char* out, double value, int decimals, char separator);

// The same right-aligned in `width` characters, blanks before it (a longer number is not cut);
// returns the end of what was written.
char* writeFixedAligned(char* out, double value, int decimals, char separator, int width);

} // namespace zorvan::graphs
