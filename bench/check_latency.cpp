// Check latency, measured in this process: the real main window (belavo_ui)
// is created here, the entries are set, and the clock runs from sending
// BM_CLICK to the check button until the five result labels hold the new
// texts (the click has returned) and until they have been repainted as well
// (RedrawWindow with RDW_UPDATENOW over the window and its children).
// Two inputs alternate, so that every check changes every label.
//
//   check_latency [checks, default 500]
//
// Exits non-zero only if a label shows a wrong text; timings never fail.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <vector>

#include "bench.hpp"
#include "main_window.hpp"

namespace {

using namespace belavo::ui;
using namespace belavo::bench;
using belavo::test::textOf;

void pumpMessages() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

void printSummary(const char* what, const std::vector<double>& ms) {
    const auto s = summarize(ms);
    std::printf("  %-29s median %7.1f us, p99 %7.1f us, min %7.1f us, max %8.1f us\n", what,
                s.median * 1000.0, s.p99 * 1000.0, s.min * 1000.0, s.max * 1000.0);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const int checks = argc > 1 ? _wtoi(argv[1]) : 500;
    constexpr int kWarmUps = 20;

    SetThreadUILanguage(MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT));
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    MainWindow window;
    if (!window.hwnd()) return 1;
    window.show(SW_SHOWNORMAL);
    SetForegroundWindow(window.hwnd());
    pumpMessages();

    const Labels expected[] = {expectedLabels(kValid[0]), expectedLabels(kValid[1])};
    const HWND button = GetDlgItem(window.hwnd(), Command1);

    std::vector<double> handled, painted;
    for (int i = 0; i < kWarmUps + checks; ++i) {
        SetWindowTextW(GetDlgItem(window.hwnd(), Text1), kValid[i % 2].height);
        SetWindowTextW(GetDlgItem(window.hwnd(), Text2), kValid[i % 2].weight);
        RedrawWindow(window.hwnd(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        pumpMessages();

        const double start = nowMs();
        SendMessageW(button, BM_CLICK, 0, 0);
        const double clicked = nowMs();
        RedrawWindow(window.hwnd(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        GdiFlush();
        const double done = nowMs();

        for (std::size_t l = 0; l < std::size(kResultLabels); ++l) {
            if (textOf(GetDlgItem(window.hwnd(), kResultLabels[l])) != expected[i % 2][l]) {
                std::printf("FAIL: check %d: label %d does not show the expected text\n", i,
                            kResultLabels[l]);
                return 1;
            }
        }
        if (i >= kWarmUps) {
            handled.push_back(clicked - start);
            painted.push_back(done - start);
        }
        pumpMessages();
    }

    // For scale: what one caption change of a result label costs by itself (a check makes five).
    std::vector<double> captions;
    const HWND bmiLabel = GetDlgItem(window.hwnd(), Label8);
    for (int i = 0; i < checks; ++i) {
        const double start = nowMs();
        SetWindowTextW(bmiLabel, i % 2 ? L"21" : L"36");
        captions.push_back(nowMs() - start);
        pumpMessages();
    }

    const char* wine = wineVersion();
    std::printf("Check latency, in-process (the main window created by this driver from belavo_ui)%s%s\n",
                wine ? ", under Wine " : "", wine ? wine : "");
    std::printf(
        "  %d checks alternating 162/56.3 and 150/80 after %d unrecorded ones; every label verified\n",
        checks, kWarmUps);
    printSummary("BM_CLICK to labels set:", handled);
    printSummary("BM_CLICK to labels painted:", painted);
    printSummary("one SetWindowTextW on Label8:", captions);
    const double p99 = summarize(painted).p99;
    std::printf("  target < 1 ms (click to labels painted, p99): %s\n", p99 < 1.0 ? "met" : "missed");
    return 0;
}
