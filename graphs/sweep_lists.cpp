#include "graphs/sweep_lists.h"

#include "settings/number_format.h"

#include <cmath>
#include <limits>

namespace zorvan::graphs {

namespace {

constexpr int kEntriesPerList = 50;

QString fixed(double value, int decimals) {
    QString text = QString::number(value, 'f', decimals);
    text.replace(QLatin1Char('.'), settings::decimalSeparator());
    return text;
}

QStringList entries(int first, int last, double unit, int decimals) {
    QStringList list;
    for (int i = first; i <= last; ++i) {
        list.append(fixed(i * unit, decimals));
    }
    return list;
}

std::optional<std::int32_t> scaled(QStringView entry, double factor) {
    const auto value = settings::parseReal(entry);
    if (!value) {
        return std::nullopt;
    }
    const double whole = std::round(*value * factor);
    if (std::abs(whole) > std::numeric_limits<std::int32_t>::max()) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(whole);
}

} // namespace

QStringList voltageEntries() {
    return entries(0, kEntriesPerList, 0.1, 1);
}

QStringList stepEntries() {
    return entries(1, kEntriesPerList, 0.01, 2);
}

QStringList pauseEntries() {
    return entries(1, kEntriesPerList, 0.1, 1);
}

QString voltageText(std::int32_t tensOfMillivolts) {
    return fixed(tensOfMillivolts * 0.01, 1);
}

QString stepText(std::int32_t tensOfMillivolts) {
    return fixed(tensOfMillivolts * 0.01, 2);
}

QString pauseText(std::int32_t hundredsOfMilliseconds) {
    return fixed(hundredsOfMilliseconds * 0.1, 1);
}

std::optional<std::int32_t> tensOfMillivoltsOf(QStringView entry) {
    return scaled(entry, 100.0);
}

std::optional<std::int32_t> hundredsOfMillisecondsOf(QStringView entry) {
    return scaled(entry, 10.0);
}

int entryIndexFor(const QStringList& entries, const QString& storedText) {
    const auto equal = entries.indexOf(storedText);
    if (equal >= 0 || entries.isEmpty()) {
        return static_cast<int>(equal);
    }
    const double stored = settings::parseReal(storedText).value_or(0.0);
    int nearest = 0;
    double nearestDistance = std::numeric_limits<double>::infinity();
    for (int i = 0; i < entries.size(); ++i) {
        const double distance = std::abs(settings::parseReal(entries[i]).value_or(0.0) - stored);
        if (distance < nearestDistance) {
            nearest = i;
            nearestDistance = distance;
        }
    }
    return nearest;
}

int sweepTickMs(std::int32_t hundredsOfMilliseconds) {
    return hundredsOfMilliseconds * 100 + 1;
}

} // namespace zorvan::graphs
