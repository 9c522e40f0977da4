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
// PagefileUsage grew by more than 2 MiB, or (on Windows) the GDI or USER
// object count grew by more than 50.
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

#include "about_dialog_ids.hpp"
#include "advice_bands.hpp"
#include "assessment.hpp"
#include "main_window_ids.hpp"
#include "measure.hpp"
#include "recording_caption.hpp"
#include "ui_driver.hpp"

namespace {

using namespace belavo::ui;
using belavo::bench::RecordingCaption;
using belavo::bench::nowMs;
using belavo::bench::summarize;
using belavo::test::AppProcess;
using belavo::test::findWindowOf;
using belavo::test::textOf;

constexpr SIZE_T kPagefileGrowthLimit = 2 * 1024 * 1024;
constexpr DWORD kGuiObjectGrowthLimit = 50;
constexpr DWORD kAnswerMs = 5000;  // longer than this and the program counts as no longer answering

using Labels = std::vector<std::wstring>;  // in the order of kResultLabels

struct Entries {
    const wchar_t* height;
    const wchar_t* weight;
    int error;  // the number the report shows; 0 for a valid pair
};

// Neighbours give different labels, so that a check that did nothing is seen.
constexpr Entries kValid[] = {
    {L"162", L"56.3", 0}, {L"100", L"22.5", 0}, {L"150", L"80", 0},   {L"180", L"45", 0},
    {L"162", L"-10", 0},  {L"100", L"20.5", 0}, {L"１６２", L"５６．３", 0},
};
constexpr Entries kInvalid[] = {
    {L"", L"56.3", 13}, {L"162cm", L"56.3", 13}, {L"162", L"", 13},      {L"0", L"abc", 13},
    {L"0", L"56.3", 11}, {L"0", L"0", 6},        {L"1e400", L"56.3", 6}, {L"10", L"1000", 6},
};
// Ten checks in turn: seven valid, three invalid.
constexpr char kPattern[] = "vvivvivviv";

std::u16string u16(const wchar_t* text) {
    const std::wstring wide = text;
    return {wide.begin(), wide.end()};
}

// The labels after a check of `entries`, as the core computes them.
Labels expectedLabels(const Entries& entries) {
    RecordingCaption bmi, advice, standardWeight, weight, obesity;
    belavo::AssessmentResult result;
    belavo::assessBody(u16(entries.height), u16(entries.weight), result, {bmi, advice, standardWeight, weight, obesity});
    return {bmi.text(), advice.text(), standardWeight.text(), weight.text(), obesity.text()};
}

// The driver's wait, with the time past which the program counts as no longer answering.
template <class Condition>
bool waitFor(Condition condition) {
    return belavo::test::waitUntil(condition, kAnswerMs);
}

struct Usage {
    SIZE_T pagefile = 0, workingSet = 0;
    DWORD gdi = 0, user = 0;
};

Usage usageOf(HANDLE process) {
    PROCESS_MEMORY_COUNTERS memory{};
    memory.cb = sizeof memory;
    GetProcessMemoryInfo(process, &memory, sizeof memory);
    return {memory.PagefileUsage, memory.WorkingSetSize, GetGuiResources(process, GR_GDIOBJECTS),
            GetGuiResources(process, GR_USEROBJECTS)};
}

class Soak {
public:
    Soak() : process_(OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ | SYNCHRONIZE, FALSE, app_.id())) {
        if (!process_) throw std::runtime_error("cannot open the Belavo.exe process");
        labels_ = labelsShown();
    }
    ~Soak() { CloseHandle(process_); }
    Soak(const Soak&) = delete;
    Soak& operator=(const Soak&) = delete;

    HANDLE process() const { return process_; }
    const std::vector<double>& clickRoundTrips() const { return clickRoundTrips_; }
    int reports() const { return reports_; }

    // The i-th check of the run, valid or invalid by the pattern.
    void check(int i) {
        if (kPattern[i % 10] == 'v') {
            checkValid(kValid[valid_++ % std::size(kValid)]);
        } else {
            checkInvalid(kInvalid[invalid_++ % std::size(kInvalid)]);
        }
    }

    void checkValid(const Entries& entries) {
        setEntries(entries);
        const Labels expected = expectedLabels(entries);
        const double start = nowMs();
        DWORD_PTR ignored = 0;
        if (!SendMessageTimeoutW(app_.control(Command1), BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, kAnswerMs, &ignored)) {
            throw std::runtime_error("the check button did not answer BM_CLICK");
        }
        clickRoundTrips_.push_back(nowMs() - start);
        if (findWindowOf(app_.id(), L"#32770")) throw std::runtime_error(describe(entries) + ": an unexpected report");
        labels_ = labelsShown();
        if (labels_ != expected) throw std::runtime_error(describe(entries) + ": a result label is wrong");
    }

    // The report must name the error; afterwards no label may have changed.
    void checkInvalid(const Entries& entries) {
        setEntries(entries);
        PostMessageW(app_.control(Command1), BM_CLICK, 0, 0);
        HWND box = nullptr;
        if (!waitFor([&] { return (box = findWindowOf(app_.id(), L"#32770")) != nullptr; })) {
            throw std::runtime_error(describe(entries) + ": no error report");
        }
        const std::wstring opening = L"実行時エラー '" + std::to_wstring(entries.error) + L"':";
        std::wstring text;
        if (!waitFor([&] { return !(text = textOf(GetDlgItem(box, 0xFFFF))).empty(); }) ||
            text.compare(0, opening.size(), opening) != 0) {
            throw std::runtime_error(describe(entries) + ": the report does not name error " +
                                     std::to_string(entries.error));
        }
        PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, IDOK)));
        if (!waitFor([&] { return !IsWindow(box) && IsWindowEnabled(app_.mainWindow()); })) {
            throw std::runtime_error(describe(entries) + ": the error report did not close");
        }
        ++reports_;
        if (labelsShown() != labels_) throw std::runtime_error(describe(entries) + ": a failed check changed a label");
    }

    // Opened from the menu command; closed by OK, by Esc's IDCANCEL and by WM_CLOSE in turn.
    void openAndCloseAbout(int n) {
        PostMessageW(app_.mainWindow(), WM_COMMAND, MAKEWPARAM(verb, 0), 0);
        HWND dialog = nullptr;
        if (!waitFor([&] { return (dialog = findWindowOf(app_.id(), about::kAboutDialogClass)) != nullptr; })) {
            throw std::runtime_error("the About dialog did not open");
        }
        switch (n % 3) {
        case 0: PostMessageW(GetDlgItem(dialog, about::cmdOK), BM_CLICK, 0, 0); break;
        case 1: PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0); break;
        default: PostMessageW(dialog, WM_CLOSE, 0, 0); break;
        }
        if (!waitFor([&] { return !IsWindow(dialog) && IsWindowEnabled(app_.mainWindow()); })) {
            throw std::runtime_error("the About dialog did not close");
        }
    }

    bool answers() const {
        DWORD_PTR ignored = 0;
        return app_.running() &&
               SendMessageTimeoutW(app_.mainWindow(), WM_NULL, 0, 0, SMTO_ABORTIFHUNG, kAnswerMs, &ignored) != 0;
    }

    Labels labelsShown() const {
        Labels labels;
        for (int id : kResultLabels) labels.push_back(textOf(app_.control(id)));
        return labels;
    }

    // WM_CLOSE must end the program with exit code 0.
    bool closes() {
        PostMessageW(app_.mainWindow(), WM_CLOSE, 0, 0);
        DWORD code = 1;
        return app_.waitForExit(kAnswerMs) && GetExitCodeProcess(process_, &code) && code == 0;
    }

private:
    void setEntries(const Entries& entries) {
        DWORD_PTR ignored = 0;
        if (!SendMessageTimeoutW(app_.control(Text1), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(entries.height),
                                 SMTO_ABORTIFHUNG, kAnswerMs, &ignored) ||
            !SendMessageTimeoutW(app_.control(Text2), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(entries.weight),
                                 SMTO_ABORTIFHUNG, kAnswerMs, &ignored)) {
            throw std::runtime_error("an entry did not answer WM_SETTEXT");
        }
    }

    static std::string describe(const Entries& entries) {
        auto utf8 = [](const wchar_t* text) {
            const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
            std::string out(size > 0 ? size - 1 : 0, '\0');
            WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), size, nullptr, nullptr);
            return out;
        };
        return "height '" + utf8(entries.height) + "', weight '" + utf8(entries.weight) + "'";
    }

    AppProcess app_;
    HANDLE process_;
    Labels labels_;
    std::size_t valid_ = 0, invalid_ = 0;
    int reports_ = 0;
    std::vector<double> clickRoundTrips_;
};

void printUsageRow(const char* what, double before, double halfway, double after) {
    std::printf("  %-22s %12.0f %12.0f %12.0f %+12.0f\n", what, before, halfway, after, after - before);
}

int run(int checks, int openings) {
    const char* wine = belavo::bench::wineVersion();
    std::printf("Soak of one Belavo.exe%s%s: %d checks (7 valid, 3 invalid in every 10) and %d About openings\n",
                wine ? " under Wine " : "", wine ? wine : "", checks, openings);
    std::fflush(stdout);
    const double started = nowMs();
    Soak soak;

    // What the program makes only once (the About dialog's class and instance, cached
    // fonts) is made before the first reading.
    for (int i = 0; i < 20; ++i) soak.check(i);
    for (int n = 0; n < 3; ++n) soak.openAndCloseAbout(n);
    Sleep(200);
    const Usage before = usageOf(soak.process());
    const int warmUpReports = soak.reports();
    Usage halfway = before;

    int opened = 0;
    for (int i = 0; i < checks; ++i) {
        soak.check(i);
        while (opened < static_cast<long long>(i + 1) * openings / checks) soak.openAndCloseAbout(opened++);
        if (i == checks / 2) halfway = usageOf(soak.process());
    }
    while (opened < openings) {
        soak.openAndCloseAbout(opened++);
        if (checks == 0 && opened == openings / 2) halfway = usageOf(soak.process());
    }
    Sleep(200);
    const Usage after = usageOf(soak.process());

    // The last check, against texts written out here rather than computed by the core;
    // the check before it shows other texts.
    soak.checkValid(kValid[2]);
    soak.checkValid(kValid[0]);
    const std::u16string_view advice = belavo::findAdviceBand(21).adviceText;
    const Labels lastExpected{L"21", std::wstring(advice.begin(), advice.end()), L"58", L"56.3", L"-5"};
    const bool lastRight = soak.labelsShown() == lastExpected;
    const bool answers = soak.answers();

    std::printf("  %d error reports seen and closed; About closed by OK, IDCANCEL and WM_CLOSE in turn\n",
                soak.reports() - warmUpReports);
    std::printf("  %-22s %12s %12s %12s %12s\n", "", "before", "halfway", "after", "growth");
    printUsageRow("PagefileUsage (KiB)", before.pagefile / 1024.0, halfway.pagefile / 1024.0, after.pagefile / 1024.0);
    printUsageRow("WorkingSetSize (KiB)", before.workingSet / 1024.0, halfway.workingSet / 1024.0,
                  after.workingSet / 1024.0);
    printUsageRow("GDI objects", before.gdi, halfway.gdi, after.gdi);
    printUsageRow("USER objects", before.user, halfway.user, after.user);
    if (wine) std::printf("  (GetGuiResources is a stub under Wine: it always reads 0 there)\n");
    const auto trips = summarize(soak.clickRoundTrips());
    std::printf("  BM_CLICK round trip of a valid check from this process: median %.2f ms, p99 %.2f ms\n",
                trips.median, trips.p99);
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
