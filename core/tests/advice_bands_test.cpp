#include "advice_bands.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

namespace belavo {
namespace {

// 32-bit FNV-1a over the UTF-16 code units.
std::uint32_t checksum(std::u16string_view text) {
    std::uint32_t hash = 0x811C9DC5u;
    for (char16_t unit : text) hash = (hash ^ unit) * 0x01000193u;
    return hash;
}

bool contains(std::u16string_view text, char16_t c) { return text.find(c) != text.npos; }

TEST(AdviceBands, RowsHoldTheirRangesAndExactTexts) {
    const struct { int minBmi, maxBmi; std::size_t length; std::uint32_t checksum; } rows[11] = {
        {-32768, 13, 118, 0x9CCA2398u}, {14, 15, 111, 0xD2DFA008u}, {16, 17, 95, 0x16DD7A79u},
        {18, 19, 98, 0x68294444u},      {20, 21, 112, 0x2B1C6271u}, {22, 22, 100, 0x73AF659Fu},
        {23, 25, 74, 0xE4908A9Fu},      {26, 28, 107, 0x4CA915B5u}, {29, 31, 108, 0x03631210u},
        {32, 35, 128, 0xB81C383Bu},     {36, 32767, 135, 0x35747B92u},
    };
    for (std::size_t i = 0; i < adviceBands.size(); ++i) {
        const AdviceBand& band = adviceBands[i];
        SCOPED_TRACE(i + 1);
        EXPECT_EQ(band.minBmi, rows[i].minBmi);
        EXPECT_EQ(band.maxBmi, rows[i].maxBmi);
        EXPECT_EQ(band.adviceText.size(), rows[i].length);
        EXPECT_EQ(checksum(band.adviceText), rows[i].checksum);
        const bool leaderRow = i == 0 || i == 9 || i == 10;
        const bool repeatRow = i == 0 || i == 2 || i == 8;
        EXPECT_EQ(contains(band.adviceText, u'\u2025'), leaderRow);
        EXPECT_EQ(contains(band.adviceText, u'\u3005'), repeatRow);
        const bool fineRow = i >= 4 && i <= 7;
        EXPECT_EQ(band.adviceText.starts_with(u"丁度良い状態です。"), fineRow);
    }
    EXPECT_TRUE(adviceBands[9].adviceText.ends_with(u"\u2025と思います"));
}

TEST(AdviceBands, LookupAgreesWithTheTableAtEveryBoundary) {
    const struct { int bmi; std::size_t row; } cases[] = {
        {-32768, 1}, {-1, 1}, {0, 1}, {13, 1}, {14, 2}, {15, 2}, {16, 3}, {17, 3}, {18, 4},
        {19, 4}, {20, 5}, {21, 5}, {22, 6}, {23, 7}, {25, 7}, {26, 8}, {28, 8}, {29, 9},
        {31, 9}, {32, 10}, {35, 10}, {36, 11}, {10000, 11}, {32767, 11},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(&findAdviceBand(static_cast<std::int16_t>(c.bmi)), &adviceBands[c.row - 1])
            << c.bmi;
    }
}

TEST(AdviceBands, LookupAgreesWithARangeScanForEverySixteenBitValue) {
    for (int bmi = std::numeric_limits<std::int16_t>::min();
         bmi <= std::numeric_limits<std::int16_t>::max(); ++bmi) {
        const AdviceBand* scanned = nullptr;
        for (const AdviceBand& band : adviceBands) {
            if (band.minBmi <= bmi && bmi <= band.maxBmi) {
                ASSERT_EQ(scanned, nullptr) << "overlap at " << bmi;
                scanned = &band;
            }
        }
        ASSERT_EQ(&findAdviceBand(static_cast<std::int16_t>(bmi)), scanned) << bmi;
    }
}

}  // namespace
}  // namespace belavo
