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
#include <functional>

namespace zorvan::panel {

class TMainFormTestIndZorvan4;

// The windows above the panels that the menu opens; the program installs them, as they live in
// layers the panels do not know. An empty one leaves its item without an action.
struct WindowLaunchers {
    std::function<void()> dynamicGraph;
    std::function<void()> thresholdGraph;
    std::function<void()> humidityGraph;
    std::function<void()> frequencyResponse;
};

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

    void setLaunchers(WindowLaunchers launchers) { launchers_ = std::move(launchers); }
    // "График (динамический)", also a double click on the indicator.
    void NGraphicClick();

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
    // Opens a window above the panels unless a FLASH write holds the line.
    void launch(const std::function<void()>& launcher) const;

    TMainFormTestIndZorvan4& window_;
    FlashWriter* flashWriter_;
    WindowLaunchers launchers_;
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

} // namespace zorvan::panel
