// Soak of one running Belavo.exe, a test of leaks rather than of speed: many
// checks with valid and invalid entries (every invalid one must be answered
// by the error report, which is closed again) and many openings and closings
// of the About dialog. Memory and GUI object counts are read before and after.
//
//   soak [checks, default 10000] [About openings, default 1000]
//
// BELAVO_EXE names the program. Entries are set with WM_SETTEXT and the check
// button pressed with BM_CLICK (the keyboard path is tested elsewhere).
// Exits non-zero if the program stops answering, a label or report is wrong,
// PagefileUsage grew by more than 2 MiB, or the GDI or USER object count grew
// by more than 50.
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

#include "advice_bands.hpp"
#include "bench.hpp"
#include "ui_driver.hpp"

namespace {

using namespace belavo::bench;

constexpr SIZE_T kPagefileGrowthLimit = 2 * 1024 * 1024;
constexpr DWORD kGuiObjectGrowthLimit = 50;
// Ten checks in turn: seven valid, three invalid.
constexpr char kPattern[] = "vvivvivviv";

// The GDI objects alive in the program, counted under Wine as well, where GetGuiResources reads 0.
DWORD gdiObjectsOf(HANDLE process) {
    return static_cast<DWORD>(belavo::test::liveGdiObjects(GetProcessId(process)));
}

struct Usage {
    SIZE_T pagefile = 0, workingSet = 0;
    DWORD gdi = 0, user = 0;
};

Usage usageOf(HANDLE process) {
    PROCESS_MEMORY_COUNTERS memory{};
    memory.cb = sizeof memory;
    GetProcessMemoryInfo(process, &memory, sizeof memory);
    return {memory.PagefileUsage, memory.WorkingSetSize, gdiObjectsOf(process),
            GetGuiResources(process, GR_USEROBJECTS)};
}

void printUsageRow(const char* what, double before, double halfway, double after) {
    std::printf("  %-22s %12.0f %12.0f %12.0f %+12.0f\n", what, before, halfway, after, after - before);
}

int run(int checks, int openings) {
    const char* wine = wineVersion();
    std::printf(
        "Soak of one Belavo.exe%s%s: %d checks (7 valid, 3 invalid in every 10) and %d About openings\n",
        wine ? " under Wine " : "", wine ? wine : "", checks, openings);
    std::fflush(stdout);
    const double started = nowMs();
    Session soak(belavo::test::belavoExe());
    std::size_t valid = 0, invalid = 0;
    int reports = 0, opened = 0;
    std::vector<double> validChecks;
    const auto check = [&](int i) {
        if (kPattern[i % 10] == 'v') {
            validChecks.push_back(soak.validCheck(kValid[valid++ % std::size(kValid)]));
        } else {
            soak.invalidCheck(kInvalid[invalid++ % std::size(kInvalid)]);
            ++reports;
        }
    };

    // What the program makes only once (the About dialog's class, cached fonts) is made before the first
    // reading.
    for (int i = 0; i < 20; ++i) check(i);
    for (int n = 0; n < 3; ++n) soak.aboutOpenedAndClosed(n);
    Sleep(200);
    const Usage before = usageOf(soak.process());
    Usage halfway = before;
    reports = 0;
    validChecks.clear();

    for (int i = 0; i < checks; ++i) {
        check(i);
        while (opened < static_cast<long long>(i + 1) * openings / checks)
            soak.aboutOpenedAndClosed(opened++);
        if (i == checks / 2) halfway = usageOf(soak.process());
    }
    while (opened < openings) soak.aboutOpenedAndClosed(opened++);  // when there are no checks
    Sleep(200);
    const Usage after = usageOf(soak.process());

    // The last check, against texts written out here rather than computed by the core;
    // the check before it shows other texts.
    soak.validCheck(kValid[1]);
    soak.validCheck(kValid[0]);
    const std::u16string_view advice = belavo::findAdviceBand(21).adviceText;
    const Labels lastExpected{L"21", std::wstring(advice.begin(), advice.end()), L"58", L"56.3", L"-5"};
    const bool lastRight = soak.labelsShown() == lastExpected;
    const bool answers = soak.answers();

    std::printf("  %d error reports seen and closed; About closed by OK, IDCANCEL and WM_CLOSE in turn\n",
                reports);
    std::printf("  %-22s %12s %12s %12s %12s\n", "", "before", "halfway", "after", "growth");
    printUsageRow("PagefileUsage (KiB)", before.pagefile / 1024.0, halfway.pagefile / 1024.0,
                  after.pagefile / 1024.0);
    printUsageRow("WorkingSetSize (KiB)", before.workingSet / 1024.0, halfway.workingSet / 1024.0,
                  after.workingSet / 1024.0);
    printUsageRow("GDI objects", before.gdi, halfway.gdi, after.gdi);
    printUsageRow("USER objects", before.user, halfway.user, after.user);
    if (wine)
        std::printf("  (USER objects: GetGuiResources is a stub under Wine, it always reads 0 there)\n");
    const auto valids = summarize(validChecks);
    std::printf("  valid check, click to labels painted, from this process: median %.2f ms, p99 %.2f ms\n",
                valids.median, valids.p99);
    std::printf("  last check 162 / 56.3: labels %s\n", lastRight ? "exactly right" : "WRONG");
    std::printf("  still answering: %s\n", answers ? "yes" : "NO");
    const bool closed = answers && soak.closes();
    std::printf("  ended on WM_CLOSE with exit code 0: %s\n", closed ? "yes" : "NO");
    std::printf("  elapsed %.1f s\n", (nowMs() - started) / 1000.0);

    std::vector<std::string> failures;
    if (!lastRight) failures.push_back("the last check's labels are wrong");
    if (!answers) failures.push_back("the program stopped answering");
    if (answers && !closed) failures.push_back("the program did not end cleanly on WM_CLOSE");
    if (after.pagefile > before.pagefile && after.pagefile - before.pagefile > kPagefileGrowthLimit) {
        failures.push_back("PagefileUsage grew by more than 2 MiB");
    }
    if (after.gdi > before.gdi + kGuiObjectGrowthLimit || after.user > before.user + kGuiObjectGrowthLimit) {
        failures.push_back("GDI or USER objects grew by more than 50");
    }
    for (const std::string& failure : failures) std::printf("FAIL: %s\n", failure.c_str());
    if (failures.empty()) std::printf("PASS\n");
    return failures.empty() ? 0 : 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const int checks = argc > 1 ? _wtoi(argv[1]) : 10000;
    const int openings = argc > 2 ? _wtoi(argv[2]) : 1000;
    try {
        return run(checks, openings);
    } catch (const std::exception& error) {
        std::printf("FAIL: %s\n", error.what());
        return 1;
    }
}
