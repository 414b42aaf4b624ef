#include "graphs/read_period.h"

#include <QLocale>
#include <cmath>

namespace zorvan::graphs {

namespace {

constexpr int kFastPeriodBelow = 99;

int allowanceFor(int milliseconds) {
    if (milliseconds >= 200) {
        return 7;
    }
    if (milliseconds >= 80) {
        return 4;
    }
    if (milliseconds >= 20) {
        return 2;
    }
    return 0;
}

} // namespace

QStringList readPeriodEntries() {
    return {QStringLiteral("0.02"), QStringLiteral("0.04"), QStringLiteral("0.08"),
            QStringLiteral("0.2"),  QStringLiteral("0.5"),  QStringLiteral("1.0"),
            QStringLiteral("2.0"),  QStringLiteral("5.0"),  QStringLiteral("10.0")};
}

std::optional<int> readPeriodOfEntry(QStringView entry) {
    QString text = entry.trimmed().toString();
    text.replace(QLatin1Char(','), QLatin1Char('.'));
    bool converted = false;
    const double seconds = QLocale::c().toDouble(text, &converted);
    if (!converted) {
        return std::nullopt;
    }
    const auto milliseconds = static_cast<int>(std::lround(seconds * 1000.0));
    return milliseconds - allowanceFor(milliseconds);
}

QString entryOfReadPeriod(int readPeriodMs) {
    const int decimals = readPeriodMs < 100 ? 2 : 1;
    return QString::number(readPeriodMs * 0.001, 'f', decimals);
}

int timeLabelDecimalsFor(int readPeriodMs) {
    return readPeriodMs < kFastPeriodBelow ? 3 : 2;
}

} // namespace zorvan::graphs
