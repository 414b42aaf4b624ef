#include "graphs/graph_window.h"

#include "graphs/graph_clock.h"
#include "graphs/point_label.h"
#include "graphs/read_period.h"
#include "graphs/recording_file.h"
#include "link/com_port.h"
#include "link/device_state.h"
#include "settings/settings_variables.h"
#include "settings/typed_settings.h"
#include "ui/application_minimize.h"
#include "ui/line_job.h"

namespace zorvan::graphs {

namespace {

constexpr int kHumidityReadMs = 1000;
constexpr int kListeningReadMs = 999;
// The span of the modes that never trim: in effect no limit.
constexpr std::int32_t kUnlimitedSpan = 1'410'065'408;

GraphReading currentSamples() {
    return {link::graphSample1, link::graphSample2, link::graphSample3, link::graphSample4};
}

// One read turn on the line. A port whose device went away is closed and, at the later turns,
// opened again; the instruments then get what they need after a power cycle before the reads go
// on. Listening, the program never sends: the other master asks for the readings.
ReadTurn takeReadTurn(link::GraphReadKind kind, bool listen, bool resume) {
    ReadTurn turn;
    const link::PortReadiness port = link::ReadyComPort();
    if (port == link::PortReadiness::Lost) {
        turn.portLost = true;
        return turn;
    }
    if (resume || port == link::PortReadiness::Reopened) {
        turn.resumed = listen || link::ResumeGraphRequests();
        if (!turn.resumed) {
            turn.portLost = link::CloseComPortIfGone();
            return turn;
        }
    }
    if (link::ReadGraphSamples(kind, listen)) {
        turn.reading = currentSamples();
    }
    turn.portLost = link::CloseComPortIfGone();
    return turn;
}

} // namespace

TFormGraphic::TFormGraphic(ui::WindowHost& host, GraphMode mode)
    : Chart1(new chart::Chart(this)), Graphic(Chart1->addLineSeries()),
      Graphic2(Chart1->addLineSeries()), GraphicTemperatury(Chart1->addLineSeries()),
      GraphicTemperatury2(Chart1->addLineSeries()), GraphicDopPole(Chart1->addLineSeries()),
      paIndicator(new QWidget(this)), Chart2(new chart::Chart(paIndicator)),
      BarSeriesIndicator(Chart2->barSeries()), host_(host), mode_(mode) {
    createComponents();
    ui::minimizeApplicationWith(*this);
    FormCreate();
}

TFormGraphic::~TFormGraphic() = default;

void TFormGraphic::FormCreate() {
    host_.suspendPolling();
    windowTitle_ = instrumentTitle(link::versionByte1[0]);
    setWindowTitle(windowTitle_ + kGraphSuffix);
    laIzmPerSecond->clear();
    laPropusky->clear();
    selectStoredSpan();
    selectStoredReadPeriod();
    // Connected after the stored values are selected: only the user's choice changes them.
    connect(cbOkno, &QComboBox::currentIndexChanged, this, [this] { cbOknoChange(); });
    connect(cbReadPeriod, &QComboBox::currentIndexChanged, this, [this] { cbReadPeriodChange(); });
    connect(cbMinViewValue, &QComboBox::currentTextChanged, this, [this] { cbReadPeriodChange(); });
    Graphic.setPenWidth(settings::graphLineWidth);
    TimerGraphic.setInterval(settings::readPeriodMs);

    link::graphReadBusy = false;
    const bool started = ui::startLineJob<bool>(
        this,
        // A port lost before the window opened is tried once more here, as a read turn would.
        [] {
            return link::ReadyComPort() != link::PortReadiness::Lost && link::PrepareGraphReads();
        },
        [this](std::optional<bool> answered) { preparationEnded(answered.value_or(false)); });
    if (!started) {
        preparationEnded(false);
    }
}

void TFormGraphic::selectStoredSpan() {
    cbOkno->setCurrentIndex(0);
    const int stored = cbOkno->findText(QString::number(settings::graphSpanSaved));
    if (stored >= 0) {
        cbOkno->setCurrentIndex(stored);
    }
}

void TFormGraphic::selectStoredReadPeriod() {
    const int stored = cbReadPeriod->findText(entryOfReadPeriod(settings::readPeriodMs));
    if (stored >= 0) {
        cbReadPeriod->setCurrentIndex(stored);
        return;
    }
    cbReadPeriod->setCurrentIndex(cbReadPeriod->findText(QStringLiteral("0.5")));
    settings::readPeriodMs = 500;
}

void TFormGraphic::preparationEnded(bool answered) {
    if (!answered) {
        setWindowTitle(windowTitle_ + kSilentSuffix);
        return;
    }
    Graphic.clear();
    if (mode_ == GraphMode::Humidity && !settings::signalRangeFixed) {
        Chart1->leftAxis().setMinMax(0.0, 0.0);
    }
    BitBtnPuskStop->setEnabled(true);
    cbOkno->setEnabled(true);
    cbReadPeriod->setEnabled(true);
}

void TFormGraphic::BitBtnPuskStopClick() {
    ButtonPusto->setFocus();
    timeLabelDecimals_ = timeLabelDecimalsFor(settings::readPeriodMs);
    if (mode_ == GraphMode::Threshold) {
        if (!takeThreshold()) {
            return;
        }
        if (!running()) {
            labelOrigin_ = graphClockSeconds();
            hold_.restart();
        }
    }
    if (running()) {
        stopAsAtStop();
        return;
    }
    if (mode_ == GraphMode::Humidity) {
        labelOrigin_ = graphClockSeconds();
    }
    if (mode_ != GraphMode::Dynamic) {
        startRecording();
    }
    missedReads_ = 0;
    startRunning();
}

void TFormGraphic::stopAsAtStop() {
    if (mode_ == GraphMode::Humidity) {
        labelOrigin_ = graphClockSeconds();
        TimerAutoSaveTimer();
    }
    // No point comes after "Стоп": the file is finished now, and whole on the disk soon after.
    endRecording();
    missedReads_ = 0;
    stopRunning();
}

void TFormGraphic::endForProgramExit() {
    if (running()) {
        stopAsAtStop();
    }
    BitBtnCloseGraphicClick();
}

void TFormGraphic::startRunning() {
    if (mode_ == GraphMode::Humidity) {
        TimerAutoSave.start();
        if (settings::indicatorShown && settings::indicatorColoured) {
            BarSeriesIndicator.setValue(Chart2->leftAxis().minimum());
        }
    }
    laIzmPerSecond->clear();
    laPropusky->clear();
    for (chart::LineSeries* series :
         {&Graphic, &Graphic2, &GraphicTemperatury, &GraphicTemperatury2, &GraphicDopPole}) {
        series->clear();
    }
    graphPointNumber_ = 0;
    cbOkno->setEnabled(false);
    cbReadPeriod->setEnabled(false);
    // Held until the instruments were asked to sample, so a second click cannot start twice.
    BitBtnPuskStop->setEnabled(false);
    if (CheckBoxZaprosPr44->isChecked()) {
        TimerGraphic.setInterval(kListeningReadMs);
        startedRequests();
        return;
    }
    if (mode_ == GraphMode::Humidity) {
        TimerGraphic.setInterval(kHumidityReadMs);
    }
    const bool started = ui::startLineJob<bool>(
        this,
        [] {
            link::StartGraphRequests();
            return true;
        },
        [this](std::optional<bool>) { startedRequests(); });
    if (!started) {
        startedRequests();
    }
}

void TFormGraphic::startedRequests() {
    // An exit while the instruments were being asked to sample leaves the window closed.
    if (exitChosen_) {
        return;
    }
    graphSpan_ = cbOkno->currentText().toInt();
    graphAxisFrom_ = 0;
    chart::Axis& bottom = Chart1->bottomAxis();
    if (mode_ == GraphMode::Dynamic) {
        graphAxisTo_ = graphSpan_;
        bottom.setAutomatic(false);
        bottom.setMinMax(0, graphSpan_);
    } else {
        bottom.setAutomatic(true);
        cbMinViewValue->setEnabled(false);
        graphSpan_ = kUnlimitedSpan;
        graphAxisTo_ = kUnlimitedSpan;
    }
    BitBtnPuskStop->setText(kStop);
    BitBtnPuskStop->setEnabled(true);
    BitBtnCloseGraphic->setEnabled(false);
    TimerGraphic.start();
}

void TFormGraphic::stopRunning() {
    ++runNumber_;
    TimerGraphic.stop();
    TimerAutoSave.stop();
    Chart1->bottomAxis().setAutomatic(true);
    cbOkno->setEnabled(true);
    cbReadPeriod->setEnabled(true);
    cbMinViewValue->setEnabled(true);
    BitBtnPuskStop->setText(kStart);
    BitBtnCloseGraphic->setEnabled(true);
}

void TFormGraphic::TimerGraphicTimer() {
    // Taken here, not by the job, so that the next turn can never start a second read.
    if (link::graphReadBusy.exchange(true)) {
        ++missedReads_;
        laPropusky->setText(QStringLiteral("Пропущено запросов: %1").arg(missedReads_));
        return;
    }
    const auto kind =
        mode_ == GraphMode::Humidity ? link::GraphReadKind::Humidity : link::GraphReadKind::Dynamic;
    const bool listen = CheckBoxZaprosPr44->isChecked();
    const bool resume = resumeDue_;
    const bool started = ui::startLineJob<ReadTurn>(
        this,
        [kind, listen, resume] {
            const ReadTurn turn = takeReadTurn(kind, listen, resume);
            link::graphReadBusy = false;
            return turn;
        },
        [this, run = runNumber_](std::optional<ReadTurn> turn) {
            if (turn) {
                // Taken before "Стоп": neither a point after it nor the next run's first.
                if (run != runNumber_) {
                    turn->reading.reset();
                }
                readTurnEnded(*turn);
            } else {
                link::graphReadBusy = false; // the line never came: the job did not run
            }
        });
    if (!started) {
        link::graphReadBusy = false;
    }
}

void TFormGraphic::readTurnEnded(const ReadTurn& turn) {
    if (turn.portLost) {
        resumeDue_ = true;
        setWindowTitle(windowTitle_ + kSilentSuffix);
    } else if (turn.resumed) {
        resumeDue_ = false;
        setWindowTitle(windowTitle_ + kGraphSuffix);
    }
    if (turn.reading) {
        TimerViewDataGraphicTimer(*turn.reading);
    }
}

void TFormGraphic::TimerViewDataGraphicTimer(const GraphReading& reading) {
    switch (mode_) {
    case GraphMode::Dynamic:
        addDynamicPoints(reading);
        break;
    case GraphMode::Threshold:
        addThresholdPoints(reading);
        break;
    case GraphMode::Humidity:
        addHumidityPoints(reading);
        break;
    }
}

void TFormGraphic::cbOknoChange() {
    graphSpan_ = cbOkno->currentText().toInt();
    graphAxisFrom_ = 0;
    graphAxisTo_ = graphSpan_;
    Chart1->bottomAxis().setMinMax(0, graphSpan_);
}

void TFormGraphic::cbReadPeriodChange() {
    if (const auto period = readPeriodOfEntry(cbReadPeriod->currentText())) {
        settings::readPeriodMs = *period;
        TimerGraphic.setInterval(*period);
    }
}

void TFormGraphic::BitBtnCloseGraphicClick() {
    ButtonPusto->setFocus();
    exitChosen_ = true;
    close();
}

bool TFormGraphic::mayClose() {
    if (exitChosen_) {
        FormClose();
    }
    return exitChosen_;
}

void TFormGraphic::FormClose() {
    TimerGraphic.stop();
    TimerAutoSave.stop();
    endRecording();
    ui::takeLineBack(host_);
    writeChangedSettings();
}

void TFormGraphic::writeChangedSettings() {
    using namespace settings;
    if (mode_ == GraphMode::Dynamic && cbOkno->currentText().toInt() != graphSpanSaved) {
        writeSetting(kGraphSpan, cbOkno->currentText().toInt());
        graphSpanSaved = readSetting(kGraphSpan);
    }
    if (readPeriodMs != readPeriodSavedMs) {
        writeSetting(kReadPeriod, readPeriodMs);
        readPeriodSavedMs = readSetting(kReadPeriod);
    }
    if (mode_ == GraphMode::Humidity) {
        writeChangedHumiditySettings();
    }
}

QString TFormGraphic::labelOf(double time) const {
    return pointLabel(time, mode_ == GraphMode::Humidity, timeLabelDecimals_);
}

std::string_view TFormGraphic::timeFieldOf(qsizetype point, std::string& scratch) const {
    return savedTimeField(Graphic.ownLabels().utf8At(point), Graphic.time(point),
                          mode_ == GraphMode::Humidity, timeLabelDecimals_, scratch);
}

double TFormGraphic::secondsSinceOrigin() const {
    return graphClockSeconds() - labelOrigin_;
}

} // namespace zorvan::graphs
