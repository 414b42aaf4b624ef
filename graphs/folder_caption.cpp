#include "graphs/folder_caption.h"

#include <algorithm>

namespace zorvan::graphs {

namespace {

const QString kCut = QStringLiteral("... ");

bool isSeparator(QChar c) {
    return c == u'\\' || c == u'/';
}

qsizetype lastSeparatorBefore(const QString& text, qsizetype end) {
    for (qsizetype i = end - 1; i >= 0; --i) {
        if (isSeparator(text[i])) {
            return i;
        }
    }
    return -1;
}

QString folderOf(const QString& filePath) {
    for (qsizetype i = filePath.size() - 1; i >= 0; --i) {
        if (isSeparator(filePath[i]) || filePath[i] == u':') {
            return filePath.left(i + 1);
        }
    }
    return {};
}

QString endOnFullFolders(const QString& folder, qsizetype limit) {
    const qsizetype last = lastSeparatorBefore(folder, folder.size());
    const qsizetype beforeLast = lastSeparatorBefore(folder, folder.size() - 1);
    if (last - beforeLast > limit) {
        return kCut + folder.mid(std::max<qsizetype>(beforeLast, 0));
    }
    const QString end = folder.right(limit + 1);
    // A separator before the last character ends a cut folder name; the name goes.
    const qsizetype first = std::find_if(end.cbegin(), end.cend(), isSeparator) - end.cbegin();
    return kCut + (first < end.size() - 1 ? end.mid(first) : end);
}

} // namespace

QString ShortenFolderPath(const QString& filePath, int limit, bool fullFoldersOnly) {
    const QString folder = folderOf(filePath);
    const qsizetype allowed = std::max(limit, 0);
    if (folder.size() <= allowed) {
        return folder;
    }
    if (!fullFoldersOnly) {
        return kCut + folder.right(allowed + 1);
    }
    return endOnFullFolders(folder, allowed);
}

} // namespace zorvan::graphs
