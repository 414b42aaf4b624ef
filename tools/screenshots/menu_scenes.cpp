// The popup menus in their states, the two settings windows, and the FLASH write's progress.
#include "panel/main_menu.h"
#include "settings/humidity_graph_settings_window.h"
#include "settings/properties_window.h"
#include "tools/screenshots/scene_pictures.h"
#include "tools/screenshots/scenes.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace zorvan::screenshots {

namespace {

using testing::PanelSession;

// The humidity graph settings window, opened over a stand-in for the graph window.
void humidityGraphSettingsWindow() {
    struct StandInGraph final : settings::HumidityGraphView {
        void showIndicatorPanel(bool) override {}
        void addIndicatorBarIfMissing() override {}
        void colourIndicatorBarGreen() override {}
        void applySignalRange(double, double) override {}
        QWidget* graphWindow() override { return &graph; }
        QWidget graph;
    } view;
    view.graph.setGeometry(100, 100, 900, 560);
    settings::TfmGraphVlazhTempNastr window(view);
    window.show();
    PanelSession::finishOpening(window);
    save(window, QStringLiteral("humidity_graph_settings"));
}

void saveMenu(QMenu& menu, const QString& name) {
    menu.popup({300, 300});
    QTest::qWait(20);
    savePicture(menu.grab().toImage(), name);
    menu.hide();
}

void menusAndConnectionSettings() {
    withSession([&](PanelSession& session) {
        session.line.add(10, {10, 80, 5, 7}).setReading(42.37);
        auto& window = session.start(quickPoll());
        session.waitForPollCycles(2);
        saveMenu(*window.MainPopupMenu, QStringLiteral("menu_main_8_0"));
        QFile data(QStringLiteral("data.bin"));
        if (data.open(QIODevice::WriteOnly)) {
            data.close();
        }
        saveMenu(*window.MainPopupMenu, QStringLiteral("menu_main_with_data_file"));
        window.MainPopupMenu->toggleServiceItems();
        data.remove();
        saveMenu(*window.MainPopupMenu, QStringLiteral("menu_main_service_without_data_file"));
        window.MainPopupMenu->toggleServiceItems();
        panel::InstrumentMenu instrumentMenu(&window);
        saveMenu(instrumentMenu, QStringLiteral("menu_instrument_window"));

        settings::TfmProperties properties(window);
        properties.show();
        for (int tick = 0; tick < 30; ++tick) {
            properties.openingTick();
        }
        save(properties, QStringLiteral("properties_opening"));
        PanelSession::finishOpening(properties);
        save(properties, QStringLiteral("properties_open"));
        properties.CloseImage->setState(ui::TitleBarButton::State::Hover);
        save(properties, QStringLiteral("properties_close_hot"));
    });
}

void flashWrite() {
    withSession([&](PanelSession& session) {
        session.line.add(10, {10, 80, 5, 7}).setReading(42.37);
        auto& window = session.start(quickPoll());
        session.waitForPollCycles(2);
        QFile data(QStringLiteral("data.bin"));
        if (data.open(QIODevice::WriteOnly)) {
            data.write(QByteArray(4 * 256, '\x5A'));
            data.close();
        }
        window.MainPopupMenu->flashWriter().NWriteEEPROMClick();
        PanelSession::waitFor([&] { return window.ProgressBar1->value() == 2; }, 10000);
        save(window, QStringLiteral("flash_write_page_2_of_4"));
        PanelSession::waitFor(
            [&] { return window.stIndSoobsch->text().endsWith(QStringLiteral("успешно!")); },
            10000);
        save(window, QStringLiteral("flash_write_succeeded"));
        PanelSession::waitFor([&] { return !window.MainPopupMenu->flashWriter().running(); }, 5000);
    });
}

} // namespace

void menuAndSettingsScenes() {
    humidityGraphSettingsWindow();
    // The FLASH image file is looked for in the working folder: one of their own.
    QTemporaryDir dataFolder;
    const QString previousFolder = QDir::currentPath();
    QDir::setCurrent(dataFolder.path());
    menusAndConnectionSettings();
    flashWrite();
    QDir::setCurrent(previousFolder);
}

} // namespace zorvan::screenshots
