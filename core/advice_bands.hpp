#pragma once
#include <array>
#include <cstdint>
#include <string_view>

namespace belavo {

struct AdviceBand {
    std::int16_t minBmi;  // inclusive
    std::int16_t maxBmi;  // inclusive
    std::u16string_view adviceText;
};

// Eleven rows in ascending order, covering every 16-bit value without overlap.
extern const std::array<AdviceBand, 11> adviceBands;

const AdviceBand& findAdviceBand(std::int16_t bmi) noexcept;

}  // namespace belavo
