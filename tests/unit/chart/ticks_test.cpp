// Axis ticks: nice steps, and an end even where the values outgrow their own precision.
#include "chart/ticks.h"

#include <gtest/gtest.h>

namespace zorvan::chart {
namespace {

TEST(Ticks, StepsOfOneTwoFiveAndNoHangFarFromZero) {
    const Ticks ticks = niceTicks(-0.244, 7.24688, 8);
    EXPECT_EQ(ticks.step, 1.0);
    EXPECT_EQ(ticks.values.front(), 0.0);
    EXPECT_EQ(ticks.values.back(), 7.0);

    // A file value of 1e17 once kept the tick loop adding 1 to a number that no longer changed.
    const Ticks far = niceTicks(1e17, 1e17 + 64, 10);
    EXPECT_LE(far.values.size(), 2U);
}

} // namespace
} // namespace zorvan::chart
