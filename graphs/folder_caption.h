#pragma once

// The folder of a curve file as the sweep window's caption shows it: whole when it fits the
// configured length, else its end behind "... ".

#include <QString>

namespace zorvan::graphs {

// The folder part of `filePath` (up to and including its last '\', '/' or ':'), at most `limit`
// characters long or "... " followed by its last limit + 1 characters. With `fullFoldersOnly` the
// end starts at a separator, so that no folder name is cut; an innermost folder too long for the
// limit is then shown whole between its separators.
QString ShortenFolderPath(const QString& filePath, int limit, bool fullFoldersOnly);

} // namespace zorvan::graphs
