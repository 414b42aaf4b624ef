// The humidity-and-temperature graph: its controls and figures, the averaged points, the bar
// indicator that the settings window drives, and the keys it writes at the close.
#include "graphs/graph_clock.h"
#include "graphs/graph_window.h"
#include "graphs/humidity_rules.h"
#include "graphs/point_colours.h"
#include "link/device_state.h"
#include "settings/decimal_key_filter.h"
#include "settings/humidity_graph_settings_window.h"
#include "settings/number_format.h"
#include "settings/settings_variables.h"
#include "settings/typed_settings.h"

namespace zorvan::graphs {

namespace {

// Temperatures travel in hundredths of a degree.
constexpr double kTemperatureScale = 0.01;

// Readings accumulate across a stop and a new start; only a produced point clears them.
HumidityAverage humidityAverage;

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

void TFormGraphic::addHumidityPoints(const GraphReading& reading) {
    const HumidityReading current{reading.sample1 * link::graphScale,
                                  reading.sample3 * kTemperatureScale,
                                  reading.sample4 * kTemperatureScale};
    paTekVlazh->setText(humidityFigure(current.humidity, link::graphDecimals));
    paTekTemp->setText(temperatureFigure(current.temperature1));
    paTekTemp2->setText(temperatureFigure(current.temperature2));
    const std::optional<HumidityReading> average =
        humidityAverage.add(current, settings::refreshPeriodSeconds);
    if (!average) {
        return;
    }
    if (graphPointNumber_ == 0) {
        labelOrigin_ = graphClockSeconds();
    }
    const double now = secondsSinceOrigin();
    Graphic.append(graphPointNumber_, average->humidity, now, kPointBlue);
    if (settings::indicatorShown) {
        BarSeriesIndicator.setValue(average->humidity);
    }
    GraphicTemperatury.append(graphPointNumber_, average->temperature1, now, kPointRed);
    GraphicTemperatury2.append(graphPointNumber_, average->temperature2, now, kPointRed);
    GraphicDopPole.append(graphPointNumber_, realValue_, now, kPointGreen);
    ++graphPointNumber_;
    recordPointsFrom(Graphic.count() - 1);
    if (!settings::signalRangeFixed) {
        scaleVertically(false);
        if (settings::indicatorShown) {
            Chart2->leftAxis().setMinMax(Chart1->leftAxis().minimum(),
                                         Chart1->leftAxis().maximum());
        }
    }
    if (settings::indicatorShown && settings::indicatorColoured) {
        colourIndicator();
    }
}

void TFormGraphic::colourIndicator() {
    const ToleranceLimits limits{settings::limitTU2, settings::limitTU1, settings::limitTO1,
                                 settings::limitTO2};
    BarSeriesIndicator.setColour(indicatorColour(BarSeriesIndicator.value(), limits));
}

void TFormGraphic::writeChangedHumiditySettings() {
    using namespace settings;
    if (edDopPole->text() != realValueText) {
        writeSetting(kRealValue, edDopPole->text());
        realValueText = readSetting(kRealValue);
    }
    if (CheckBoxZaprosPr44->isChecked() != noRequestMode) {
        writeSetting(kNoRequestMode, CheckBoxZaprosPr44->isChecked());
        noRequestMode = readSetting(kNoRequestMode);
    }
}

} // namespace zorvan::graphs
