#pragma once

// The picture sets of the screenshots tool, each in the sessions it needs, and what they share.

#include "tests/support/panel_session.h"

#include <functional>

namespace zorvan::screenshots {

// The main window's start, its connected kinds, its connection and port errors, instrument 2's
// window and the message window.
void panelScenes();
// The dynamic graph ready, running and silent; the threshold graph with its context; the
// humidity graph with the bar in each colour.
void graphScenes();
// The frequency-response window ready, after three sweeps with an overlay, and silent.
void sweepScenes();
// The popup menus, the settings windows and the FLASH write's progress.
void menuAndSettingsScenes();
// Every piece of artwork, and windows part of the way through their reveal animations.
void artworkScenes();

// A poll quick enough that a picture never waits long for its readings.
inline testing::SessionSettings quickPoll() {
    testing::SessionSettings settings;
    settings.pollPeriodMs = 50;
    settings.readTimeoutMs = 60;
    return settings;
}

// One session per picture set: a fresh simulated bus and a fresh main window.
inline void withSession(const std::function<void(testing::PanelSession&)>& scene) {
    testing::PanelSession session;
    scene(session);
}

} // namespace zorvan::screenshots
