// What the main window draws after each poll cycle: every panel's indicator, lamps, message,
// version and artwork from what the poll worker stored.
#include "link/command_codes.h"
#include "link/device_state.h"
#include "panel/main_form.h"
#include "panel/panel_state.h"
#include "ui/application_title.h"

#include <QApplication>

namespace zorvan::panel {
namespace {

struct LampBinding {
    PerDevice<std::uint8_t>& state;
    PerDevice<std::uint8_t>& shown;
    ui::ArtworkView* InstrumentPanel::*image;
    std::uint8_t bit;
};

std::array<LampBinding, 4> lampBindings() {
    return {{
        {lampTare, lampTareShown, &InstrumentPanel::imTare, link::kLampTareBit},
        {lampZero, lampZeroShown, &InstrumentPanel::imZero, link::kLampZeroBit},
        {lampStab, lampStabShown, &InstrumentPanel::imStab, link::kLampStabBit},
        {digitalOutState, digitalOutStateShown, &InstrumentPanel::imData, link::kOutputLampBit},
    }};
}

bool versionChanged(int d) {
    return link::versionByte0[d] != versionByte0Shown[d] ||
           link::versionByte1[d] != versionByte1Shown[d] ||
           link::versionByte2[d] != versionByte2Shown[d] ||
           link::versionByte3[d] != versionByte3Shown[d];
}

// All four bytes 0 is no version: the label stays empty, as before the first answer.
bool versionKnown(int d) {
    return link::versionByte0[d] != 0 || link::versionByte1[d] != 0 || link::versionByte2[d] != 0 ||
           link::versionByte3[d] != 0;
}

void zeroVersion(int d) {
    link::versionByte0[d] = link::versionByte1[d] = link::versionByte2[d] = link::versionByte3[d] =
        0;
    versionByte0Shown[d] = versionByte1Shown[d] = versionByte2Shown[d] = versionByte3Shown[d] = 0;
}

} // namespace

void TMainFormTestIndZorvan4::TimerVisualisationInfoOnIndTimer() {
    TimerVisualisationInfoOnInd.stop();
    for (int device = 0; device < link::kDeviceCount; ++device) {
        if (device != 0 && link::deviceAddress[device] == 0) {
            continue;
        }
        if (InstrumentPanel* window = panelOf(device)) {
            refreshPanel(device, *window);
        } else {
            // A window closed by the system: nothing to draw, but the answer is consumed.
            link::pollFailed[device] = false;
            link::pollFresh[device] = false;
        }
    }
    if (phase() != Phase::Closing && phase() != Phase::Closed) {
        TimerOprosaPribora.start();
    }
}

void TMainFormTestIndZorvan4::refreshPanel(int device, InstrumentPanel& window) {
    if (link::pollFailed[device].load(std::memory_order_acquire)) {
        showLostConnection(device, window);
    }
    if (link::pollFresh[device].load(std::memory_order_acquire)) {
        showNewAnswer(device, window);
    }
    if (versionChanged(device)) {
        showVersion(device, window);
    }
}

void TMainFormTestIndZorvan4::showLostConnection(int d, InstrumentPanel& window) {
    for (const LampBinding& lamp : lampBindings()) {
        if (lamp.state[d] == 1) {
            lamp.state[d] = 0;
            lamp.shown[d] = 0;
            (window.*lamp.image)->hide();
        }
    }
    for (int i = 0; i < 6; ++i) {
        IndicatorPositionWidget* position = window.indicatorPosition(i);
        if (!position->text().isEmpty()) {
            position->clear();
        }
    }
    for (int i = 0; i < 6; ++i) {
        if (window.indicatorPosition(i)->pointVisible()) {
            window.indicatorPosition(i)->setPointVisible(false);
        }
    }
    if (link::versionByte1[d] != 0 || link::versionByte2[d] != 0 || link::versionByte3[d] != 0) {
        window.laZorvanVersiya->clear();
        zeroVersion(d);
    }
    window.showConnectionError();
    link::pollFailed[d] = false;
}

void TMainFormTestIndZorvan4::showNewAnswer(int d, InstrumentPanel& window) {
    const auto& answer = link::displayAnswer[d];
    for (const LampBinding& lamp : lampBindings()) {
        lamp.state[d] = (answer[2] & lamp.bit) ? 1 : 0;
        if (lamp.state[d] != lamp.shown[d]) {
            (window.*lamp.image)->setVisible(lamp.state[d] == 1);
            lamp.shown[d] = lamp.state[d];
        }
    }
    for (int i = 0; i < 6; ++i) {
        link::ShowIndicatorPosition(answer[3 + i], *window.indicatorPosition(i));
    }
    window.stIndSoobsch->hide();
    link::pollFresh[d] = false;
}

void TMainFormTestIndZorvan4::showVersion(int d, InstrumentPanel& window) {
    const unsigned kind = link::versionByte1[d];
    versionText[d] =
        versionKnown(d)
            ? QString::asprintf("%02uv%02u%02u%02u", unsigned{link::versionByte0[d]}, kind,
                                unsigned{link::versionByte2[d]}, unsigned{link::versionByte3[d]})
            : QString();
    window.laZorvanVersiya->setText(versionText[d]);
    window.laZorvanVersiya->adjustSize();
    if (kind != versionByte1Shown[d]) {
        const bool outputKind = kind >= link::kFirstOutputKind;
        window.showArtwork(outputKind ? artwork80 : artwork43);
        window.CheckBoxBlockKeyboard->setVisible(!outputKind && kind != 0);
        if (d == 0 && MainPopupMenu) {
            MainPopupMenu->showInstrumentKind(static_cast<std::uint8_t>(kind));
        }
        if (d == 0) {
            ui::ApplicationTitle::instance().setText(
                kind != 0 ? QStringLiteral("Zorvan %1%2").arg(kind / 10).arg(kind % 10)
                          : QStringLiteral("Zorvan 4X, 8X"));
        }
    }
    versionByte0Shown[d] = link::versionByte0[d];
    versionByte1Shown[d] = link::versionByte1[d];
    versionByte2Shown[d] = link::versionByte2[d];
    versionByte3Shown[d] = link::versionByte3[d];
}

} // namespace zorvan::panel
