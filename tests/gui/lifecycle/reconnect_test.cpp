// An adapter pulled out and plugged back in: the program shows the connection error meanwhile
// and talks to the instrument again once the port is back, as at start.
#include "link/com_port.h"
#include "link/device_state.h"
#include "tests/support/panel_session.h"

#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace zorvan::panel {
namespace {

using testing::PanelSession;
using testing::request;

constexpr std::uint8_t kFirst = 10;

TEST(Reconnect, PortThatVanishesAndComesBackIsOpenedAgainAndUnlockedBeforeThePoll) {
    PanelSession session;
    sim::Bus bus;
    bus.addInstrument(kFirst, {10, 43, 5, 7});
    QTemporaryDir folder;
    sim::PtyServerOptions options;
    options.linkPath = folder.filePath(QStringLiteral("ttyAdapter")).toStdString();
    const auto adapter = sim::PtyServer::start(bus, options);
    ASSERT_TRUE(adapter);
    testing::SessionSettings wanted;
    wanted.portName = options.linkPath;
    wanted.pollPeriodMs = 30;
    wanted.readTimeoutMs = 60;
    auto& main = session.start(wanted);
    ASSERT_TRUE(session.waitForPollCycles(1));
    ASSERT_TRUE(main.stIndSoobsch->isHidden());

    adapter->vanish();
    ASSERT_TRUE(PanelSession::waitFor([] { return link::comPortLost(); }))
        << "the dead handle is let go";
    ASSERT_TRUE(PanelSession::waitFor([&] { return main.stIndSoobsch->isVisible(); }));
    EXPECT_EQ(main.stIndSoobsch->text(), QStringLiteral("Ошибка связи\nс прибором!"));
    QTest::qWait(200);
    EXPECT_TRUE(PanelSession::waitFor([&] { return main.TimerOprosaPribora.isActive(); }))
        << "the poll goes on, trying the port at each turn";
    EXPECT_TRUE(main.stIndSoobsch->isVisible());

    adapter->clearTraffic();
    ASSERT_TRUE(adapter->restore());
    ASSERT_TRUE(PanelSession::waitFor([&] { return main.stIndSoobsch->isHidden(); }));
    EXPECT_TRUE(link::comPortOpen());
    const auto traffic = adapter->traffic();
    ASSERT_FALSE(traffic.empty());
    EXPECT_EQ(traffic.front().bytes, request(kFirst, 255, 17));
}

} // namespace
} // namespace zorvan::panel
