// The menu commands that open the graph window, each in its mode: the window is made, set up for
// the mode before it is shown, and then given the line.
#include "graphs/graph_window.h"
#include "settings/number_format.h"
#include "settings/settings_variables.h"

namespace zorvan::graphs {

namespace {

constexpr int kThresholdShift = 100;
constexpr int kHumidityWidth = 1000;

// Opens the window unless one is open already; `prepare` runs before it is shown.
TFormGraphic* openGraph(ui::WindowHost& host, GraphMode mode,
                        const std::function<void(TFormGraphic&)>& prepare) {
    if (FormGraphic) {
        return nullptr;
    }
    auto* window = new TFormGraphic(host, mode);
    window->setAttribute(Qt::WA_DeleteOnClose);
    FormGraphic = window;
    prepare(*window);
    window->show();
    ui::lendLine(host);
    return window;
}

void hideIndicator(TFormGraphic& window) {
    window.showIndicatorPanel(false);
}

} // namespace

void NGraphicClick(ui::WindowHost& host) {
    openGraph(host, GraphMode::Dynamic, hideIndicator);
}

void NGraphicPlusClick(ui::WindowHost& host) {
    openGraph(host, GraphMode::Threshold, [](TFormGraphic& window) {
        window.cbOkno->hide();
        window.laTimeOnGraph->hide();
        for (QWidget* control :
             std::initializer_list<QWidget*>{window.laReadPeriod, window.cbReadPeriod,
                                             window.laMinViewValue, window.cbMinViewValue}) {
            control->move(control->x() - kThresholdShift, control->y());
        }
        window.laMinViewValue->show();
        window.cbMinViewValue->show();
        window.setMinimumWidth(window.width());
        hideIndicator(window);
    });
}

void NGraphicVlazhnAndTemperaturaClick(ui::WindowHost& host, bool serviceMode) {
    TFormGraphic* window = openGraph(host, GraphMode::Humidity, [&](TFormGraphic& graph) {
        // Listening to another master is a service engineer's switch.
        graph.CheckBoxZaprosPr44->setVisible(serviceMode);
        graph.CheckBoxZaprosPr44->setChecked(settings::noRequestMode);
        graph.edDopPole->setText(settings::realValueText);
        graph.realValue_ = settings::parseReal(settings::realValueText).value_or(10.0);
        for (QWidget* control : std::initializer_list<QWidget*>{
                 graph.laDopPole, graph.laDopPole2, graph.edDopPole, graph.btnDopPolePrimenit,
                 graph.laTekVlazh, graph.laTekVlazh2, graph.paTekVlazh, graph.laTekTemp,
                 graph.laTekTemp2, graph.paTekTemp, graph.paTekTemp2, graph.BitBtnNastroyki}) {
            control->show();
        }
        for (QLabel* figure : {graph.paTekVlazh, graph.paTekTemp, graph.paTekTemp2}) {
            figure->clear();
        }
        for (QWidget* control : std::initializer_list<QWidget*>{
                 graph.cbOkno, graph.laTimeOnGraph, graph.laReadPeriod, graph.cbReadPeriod}) {
            control->hide();
        }
        // Room for the figures and the settings beside the buttons.
        graph.resize(kHumidityWidth, graph.height());
        graph.setMinimumWidth(graph.width());
        graph.TimerGraphic.setInterval(1000);
    });
    if (window == nullptr) {
        return;
    }
    if (settings::signalRangeFixed) {
        window->applySignalRange(settings::signalMin, settings::signalMax);
    }
    if (settings::indicatorShown) {
        window->addIndicatorBarIfMissing();
    } else {
        hideIndicator(*window);
    }
}

} // namespace zorvan::graphs
