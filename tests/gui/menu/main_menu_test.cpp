// The popup menus of the panel windows and the service key sequence, on a main window polling a
// simulated bus.
#include "link/device_state.h"
#include "settings/properties_window.h"
#include "tests/support/panel_test.h"

#include <QApplication>
#include <QFile>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace zorvan::panel {
namespace {

using testing::PanelSession;

constexpr std::uint8_t kFirst = 10;
constexpr std::uint8_t kSecond = 11;

class MainMenuTest : public testing::PanelTest {
protected:
    TMainFormTestIndZorvan4& start(std::uint8_t kind = 43, bool secondInstrument = false) {
        session.line.add(kFirst, {10, kind, 5, 7});
        testing::SessionSettings wanted;
        if (secondInstrument) {
            session.line.add(kSecond, {10, 43, 1, 2});
            wanted.addresses = {kFirst, kSecond, 0, 0, 0, 0};
        }
        auto& window = PanelTest::start(wanted);
        EXPECT_TRUE(session.waitForPollCycles(1));
        return window;
    }

    // Key codes of letters are their upper-case code points, Cyrillic ones included.
    static void press(QWidget* target, int key, Qt::KeyboardModifiers modifiers) {
        QKeyEvent down(QEvent::KeyPress, key, modifiers);
        QApplication::sendEvent(target, &down);
        QKeyEvent up(QEvent::KeyRelease, key, modifiers);
        QApplication::sendEvent(target, &up);
    }

    static void type(QWidget* target, const QString& letters,
                     Qt::KeyboardModifiers modifiers = Qt::ControlModifier) {
        for (const QChar letter : letters) {
            press(target, letter.unicode(), modifiers);
        }
    }

    // Through the window, as the system delivers it, so the right button becomes a menu request.
    static void rightClick(QWidget& window, QPoint at) {
        QTest::mouseClick(window.windowHandle(), Qt::RightButton, {}, at);
    }

    static bool serviceItemsShown(const MainMenu& menu) {
        return menu.NReadEEPROM->isVisible() && menu.NWriteEEPROM->isVisible() &&
               menu.NAChH->isVisible() && menu.NGraphicPlus->isVisible();
    }

    static bool serviceItemsHidden(const MainMenu& menu) {
        return !menu.NReadEEPROM->isVisible() && !menu.NWriteEEPROM->isVisible() &&
               !menu.NAChH->isVisible() && !menu.NGraphicPlus->isVisible();
    }
};

TEST_F(MainMenuTest, RightButtonOnTheFrontOpensTheMenu) {
    auto& window = start();
    rightClick(window, {120, 120});
    EXPECT_TRUE(PanelSession::waitFor([&] { return window.MainPopupMenu->isVisible(); }));
    window.MainPopupMenu->hide();
}

TEST_F(MainMenuTest, WriteFlashFollowsTheDataFileInAndOutOfServiceMode) {
    const struct {
        bool dataFile;
        bool serviceMode;
        bool visible;
        bool enabled;
    } rows[] = {
        {false, false, false, false},
        {false, true, true, false},
        {true, false, true, true},
        {true, true, true, true},
    };
    auto& window = start();
    MainMenu& menu = *window.MainPopupMenu;
    for (const auto& row : rows) {
        SCOPED_TRACE(::testing::Message()
                     << "data file " << row.dataFile << ", service mode " << row.serviceMode);
        QFile data(QStringLiteral("data.bin"));
        if (row.dataFile) {
            ASSERT_TRUE(data.open(QIODevice::WriteOnly));
            data.close();
        } else {
            data.remove();
        }
        if (menu.serviceMode() != row.serviceMode) {
            menu.toggleServiceItems();
        }
        menu.MainPopupMenuPopup();
        EXPECT_EQ(menu.NWriteEEPROM->isVisible(), row.visible);
        EXPECT_EQ(menu.NWriteEEPROM->isEnabled(), row.enabled);
    }
}

TEST_F(MainMenuTest, SequenceTypedTwiceShowsThenHidesTheServiceItems) {
    const struct {
        std::uint8_t kind;
        bool humidityGraphStays;
    } rows[] = {{43, false}, {80, true}};
    for (const auto& row : rows) {
        SCOPED_TRACE(int{row.kind});
        auto& window = start(row.kind);
        const MainMenu& menu = *window.MainPopupMenu;
        EXPECT_EQ(menu.NGraphicVlazhnAndTemperatura->isVisible(), row.humidityGraphStays)
            << "the 8.0 kind offers the humidity graph from its first answer";

        type(window.ButtonPusto, QStringLiteral("ZORVAN"));
        EXPECT_TRUE(serviceItemsShown(menu));
        EXPECT_TRUE(menu.NGraphicVlazhnAndTemperatura->isVisible());

        type(window.ButtonPusto, QStringLiteral("ZORVAN"));
        EXPECT_TRUE(serviceItemsHidden(menu));
        EXPECT_EQ(menu.NGraphicVlazhnAndTemperatura->isVisible(), row.humidityGraphStays);
        session.mainForm.reset();
        session.line.bus.clearTraffic();
    }
}

TEST_F(MainMenuTest, WrongKeyInTheMiddleStartsTheSequenceAgain) {
    auto& window = start();
    const MainMenu& menu = *window.MainPopupMenu;
    type(window.ButtonPusto, QStringLiteral("ZOR"));
    type(window.ButtonPusto, QStringLiteral("X"));
    type(window.ButtonPusto, QStringLiteral("VAN"));
    EXPECT_TRUE(serviceItemsHidden(menu));

    type(window.ButtonPusto, QStringLiteral("ZORVA"));
    type(window.ButtonPusto, QStringLiteral("N"), Qt::NoModifier);
    EXPECT_TRUE(serviceItemsHidden(menu)) << "the last letter without Ctrl";

    // Re-pressing Ctrl between letters is no key of its own.
    type(window.ButtonPusto, QStringLiteral("ZOR"));
    press(window.ButtonPusto, Qt::Key_Control, Qt::ControlModifier);
    type(window.ButtonPusto, QStringLiteral("VAN"));
    EXPECT_TRUE(serviceItemsShown(menu));
}

TEST_F(MainMenuTest, SequenceInTheRussianLayoutCounts) {
    auto& window = start();
    type(window.ButtonPusto, QStringLiteral("ЯЩКМФТ"));
    EXPECT_TRUE(serviceItemsShown(*window.MainPopupMenu));
}

TEST_F(MainMenuTest, SequenceInWindowTwoTogglesTheMainMenuButNotTheHumidityGraph) {
    auto& window = start(43, true);
    TfmZorvanNum* second = window.instrumentWindow(1);
    ASSERT_NE(second, nullptr);
    PanelSession::finishOpening(*second);
    const MainMenu& menu = *window.MainPopupMenu;

    type(second->ButtonPusto, QStringLiteral("ZORVAN"));
    EXPECT_TRUE(serviceItemsShown(menu));
    EXPECT_FALSE(menu.NGraphicVlazhnAndTemperatura->isVisible());

    type(second->ButtonPusto, QStringLiteral("ZORVAN"));
    EXPECT_TRUE(serviceItemsHidden(menu));

    rightClick(*second, {120, 120});
    EXPECT_TRUE(PanelSession::waitFor([&] { return second->MainPopupMenu->isVisible(); }));
    EXPECT_EQ(second->MainPopupMenu->actions().size(), 1);
    EXPECT_EQ(second->MainPopupMenu->NComPortProperties->text(), "Настройки");
    second->MainPopupMenu->hide();
}

TEST_F(MainMenuTest, SettingsItemOpensTheConnectionWindowModallyOverTheMainWindow) {
    auto& window = start();
    bool sawModal = false;
    QTimer::singleShot(0, [&] {
        sawModal = settings::fmProperties && settings::fmProperties->isModal();
        if (settings::fmProperties) {
            settings::fmProperties->close();
        }
    });
    window.MainPopupMenu->NComPortProperties->trigger();
    EXPECT_TRUE(sawModal);
    EXPECT_TRUE(settings::fmProperties.isNull());
}

} // namespace
} // namespace zorvan::panel
