// Renders the menus, the connection settings window and the FLASH write's progress into
// $ZORVAN_PICTURES_DIR (a temporary folder when unset), so they can be looked at.
#include "link/worker_threads.h"
#include "settings/properties_window.h"
#include "tests/support/panel_session.h"
#include "tests/support/picture_folder.h"
#include "ui/window_picture.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace zorvan::panel {
namespace {

using testing::PanelSession;

class MenuPictures : public testing::PictureTest {
protected:
    void SetUp() override {
        PictureTest::SetUp();
        previousFolder = QDir::currentPath();
        ASSERT_TRUE(QDir::setCurrent(dataFolder.path()));
    }
    void TearDown() override { QDir::setCurrent(previousFolder); }

    TMainFormTestIndZorvan4& start(std::uint8_t kind) {
        session.line.add(10, {10, kind, 5, 7}).setReading(42.37);
        testing::SessionSettings wanted;
        wanted.pollPeriodMs = 30;
        wanted.readTimeoutMs = 60;
        auto& window = session.start(wanted);
        EXPECT_TRUE(session.waitForPollCycles(2));
        return window;
    }

    void saveMenu(QMenu& menu, const QString& name) {
        menu.popup({300, 300});
        QTest::qWait(20);
        save(menu.grab().toImage(), name);
        menu.hide();
    }

    QTemporaryDir dataFolder;
    QString previousFolder;
    PanelSession session;
};

TEST_F(MenuPictures, MenusInTheirStates) {
    auto& window = start(80);
    saveMenu(*window.MainPopupMenu, QStringLiteral("menu_main_8_0"));

    QFile data(QStringLiteral("data.bin"));
    ASSERT_TRUE(data.open(QIODevice::WriteOnly));
    data.close();
    saveMenu(*window.MainPopupMenu, QStringLiteral("menu_main_with_data_file"));

    window.MainPopupMenu->toggleServiceItems();
    data.remove();
    saveMenu(*window.MainPopupMenu, QStringLiteral("menu_main_service_without_data_file"));

    InstrumentMenu instrumentMenu(&window);
    saveMenu(instrumentMenu, QStringLiteral("menu_instrument_window"));
}

TEST_F(MenuPictures, ConnectionSettingsWindow) {
    auto& window = start(43);
    settings::TfmProperties properties(window);
    properties.show();
    for (int tick = 0; tick < 30; ++tick) {
        properties.openingTick();
    }
    save(ui::renderWindowPicture(properties), QStringLiteral("properties_opening"));
    PanelSession::finishOpening(properties);
    save(ui::renderWindowPicture(properties), QStringLiteral("properties_open"));
    properties.CloseImage->setState(ui::TitleBarButton::State::Hover);
    save(ui::renderWindowPicture(properties), QStringLiteral("properties_close_hot"));
}

TEST_F(MenuPictures, FlashWriteProgressAndSuccess) {
    auto& window = start(80);
    QFile data(QStringLiteral("data.bin"));
    ASSERT_TRUE(data.open(QIODevice::WriteOnly));
    data.write(QByteArray(4 * 256, '\x5A'));
    data.close();

    window.MainPopupMenu->flashWriter().NWriteEEPROMClick();
    ASSERT_TRUE(PanelSession::waitFor([&] { return window.ProgressBar1->value() == 2; }, 10000));
    save(ui::renderWindowPicture(window), QStringLiteral("flash_write_page_2_of_4"));
    ASSERT_TRUE(PanelSession::waitFor(
        [&] { return window.stIndSoobsch->text().endsWith(QStringLiteral("успешно!")); }, 10000));
    save(ui::renderWindowPicture(window), QStringLiteral("flash_write_succeeded"));
    ASSERT_TRUE(PanelSession::waitFor(
        [&] { return !window.MainPopupMenu->flashWriter().running(); }, 5000));
}

} // namespace
} // namespace zorvan::panel
