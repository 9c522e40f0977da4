#pragma once
// Small helpers shared by the benchmark drivers: a clock, a summary of a
// series of timings and the Wine version, when the program runs under Wine.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cmath>
#include <string>
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

// One start of a program, as the start-up figures count it.
struct StartFigures {
    const char* failure = nullptr;  // why it did not come up or go away; nullptr when it did
    double readyMs = 0;             // CreateProcess until a visible window of the class answers
    double peakWorkingSetKiB = 0;   // when it was ready
};

// Starts `path`, waits for a visible window of `windowClass` of that process to
// answer, reads the peak working set, then ends the program with WM_CLOSE.
inline StartFigures measureStart(const std::wstring& path, const wchar_t* windowClass) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    std::wstring commandLine = L"\"" + path + L"\"";
    StartFigures figures;
    const double start = nowMs();
    if (!CreateProcessW(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
        figures.failure = "cannot be started";
        return figures;
    }
    WaitForInputIdle(process.hProcess, 10000);
    // WaitForInputIdle can return before the window is there (first start into a new desktop).
    HWND window = nullptr;
    const auto visibleWindow = [&] {
        while ((window = FindWindowExW(nullptr, window, windowClass, nullptr)) != nullptr) {
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if (owner == process.dwProcessId && IsWindowVisible(window)) return true;
        }
        return false;
    };
    while (!visibleWindow() && nowMs() - start < 15000) Sleep(1);
    DWORD_PTR ignored = 0;
    const bool answers = window && SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &ignored) != 0;
    figures.readyMs = nowMs() - start;
    PROCESS_MEMORY_COUNTERS memory{};
    memory.cb = sizeof memory;
    GetProcessMemoryInfo(process.hProcess, &memory, sizeof memory);
    figures.peakWorkingSetKiB = static_cast<double>(memory.PeakWorkingSetSize) / 1024.0;

    if (window) PostMessageW(window, WM_CLOSE, 0, 0);
    const bool exited = WaitForSingleObject(process.hProcess, 10000) == WAIT_OBJECT_0;
    if (!exited) {
        TerminateProcess(process.hProcess, 1);
        WaitForSingleObject(process.hProcess, 5000);
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    if (!answers) figures.failure = "showed no answering main window";
    else if (!exited) figures.failure = "did not end on WM_CLOSE";
    return figures;
}

}  // namespace belavo::bench
