#pragma once

// The connection settings window: the serial port and its speed, the bus addresses of the six
// instruments, and whether the discrete output may be switched. "OK" applies only what the user
// changed: the settings file and the shared state, the windows of instruments 2 to 6, and a
// reopen of the port when its name or speed changed.

#include "link/com_port.h"
#include "ui/borderless_window.h"
#include "ui/title_bar_button.h"
#include "ui/window_host.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QStringList>
#include <array>
#include <cstdint>
#include <functional>

namespace zorvan::settings {

// The serial ports to offer.
using PortLister = std::function<QStringList()>;

// The serial ports of the system: on Windows every COM1..COM999 that exists, in use or not; on
// other systems the serial devices the system knows of. In ascending order.
QStringList systemSerialPorts();

// A list's items with `value` appended when they lack it, so a stored value that no list offers
// stays selectable and is not changed behind the user's back.
QStringList withValue(QStringList items, const QString& value);

class TfmProperties final : public ui::BorderlessWindow {
    Q_OBJECT

public:
    static constexpr int kWidth = 412;
    static constexpr int kHeight = 297;
    // The list item of an absent instrument.
    static constexpr QStringView kNoInstrument = u"нет";

    // Reads the values in use from the shared state. The window opens over the host's window and
    // offers the ports `listPorts` gives, or systemSerialPorts() when it is empty.
    explicit TfmProperties(ui::WindowHost& host, PortLister listPorts = {});

    // Applies what changed and closes the window.
    void BitBtnOKClick();

    // The address list of instrument index d (cbAdrPribor1 for 0).
    QComboBox* addressList(int device) const {
        return addressLists_[static_cast<std::size_t>(device)];
    }

    // Components, named as in the window's design.
    QWidget* paParComPort;
    ui::TitleBarButton* CloseImage;
    QGroupBox* GroupBox1;
    QLabel* laCommName;
    QComboBox* cbCommName;
    QLabel* laBaudRate;
    QComboBox* cbBaudRate;
    QLabel* laStopBits;
    QComboBox* cbAdrPribor1;
    QLabel* Label1;
    QComboBox* cbAdrPribor2;
    QLabel* Label2;
    QComboBox* cbAdrPribor3;
    QLabel* Label3;
    QComboBox* cbAdrPribor4;
    QLabel* Label4;
    QComboBox* cbAdrPribor5;
    QLabel* Label5;
    QComboBox* cbAdrPribor6;
    QGroupBox* GroupBox2;
    QCheckBox* ChBoxUprDigitalOut;
    QPushButton* BitBtnOK;
    QPushButton* ButtonPusto;

    // The values in use when the window was created.
    QString OpenPortName;
    std::int32_t OpenBaudRate = 0;
    std::array<std::int32_t, 6> OpenAddress{};
    bool OpenDigitalOutAllowed = false;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void createComponents();
    void FormCreate();
    void FormShow();
    void fillList(QComboBox* list, QStringList items, const QString& value);
    void moveFocusAway();

    QString portChosen() const;
    std::int32_t baudRateChosen() const;
    std::int32_t addressChosen(int device) const;
    bool anythingChanged() const;
    void storeChanges();
    void storeAddressChange(int device);
    void reopenPort();

    // What reopening the port came to, handed from the line job to the user-interface thread.
    struct PortReopen {
        bool opened = false;
        bool acknowledged = false;
        link::PortFailure failure;
    };
    static void showReopen(ui::WindowHost& host, const PortReopen& outcome);

    ui::WindowHost& host_;
    PortLister listPorts_;
    std::array<QComboBox*, 6> addressLists_{};
};

// The connection settings window while it is open.
inline QPointer<TfmProperties> fmProperties;

} // namespace zorvan::settings
