#include "app/window_launchers.h"

#include "graphs/graph_window.h"
#include "panel/main_form.h"

namespace zorvan::app {

void installWindowLaunchers(panel::TMainFormTestIndZorvan4& mainForm) {
    panel::WindowLaunchers launchers;
    launchers.dynamicGraph = [&mainForm] { graphs::NGraphicClick(mainForm); };
    mainForm.MainPopupMenu->setLaunchers(std::move(launchers));
}

} // namespace zorvan::app
