#include "app/window_launchers.h"

#include "graphs/graph_window.h"
#include "graphs/sweep_window.h"
#include "panel/main_form.h"

namespace zorvan::app {

void installWindowLaunchers(panel::TMainFormTestIndZorvan4& mainForm) {
    panel::WindowLaunchers launchers;
    launchers.dynamicGraph = [&mainForm] { graphs::NGraphicClick(mainForm); };
    launchers.thresholdGraph = [&mainForm] { graphs::NGraphicPlusClick(mainForm); };
    launchers.humidityGraph = [&mainForm] {
        graphs::NGraphicVlazhnAndTemperaturaClick(mainForm, mainForm.MainPopupMenu->serviceMode());
    };
    launchers.frequencyResponse = [&mainForm] { graphs::NAChHClick(mainForm); };
    mainForm.MainPopupMenu->setLaunchers(std::move(launchers));
}

} // namespace zorvan::app
