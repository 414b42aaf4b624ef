#include "settings/settings_loader.h"

#include "link/device_state.h"
#include "settings/integer_text.h"
#include "settings/number_format.h"
#include "settings/settings_variables.h"
#include "settings/typed_settings.h"

namespace zorvan::settings {

namespace {

// A timer refuses a period of 0 or less, and the poll would never start.
std::int32_t pollPeriodFrom(std::int32_t stored) {
    return stored > 0 ? stored : kPollPeriod.defaultValue;
}

template <typename Key> auto readOrWriteDefault(const Key& key) {
    if (!settingExists(key)) {
        writeDefault(key);
    }
    return readSetting(key);
}

void loadLinkSettings() {
    link::comPortName = readSetting(kComPort).toStdString();
    link::baudRate = readSetting(kBaudRate);
    link::readTotalTimeoutConstant = readSetting(kReadTotalTimeoutConstant);
    for (int d = 0; d < link::kDeviceCount; ++d) {
        link::deviceAddress[d] = readSetting(kDeviceAddress[d]);
    }
    link::digitalOutAllowed = readSetting(kDigitalOutAllowed);
    pollPeriodMs = pollPeriodFrom(readSetting(kPollPeriod));
}

void loadGraphSettings() {
    graphSpanSaved = readSetting(kGraphSpan);
    readPeriodMs = readSetting(kReadPeriod);
    readPeriodSavedMs = readPeriodMs;
    graphLineWidth = readSetting(kGraphLineWidth);
}

void loadHumidityGraphSettings() {
    const QString refreshText = readOrWriteDefault(kRefreshPeriod);
    realValueText = readOrWriteDefault(kRealValue);
    noRequestMode = readOrWriteDefault(kNoRequestMode);
    limitTU2 = readOrWriteDefault(kLimitTU2);
    limitTU1 = readOrWriteDefault(kLimitTU1);
    limitTO1 = readOrWriteDefault(kLimitTO1);
    limitTO2 = readOrWriteDefault(kLimitTO2);
    indicatorShown = readOrWriteDefault(kIndicatorShown);
    indicatorColoured = readOrWriteDefault(kIndicatorColoured);
    signalMin = readOrWriteDefault(kSignalMin);
    signalMax = readOrWriteDefault(kSignalMax);
    signalRangeFixed = readOrWriteDefault(kSignalRangeFixed);
    setRefreshPeriodFromText(refreshText);
    realValueText = realValueForSeparator(realValueText, decimalSeparator());
}

void loadSweepSettings() {
    sweepMin = readSetting(kSweepMin);
    sweepMax = readSetting(kSweepMax);
    sweepStep = readSetting(kSweepStep);
    sweepPause = readSetting(kSweepPause);
    sweepMinSaved = sweepMin;
    sweepMaxSaved = sweepMax;
    sweepStepSaved = sweepStep;
    sweepPauseSaved = sweepPause;
    mainLineWidth = readSetting(kMainLineWidth);
    overlayLineWidth = readSetting(kOverlayLineWidth);
    captionPathMaxLength = readSetting(kCaptionPathMaxLength);
    captionFullFoldersOnly = readSetting(kCaptionFullFoldersOnly);
    previousScanPenStyle = readSetting(kPreviousScanPenStyle);
    prePreviousScanPenStyle = readSetting(kPrePreviousScanPenStyle);
    restartOnExit = readSetting(kRestartOnExit);
}

} // namespace

void loadDecimalSeparator() {
    applyDecimalSeparatorSetting(readOrWriteDefault(kDecimalSeparator));
}

void loadAllSettings() {
    loadLinkSettings();
    loadGraphSettings();
    loadHumidityGraphSettings();
    loadSweepSettings();
}

void setRefreshPeriodFromText(const QString& text) {
    const std::optional<std::int32_t> seconds = parseInteger(text);
    if (seconds) {
        refreshPeriodText = text;
        refreshPeriodSeconds = *seconds;
    } else {
        refreshPeriodText = kRefreshPeriod.defaultValue.toString();
        refreshPeriodSeconds = *parseInteger(kRefreshPeriod.defaultValue);
    }
}

QString realValueForSeparator(QString text, QChar separator) {
    if (separator == u'.') {
        text.replace(u',', u'.');
    } else if (separator == u',') {
        text.replace(u'.', u',');
    }
    return text;
}

} // namespace zorvan::settings
