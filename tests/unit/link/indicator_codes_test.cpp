#include "link/indicator_codes.h"

#include <gtest/gtest.h>

namespace zorvan::link {
namespace {

// Counts the changes the rules make, so a repeated code can be shown to change nothing.
class FakePosition final : public IndicatorPosition {
public:
    std::string caption() const override { return caption_; }
    void setCaption(const std::string& text) override { caption_ = text; }
    int fontSize() const override { return fontSize_; }
    void setFontSize(int size) override {
        fontSize_ = size;
        ++fontChanges;
    }
    bool pointVisible() const override { return point_; }
    void setPointVisible(bool visible) override {
        point_ = visible;
        ++pointChanges;
    }

    int fontChanges = 0;
    int pointChanges = 0;

private:
    std::string caption_;
    int fontSize_ = kIndicatorFontSize;
    bool point_ = false;
};

TEST(IndicatorCodes, EveryTablePatternAndTheUnknownOnes) {
    const std::pair<std::uint8_t, char> rows[] = {
        {0x00, ' '}, {0x08, '-'}, {0x0E, 'V'}, {0x14, '1'}, {0x15, '7'}, {0x1E, '4'}, {0x1F, 'q'},
        {0x40, '_'}, {0x53, 'S'}, {0x5B, '5'}, {0x5D, '3'}, {0x5E, 'Y'}, {0x5F, '9'}, {0x82, 'I'},
        {0x88, 'r'}, {0x8B, 'F'}, {0x8E, 'K'}, {0x8F, 'P'}, {0x97, 'M'}, {0x98, 'n'}, {0x9A, 'h'},
        {0x9E, 'X'}, {0x9F, 'A'}, {0xC2, 'L'}, {0xC3, 'C'}, {0xC5, 'Z'}, {0xCA, 't'}, {0xCB, 'E'},
        {0xCD, '2'}, {0xD0, 'u'}, {0xD3, 'G'}, {0xD4, 'J'}, {0xD6, 'W'}, {0xD7, '0'}, {0xD8, 'o'},
        {0xDA, 'b'}, {0xDB, '6'}, {0xDC, 'd'}, {0xDF, '8'}, {0x01, '?'}, {0x02, '?'}, {0xFE, '?'},
    };
    for (const auto& [code, character] : rows) {
        EXPECT_EQ(characterOfCode(code), character) << int(code);
        EXPECT_EQ(characterOfCode(code | kPointBit), character) << int(code);
    }
    int shown = 0;
    for (int code = 0; code < 256; code += 1) {
        shown += (code & kPointBit) == 0 && characterOfCode(static_cast<std::uint8_t>(code)) != '?';
    }
    EXPECT_EQ(shown, 39) << "no pattern beyond the table shows a character";
}

TEST(IndicatorCodes, CharacterToCodeIsTheInverseOfTheTable) {
    for (int code = 0; code < 256; ++code) {
        const char shown = characterOfCode(static_cast<std::uint8_t>(code));
        if (shown != '?' && (code & kPointBit) == 0) {
            EXPECT_EQ(codeOfCharacter(shown), code);
        }
    }
}

TEST(IndicatorCodes, PointFollowsBitFive) {
    FakePosition position;
    ShowIndicatorPosition(0x20, position);
    EXPECT_EQ(position.caption(), " ");
    EXPECT_TRUE(position.pointVisible());
    ShowIndicatorPosition(0xFF, position);
    EXPECT_EQ(position.caption(), "8");
    EXPECT_TRUE(position.pointVisible());
    EXPECT_EQ(position.pointChanges, 1);
}

TEST(IndicatorCodes, UnderscoreIsDrawnSmallerAndTheNextCodeRestoresTheSize) {
    FakePosition position;
    ShowIndicatorPosition(0x40, position);
    EXPECT_EQ(position.caption(), "_");
    EXPECT_EQ(position.fontSize(), kUnderscoreFontSize);
    ShowIndicatorPosition(0xDF, position);
    EXPECT_EQ(position.fontSize(), kIndicatorFontSize);
}

TEST(IndicatorCodes, OtherFontSizesAreLeftAlone) {
    FakePosition position;
    position.setFontSize(20);
    ShowIndicatorPosition(0x40, position);
    ShowIndicatorPosition(0xDF, position);
    EXPECT_EQ(position.fontSize(), 20);
}

TEST(IndicatorCodes, RepeatingACodeChangesNothingMore) {
    FakePosition position;
    ShowIndicatorPosition(0x60, position);
    const int fonts = position.fontChanges;
    const int points = position.pointChanges;
    ShowIndicatorPosition(0x60, position);
    EXPECT_EQ(position.fontChanges, fonts);
    EXPECT_EQ(position.pointChanges, points);
}

} // namespace
} // namespace zorvan::link
