#include "sim/sim_options.h"

#include <gtest/gtest.h>

namespace zorvan::sim {
namespace {

TEST(SimOptions, DefaultBusHasOneInstrumentOfEachKind) {
    const auto parsed = parseSimOptions({"--link", "/tmp/zorvan-line"});
    ASSERT_TRUE(parsed.ok) << parsed.error;
    EXPECT_EQ(parsed.options.linkPath, "/tmp/zorvan-line");
    ASSERT_EQ(parsed.options.instruments.size(), 2u);
    EXPECT_EQ(parsed.options.instruments[0].address, 10);
    EXPECT_EQ(parsed.options.instruments[0].version, (VersionBytes{10, 43, 5, 7}));
    EXPECT_EQ(parsed.options.instruments[1].address, 11);
    EXPECT_EQ(parsed.options.instruments[1].version, (VersionBytes{10, 80, 1, 2}));
}

TEST(SimOptions, ReadsInstrumentsBaudFaultsAndListening) {
    const auto parsed =
        parseSimOptions({"--instrument", "12:1,100,3,4", "--baud", "9600", "--fault", "12:delay=40",
                         "--fault", "12:drop-every=5", "--fault", "12:flash-fail=7,3", "--fault",
                         "12:garbage=2", "--listen-master"});
    ASSERT_TRUE(parsed.ok) << parsed.error;
    const SimOptions& options = parsed.options;
    ASSERT_EQ(options.instruments.size(), 1u);
    EXPECT_EQ(options.instruments[0].version, (VersionBytes{1, 100, 3, 4}));
    EXPECT_EQ(options.baud, 9600);
    EXPECT_TRUE(options.listenMaster);
    const Faults& faults = options.faults.at(12);
    EXPECT_EQ(faults.answerDelay, std::chrono::milliseconds(40));
    EXPECT_EQ(faults.dropEveryNth, 5);
    EXPECT_EQ(faults.failingPages.at(7), 3);
    EXPECT_EQ(faults.leadingGarbage.size(), 2u);
}

TEST(SimOptions, RefusesMalformedArguments) {
    const std::vector<std::vector<std::string>> refused = {
        {"--instrument", "64:1,2,3,4"},
        {"--instrument", "10:1,2,3"},
        {"--instrument", "10:1,2,3,4,5"},
        {"--instrument", "10:1,2,3,256"},
        {"--baud", "fast"},
        {"--baud"},
        {"--fault", "10:sleepy"},
        {"--fault", "12:silent"},
        {"--fault", "10:flash-fail=1,0"},
        {"--frobnicate", "1"},
    };
    for (const auto& arguments : refused) {
        const auto parsed = parseSimOptions(arguments);
        EXPECT_FALSE(parsed.ok) << arguments[0] << " " << arguments.back();
        EXPECT_FALSE(parsed.error.empty());
    }
}

} // namespace
} // namespace zorvan::sim
