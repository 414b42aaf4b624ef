#pragma once

// The popup menus of the panel windows. The main window's menu is the way into the rest of the
// program: the connection settings, the FLASH write and the graph windows, with a set of service
// items that a hidden key sequence shows and hides. The windows of instruments 2 to 6 offer only
// the connection settings.

#include "panel/flash_writer.h"
#include "settings/properties_window.h"

#include <QAction>
#include <QMenu>
#include <cstdint>

namespace zorvan::panel {

class TMainFormTestIndZorvan4;

class MainMenu final : public QMenu {
    Q_OBJECT

public:
    explicit MainMenu(TMainFormTestIndZorvan4& window);

    // The service mode is on while "Прочитать FLASH" is shown.
    bool serviceMode() const { return NReadEEPROM->isVisible(); }

    // The key sequence was completed in the main window: the five service items are shown, or
    // hidden again, except the humidity graph for instruments of the 8.0 kind.
    void toggleServiceItems();
    // The key sequence was completed in a window of instruments 2 to 6: the humidity graph is
    // left as it is.
    void toggleServiceItemsFromInstrumentWindow();
    // Instrument 1's kind changed (0 while it does not answer): the 8.0 kind offers the
    // humidity graph.
    void showInstrumentKind(std::uint8_t versionByte1);

    // Runs each time the menu opens.
    void MainPopupMenuPopup();

    FlashWriter& flashWriter() const { return *flashWriter_; }

    // Items, in menu order.
    QAction* NComPortProperties;
    QAction* N1;
    QAction* NReadEEPROM;
    QAction* NWriteEEPROM;
    QAction* N2;
    QAction* NGraphic;
    QAction* NGraphicVlazhnAndTemperatura;
    QAction* NGraphicPlus;
    QAction* NAChH;

private:
    TMainFormTestIndZorvan4& window_;
    FlashWriter* flashWriter_;
};

// The menu of the windows of instruments 2 to 6.
class InstrumentMenu final : public QMenu {
    Q_OBJECT

public:
    explicit InstrumentMenu(QWidget* parent);

    QAction* NComPortProperties;
};

// "Настройки" of any panel window: the connection settings window, modal, over the main window.
void NComPortPropertiesClick();

// What the connection settings window is given to reach the panel windows and the poll.
settings::PropertiesWindowHooks connectionSettingsHooks(TMainFormTestIndZorvan4& window);

} // namespace zorvan::panel
