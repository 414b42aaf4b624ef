#include "link/frame.h"
#include "link/indicator_codes.h"
#include "sim/bus.h"
#include "sim_frames.h"

#include <cmath>
#include <gtest/gtest.h>
#include <string>

namespace zorvan::sim {
namespace {

using testing::command;
using testing::readData;

constexpr std::uint8_t kAddress = 10;
constexpr std::uint8_t kRead = 0x80 | kAddress;
constexpr std::uint8_t kRegister = 0xC0 | kAddress;
constexpr std::uint8_t kWrite = 0x40 | kAddress;
constexpr std::uint8_t kControl = kAddress;

std::string textOf(const std::vector<std::uint8_t>& codes, std::size_t from = 0) {
    std::string text;
    for (std::size_t i = from; i < codes.size(); ++i) {
        text += link::characterOfCode(codes[i]);
        if (codes[i] & link::kPointBit) {
            text += '.';
        }
    }
    return text;
}

std::int32_t signed24At(const std::vector<std::uint8_t>& data, std::size_t offset) {
    return link::decodeSigned24(data.data() + offset);
}

class InstrumentTest : public ::testing::Test {
protected:
    InstrumentTest() : handle(bus.addInstrument(kAddress, {10, 80, 1, 2})) {
        handle.setReading(45.0);
    }

    std::string panelText() { return textOf(readData(bus, kRead, 47, 7), 1); }
    std::uint8_t panelLamps() { return readData(bus, kRead, 47, 7).at(0); }

    Bus bus;
    InstrumentHandle handle;
};

TEST(IndicatorText, ShowsTheValueRightAlignedWithThePointOnTheUnitsDigit) {
    struct Row {
        double value;
        int decimals;
        char label;
        const char* shown;
    } const rows[] = {
        {45.234, 2, 0, "  45.23"},  {-0.5, 1, 0, "   -0.5"},  {0.0001, 2, 0, "   0.00"},
        {-0.001, 2, 0, "   0.00"},  {123456, 0, 0, "123456"}, {1234567, 0, 0, "------"},
        {23.45, 1, 't', "t  23.5"}, {2.5, 2, 'V', "V  2.50"},
    };
    for (const Row& row : rows) {
        const IndicatorCodes codes = indicatorCodesFor(row.value, row.decimals, row.label);
        EXPECT_EQ(textOf({codes.begin(), codes.end()}), row.shown) << row.value;
    }
}

TEST_F(InstrumentTest, PanelShowsTheReadingWithItsDecimalsAndStableLamp) {
    EXPECT_EQ(panelText(), "  45.00");
    EXPECT_EQ(panelLamps(), kLampStable);

    handle.setDecimals(1);
    EXPECT_EQ(panelText(), "   45.0");
    EXPECT_EQ(readData(bus, kRegister, 31, 1), (std::vector<std::uint8_t>{0}));
    EXPECT_EQ(readData(bus, kRegister, 6, 1), (std::vector<std::uint8_t>{0}));
}

TEST_F(InstrumentTest, KeyTTaresAndKeyZeroZeroes) {
    ASSERT_TRUE(command(bus, kControl, 253, kKeyT));
    EXPECT_EQ(panelText(), "   0.00");
    EXPECT_EQ(panelLamps(), kLampTare | kLampStable);
    EXPECT_EQ(handle.inspect([](const Instrument& i) { return i.keyHeld; }), kKeyT);

    ASSERT_TRUE(command(bus, kControl, 255, 12));
    EXPECT_EQ(handle.inspect([](const Instrument& i) { return i.keyHeld; }), 0);

    handle.setReading(47.5);
    EXPECT_EQ(panelText(), "   2.50") << "tare stays while the load changes";
    ASSERT_TRUE(command(bus, kControl, 253, kKeyZero));
    EXPECT_EQ(panelText(), "   0.00");
    EXPECT_EQ(panelLamps(), kLampZero | kLampStable);

    EXPECT_EQ(handle.keyPresses(), (std::vector<std::uint8_t>{kKeyT, kKeyZero}));
    EXPECT_EQ(handle.keyReleases(), 1);
}

TEST_F(InstrumentTest, FunctionKeysStepThroughTheViews) {
    ASSERT_TRUE(command(bus, kControl, 253, kKeyF1));
    EXPECT_EQ(panelText(), "t  23.4");
    ASSERT_TRUE(command(bus, kControl, 253, kKeyF1));
    EXPECT_EQ(panelText(), "V  2.50");
    ASSERT_TRUE(command(bus, kControl, 253, kKeyF2));
    ASSERT_TRUE(command(bus, kControl, 253, kKeyF2));
    EXPECT_EQ(panelText(), "  45.00");
}

TEST_F(InstrumentTest, PanelOverrideGivesExactBytes) {
    const IndicatorCodes codes{0xCB, 0x88, 0x88, 0x00, 0x00, 0x20};
    handle.setPanel(0x90, codes);
    EXPECT_EQ(readData(bus, kRead, 47, 7),
              (std::vector<std::uint8_t>{0x90, 0xCB, 0x88, 0x88, 0x00, 0x00, 0x20}));
    handle.clearPanel();
    EXPECT_EQ(panelText(), "  45.00");
}

TEST_F(InstrumentTest, KeyboardLockAndDiscreteOutput) {
    ASSERT_TRUE(command(bus, kControl, 255, 16));
    EXPECT_TRUE(handle.keyboardLocked());
    ASSERT_TRUE(command(bus, kControl, 255, 17));
    EXPECT_FALSE(handle.keyboardLocked());

    ASSERT_TRUE(command(bus, kControl, 252, 129));
    EXPECT_TRUE(handle.digitalOut());
    EXPECT_EQ(panelLamps() & kLampDigitalOut, kLampDigitalOut);
    ASSERT_TRUE(command(bus, kControl, 252, 128));
    EXPECT_FALSE(handle.digitalOut());
    ASSERT_TRUE(command(bus, kControl, 252, 129));
    ASSERT_TRUE(command(bus, kControl, 252, 0));
    EXPECT_FALSE(handle.digitalOut());
    EXPECT_FALSE(handle.inspect([](const Instrument& i) { return i.digitalOutRemote; }));
}

TEST_F(InstrumentTest, ModeCommandsAreRecorded) {
    ASSERT_TRUE(command(bus, kControl, 254, 1));
    EXPECT_EQ(handle.mode(), 1);
    ASSERT_TRUE(command(bus, kControl, 254, 0));
    EXPECT_EQ(handle.mode(), 0);
}

TEST_F(InstrumentTest, GraphSamplesCarryTheReadingInItsDecimals) {
    EXPECT_EQ(signed24At(readData(bus, kRead, 152, 3), 0), 4500);
    EXPECT_EQ(signed24At(readData(bus, kRegister, 0, 3), 0), 4500);

    const auto sample = readData(bus, kRead, 149, 11);
    ASSERT_EQ(sample.size(), 11u);
    EXPECT_EQ(signed24At(sample, 0), 2340) << "temperature 1 in hundredths";
    EXPECT_EQ(signed24At(sample, 3), 4500) << "humidity";
    EXPECT_EQ(signed24At(sample, 8), 2480) << "temperature 2 in hundredths";

    ASSERT_TRUE(command(bus, kControl, 253, kKeyT));
    handle.setReading(44.0);
    EXPECT_EQ(signed24At(readData(bus, kRead, 152, 3), 0), -100) << "negative values widen";
}

TEST_F(InstrumentTest, SetValueIsWrittenByteWiseAndAppliedBy255With100) {
    EXPECT_EQ(readData(bus, kRegister, 5, 2), (std::vector<std::uint8_t>{250, 0}));

    ASSERT_TRUE(command(bus, kWrite, 5, 0x2C));
    ASSERT_TRUE(command(bus, kWrite, 6, 0x01));
    EXPECT_EQ(handle.setValue(), 300);
    EXPECT_EQ(handle.appliedSetValue(), 250);
    EXPECT_EQ(signed24At(readData(bus, kRead, 152, 3), 0), 4500) << "not applied yet";

    ASSERT_TRUE(command(bus, kControl, 255, 100));
    EXPECT_EQ(handle.appliedSetValue(), 300);
    EXPECT_EQ(readData(bus, kRegister, 5, 2), (std::vector<std::uint8_t>{0x2C, 0x01}));
    const double expected = 45.0 * sensorResponse(300) * 100;
    EXPECT_EQ(signed24At(readData(bus, kRead, 152, 3), 0), std::lround(expected));
}

TEST(SensorResponse, PeaksAtTheResonanceAndFallsOnBothSides) {
    EXPECT_DOUBLE_EQ(sensorResponse(kResonanceSetValue), 1.0);
    EXPECT_LT(sensorResponse(200), sensorResponse(240));
    EXPECT_LT(sensorResponse(300), sensorResponse(260));
    EXPECT_GT(sensorResponse(0), kResponseFloor);
    EXPECT_LT(sensorResponse(500), 0.3);
}

TEST_F(InstrumentTest, RestartIsCountedAndClearsTheVolatileState) {
    ASSERT_TRUE(command(bus, kControl, 253, kKeyT));
    ASSERT_TRUE(command(bus, kControl, 255, 1));
    EXPECT_EQ(handle.restartCount(), 1);
    EXPECT_EQ(panelLamps() & kLampTare, 0);
}

TEST(Instrument, ReadinessTellsThePieceSizeOfItsKind) {
    Bus bus;
    bus.addInstrument(10, {10, 43, 5, 7});
    bus.addInstrument(11, {10, 80, 1, 2});
    EXPECT_EQ(readData(bus, 0x8A, 237, 1), (std::vector<std::uint8_t>{99}));
    EXPECT_EQ(readData(bus, 0x8B, 237, 1), (std::vector<std::uint8_t>{100}));
}

} // namespace
} // namespace zorvan::sim
