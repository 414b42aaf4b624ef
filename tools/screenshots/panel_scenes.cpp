// The main window from its opening to its connected kinds and its errors, instrument 2's window
// and the message window.
#include "link/com_port.h"
#include "link/worker_threads.h"
#include "panel/message_window.h"
#include "settings/keys.h"
#include "settings/settings_path.h"
#include "settings/typed_settings.h"
#include "tools/screenshots/scene_pictures.h"
#include "tools/screenshots/scenes.h"

#include <QTest>

namespace zorvan::screenshots {

namespace {

using panel::TMainFormTestIndZorvan4;
using testing::PanelSession;
using testing::SessionSettings;

void connectingAndOpening() {
    withSession([](PanelSession& session) {
        session.line.add(10, {10, 43, 5, 7});
        settings::setSettingsFilePath(session.settingsPath());
        settings::writeSetting(settings::kComPort,
                               QString::fromStdString(session.line.server->path()));
        TMainFormTestIndZorvan4 window;
        window.show();
        for (int tick = 0; tick < 20; ++tick) {
            window.openingTick();
        }
        save(window, QStringLiteral("main_opening_r101"));
        PanelSession::finishOpening(window);
        save(window, QStringLiteral("main_connecting"));
        window.TimerOprosaPribora.stop();
        link::waitForWorkers(std::chrono::seconds(5));
    });
}

void connectedKinds() {
    withSession([](PanelSession& session) {
        session.line.add(10, {10, 43, 5, 7}).setReading(42.37);
        auto& window = session.start(quickPoll());
        session.waitForPollCycles(3);
        save(window, QStringLiteral("main_connected_4_3"));

        window.TimerOprosaPribora.stop();
        link::waitForWorkers(std::chrono::seconds(5));
        QTest::mousePress(window.MainImage, Qt::LeftButton, {}, {160, 170});
        save(window, QStringLiteral("main_key_f1_pressed"));
        QTest::mouseRelease(window.MainImage, Qt::LeftButton, {}, {160, 170});
        link::waitForWorkers(std::chrono::seconds(5));
    });
    withSession([](PanelSession& session) {
        session.line.add(10, {10, 80, 1, 2})
            .setPanel(0xF0, {0x08, 0x14, 0xCD, 0x5D | 0x20, 0x1E, 0x5B});
        SessionSettings settings = quickPoll();
        settings.digitalOutAllowed = true;
        auto& window = session.start(settings);
        session.waitForPollCycles(3);
        save(window, QStringLiteral("main_connected_8_0_lamps_output"));
    });
}

void connectionError() {
    withSession([](PanelSession& session) {
        sim::Faults silent;
        silent.silent = true;
        session.line.add(10, {10, 43, 5, 7}).setFaults(silent);
        auto& window = session.start(quickPoll());
        session.waitForPollCycles(1);
        save(window, QStringLiteral("main_connection_error"));
    });
}

void instrumentWindow() {
    withSession([](PanelSession& session) {
        session.line.add(10, {10, 43, 5, 7});
        session.line.add(11, {10, 80, 1, 2}).setReading(63.5);
        SessionSettings settings = quickPoll();
        settings.addresses = {10, 11, 0, 0, 0, 0};
        auto& window = session.start(settings);
        PanelSession::finishOpening(*window.instrumentWindow(1));
        session.waitForPollCycles(3);
        save(*window.instrumentWindow(1), QStringLiteral("instrument_2_connected_8_0"));
    });
}

void portErrors() {
    struct Case {
        const char* name;
        std::string port;
    };
    withSession([](PanelSession& session) {
        auto other = link::makeSerialPort(session.line.server->path());
        other->open(session.line.server->path());
        const Case cases[] = {
            {"main_port_not_found", "ttyNoSuchPort7"},
            {"main_port_busy", session.line.server->path()},
            {"main_port_other_error", "null"},
        };
        for (const Case& scene : cases) {
            SessionSettings settings;
            settings.portName = scene.port;
            auto& window = session.start(settings);
            save(window, QString::fromLatin1(scene.name));
            session.mainForm.reset();
        }
    });
    withSession([](PanelSession& session) {
        settings::writeSetting(settings::kBaudRate, 12345);
        auto& window = session.start();
        window.TimerOprosaPribora.stop();
        save(window, QStringLiteral("main_port_setup_failed"));
    });
}

void messageWindow() {
    withSession([](PanelSession& session) {
        session.line.add(10, {10, 43, 5, 7});
        auto& window = session.start(quickPoll());
        panel::TFormMessage message(&window);
        message.show();
        PanelSession::finishOpening(message);
        save(message, QStringLiteral("message_window"));
    });
}

} // namespace

void panelScenes() {
    connectingAndOpening();
    connectedKinds();
    connectionError();
    instrumentWindow();
    portErrors();
    messageWindow();
}

} // namespace zorvan::screenshots
