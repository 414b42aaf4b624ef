#pragma once

// Process-wide copies of the settings that are not part of the shared device state: the poll
// period, the graph, humidity-graph and sweep settings. They are loaded once when the main
// window is created and belong to the user-interface thread; the windows that edit a key
// update its variable as they write it. Where a writer stores only what changed, the value
// last written is kept beside the value in use.

#include "settings/keys.h"

#include <QString>
#include <cstdint>

namespace zorvan::settings {

// Interval of the main window's poll timer, milliseconds.
inline std::int32_t pollPeriodMs = kPollPeriod.defaultValue;

// Dynamic graph ("График").
inline std::int32_t graphSpanSaved = kGraphSpan.defaultValue;
inline std::int32_t readPeriodMs = kReadPeriod.defaultValue;
inline std::int32_t readPeriodSavedMs = kReadPeriod.defaultValue;
inline std::int32_t graphLineWidth = kGraphLineWidth.defaultValue;

// Humidity-and-temperature graph ("График (влажность и температура)").
inline QString refreshPeriodText = kRefreshPeriod.defaultValue.toString();
inline std::int32_t refreshPeriodSeconds = 6;
inline QString realValueText = kRealValue.defaultValue.toString();
inline bool noRequestMode = kNoRequestMode.defaultValue;
inline double limitTU2 = kLimitTU2.defaultValue;
inline double limitTU1 = kLimitTU1.defaultValue;
inline double limitTO1 = kLimitTO1.defaultValue;
inline double limitTO2 = kLimitTO2.defaultValue;
inline bool indicatorShown = kIndicatorShown.defaultValue;
inline bool indicatorColoured = kIndicatorColoured.defaultValue;
inline double signalMin = kSignalMin.defaultValue;
inline double signalMax = kSignalMax.defaultValue;
inline bool signalRangeFixed = kSignalRangeFixed.defaultValue;

// Frequency-response sweep ("АЧХ"), voltages and step in tens of millivolts, the pause in
// hundreds of milliseconds.
inline std::int32_t sweepMin = kSweepMin.defaultValue;
inline std::int32_t sweepMinSaved = kSweepMin.defaultValue;
inline std::int32_t sweepMax = kSweepMax.defaultValue;
inline std::int32_t sweepMaxSaved = kSweepMax.defaultValue;
inline std::int32_t sweepStep = kSweepStep.defaultValue;
inline std::int32_t sweepStepSaved = kSweepStep.defaultValue;
inline std::int32_t sweepPause = kSweepPause.defaultValue;
inline std::int32_t sweepPauseSaved = kSweepPause.defaultValue;
inline std::int32_t mainLineWidth = kMainLineWidth.defaultValue;
inline std::int32_t overlayLineWidth = kOverlayLineWidth.defaultValue;
inline std::int32_t captionPathMaxLength = kCaptionPathMaxLength.defaultValue;
inline bool captionFullFoldersOnly = kCaptionFullFoldersOnly.defaultValue;
inline std::int32_t previousScanPenStyle = kPreviousScanPenStyle.defaultValue;
inline std::int32_t prePreviousScanPenStyle = kPrePreviousScanPenStyle.defaultValue;
inline bool restartOnExit = kRestartOnExit.defaultValue;

} // namespace zorvan::settings
