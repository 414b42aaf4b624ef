#pragma once

// What the panels last put on screen and where they stand. The display refresh compares the
// poll's answers with it, so that only what changed is drawn again. User-interface thread only.

#include "link/device_state.h"

#include <QString>
#include <cstdint>

namespace zorvan::panel {

using link::PerDevice;

inline PerDevice<std::uint8_t> versionByte0Shown{};
inline PerDevice<std::uint8_t> versionByte1Shown{};
inline PerDevice<std::uint8_t> versionByte2Shown{};
inline PerDevice<std::uint8_t> versionByte3Shown{};
inline PerDevice<QString> versionText{};
inline PerDevice<std::uint8_t> lampTare{};
inline PerDevice<std::uint8_t> lampZero{};
inline PerDevice<std::uint8_t> lampStab{};
inline PerDevice<std::uint8_t> digitalOutState{};
inline PerDevice<std::uint8_t> lampTareShown{};
inline PerDevice<std::uint8_t> lampZeroShown{};
inline PerDevice<std::uint8_t> lampStabShown{};
inline PerDevice<std::uint8_t> digitalOutStateShown{};

// Where each panel stands: read from the settings when the main window is created, taken from
// the window whenever it loses the focus.
inline PerDevice<std::int32_t> windowLeft{};
inline PerDevice<std::int32_t> windowTop{};

// A new panel of instrument d shows nothing yet: what was last put on a former panel of d
// no longer counts.
void forgetShownState(int d);

// Reads the saved positions of the six panels.
void loadWindowPositions();

} // namespace zorvan::panel
