#include "graphs/open_windows_end.h"

#include "graphs/graph_window.h"
#include "graphs/sweep_window.h"

namespace zorvan::graphs {

void endOpenWindows() {
    if (FormGraphic) {
        FormGraphic->endForProgramExit();
    }
    if (fmGraphicAChH) {
        fmGraphicAChH->BitBtnCloseGraphicClick();
    }
}

bool windowsStillOpen() {
    return FormGraphic || fmGraphicAChH;
}

} // namespace zorvan::graphs
