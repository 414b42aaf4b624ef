#include "panel/main_menu.h"

#include "link/device_state.h"
#include "panel/main_form.h"

#include <QFileInfo>

namespace zorvan::panel {
namespace {

// Instruments of the 8.0 kind and later measure humidity and temperature.

bool flashWriteRunning() {
    return MainFormTestIndZorvan4 && MainFormTestIndZorvan4->MainPopupMenu &&
           MainFormTestIndZorvan4->MainPopupMenu->flashWriter().running();
}

} // namespace

MainMenu::MainMenu(TMainFormTestIndZorvan4& window)
    : QMenu(&window), window_(window), flashWriter_(new FlashWriter(window)) {
    NComPortProperties = addAction(QStringLiteral("Настройки"));
    N1 = addSeparator();
    NReadEEPROM = addAction(QStringLiteral("Прочитать FLASH"));
    NWriteEEPROM = addAction(QStringLiteral("Записать FLASH"));
    N2 = addSeparator();
    NGraphic = addAction(QStringLiteral("График (динамический)"));
    NGraphicVlazhnAndTemperatura = addAction(QStringLiteral("График (влажность и температура)"));
    NGraphicPlus = addAction(QStringLiteral("График (превышение порога)"));
    NAChH = addAction(QStringLiteral("АЧХ"));
    for (QAction* service :
         {NReadEEPROM, NWriteEEPROM, NGraphicVlazhnAndTemperatura, NGraphicPlus, NAChH}) {
        service->setVisible(false);
    }
    NReadEEPROM->setEnabled(false);
    NWriteEEPROM->setEnabled(false);

    connect(this, &QMenu::aboutToShow, this, [this] { MainPopupMenuPopup(); });
    connect(NComPortProperties, &QAction::triggered, this, [] { NComPortPropertiesClick(); });
    connect(NWriteEEPROM, &QAction::triggered, flashWriter_, &FlashWriter::NWriteEEPROMClick);
    connect(NGraphic, &QAction::triggered, this, [this] { NGraphicClick(); });
    connect(NGraphicVlazhnAndTemperatura, &QAction::triggered, this,
            [this] { launch(launchers_.humidityGraph); });
    connect(NGraphicPlus, &QAction::triggered, this, [this] { launch(launchers_.thresholdGraph); });
    connect(NAChH, &QAction::triggered, this, [this] { launch(launchers_.frequencyResponse); });
}

void MainMenu::NGraphicClick() {
    launch(launchers_.dynamicGraph);
}

void MainMenu::launch(const std::function<void()>& launcher) const {
    if (launcher && !flashWriter_->running()) {
        launcher();
    }
}

void MainMenu::MainPopupMenuPopup() {
    // The data file may be put beside the program at any time, so it is looked for every time.
    if (QFileInfo::exists(QString::fromLatin1(FlashWriter::kImageFile))) {
        NWriteEEPROM->setEnabled(!flashWriter_->running());
        NWriteEEPROM->setVisible(true);
    } else {
        NWriteEEPROM->setEnabled(false);
        NWriteEEPROM->setVisible(NReadEEPROM->isVisible());
    }
    // The write owns the line until it ends; a port or address change would pull it away.
    NComPortProperties->setEnabled(!flashWriter_->running());
}

void MainMenu::toggleServiceItems() {
    if (serviceMode()) {
        for (QAction* service : {NReadEEPROM, NWriteEEPROM, NAChH, NGraphicPlus}) {
            service->setVisible(false);
        }
        if (link::versionByte1[0] < link::kFirstOutputKind) {
            NGraphicVlazhnAndTemperatura->setVisible(false);
        }
    } else {
        for (QAction* service :
             {NReadEEPROM, NWriteEEPROM, NAChH, NGraphicPlus, NGraphicVlazhnAndTemperatura}) {
            service->setVisible(true);
        }
    }
}

void MainMenu::toggleServiceItemsFromInstrumentWindow() {
    const bool show = !NReadEEPROM->isVisible();
    for (QAction* service : {NReadEEPROM, NWriteEEPROM, NAChH, NGraphicPlus}) {
        service->setVisible(show);
    }
}

void MainMenu::showInstrumentKind(std::uint8_t versionByte1) {
    if (versionByte1 >= link::kFirstOutputKind) {
        NGraphicVlazhnAndTemperatura->setVisible(true);
    } else if (!NAChH->isVisible()) {
        NGraphicVlazhnAndTemperatura->setVisible(false);
    }
}

InstrumentMenu::InstrumentMenu(QWidget* parent) : QMenu(parent) {
    NComPortProperties = addAction(QStringLiteral("Настройки"));
    connect(this, &QMenu::aboutToShow, this,
            [this] { NComPortProperties->setEnabled(!flashWriteRunning()); });
    connect(NComPortProperties, &QAction::triggered, this, [] { NComPortPropertiesClick(); });
}

void NComPortPropertiesClick() {
    TMainFormTestIndZorvan4* main = MainFormTestIndZorvan4;
    if (main == nullptr || settings::fmProperties) {
        return;
    }
    settings::TfmProperties window(*main);
    settings::fmProperties = &window;
    window.showModal();
}

} // namespace zorvan::panel
