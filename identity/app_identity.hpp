#pragma once
#include <cstdint>
#include <string_view>

#include "version.h"

namespace belavo {

#define BELAVO_WIDEN2(text) L##text
#define BELAVO_WIDEN(text) BELAVO_WIDEN2(text)

struct AppIdentity {
    std::wstring_view title;
    std::int16_t major;
    std::int16_t minor;
    std::int16_t revision;
};

inline constexpr AppIdentity kAppIdentity{BELAVO_WIDEN(BELAVO_TITLE), BELAVO_VERSION_MAJOR,
                                          BELAVO_VERSION_MINOR, BELAVO_VERSION_REVISION};

}  // namespace belavo
