#include "advice_bands.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <tuple>

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
    const struct { std::int16_t minBmi, maxBmi; std::size_t length; std::uint32_t checksum; } rows[11] = {
        {-32768, 13, 118, 0x9CCA2398u}, {14, 15, 111, 0xD2DFA008u}, {16, 17, 95, 0x16DD7A79u},
        {18, 19, 98, 0x68294444u},      {20, 21, 112, 0x2B1C6271u}, {22, 22, 100, 0x73AF659Fu},
        {23, 25, 74, 0xE4908A9Fu},      {26, 28, 107, 0x4CA915B5u}, {29, 31, 108, 0x03631210u},
        {32, 35, 128, 0xB81C383Bu},     {36, 32767, 135, 0x35747B92u},
    };
    for (std::size_t i = 0; i < adviceBands.size(); ++i) {
        SCOPED_TRACE(i + 1);
        const AdviceBand& band = adviceBands[i];
        EXPECT_EQ(std::tuple(band.minBmi, band.maxBmi, band.adviceText.size(), checksum(band.adviceText)),
                  std::tuple(rows[i].minBmi, rows[i].maxBmi, rows[i].length, rows[i].checksum));
        EXPECT_EQ(contains(band.adviceText, u'\u2025'), i == 0 || i == 9 || i == 10);  // two dot leader
        EXPECT_EQ(contains(band.adviceText, u'\u3005'), i == 0 || i == 2 || i == 8);   // 々
        EXPECT_EQ(band.adviceText.starts_with(u"丁度良い状態です。"), i >= 4 && i <= 7);
    }
    EXPECT_TRUE(adviceBands[9].adviceText.ends_with(u"\u2025と思います"));
}

// With the ranges checked above, this covers every band boundary as well.
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
