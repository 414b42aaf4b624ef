// The panels over a line on another computer: Debian's ser2net serves the simulated instruments,
// and the program reaches it as socket:// and as rfc2217://. What goes on the line, and how a
// restarted server is met, are the same as over a local port.
#include "link/com_port.h"
#include "tests/support/panel_test.h"
#include "tests/support/ser2net_server.h"

#include <gtest/gtest.h>

namespace zorvan::panel {
namespace {

using testing::NetworkPortKind;
using testing::PanelSession;
using testing::request;
using testing::Ser2netServer;

constexpr std::uint8_t kFirst = 10;

class NetworkPanel : public testing::PanelTest,
                     public ::testing::WithParamInterface<NetworkPortKind> {
protected:
    void SetUp() override {
        if (!testing::ser2netInstalled()) {
            GTEST_SKIP() << "ser2net is not installed";
        }
        PanelTest::SetUp();
        session.line.add(kFirst, {10, 43, 5, 7});
        server = std::make_unique<Ser2netServer>(session.line.server->path(), testing::freePort(),
                                                 GetParam());
        ASSERT_TRUE(server->start());
    }

    TMainFormTestIndZorvan4& startOverTheServer() {
        testing::SessionSettings wanted;
        wanted.portName = server->portName();
        return start(wanted);
    }

    std::unique_ptr<Ser2netServer> server;
};

TEST_P(NetworkPanel, PollsAndTakesKeysAsOverALocalPort) {
    auto& window = startOverTheServer();
    ASSERT_TRUE(session.waitForPollCycles(12));
    const auto frames = session.line.frames();
    ASSERT_GE(frames.size(), 3u);
    EXPECT_EQ(frames[0], request(kFirst, 255, 17));
    EXPECT_EQ(frames[1], request(0x80 | kFirst, 236, 3));
    EXPECT_EQ(frames[2], request(0x80 | kFirst, 47, 6));
    EXPECT_EQ(countOf(request(0x80 | kFirst, 236, 3)), 1);
    EXPECT_GE(countOf(request(0x80 | kFirst, 47, 6)), 12);
    EXPECT_EQ(window.laZorvanVersiya->text(), "10v430507");

    click(window.MainImage, {23, 148});
    EXPECT_TRUE(waitForSequence({request(kFirst, 253, 4), request(kFirst, 255, 12)}));
}

TEST_P(NetworkPanel, RestartedServerShowsTheErrorThenIsReconnectedAndUnlockedFirst) {
    auto& window = startOverTheServer();
    ASSERT_TRUE(session.waitForPollCycles(1));
    ASSERT_TRUE(window.stIndSoobsch->isHidden());

    server->stop();
    ASSERT_TRUE(PanelSession::waitFor([&] { return window.stIndSoobsch->isVisible(); }));
    EXPECT_EQ(window.stIndSoobsch->text(), QStringLiteral("Ошибка связи\nс прибором!"));
    EXPECT_TRUE(PanelSession::waitFor([] { return link::comPortLost(); }));

    session.line.server->clearTraffic();
    ASSERT_TRUE(server->start());
    ASSERT_TRUE(PanelSession::waitFor([&] { return window.stIndSoobsch->isHidden(); }));
    const auto frames = session.line.frames();
    ASSERT_FALSE(frames.empty());
    EXPECT_EQ(frames.front(), request(kFirst, 255, 17));
}

INSTANTIATE_TEST_SUITE_P(RawAndTelnet, NetworkPanel,
                         ::testing::Values(NetworkPortKind::RawTcp, NetworkPortKind::Rfc2217),
                         [](const auto& info) {
                             return info.param == NetworkPortKind::RawTcp ? "Raw" : "Rfc2217";
                         });

} // namespace
} // namespace zorvan::panel
