#include "graphs/graph_window.h"

#include "graphs/chart_picture.h"
#include "graphs/graph_clock.h"
#include "graphs/humidity_rules.h"
#include "graphs/point_label.h"
#include "graphs/read_period.h"
#include "graphs/recording_file.h"
#include "link/device_state.h"
#include "settings/decimal_key_filter.h"
#include "settings/humidity_graph_settings_window.h"
#include "settings/number_format.h"
#include "settings/settings_variables.h"
#include "settings/typed_settings.h"
#include "ui/application_minimize.h"
#include "ui/line_job.h"

#include <QMessageBox>
#include <cmath>

namespace zorvan::graphs {

namespace {

constexpr int kStripHeight = 44;
constexpr int kHumidityStripHeight = 60;
constexpr int kIndicatorWidth = 90;
constexpr int kIndicatorGap = 5;
constexpr int kHumidityReadMs = 1000;
constexpr int kListeningReadMs = 999;
// The span of the modes that never trim: in effect no limit.
constexpr std::int32_t kUnlimitedSpan = 1'410'065'408;

const QStringList kSpanEntries{
    QStringLiteral("100"),   QStringLiteral("200"),   QStringLiteral("300"),
    QStringLiteral("400"),   QStringLiteral("500"),   QStringLiteral("600"),
    QStringLiteral("700"),   QStringLiteral("800"),   QStringLiteral("900"),
    QStringLiteral("1000"),  QStringLiteral("2000"),  QStringLiteral("5000"),
    QStringLiteral("10000"), QStringLiteral("20000"), QStringLiteral("50000"),
    QStringLiteral("100000")};

const QStringList kThresholdEntries{
    QStringLiteral("1"),     QStringLiteral("2"),     QStringLiteral("5"),
    QStringLiteral("10"),    QStringLiteral("20"),    QStringLiteral("50"),
    QStringLiteral("100"),   QStringLiteral("200"),   QStringLiteral("500"),
    QStringLiteral("1000"),  QStringLiteral("2000"),  QStringLiteral("5000"),
    QStringLiteral("10000"), QStringLiteral("20000"), QStringLiteral("50000"),
    QStringLiteral("100000")};

GraphReading currentSamples() {
    return {link::graphSample1, link::graphSample2, link::graphSample3, link::graphSample4};
}

QLabel* figurePanel(QWidget* parent, const QColor& colour) {
    auto* panel = new QLabel(parent);
    QFont font = panel->font();
    font.setPointSize(20);
    font.setBold(true);
    panel->setFont(font);
    panel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    panel->setFrameShape(QFrame::Panel);
    panel->setFrameShadow(QFrame::Sunken);
    QPalette palette = panel->palette();
    palette.setColor(QPalette::WindowText, colour);
    panel->setPalette(palette);
    return panel;
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

void TFormGraphic::createComponents() {
    resize(kWidth, kHeight);
    setMinimumSize(600, 320);
    createSeries();
    createControls();
    createHumidityControls();
    createPopupMenu();
    laIzmPerSecond = new QLabel(Chart1);
    laIzmPerSecond->hide();
    laPropusky = new QLabel(Chart1);
    laPropusky->hide();
}

void TFormGraphic::createSeries() {
    Chart1->setObjectName(QStringLiteral("Chart1"));
    Chart1->bottomAxis().setAutomatic(false);
    Chart1->leftAxis().setAutomatic(false);
    Chart1->leftAxis().setMinMax(-0.5, 0.5);
    Graphic.setColour(Qt::blue);
    Graphic2.setColour(Qt::green);
    Graphic2.setPenWidth(2);
    GraphicTemperatury.setColour(Qt::red);
    GraphicTemperatury.setPenWidth(2);
    GraphicTemperatury2.setColour(Qt::red);
    GraphicTemperatury2.setPenStyle(chart::PenStyle::Dot);
    GraphicDopPole.setColour(QColor(0, 255, 0));
    GraphicDopPole.setPenWidth(2);
    const auto label = [this](double time) { return labelOf(time); };
    for (chart::LineSeries* series :
         {&Graphic, &Graphic2, &GraphicTemperatury, &GraphicTemperatury2, &GraphicDopPole}) {
        series->setLabelFormat(label);
    }
    paIndicator->setObjectName(QStringLiteral("paIndicator"));
    Chart2->setObjectName(QStringLiteral("Chart2"));
    Chart2->leftAxis().setAutomatic(false);
    Chart2->bottomAxis().setAutomatic(false);
    for (chart::Chart* chart : {Chart1, Chart2}) {
        chart->setBackgroundColour(Qt::white);
        connect(chart, &chart::Chart::doubleClicked, this, [this] { toggleMaximized(); });
    }
}

void TFormGraphic::createControls() {
    paControls = new QWidget(this);
    BitBtnPuskStop = new QPushButton(kStart, paControls);
    BitBtnPuskStop->setGeometry(8, 8, 90, 28);
    BitBtnPuskStop->setEnabled(false);
    laTimeOnGraph = new QLabel(QStringLiteral("Окно:"), paControls);
    laTimeOnGraph->setGeometry(112, 8, 44, 28);
    cbOkno = new QComboBox(paControls);
    cbOkno->setGeometry(156, 8, 90, 28);
    cbOkno->addItems(kSpanEntries);
    cbOkno->setEnabled(false);
    laReadPeriod = new QLabel(QStringLiteral("Период чтения данных, с:"), paControls);
    laReadPeriod->setGeometry(262, 8, 170, 28);
    cbReadPeriod = new QComboBox(paControls);
    cbReadPeriod->setGeometry(432, 8, 70, 28);
    cbReadPeriod->addItems(readPeriodEntries());
    cbReadPeriod->setEnabled(false);
    laMinViewValue = new QLabel(QStringLiteral("Показывать значения >"), paControls);
    laMinViewValue->setGeometry(518, 8, 150, 28);
    laMinViewValue->hide();
    cbMinViewValue = new QComboBox(paControls);
    cbMinViewValue->setEditable(true);
    cbMinViewValue->addItems(kThresholdEntries);
    cbMinViewValue->setCurrentText(QStringLiteral("100"));
    cbMinViewValue->setGeometry(668, 8, 90, 28);
    cbMinViewValue->hide();
    BitBtnCloseGraphic = new QPushButton(QStringLiteral("Выход"), paControls);
    BitBtnCloseGraphic->setFixedSize(90, 28);
    // Takes the focus after every click, so that no button keeps a focus frame.
    ButtonPusto = new QPushButton(paControls);
    ButtonPusto->setGeometry(0, 0, 0, 0);

    connect(BitBtnPuskStop, &QPushButton::clicked, this, [this] { BitBtnPuskStopClick(); });
    connect(BitBtnCloseGraphic, &QPushButton::clicked, this, [this] { BitBtnCloseGraphicClick(); });
    TimerGraphic.setTimerType(Qt::PreciseTimer);
    connect(&TimerGraphic, &QTimer::timeout, this, [this] { TimerGraphicTimer(); });
    TimerAutoSave.setInterval(kAutoSaveMs);
    connect(&TimerAutoSave, &QTimer::timeout, this, [this] { TimerAutoSaveTimer(); });
}

void TFormGraphic::createHumidityControls() {
    laDopPole = new QLabel(QStringLiteral("Реальное"), paControls);
    laDopPole->setGeometry(108, 6, 70, 20);
    laDopPole2 = new QLabel(QStringLiteral("значение"), paControls);
    laDopPole2->setGeometry(108, 24, 70, 20);
    edDopPole = new QLineEdit(paControls);
    edDopPole->setGeometry(176, 10, 64, 28);
    settings::filterDecimalKeys(*edDopPole, settings::Sign::Allowed);
    btnDopPolePrimenit = new QPushButton(QStringLiteral("Применить"), paControls);
    btnDopPolePrimenit->setGeometry(244, 10, 84, 28);
    laTekVlazh = new QLabel(QStringLiteral("Тек."), paControls);
    laTekVlazh->setGeometry(340, 6, 40, 20);
    laTekVlazh2 = new QLabel(QStringLiteral("влаж."), paControls);
    laTekVlazh2->setGeometry(340, 24, 40, 20);
    paTekVlazh = figurePanel(paControls, Qt::blue);
    paTekVlazh->setGeometry(380, 4, 110, 44);
    laTekTemp = new QLabel(QStringLiteral("Тек."), paControls);
    laTekTemp->setGeometry(500, 6, 40, 20);
    laTekTemp2 = new QLabel(QStringLiteral("темп."), paControls);
    laTekTemp2->setGeometry(500, 24, 40, 20);
    paTekTemp = figurePanel(paControls, Qt::red);
    paTekTemp->setGeometry(540, 4, 100, 44);
    paTekTemp2 = figurePanel(paControls, Qt::red);
    paTekTemp2->setGeometry(644, 4, 100, 44);
    BitBtnNastroyki = new QPushButton(QStringLiteral(" Настройки"), paControls);
    BitBtnNastroyki->setFixedSize(96, 28);
    CheckBoxZaprosPr44 = new QCheckBox(QStringLiteral("Без запроса"), paControls);
    CheckBoxZaprosPr44->setFixedSize(110, 20);
    for (QWidget* control : std::initializer_list<QWidget*>{
             laDopPole, laDopPole2, edDopPole, btnDopPolePrimenit, laTekVlazh, laTekVlazh2,
             paTekVlazh, laTekTemp, laTekTemp2, paTekTemp, paTekTemp2, BitBtnNastroyki,
             CheckBoxZaprosPr44}) {
        control->hide();
    }
    connect(btnDopPolePrimenit, &QPushButton::clicked, this, [this] { btnDopPolePrimenitClick(); });
    connect(BitBtnNastroyki, &QPushButton::clicked, this, [this] { BitBtnNastroykiClick(); });
}

void TFormGraphic::createPopupMenu() {
    GraphPopupMenu = new QMenu(this);
    NSaveDataGraph =
        GraphPopupMenu->addAction(QStringLiteral("Сохранить в файле данные из графика"));
    NLoadDataGraph =
        GraphPopupMenu->addAction(QStringLiteral("Отобразить на графике данные из файла"));
    connect(NSaveDataGraph, &QAction::triggered, this, [this] { NSaveDataGraphClick(); });
    connect(NLoadDataGraph, &QAction::triggered, this, [this] { NLoadDataGraphClick(); });
    NSaveGraphPicture = insertPictureItem(
        *GraphPopupMenu, nullptr, *Chart1,
        {[this](QFileDialog& dialog) {
             if (chooseSaveFile) {
                 return chooseSaveFile();
             }
             return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0)
                                                       : QString();
         },
         [this](const QString& path, const QString& reason) { showFileError(path, reason); }});
    Chart1->setPopupMenu(GraphPopupMenu);
    Chart2->setPopupMenu(GraphPopupMenu);
    // An empty graph has nothing to save.
    connect(GraphPopupMenu, &QMenu::aboutToShow, this, [this] {
        NSaveDataGraph->setVisible(Graphic.count() > 0);
        NLoadDataGraph->setVisible(true);
    });
}

void TFormGraphic::FormCreate() {
    host_.suspendPolling();
    windowTitle_ = instrumentTitle(link::versionByte1[0]);
    setWindowTitle(windowTitle_ + QStringLiteral(" - график"));
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
        this, [] { return link::PrepareGraphReads(); },
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

bool TFormGraphic::takeThreshold() {
    const std::optional<double> threshold = settings::parseReal(cbMinViewValue->currentText());
    if (!threshold) {
        cbMinViewValue->setFocus();
        QMessageBox box(QMessageBox::Critical, windowTitle(),
                        QStringLiteral("Это не цифра!\nЗадайте правильное значение."),
                        QMessageBox::Ok, this);
        box.exec();
        return false;
    }
    thresholdValue_ = *threshold;
    return true;
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
    const bool started = ui::startLineJob<std::optional<GraphReading>>(
        this,
        [kind, listen]() -> std::optional<GraphReading> {
            const bool read = link::ReadGraphSamples(kind, listen);
            link::graphReadBusy = false;
            return read ? std::optional(currentSamples()) : std::nullopt;
        },
        [this](std::optional<std::optional<GraphReading>> reading) {
            if (!reading) {
                link::graphReadBusy = false; // the line never came: the job did not run
            } else if (*reading) {
                TimerViewDataGraphicTimer(**reading);
            }
        });
    if (!started) {
        link::graphReadBusy = false;
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

void TFormGraphic::BitBtnNastroykiClick() {
    ButtonPusto->setFocus();
    if (settings::fmGraphVlazhTempNastr) {
        return;
    }
    settings::TfmGraphVlazhTempNastr window(*this);
    settings::fmGraphVlazhTempNastr = &window;
    window.showModal();
}

void TFormGraphic::btnDopPolePrimenitClick() {
    ButtonPusto->setFocus();
    realValue_ = settings::parseReal(edDopPole->text()).value_or(10.0);
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
    if (mode_ != GraphMode::Humidity) {
        return;
    }
    if (edDopPole->text() != realValueText) {
        writeSetting(kRealValue, edDopPole->text());
        realValueText = readSetting(kRealValue);
    }
    if (CheckBoxZaprosPr44->isChecked() != noRequestMode) {
        writeSetting(kNoRequestMode, CheckBoxZaprosPr44->isChecked());
        noRequestMode = readSetting(kNoRequestMode);
    }
}

void TFormGraphic::showIndicatorPanel(bool shown) {
    paIndicator->setVisible(shown);
    placeControls();
}

void TFormGraphic::addIndicatorBarIfMissing() {
    if (!BarSeriesIndicator.hasBar()) {
        BarSeriesIndicator.setBar(Chart2->leftAxis().minimum(), QColor(0, 128, 0));
    }
}

void TFormGraphic::colourIndicatorBarGreen() {
    if (BarSeriesIndicator.hasBar()) {
        BarSeriesIndicator.setColour(QColor(0, 128, 0));
    }
}

void TFormGraphic::applySignalRange(double minimum, double maximum) {
    Chart1->leftAxis().setMinMax(minimum, maximum);
    Chart2->leftAxis().setMinMax(Chart1->leftAxis().minimum(), Chart1->leftAxis().maximum());
}

void TFormGraphic::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    placeControls();
}

void TFormGraphic::placeControls() {
    const int strip = mode_ == GraphMode::Humidity ? kHumidityStripHeight : kStripHeight;
    const int chartHeight = height() - strip;
    const int indicatorSpace = paIndicator->isHidden() ? 0 : kIndicatorWidth + kIndicatorGap;
    Chart1->setGeometry(0, 0, width() - indicatorSpace, chartHeight);
    paIndicator->setGeometry(width() - kIndicatorWidth, 0, kIndicatorWidth, chartHeight);
    Chart2->setGeometry(0, 0, kIndicatorWidth, chartHeight);
    paControls->setGeometry(0, chartHeight, width(), strip);
    const int right = width() - 8;
    BitBtnCloseGraphic->move(right - BitBtnCloseGraphic->width(), 10);
    BitBtnNastroyki->move(right - BitBtnCloseGraphic->width() - 8 - BitBtnNastroyki->width(), 4);
    CheckBoxZaprosPr44->move(BitBtnNastroyki->x(), 36);
}

QString TFormGraphic::labelOf(double time) const {
    return pointLabel(time, mode_ == GraphMode::Humidity, timeLabelDecimals_);
}

double TFormGraphic::secondsSinceOrigin() const {
    return graphClockSeconds() - labelOrigin_;
}

} // namespace zorvan::graphs
