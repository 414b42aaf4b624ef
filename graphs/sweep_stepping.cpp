// The sweep itself: a start moves the scans before down and writes the start value; each tick
// reads the humidity, plots it and writes the next step, until the end value is passed, a stop is
// asked for, the readings keep failing or the port goes away.
#include "graphs/sweep_lists.h"
#include "graphs/sweep_window.h"
#include "link/com_port.h"
#include "link/sweep_exchanges.h"
#include "settings/settings_variables.h"
#include "ui/line_job.h"

namespace zorvan::graphs {

namespace {

// Readings that may fail in one sweep before it ends.
constexpr int kReadFailureLimit = 3;
// A set-value step is a hundredth of a volt; a reading a hundredth of a percent.
constexpr double kHundredth = 0.01;

const QColor kScanColour(Qt::red);

// Windows pen style numbers as the settings file holds them; 5 draws nothing.
constexpr int kInvisiblePen = 5;

chart::PenStyle penStyleOf(int windowsStyle) {
    switch (windowsStyle) {
    case 1:
        return chart::PenStyle::Dash;
    case 2:
        return chart::PenStyle::Dot;
    case 3:
        return chart::PenStyle::DashDot;
    case 4:
        return chart::PenStyle::DashDotDot;
    default:
        return chart::PenStyle::Solid;
    }
}

void setPreviousScanStyle(chart::LineSeries& curve, int windowsStyle) {
    curve.setPenStyle(penStyleOf(windowsStyle));
    curve.setVisible(windowsStyle != kInvisiblePen);
    curve.setPenWidth(1);
}

// Points, title, legend flag and colour; the line style stays the target's.
void copyCurve(const chart::LineSeries& from, chart::LineSeries& to) {
    to.clear();
    for (qsizetype i = 0; i < from.count(); ++i) {
        to.append(from.x(i), from.y(i), from.time(i), from.colour(i));
    }
    to.setTitle(from.title());
    to.setShowInLegend(from.showInLegend());
    to.setColour(from.seriesColour());
}

CurveExtent extentOf(const chart::LineSeries& curve) {
    if (curve.count() == 0) {
        return {};
    }
    return {false, curve.minY(), curve.maxY()};
}

} // namespace

void TfmGraphicAChH::BitBtnPuskStopClick() {
    ButtonPusto->setFocus();
    if (running()) {
        // Served by the next tick, after one more reading.
        stopRequested_ = true;
        return;
    }
    startSweep();
}

void TfmGraphicAChH::startSweep() {
    BitBtnPuskStop->setText(kStop);
    shiftPreviousScans();
    Graphic.clear();
    chart::Axis& vertical = Chart1->leftAxis();
    if (vertical.maximum() >= 0) {
        vertical.setMinimum(0);
        vertical.setMaximum(0);
    } else {
        vertical.setMaximum(0);
        vertical.setMinimum(0);
    }
    takeListValues();
    currentSetValue_ = settings::sweepMin;
    TimerGraphicAChH.setInterval(sweepTickMs(settings::sweepPause));
    firstStep_ = true;
    readFailureCount_ = 0;
    const std::int32_t start = currentSetValue_;
    const bool started = ui::startLineJob<bool>(
        this,
        [start] {
            link::StartSweep(start);
            return link::CloseComPortIfGone();
        },
        [this](std::optional<bool> portLost) { stepWritten(portLost.value_or(false)); });
    if (!started) {
        endSweep();
    }
}

void TfmGraphicAChH::shiftPreviousScans() {
    const bool previousWasScan = GraphicPreviousScan.title() == kPreviousScanTitle;
    copyCurve(GraphicPreviousScan, GraphicPrePreviousScan);
    setPreviousScanStyle(GraphicPrePreviousScan, settings::prePreviousScanPenStyle);
    if (GraphicPrePreviousScan.count() > 0) {
        GraphicPrePreviousScan.setShowInLegend(true);
        if (previousWasScan) {
            GraphicPrePreviousScan.setTitle(kPrePreviousScanTitle);
        }
    }
    const bool currentWasScan = Graphic.title() == kScanTitle;
    copyCurve(Graphic, GraphicPreviousScan);
    setPreviousScanStyle(GraphicPreviousScan, settings::previousScanPenStyle);
    if (GraphicPreviousScan.count() > 0) {
        GraphicPreviousScan.setShowInLegend(true);
        if (currentWasScan) {
            GraphicPreviousScan.setTitle(kPreviousScanTitle);
        }
    }
}

void TfmGraphicAChH::takeListValues() {
    using namespace settings;
    sweepMin = tensOfMillivoltsOf(cbMinNapr->currentText()).value_or(sweepMin);
    sweepMax = tensOfMillivoltsOf(cbMaxNapr->currentText()).value_or(sweepMax);
    sweepStep = tensOfMillivoltsOf(cbStep->currentText()).value_or(sweepStep);
    sweepPause = hundredsOfMillisecondsOf(cbPause->currentText()).value_or(sweepPause);
}

void TfmGraphicAChH::restartTick() {
    if (!closing_) {
        TimerGraphicAChH.start();
    }
}

void TfmGraphicAChH::stepWritten(bool portLost) {
    if (portLost) {
        portWentAway();
    } else {
        restartTick();
    }
}

void TfmGraphicAChH::TimerGraphicAChHTimer() {
    TimerGraphicAChH.stop();
    struct Reading {
        std::optional<std::int32_t> sample;
        bool portLost = false;
    };
    const bool started = ui::startLineJob<Reading>(
        this,
        [] {
            return Reading{link::ReadSweepHumidity(), link::CloseComPortIfGone()};
        },
        [this](std::optional<Reading> reading) {
            if (closing_) {
                return;
            }
            if (reading && reading->portLost) {
                portWentAway();
            } else if (reading && reading->sample) {
                TimerViewReading(*reading->sample);
            } else {
                readFailed();
            }
        });
    if (!started) {
        readFailed();
    }
}

void TfmGraphicAChH::TimerViewReading(std::int32_t sample) {
    Graphic.insertInXOrder(currentSetValue_ * kHundredth, sample * kHundredth, 0.0, kScanColour);
    applyVerticalRange();
    if (stopRequested_) {
        endSweep();
        return;
    }
    if (firstStep_) {
        // The first reading after the start comes before the sensor settled: it is dropped and
        // the start value read again.
        firstStep_ = false;
        Graphic.clear();
        Graphic.setTitle(kScanTitle);
        Graphic.setShowInLegend(true);
    } else {
        currentSetValue_ += settings::sweepStep;
    }
    if (currentSetValue_ > settings::sweepMax) {
        endSweep();
        askToSaveScan();
        return;
    }
    writeNextSetValue();
}

void TfmGraphicAChH::askToSaveScan() {
    QMessageBox question(QMessageBox::Question, windowTitle(), kSweepDone,
                         QMessageBox::Yes | QMessageBox::No, this);
    // Modality first: setting it gives the box its dialog flags afresh. The end of a sweep that
    // ran for minutes must not go unseen behind another window.
    question.setWindowModality(Qt::ApplicationModal);
    question.setWindowFlag(Qt::WindowStaysOnTopHint);
    if (runMessageBox(question) == QMessageBox::Yes) {
        NSaveDataGraphClick();
    }
}

void TfmGraphicAChH::writeNextSetValue() {
    const std::int32_t value = currentSetValue_;
    // The pause runs from the end of the writes.
    const bool started = ui::startLineJob<bool>(
        this,
        [value] {
            link::WriteSetValue(value);
            return link::CloseComPortIfGone();
        },
        [this](std::optional<bool> portLost) { stepWritten(portLost.value_or(false)); });
    if (!started) {
        restartTick();
    }
}

void TfmGraphicAChH::readFailed() {
    ++readFailureCount_;
    if (readFailureCount_ < kReadFailureLimit) {
        restartTick();
        return;
    }
    endSweep();
    showMessage(QMessageBox::Critical, kReadError);
}

void TfmGraphicAChH::endSweep() {
    stopRequested_ = false;
    TimerGraphicAChH.stop();
    BitBtnPuskStop->setText(kStart);
    BitBtnCloseGraphic->setEnabled(true);
}

AxisRange TfmGraphicAChH::CalcVerticalRange() {
    std::array<CurveExtent, kOverlayCount> overlays;
    for (int i = 0; i < kOverlayCount; ++i) {
        overlays[i] = extentOf(*GraphicDop[i]);
    }
    const SweepRange range = sweepVerticalRange(
        {extentOf(Graphic), extentOf(GraphicPreviousScan), extentOf(GraphicPrePreviousScan)},
        overlays);
    setClearItemsVisible(range);
    if (range.allEmpty) {
        setWindowTitle(baseTitle_);
    }
    return {range.minimum, range.maximum};
}

void TfmGraphicAChH::applyVerticalRange() {
    const AxisRange range = CalcVerticalRange();
    Chart1->leftAxis().setMinMax(range.minimum, range.maximum);
}

void TfmGraphicAChH::setClearItemsVisible(const SweepRange& range) {
    NClearDataGraph->setVisible(range.clearScans);
    NClearAllDataGraph->setVisible(range.clearAll);
    NClearAllDataGraphDop->setVisible(range.clearAllOverlays);
    for (int i = 0; i < kOverlayCount; ++i) {
        NClearDataGraphDop[i]->setVisible(range.clearOverlay[i]);
    }
}

} // namespace zorvan::graphs
