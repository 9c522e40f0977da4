// Belavo.exe against the plain reference program, side by side and black-box:
// both are driven from this process through their real controls (the same
// window classes and control ids), alternately, so that both see the same load.
//
//   side_by_side <Belavo.exe> <plain_reference.exe> [rounds, default 3]
//                [starts per round and program, default 7] [interactions per round, default 20]
//
// Rows, each a median over all rounds (and per round), with the ratio
// Belavo / plain of the medians and the median of the ratios of each pair:
//   start      CreateProcess until the main window is visible and answers WM_NULL
//   valid      BM_CLICK on the check button until the five result labels are repainted
//   invalid    BM_CLICK until the error report is shown with its text and painted
//   About      the menu command until the dialog is painted, then OK until it is gone
//   peak set   PeakWorkingSetSize when the start was ready
// Figures only: nothing here fails on timing. It fails if a program does not
// come up, a label is wrong or an expected window never appears.
#include <windows.h>

#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

#include "about_dialog_ids.hpp"
#include "assessment.hpp"
#include "main_window_ids.hpp"
#include "measure.hpp"
#include "recording_caption.hpp"
#include "ui_driver.hpp"

namespace {

using namespace belavo::ui;
using belavo::bench::nowMs;
using belavo::bench::summarize;
using belavo::test::AppProcess;
using belavo::test::findWindowOf;
using belavo::test::textOf;

constexpr double kGiveUpMs = 10000;

enum Row { Start, Valid, Invalid, About, PeakSet, kRows };
constexpr const char* kRowNames[kRows] = {"start to ready (ms)", "valid check, to labels painted (ms)",
                                          "invalid check, to report shown (ms)", "About opened and closed (ms)",
                                          "peak working set after start (KiB)"};

struct Entries {
    const wchar_t* height;
    const wchar_t* weight;
};
constexpr Entries kValid[] = {{L"162", L"56.3"}, {L"150", L"80"}};  // every label changes from one to the other
constexpr Entries kInvalid[] = {{L"162cm", L"56.3"}, {L"0", L"56.3"}, {L"1e400", L"56.3"}, {L"162", L""}};

using Samples = std::vector<double>;

struct Program {
    std::wstring path;
    const char* name;
    Samples rows[kRows];       // every round
    std::vector<Samples> byRound[kRows];
};

std::wstring windowsPath(std::wstring path) {
    if (!path.empty() && path[0] == L'/') path = L"Z:" + path;
    for (wchar_t& c : path) {
        if (c == L'/') c = L'\\';
    }
    return path;
}

// Polls `condition` every millisecond; throws when it never holds.
template <class Condition>
void pollUntil(Condition condition, const char* what) {
    const double end = nowMs() + kGiveUpMs;
    while (!condition()) {
        if (nowMs() > end) throw std::runtime_error(what);
        Sleep(1);
    }
}

// A window and the given children have nothing left to repaint.
bool painted(HWND window, std::initializer_list<int> children = {}) {
    if (GetUpdateRect(window, nullptr, FALSE)) return false;
    for (int id : children) {
        if (GetUpdateRect(GetDlgItem(window, id), nullptr, FALSE)) return false;
    }
    return true;
}

void record(Program& program, Row row, double value) {
    program.rows[row].push_back(value);
    program.byRound[row].back().push_back(value);
}

// One start: until the main window is visible and answers; then WM_CLOSE ends it.
void startOnce(Program& program, bool recorded) {
    const belavo::bench::StartFigures figures = belavo::bench::measureStart(program.path, kMainWindowClass);
    if (figures.failure) throw std::runtime_error(std::string(program.name) + " " + figures.failure);
    if (recorded) {
        record(program, Start, figures.readyMs);
        record(program, PeakSet, figures.peakWorkingSetKiB);
    }
}

std::vector<std::wstring> expectedLabels(const Entries& entries) {
    belavo::bench::RecordingCaption bmi, advice, standardWeight, weight, obesity;
    belavo::AssessmentResult result;
    const std::wstring height = entries.height, weightText = entries.weight;
    belavo::assessBody(std::u16string(height.begin(), height.end()), std::u16string(weightText.begin(), weightText.end()),
                       result, {bmi, advice, standardWeight, weight, obesity});
    return {bmi.text(), advice.text(), standardWeight.text(), weight.text(), obesity.text()};
}

// One running program, driven through its controls.
class Session {
public:
    Session(Program& program) : program_(program), app_(program.path) {}
    ~Session() {
        PostMessageW(app_.mainWindow(), WM_CLOSE, 0, 0);
        app_.waitForExit();
    }
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    void validCheck(bool recorded) {
        const Entries& entries = kValid[valid_++ % std::size(kValid)];
        setEntries(entries);
        const double start = nowMs();
        DWORD_PTR ignored = 0;
        SendMessageTimeoutW(app_.control(Command1), BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, 5000, &ignored);
        pollUntil([&] { return painted(app_.mainWindow(), {Label8, Label9, Label7, Label6, Label18}); },
                  "the labels were never repainted");
        const double elapsed = nowMs() - start;
        const std::vector<std::wstring> expected = expectedLabels(entries);
        for (std::size_t i = 0; i < std::size(kResultLabels); ++i) {
            if (textOf(app_.control(kResultLabels[i])) != expected[i]) {
                throw std::runtime_error(std::string(program_.name) + ": a result label is wrong");
            }
        }
        if (recorded) record(program_, Valid, elapsed);
    }

    void invalidCheck(bool recorded) {
        setEntries(kInvalid[invalid_++ % std::size(kInvalid)]);
        const double start = nowMs();
        PostMessageW(app_.control(Command1), BM_CLICK, 0, 0);
        HWND box = nullptr;
        pollUntil([&] {
            return (box = findWindowOf(app_.id(), L"#32770")) != nullptr && !textOf(GetDlgItem(box, 0xFFFF)).empty() &&
                   painted(box, {0xFFFF, IDOK});
        }, "no error report");
        const double elapsed = nowMs() - start;
        PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, IDOK)));
        pollUntil([&] { return !IsWindow(box) && IsWindowEnabled(app_.mainWindow()); }, "the report did not close");
        if (recorded) record(program_, Invalid, elapsed);
    }

    void aboutOpenedAndClosed(bool recorded) {
        settle();
        const double start = nowMs();
        PostMessageW(app_.mainWindow(), WM_COMMAND, MAKEWPARAM(verb, 0), 0);
        HWND dialog = nullptr;
        pollUntil([&] {
            return (dialog = findWindowOf(app_.id(), about::kAboutDialogClass)) != nullptr &&
                   painted(dialog, {about::lblVersion, about::cmdOK, about::Label1, about::picIcon, about::lblTitle,
                                    about::Command1, about::Command2, about::cmdSysInfo});
        }, "the About dialog did not open");
        PostMessageW(GetDlgItem(dialog, about::cmdOK), BM_CLICK, 0, 0);
        pollUntil([&] { return !IsWindow(dialog) && IsWindowEnabled(app_.mainWindow()); }, "the About dialog did not close");
        const double elapsed = nowMs() - start;
        if (recorded) record(program_, About, elapsed);
    }

private:
    void setEntries(const Entries& entries) {
        DWORD_PTR ignored = 0;
        SendMessageTimeoutW(app_.control(Text1), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(entries.height),
                            SMTO_ABORTIFHUNG, 5000, &ignored);
        SendMessageTimeoutW(app_.control(Text2), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(entries.weight),
                            SMTO_ABORTIFHUNG, 5000, &ignored);
        settle();
    }

    // Whatever the last step left to paint is painted before the clock starts.
    void settle() {
        pollUntil([&] { return painted(app_.mainWindow(), {Text1, Text2}); }, "the window never settled");
    }

    Program& program_;
    AppProcess app_;
    std::size_t valid_ = 0, invalid_ = 0;
};

void runRound(Program& belavo, Program& plain, int starts, int interactions, bool recorded) {
    for (Program* program : {&belavo, &plain}) {
        for (std::vector<Samples>& perRound : program->byRound) perRound.emplace_back();
    }
    for (int i = 0; i < starts; ++i) {
        startOnce(i % 2 ? plain : belavo, recorded);
        startOnce(i % 2 ? belavo : plain, recorded);
    }
    Session a(belavo), b(plain);
    for (int i = 0; i < interactions; ++i) {
        Session& first = i % 2 ? b : a;
        Session& second = i % 2 ? a : b;
        for (Session* s : {&first, &second}) s->validCheck(recorded);
        for (Session* s : {&first, &second}) s->invalidCheck(recorded);
        for (Session* s : {&first, &second}) s->aboutOpenedAndClosed(recorded);
    }
}

// Samples are taken in pairs, one of each program in turn: the median of the
// pairs' ratios is less moved by load that comes and goes than the ratio of medians.
double pairedRatio(const Samples& belavo, const Samples& plain) {
    Samples ratios;
    for (std::size_t i = 0; i < belavo.size() && i < plain.size(); ++i) ratios.push_back(belavo[i] / plain[i]);
    return summarize(ratios).median;
}

void printRow(const Program& belavo, const Program& plain, Row row) {
    const double b = summarize(belavo.rows[row]).median, p = summarize(plain.rows[row]).median;
    std::printf("  %-38s %9.1f %9.1f %6.2f %6.2f  (rounds:", kRowNames[row], p, b, b / p,
                pairedRatio(belavo.rows[row], plain.rows[row]));
    for (std::size_t r = 0; r < belavo.byRound[row].size(); ++r) {
        const double rb = summarize(belavo.byRound[row][r]).median, rp = summarize(plain.byRound[row][r]).median;
        std::printf(" %.1f/%.1f", rp, rb);
    }
    std::printf(")\n");
}

int run(int argc, wchar_t** argv) {
    const int rounds = argc > 3 ? _wtoi(argv[3]) : 3;
    const int starts = argc > 4 ? _wtoi(argv[4]) : 7;
    const int interactions = argc > 5 ? _wtoi(argv[5]) : 20;
    Program belavo{windowsPath(argv[1]), "Belavo", {}, {}};
    Program plain{windowsPath(argv[2]), "plain", {}, {}};

    const char* wine = belavo::bench::wineVersion();
    std::printf("Belavo.exe against the plain reference program%s%s: %d rounds, each %d starts and %d of each "
                "interaction per program, alternating\n",
                wine ? " under Wine " : "", wine ? wine : "", rounds, starts, interactions);
    std::fflush(stdout);
    runRound(belavo, plain, 1, 2, false);  // warm-up: first starts, first About openings
    for (Program* program : {&belavo, &plain}) {
        for (std::vector<Samples>& perRound : program->byRound) perRound.clear();
    }
    for (int r = 0; r < rounds; ++r) runRound(belavo, plain, starts, interactions, true);

    std::printf("  %-38s %9s %9s %6s %6s  (per round plain/Belavo)\n", "median", "plain", "Belavo", "ratio", "paired");
    for (int row = 0; row < kRows; ++row) printRow(belavo, plain, static_cast<Row>(row));
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: side_by_side <Belavo.exe> <plain_reference.exe> [rounds] [starts] [interactions]\n");
        return 2;
    }
    try {
        return run(argc, argv);
    } catch (const std::exception& error) {
        std::printf("FAIL: %s\n", error.what());
        return 1;
    }
}
