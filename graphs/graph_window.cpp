#include "graphs/graph_window.h"

#include "graphs/point_label.h"
#include "graphs/read_period.h"
#include "graphs/vertical_scaling.h"
#include "link/device_state.h"
#include "settings/settings_variables.h"
#include "settings/typed_settings.h"
#include "ui/line_job.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPropertyAnimation>
#include <QScreen>
#include <chrono>
#include <vector>

namespace zorvan::graphs {

namespace {

constexpr int kIndicatorWidth = 90;
constexpr int kIndicatorGap = 5;
constexpr int kOpeningAnimationMs = 200;

const QColor kInstrument1Colour(255, 0, 0);
const QColor kInstrument2Colour(0, 0, 255);

const QStringList kSpanEntries{
    QStringLiteral("100"),   QStringLiteral("200"),   QStringLiteral("300"),
    QStringLiteral("400"),   QStringLiteral("500"),   QStringLiteral("600"),
    QStringLiteral("700"),   QStringLiteral("800"),   QStringLiteral("900"),
    QStringLiteral("1000"),  QStringLiteral("2000"),  QStringLiteral("5000"),
    QStringLiteral("10000"), QStringLiteral("20000"), QStringLiteral("50000"),
    QStringLiteral("100000")};

// The moment a reading is processed, in seconds of a clock that never jumps.
double nowSeconds() {
    using Seconds = std::chrono::duration<double>;
    return std::chrono::duration_cast<Seconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

bool secondInstrumentPresent() {
    return link::deviceAddress[1] > 0;
}

GraphReading currentSamples() {
    return {link::graphSample1, link::graphSample2, link::graphSample3, link::graphSample4};
}

} // namespace

TFormGraphic::TFormGraphic(ui::WindowHost& host, GraphMode mode)
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowMinMaxButtonsHint),
      Chart1(new chart::Chart(this)), Graphic(Chart1->addLineSeries()),
      Graphic2(Chart1->addLineSeries()), GraphicTemperatury(Chart1->addLineSeries()),
      GraphicTemperatury2(Chart1->addLineSeries()), GraphicDopPole(Chart1->addLineSeries()),
      host_(host), mode_(mode) {
    createComponents();
    FormCreate();
}

TFormGraphic::~TFormGraphic() = default;

void TFormGraphic::createComponents() {
    resize(kWidth, kHeight);
    setMinimumSize(600, 320);
    Chart1->setObjectName(QStringLiteral("Chart1"));
    Chart1->setBackgroundColour(Qt::white);
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
    const auto label = [this](double time) {
        return secondsLabel(time - firstPointTime_, timeLabelDecimals_);
    };
    Graphic.setLabelFormat(label);
    Graphic2.setLabelFormat(label);
    connect(Chart1, &chart::Chart::doubleClicked, this, [this] { Chart1DblClick(); });

    paIndicator = new QWidget(this);
    paIndicator->setObjectName(QStringLiteral("paIndicator"));
    Chart2 = new chart::Chart(paIndicator);
    Chart2->setObjectName(QStringLiteral("Chart2"));
    connect(Chart2, &chart::Chart::doubleClicked, this, [this] { Chart1DblClick(); });

    laIzmPerSecond = new QLabel(Chart1);
    laIzmPerSecond->hide();
    laPropusky = new QLabel(Chart1);
    laPropusky->hide();

    createControls();
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
    BitBtnPuskStop->setEnabled(true);
    cbOkno->setEnabled(true);
    cbReadPeriod->setEnabled(true);
}

void TFormGraphic::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (shownOnce_) {
        return;
    }
    shownOnce_ = true;
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    const QRect target((screen.width() - width()) / 2, (screen.height() - height()) / 3, width(),
                       height());
    ButtonPusto->setFocus();
    // The caption grows out of the window's centre into its frame.
    auto* opening = new QPropertyAnimation(this, "geometry", this);
    opening->setDuration(kOpeningAnimationMs);
    opening->setStartValue(QRect(target.center(), QSize(1, 1)));
    opening->setEndValue(target);
    opening->start(QAbstractAnimation::DeleteWhenStopped);
}

void TFormGraphic::BitBtnPuskStopClick() {
    ButtonPusto->setFocus();
    timeLabelDecimals_ = timeLabelDecimalsFor(settings::readPeriodMs);
    missedReads_ = 0;
    if (running()) {
        stopRunning();
    } else {
        startRunning();
    }
}

void TFormGraphic::startRunning() {
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
    graphSpan_ = cbOkno->currentText().toInt();
    graphAxisFrom_ = 0;
    graphAxisTo_ = graphSpan_;
    chart::Axis& bottom = Chart1->bottomAxis();
    bottom.setAutomatic(false);
    bottom.setMinMax(0, graphSpan_);
    BitBtnPuskStop->setText(kStop);
    BitBtnPuskStop->setEnabled(true);
    BitBtnCloseGraphic->setEnabled(false);
    TimerGraphic.start();
}

void TFormGraphic::stopRunning() {
    TimerGraphic.stop();
    Chart1->bottomAxis().setAutomatic(true);
    cbOkno->setEnabled(true);
    cbReadPeriod->setEnabled(true);
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
    const bool started = ui::startLineJob<std::optional<GraphReading>>(
        this,
        [kind]() -> std::optional<GraphReading> {
            const bool read = link::ReadGraphSamples(kind, false);
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
    addDynamicPoints(reading);
}

void TFormGraphic::addDynamicPoints(const GraphReading& reading) {
    const double now = nowSeconds();
    if (Graphic.count() == 0) {
        firstPointTime_ = now;
    }
    const double scale = link::graphScale;
    const bool second = secondInstrumentPresent();
    Graphic.append(graphPointNumber_, reading.sample1 * scale, now, kInstrument1Colour);
    if (second) {
        Graphic2.append(graphPointNumber_, reading.sample2 * scale, now, kInstrument2Colour);
    }
    ++graphPointNumber_;
    scaleVertically();
    if (graphPointNumber_ > graphAxisTo_) {
        ++graphAxisFrom_;
        ++graphAxisTo_;
        Chart1->bottomAxis().setMinMax(graphAxisFrom_, graphAxisTo_);
    }
    while (Graphic.count() > graphSpan_) {
        Graphic.removeFirst();
        if (second && Graphic2.count() > 0) {
            Graphic2.removeFirst();
        }
    }
    showReadRate();
}

void TFormGraphic::scaleVertically() {
    std::vector<SeriesExtent> extents;
    for (const chart::LineSeries* series :
         {&Graphic, &Graphic2, &GraphicTemperatury, &GraphicDopPole, &GraphicTemperatury2}) {
        if (series->count() > 0 || series == &Graphic) {
            extents.push_back({series->minY(), series->maxY()});
        }
    }
    const AxisRange range = verticalRange(extents);
    Chart1->leftAxis().setMinMax(range.minimum, range.maximum);
}

void TFormGraphic::showReadRate() {
    const qsizetype count = Graphic.count();
    if (count >= 2) {
        laIzmPerSecond->setText(readRateText(count, Graphic.time(count - 1) - Graphic.time(0)));
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

void TFormGraphic::Chart1DblClick() {
    if (isMaximized()) {
        showNormal();
    } else {
        showMaximized();
    }
}

void TFormGraphic::keyPressEvent(QKeyEvent* event) {
    // The only way out is "Выход".
    if (event->key() == Qt::Key_F4 && event->modifiers().testFlag(Qt::AltModifier)) {
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

void TFormGraphic::BitBtnCloseGraphicClick() {
    ButtonPusto->setFocus();
    exitChosen_ = true;
    close();
}

void TFormGraphic::closeEvent(QCloseEvent* event) {
    // The window's close box is greyed; a close from the system is refused like Alt+F4.
    if (!exitChosen_) {
        event->ignore();
        return;
    }
    FormClose();
    QWidget::closeEvent(event);
}

void TFormGraphic::FormClose() {
    TimerGraphic.stop();
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
}

void TFormGraphic::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    placeCharts();
}

void TFormGraphic::placeCharts() {
    const int chartHeight = height() - kStripHeight;
    const int indicatorSpace = !paIndicator->isHidden() ? kIndicatorWidth + kIndicatorGap : 0;
    Chart1->setGeometry(0, 0, width() - indicatorSpace, chartHeight);
    paIndicator->setGeometry(width() - kIndicatorWidth, 0, kIndicatorWidth, chartHeight);
    Chart2->setGeometry(0, 0, kIndicatorWidth, chartHeight);
    paControls->setGeometry(0, chartHeight, width(), kStripHeight);
    BitBtnCloseGraphic->move(width() - BitBtnCloseGraphic->width() - 8, 8);
}

void NGraphicClick(ui::WindowHost& host) {
    if (FormGraphic) {
        return;
    }
    auto* window = new TFormGraphic(host, GraphMode::Dynamic);
    window->setAttribute(Qt::WA_DeleteOnClose);
    FormGraphic = window;
    window->paIndicator->hide();
    window->show();
    ui::lendLine(host);
}

} // namespace zorvan::graphs
