#include "graphs/sweep_window.h"

#include "graphs/graph_file_dialogs.h"
#include "graphs/point_label.h"
#include "graphs/sweep_lists.h"
#include "link/com_port.h"
#include "link/device_state.h"
#include "link/sweep_exchanges.h"
#include "settings/settings_variables.h"
#include "settings/typed_settings.h"
#include "ui/application_minimize.h"
#include "ui/line_job.h"

#include <QMouseEvent>

namespace zorvan::graphs {

namespace {

constexpr int kStripHeight = 58;
constexpr int kButtonWidth = 90;
constexpr int kListWidth = 70;
constexpr int kListGroupWidth = 112;
constexpr int kVisibleRows = 25;
// A set-value step is a hundredth of a volt.
constexpr double kHundredth = 0.01;
// Keeps the ends of the chosen voltage range off the frame.
constexpr double kVoltageRoom = 0.01;
// How often a lost port is tried; opening a device that is not there fails at once.
constexpr int kPortReturnMs = 500;

const QColor kPanelColour(96, 96, 96);
const QColor kChartColour(233, 222, 160);
const QColor kScanColour(Qt::red);

std::optional<double> voltsOf(const QComboBox& list) {
    if (const auto tens = tensOfMillivoltsOf(list.currentText())) {
        return *tens * kHundredth;
    }
    return std::nullopt;
}

} // namespace

TfmGraphicAChH::TfmGraphicAChH(ui::WindowHost& host)
    : paGraphicAChH(new QWidget(this)), Chart1(new chart::Chart(paGraphicAChH)),
      GraphicDop{&Chart1->addLineSeries(), &Chart1->addLineSeries(), &Chart1->addLineSeries(),
                 &Chart1->addLineSeries(), &Chart1->addLineSeries(), &Chart1->addLineSeries(),
                 &Chart1->addLineSeries()},
      GraphicPrePreviousScan(Chart1->addLineSeries()), GraphicPreviousScan(Chart1->addLineSeries()),
      Graphic(Chart1->addLineSeries()), host_(host) {
    runFileDialog = chosenFile;
    runMessageBox = [](QMessageBox& box) { return box.exec(); };
    createComponents();
    FormCreate();
}

TfmGraphicAChH::~TfmGraphicAChH() = default;

void TfmGraphicAChH::createComponents() {
    resize(kWidth, kHeight);
    setMinimumSize(770, 250);
    ui::minimizeApplicationWith(*this);
    setAutoFillBackground(true);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, kPanelColour);
    colours.setColor(QPalette::WindowText, Qt::white);
    setPalette(colours);

    Chart1->setObjectName(QStringLiteral("Chart1"));
    Chart1->setBackgroundColour(kChartColour);
    Chart1->setLegendVisible(true);
    Chart1->leftAxis().setAutomatic(false);
    Chart1->leftAxis().setMinMax(-0.5, 0.5);
    Chart1->bottomAxis().setAutomatic(false);
    Chart1->bottomAxis().setMinMax(0, 7);
    for (chart::LineSeries* curve : GraphicDop) {
        curve->setShowInLegend(false);
    }
    for (chart::LineSeries* scan : {&GraphicPrePreviousScan, &GraphicPreviousScan, &Graphic}) {
        scan->setColour(kScanColour);
        scan->setShowInLegend(false);
    }
    // Moves without a button pressed tell whether the pointer is over the current scan.
    Chart1->setMouseTracking(true);
    connect(Chart1, &chart::Chart::doubleClicked, this, [this] { toggleMaximized(); });
    connect(Chart1, &chart::Chart::mousePressed, this,
            [this](QMouseEvent* event) { Chart1MouseDown(event); });
    connect(Chart1, &chart::Chart::mouseMoved, this,
            [this](QMouseEvent* event) { Chart1MouseMove(event); });
    connect(Chart1, &chart::Chart::mouseReleased, this, [this] { Chart1MouseUp(); });

    createControls();
    createPopupMenu();
}

void TfmGraphicAChH::createControls() {
    BitBtnPuskStop = new QPushButton(kStart, paGraphicAChH);
    BitBtnPuskStop->setEnabled(false);
    cbMinNapr = addList(QStringLiteral("Мин. напр., В:"), laMinNapr);
    cbMaxNapr = addList(QStringLiteral("Макс. напр., В:"), laMaxNapr);
    cbStep = addList(QStringLiteral("Шаг скан., В:"), laStep);
    cbPause = addList(QStringLiteral("Пауза чтения, с:"), laPause);
    BitBtnCloseGraphic = new QPushButton(QStringLiteral("Выход"), paGraphicAChH);
    BitBtnCloseGraphic->setEnabled(false);
    // Takes the focus after every click, so that no control keeps a focus frame.
    ButtonPusto = new QPushButton(paGraphicAChH);
    ButtonPusto->setGeometry(0, 0, 0, 0);

    connect(BitBtnPuskStop, &QPushButton::clicked, this, [this] { BitBtnPuskStopClick(); });
    connect(BitBtnCloseGraphic, &QPushButton::clicked, this, [this] { BitBtnCloseGraphicClick(); });
    TimerGraphicAChH.setSingleShot(true);
    TimerGraphicAChH.setTimerType(Qt::PreciseTimer);
    connect(&TimerGraphicAChH, &QTimer::timeout, this, [this] { TimerGraphicAChHTimer(); });
    portReturnTimer_.setSingleShot(true);
    portReturnTimer_.setInterval(kPortReturnMs);
    connect(&portReturnTimer_, &QTimer::timeout, this, [this] { tryPortReturn(); });
}

QComboBox* TfmGraphicAChH::addList(const QString& caption, QLabel*& label) {
    label = new QLabel(caption, paGraphicAChH);
    auto* list = new QComboBox(paGraphicAChH);
    list->setMaxVisibleItems(kVisibleRows);
    return list;
}

void TfmGraphicAChH::FormCreate() {
    host_.suspendPolling();
    for (QComboBox* list : {cbMinNapr, cbMaxNapr, cbStep, cbPause}) {
        list->clear();
    }
    instrumentTitle_ = instrumentTitle(link::versionByte1[0]);
    baseTitle_ = instrumentTitle_;
    setWindowTitle(baseTitle_ + kReadySuffix);
    stopRequested_ = false;
    cbMinNapr->addItems(voltageEntries());
    cbMaxNapr->addItems(voltageEntries());
    cbStep->addItems(stepEntries());
    cbPause->addItems(pauseEntries());
    selectStoredValues();
    if (const auto minimum = voltsOf(*cbMinNapr), maximum = voltsOf(*cbMaxNapr);
        minimum && maximum) {
        Chart1->bottomAxis().setMinMax(*minimum - kVoltageRoom, *maximum + kVoltageRoom);
    }
    // Connected after the stored values are selected: only the user's choice moves the range.
    connect(cbMinNapr, &QComboBox::currentIndexChanged, this, [this] { cbNaprChange(); });
    connect(cbMaxNapr, &QComboBox::currentIndexChanged, this, [this] { cbNaprChange(); });
    link::graphReadBusy = false;
    Graphic.setPenWidth(settings::mainLineWidth);
    for (chart::LineSeries* curve : GraphicDop) {
        curve->setPenWidth(settings::overlayLineWidth);
    }

    const bool started = ui::startLineJob<link::SweepPreparation>(
        this, [] { return link::PrepareSweep(); },
        [this](std::optional<link::SweepPreparation> preparation) {
            preparationEnded(preparation.value_or(link::SweepPreparation{}));
        });
    if (!started) {
        preparationEnded({});
    }
}

void TfmGraphicAChH::selectStoredValues() {
    using namespace settings;
    cbMinNapr->setCurrentIndex(entryIndexFor(voltageEntries(), voltageText(sweepMin)));
    cbMaxNapr->setCurrentIndex(entryIndexFor(voltageEntries(), voltageText(sweepMax)));
    cbStep->setCurrentIndex(entryIndexFor(stepEntries(), stepText(sweepStep)));
    cbPause->setCurrentIndex(entryIndexFor(pauseEntries(), pauseText(sweepPause)));
}

void TfmGraphicAChH::preparationEnded(const link::SweepPreparation& preparation) {
    if (closing_) {
        return;
    }
    deviceReady_ = preparation.deviceReady;
    if (deviceReady_) {
        initialSetValue_ = preparation.initialSetValue;
        BitBtnPuskStop->setEnabled(true);
    }
    showConnection(deviceReady_);
    BitBtnCloseGraphic->setEnabled(true);
}

void TfmGraphicAChH::showConnection(bool connected) {
    baseTitle_ = instrumentTitle_ + (connected ? kReadySuffix : kSilentSuffix);
    setWindowTitle(baseTitle_);
}

// The port went away under the sweep: the sweep ends as after failed readings, and once the port
// is back the instrument gets what "Выход" would give it, since it may have lost power with it.
void TfmGraphicAChH::portWentAway() {
    if (closing_) {
        return;
    }
    endSweep();
    BitBtnPuskStop->setEnabled(false);
    showConnection(false);
    portReturnTimer_.start();
    showMessage(QMessageBox::Critical, kReadError);
}

void TfmGraphicAChH::tryPortReturn() {
    const std::uint16_t initial = initialSetValue_;
    const bool restart = settings::restartOnExit;
    const bool started = ui::startLineJob<bool>(
        this,
        [initial, restart] {
            if (link::ReadyComPort() == link::PortReadiness::Lost) {
                return false;
            }
            if (link::EndSweep(initial, restart)) {
                return true;
            }
            link::CloseComPortIfGone();
            return false;
        },
        [this](std::optional<bool> returned) { portReturnEnded(returned.value_or(false)); });
    if (!started) {
        portReturnTimer_.start();
    }
}

void TfmGraphicAChH::portReturnEnded(bool returned) {
    if (closing_) {
        return;
    }
    if (!returned) {
        portReturnTimer_.start();
        return;
    }
    showConnection(true);
    BitBtnPuskStop->setEnabled(true);
}

void TfmGraphicAChH::cbNaprChange() {
    const auto minimum = voltsOf(*cbMinNapr);
    const auto maximum = voltsOf(*cbMaxNapr);
    if (!minimum || !maximum) {
        return;
    }
    // The order keeps the axis from holding a minimum above its maximum between the two calls.
    chart::Axis& axis = Chart1->bottomAxis();
    if (axis.minimum() > *minimum - kVoltageRoom) {
        axis.setMinimum(*minimum - kVoltageRoom);
        axis.setMaximum(*maximum + kVoltageRoom);
    } else {
        axis.setMaximum(*maximum + kVoltageRoom);
        axis.setMinimum(*minimum - kVoltageRoom);
    }
}

void TfmGraphicAChH::BitBtnCloseGraphicClick() {
    ButtonPusto->setFocus();
    if (running()) {
        stopRequested_ = true;
    }
    exitChosen_ = true;
    close();
}

// "Выход" closes the window once the instrument has its set value back.
bool TfmGraphicAChH::mayClose() {
    if (exitChosen_ && !closing_) {
        FormClose();
    }
    return lineGivenBack_;
}

void TfmGraphicAChH::FormClose() {
    // A sweep in progress ends here, without a further reading.
    TimerGraphicAChH.stop();
    portReturnTimer_.stop();
    closing_ = true;
    // Nothing may start while the instrument is handed back.
    paGraphicAChH->setEnabled(false);
    takeListValues();
    writeChangedSettings();
    if (!deviceReady_) {
        giveLineBack();
        return;
    }
    const std::uint16_t initial = initialSetValue_;
    const bool restart = settings::restartOnExit;
    const bool started = ui::startLineJob<bool>(
        this,
        [initial, restart] {
            link::EndSweep(initial, restart);
            return true;
        },
        [this](std::optional<bool>) { giveLineBack(); });
    if (!started) {
        giveLineBack();
    }
}

void TfmGraphicAChH::giveLineBack() {
    // The panels and the poll come back only after the window's own exchanges, so the poll
    // never meets them and no second window can be opened while they run.
    ui::takeLineBack(host_);
    lineGivenBack_ = true;
    close();
}

void TfmGraphicAChH::writeChangedSettings() {
    using namespace settings;
    const auto writeChanged = [](const IntegerKey& key, std::int32_t value, std::int32_t& saved) {
        if (value != saved) {
            saved = value;
            writeSetting(key, value);
        }
    };
    writeChanged(kSweepMin, sweepMin, sweepMinSaved);
    writeChanged(kSweepMax, sweepMax, sweepMaxSaved);
    writeChanged(kSweepStep, sweepStep, sweepStepSaved);
    writeChanged(kSweepPause, sweepPause, sweepPauseSaved);
}

void TfmGraphicAChH::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    placeControls();
}

void TfmGraphicAChH::placeControls() {
    paGraphicAChH->setGeometry(rect());
    const int strip = height() - kStripHeight;
    Chart1->setGeometry(4, 4, width() - 8, strip - 4);
    const int buttonTop = strip + 18;
    BitBtnPuskStop->setGeometry(8, buttonTop, kButtonWidth, 28);
    int left = 8 + kButtonWidth + 24;
    const std::array<std::pair<QLabel*, QComboBox*>, 4> lists{
        {{laMinNapr, cbMinNapr}, {laMaxNapr, cbMaxNapr}, {laStep, cbStep}, {laPause, cbPause}}};
    for (const auto& [label, list] : lists) {
        label->setGeometry(left, strip + 2, kListGroupWidth, 18);
        list->setGeometry(left, buttonTop, kListWidth, 28);
        left += kListGroupWidth + 8;
    }
    BitBtnCloseGraphic->setGeometry(width() - kButtonWidth - 8, buttonTop, kButtonWidth, 28);
}

void NAChHClick(ui::WindowHost& host) {
    if (fmGraphicAChH) {
        return;
    }
    auto* window = new TfmGraphicAChH(host);
    window->setAttribute(Qt::WA_DeleteOnClose);
    fmGraphicAChH = window;
    window->show();
    ui::lendLine(host);
}

} // namespace zorvan::graphs
