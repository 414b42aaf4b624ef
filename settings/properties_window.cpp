#include "settings/properties_window.h"

#include "link/command_codes.h"
#include "link/device_state.h"
#include "link/exchange.h"
#include "link/workers.h"
#include "settings/keys.h"
#include "settings/typed_settings.h"
#include "ui/line_job.h"
#include "ui/reveal.h"
#include "ui/window_position.h"
#include "ui/window_region.h"

#include <QCollator>
#include <QCoreApplication>
#include <algorithm>

#ifdef _WIN32
#include "link/port_list.h"
#else
#include <QSerialPortInfo>
#endif

namespace zorvan::settings {
namespace {

constexpr int kHighestAddress = 63;
constexpr int kCornerWidth = 20;
constexpr int kCornerHeight = 15;
constexpr int kOutlineInset = 5;
constexpr int kListRows = 15;

const QStringList kBaudRates{QStringLiteral("2400"), QStringLiteral("4800"), QStringLiteral("9600"),
                             QStringLiteral("19200"), QStringLiteral("38400")};

const QString kStyle = QStringLiteral(
    "QWidget#paParComPort { background: rgb(51, 51, 51); }"
    "QLabel, QCheckBox { color: rgb(230, 230, 230); }"
    "QGroupBox { color: aqua; border: 1px solid rgb(110, 110, 110); border-radius: 4px;"
    "            margin-top: 8px; }"
    "QGroupBox::title { subcontrol-origin: margin; left: 10px; padding: 0 2px; }");

QStringList addressItems(bool withNone) {
    QStringList items;
    if (withNone) {
        items << TfmProperties::kNoInstrument.toString();
    }
    for (int address = 1; address <= kHighestAddress; ++address) {
        items << QString::number(address);
    }
    return items;
}

QString addressText(std::int32_t address, bool withNone) {
    return withNone && address == 0 ? TfmProperties::kNoInstrument.toString()
                                    : QString::number(address);
}

QLabel* label(const QString& text, QWidget* parent, int left, int top) {
    auto* result = new QLabel(text, parent);
    result->move(left, top + 3);
    result->adjustSize();
    return result;
}

// A drop-down list just right of its caption.
QComboBox* listAfter(QLabel* caption, int width) {
    auto* result = new QComboBox(caption->parentWidget());
    result->setGeometry(caption->geometry().right() + 3, caption->y() - 3, width, 22);
    result->setMaxVisibleItems(kListRows);
    return result;
}

} // namespace

#ifdef _WIN32
QStringList systemSerialPorts() {
    QStringList ports;
    for (const std::string& port : link::listComPorts()) {
        ports << QString::fromStdString(port);
    }
    return ports;
}
#else
QStringList systemSerialPorts() {
    QStringList ports;
    for (const QSerialPortInfo& port : QSerialPortInfo::availablePorts()) {
        ports << port.portName();
    }
    QCollator numeric;
    numeric.setNumericMode(true);
    std::sort(ports.begin(), ports.end(), numeric);
    ports.removeDuplicates();
    return ports;
}
#endif

QStringList withValue(QStringList items, const QString& value) {
    if (!items.contains(value)) {
        items << value;
    }
    return items;
}

TfmProperties::TfmProperties(ui::WindowHost& host, PortLister listPorts)
    : ui::BorderlessWindow(host.ownerWindow()), host_(host), listPorts_(std::move(listPorts)) {
    setFixedSize(kWidth, kHeight);
    setWindowTitle(QStringLiteral("Настройки"));
    createComponents();
    FormCreate();
}

void TfmProperties::createComponents() {
    paParComPort = new QWidget(this);
    paParComPort->setObjectName(QStringLiteral("paParComPort"));
    paParComPort->setAttribute(Qt::WA_StyledBackground);
    paParComPort->setGeometry(0, 0, kWidth, kHeight);
    paParComPort->setStyleSheet(kStyle);
    QFont font = paParComPort->font();
    font.setPixelSize(11);
    paParComPort->setFont(font);
    dragWith(paParComPort);

    CloseImage = new ui::TitleBarButton(resources::TitleButton::Close, paParComPort);
    CloseImage->move(kWidth - 23 - CloseImage->width(), 0);
    connect(CloseImage, &ui::TitleBarButton::clicked, this, [this] { close(); });

    GroupBox1 = new QGroupBox(QStringLiteral("  Параметры COM-порта  "), paParComPort);
    GroupBox1->setGeometry(12, 22, 388, 184);
    laCommName = label(QStringLiteral("Порт : "), GroupBox1, 12, 28);
    cbCommName = listAfter(laCommName, 118);
    // A port on another computer (socket://HOST:PORT) is typed, not listed.
    cbCommName->setEditable(true);
    cbCommName->setInsertPolicy(QComboBox::NoInsert);
    laBaudRate = label(QStringLiteral("Скорость (бит/с) : "), GroupBox1, 198, 28);
    cbBaudRate = listAfter(laBaudRate, 64);

    laStopBits = label(QStringLiteral("Адрес прибора №1: "), GroupBox1, 12, 72);
    cbAdrPribor1 = listAfter(laStopBits, 52);
    Label1 = label(QStringLiteral("Адрес прибора №2: "), GroupBox1, 12, 108);
    cbAdrPribor2 = listAfter(Label1, 52);
    Label2 = label(QStringLiteral("Адрес прибора №3: "), GroupBox1, 12, 144);
    cbAdrPribor3 = listAfter(Label2, 52);
    Label3 = label(QStringLiteral("Адрес прибора №4: "), GroupBox1, 198, 72);
    cbAdrPribor4 = listAfter(Label3, 52);
    Label4 = label(QStringLiteral("Адрес прибора №5: "), GroupBox1, 198, 108);
    cbAdrPribor5 = listAfter(Label4, 52);
    Label5 = label(QStringLiteral("Адрес прибора №6: "), GroupBox1, 198, 144);
    cbAdrPribor6 = listAfter(Label5, 52);
    addressLists_ = {cbAdrPribor1, cbAdrPribor2, cbAdrPribor3,
                     cbAdrPribor4, cbAdrPribor5, cbAdrPribor6};

    GroupBox2 = new QGroupBox(paParComPort);
    GroupBox2->setGeometry(12, 212, 388, 36);
    ChBoxUprDigitalOut =
        new QCheckBox(QStringLiteral("Разрешить управление дискр. выходом"), GroupBox2);
    ChBoxUprDigitalOut->move(14, 12);
    ChBoxUprDigitalOut->adjustSize();

    BitBtnOK = new QPushButton(QStringLiteral("OK"), paParComPort);
    BitBtnOK->setGeometry((kWidth - 88) / 2, 256, 88, 28);
    connect(BitBtnOK, &QPushButton::clicked, this, [this] { BitBtnOKClick(); });

    ButtonPusto = new QPushButton(paParComPort);
    ButtonPusto->setGeometry(0, 0, 9, 9);

    for (QComboBox* changed : {cbCommName, cbBaudRate, cbAdrPribor1, cbAdrPribor2, cbAdrPribor3,
                               cbAdrPribor4, cbAdrPribor5, cbAdrPribor6}) {
        connect(changed, &QComboBox::activated, this, [this] { moveFocusAway(); });
    }
    connect(ChBoxUprDigitalOut, &QCheckBox::clicked, this, [this] { moveFocusAway(); });
}

void TfmProperties::FormCreate() {
    setOutline(ui::roundRectRegion(kOutlineInset, 0, kWidth - kOutlineInset,
                                   kHeight - kOutlineInset, kCornerWidth, kCornerHeight));
    // The band runs on past the window's height, up to its width.
    startReveal(ui::topDownReveal(kWidth));

    OpenPortName = QString::fromStdString(link::comPortName);
    const QStringList ports = listPorts_ ? listPorts_() : systemSerialPorts();
    fillList(cbCommName, ports, OpenPortName);

    OpenBaudRate = link::baudRate;
    fillList(cbBaudRate, kBaudRates, QString::number(OpenBaudRate));

    for (int d = 0; d < link::kDeviceCount; ++d) {
        OpenAddress[static_cast<std::size_t>(d)] = link::deviceAddress[d];
        const bool withNone = d > 0;
        fillList(addressList(d), addressItems(withNone),
                 addressText(link::deviceAddress[d], withNone));
    }

    OpenDigitalOutAllowed = link::digitalOutAllowed;
    ChBoxUprDigitalOut->setChecked(OpenDigitalOutAllowed);
}

void TfmProperties::fillList(QComboBox* list, QStringList items, const QString& value) {
    if (!value.isEmpty()) {
        items = withValue(std::move(items), value);
    }
    list->clear();
    list->addItems(items);
    list->setCurrentIndex(items.indexOf(value));
}

void TfmProperties::showEvent(QShowEvent* event) {
    ui::BorderlessWindow::showEvent(event);
    FormShow();
}

void TfmProperties::FormShow() {
    if (QWidget* owner = parentWidget()) {
        const QPoint wanted = ui::positionOverOwner(owner->geometry(), size());
        move(ui::clampToScreen(wanted, size(), ui::screenArea(owner->pos())));
    }
    ButtonPusto->resize(0, 0);
    ButtonPusto->setFocus();
}

void TfmProperties::moveFocusAway() {
    if (isVisible()) {
        ButtonPusto->setFocus();
    }
}

QString TfmProperties::portChosen() const {
    return cbCommName->currentText().trimmed();
}

std::int32_t TfmProperties::baudRateChosen() const {
    return cbBaudRate->currentText().toInt();
}

std::int32_t TfmProperties::addressChosen(int device) const {
    const QString text = addressList(device)->currentText();
    return text == kNoInstrument ? 0 : text.toInt();
}

bool TfmProperties::anythingChanged() const {
    bool changed = portChosen() != OpenPortName || baudRateChosen() != OpenBaudRate ||
                   ChBoxUprDigitalOut->isChecked() != OpenDigitalOutAllowed;
    for (int d = 0; d < link::kDeviceCount; ++d) {
        changed = changed || addressChosen(d) != OpenAddress[static_cast<std::size_t>(d)];
    }
    return changed;
}

void TfmProperties::BitBtnOKClick() {
    ButtonPusto->setFocus();
    if (anythingChanged()) {
        storeChanges();
        if (portChosen() != OpenPortName || link::baudRate != OpenBaudRate) {
            reopenPort();
        }
    }
    close();
}

void TfmProperties::storeChanges() {
    if (portChosen() != OpenPortName) {
        link::comPortName = portChosen().toStdString();
        writeSetting(kComPort, portChosen());
    }
    if (baudRateChosen() != OpenBaudRate) {
        link::baudRate = baudRateChosen();
        writeSetting(kBaudRate, link::baudRate);
    }
    for (int d = 0; d < link::kDeviceCount; ++d) {
        storeAddressChange(d);
    }
    const bool allowed = ChBoxUprDigitalOut->isChecked();
    if (allowed != OpenDigitalOutAllowed) {
        link::digitalOutAllowed = allowed;
        writeSetting(kDigitalOutAllowed, allowed);
        // Taking control switches the output off; giving it up hands it back to the instrument.
        if (link::versionByte1[0] >= link::kFirstOutputKind) {
            link::StartDigitalOut(allowed ? link::kOutputOff : link::kOutputControlDisallowed);
        }
    }
}

void TfmProperties::storeAddressChange(int device) {
    const std::int32_t was = OpenAddress[static_cast<std::size_t>(device)];
    const std::int32_t now = addressChosen(device);
    if (now == was) {
        return;
    }
    link::deviceAddress[device] = now;
    writeSetting(kDeviceAddress[static_cast<std::size_t>(device)], now);
    if (device == 0) {
        return;
    }
    if (was > 0 && now == 0) {
        host_.closeInstrumentWindow(device);
    } else if (was == 0 && now > 0) {
        host_.openInstrumentWindow(device);
    }
}

// The reopen runs as a line job: the old port is closed only after the exchange on it has ended,
// nothing is sent on the new one before the unlock, and the user-interface thread never waits
// for a silent instrument. The outcome goes to the host, which outlives this window.
void TfmProperties::reopenPort() {
    host_.suspendPolling();
    ui::WindowHost* host = &host_;
    QObject* receiver = host->ownerWindow() != nullptr ? static_cast<QObject*>(host->ownerWindow())
                                                       : QCoreApplication::instance();
    const auto work = [] {
        PortReopen outcome;
        link::CloseComPort();
        outcome.opened = link::OpenComPort(
            link::readTotalTimeoutConstant,
            [&outcome](const link::PortFailure& failure) { outcome.failure = failure; });
        if (outcome.opened) {
            outcome.acknowledged =
                link::SendCommand(static_cast<std::uint8_t>(link::deviceAddress[0]),
                                  link::kServiceCode, link::kUnlockKeyboard);
        }
        return outcome;
    };
    const auto done = [host](std::optional<PortReopen> outcome) {
        if (outcome) {
            showReopen(*host, *outcome);
        } else {
            host->resumePolling();
        }
    };
    if (!ui::startLineJob<PortReopen>(receiver, work, done)) {
        host->resumePolling();
    }
}

// A port that did not open keeps its message on the indicator and the poll off, as at start.
void TfmProperties::showReopen(ui::WindowHost& host, const PortReopen& outcome) {
    if (!outcome.opened) {
        host.holdIndicatorMessage(outcome.failure);
        return;
    }
    host.hideIndicatorMessage();
    if (!outcome.acknowledged) {
        host.reportNoAnswer();
    }
    host.resumePolling();
}

} // namespace zorvan::settings
