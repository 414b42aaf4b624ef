// The real program with one window opened from its menu once the panels are up, and started as by
// "Пуск": what the termination tests end from outside. ZORVAN_WINDOW names the window:
// "humidity", "threshold" or "sweep"; "none" leaves the panels alone.
#include "app/program.h"
#include "graphs/graph_window.h"
#include "graphs/sweep_window.h"
#include "panel/main_form.h"

#include <QTimer>

namespace {

using zorvan::panel::TMainFormTestIndZorvan4;

constexpr int kLookAgainMs = 20;

// Clicks the button once it is enabled.
void clickWhenEnabled(const std::function<QPushButton*()>& button) {
    QPushButton* found = button();
    if (found != nullptr && found->isEnabled()) {
        found->click();
        return;
    }
    QTimer::singleShot(kLookAgainMs, [button] { clickWhenEnabled(button); });
}

void openAndStart(TMainFormTestIndZorvan4& main) {
    using namespace zorvan::graphs;
    const QByteArray window = qgetenv("ZORVAN_WINDOW");
    if (window == "humidity") {
        main.MainPopupMenu->NGraphicVlazhnAndTemperatura->trigger();
        clickWhenEnabled([] { return FormGraphic ? FormGraphic->BitBtnPuskStop : nullptr; });
    } else if (window == "threshold") {
        main.MainPopupMenu->NGraphicPlus->trigger();
        FormGraphic->cbMinViewValue->setCurrentText(QStringLiteral("1"));
        clickWhenEnabled([] { return FormGraphic ? FormGraphic->BitBtnPuskStop : nullptr; });
    } else if (window == "sweep") {
        main.MainPopupMenu->NAChH->trigger();
        clickWhenEnabled([] { return fmGraphicAChH ? fmGraphicAChH->BitBtnPuskStop : nullptr; });
    }
}

} // namespace

int main(int argc, char** argv) {
    zorvan::app::ProgramHooks hooks;
    hooks.mainWindowCreated = [](QWidget& window) {
        auto& main = static_cast<TMainFormTestIndZorvan4&>(window);
        QObject::connect(&main, &zorvan::ui::BorderlessWindow::opened, &main,
                         [&main] { openAndStart(main); });
    };
    return zorvan::app::runProgram(argc, argv, hooks);
}
