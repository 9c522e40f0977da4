#pragma once
// Small helpers shared by the benchmark drivers: a clock, a summary of a
// series of timings and the Wine version, when the program runs under Wine.
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace belavo::bench {

// Milliseconds from an arbitrary origin, with the performance counter's resolution.
inline double nowMs() {
    static const double ticksPerMs = [] {
        LARGE_INTEGER frequency;
        QueryPerformanceFrequency(&frequency);
        return static_cast<double>(frequency.QuadPart) / 1000.0;
    }();
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) / ticksPerMs;
}

struct Summary {
    double median = 0, min = 0, max = 0, p99 = 0;
    double spread() const { return max - min; }
};

inline Summary summarize(std::vector<double> values) {
    Summary s;
    if (values.empty()) return s;
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    s.min = values.front();
    s.max = values.back();
    s.median = n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
    // The smallest value that at least 99 % of the samples do not exceed.
    s.p99 = values[static_cast<std::size_t>(std::ceil(0.99 * static_cast<double>(n))) - 1];
    return s;
}

// "8.0" and the like under Wine, nullptr on Windows.
inline const char* wineVersion() {
    using Getter = const char*(__cdecl*)();
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    const auto get = ntdll ? reinterpret_cast<Getter>(reinterpret_cast<void*>(GetProcAddress(ntdll, "wine_get_version")))
                           : nullptr;
    return get ? get() : nullptr;
}

}  // namespace belavo::bench
