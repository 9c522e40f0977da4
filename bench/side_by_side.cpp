// This Belavo.exe against an earlier build of it, black-box: both are started
// and driven from this process alike, through their real controls and in
// turn, so that both see the same load; a regression shows as a ratio. The
// bare window is the floor of the start-up rows.
//
//   side_by_side <Belavo.exe> <earlier Belavo.exe> <bare_window.exe> [rounds, default 3]
//                [starts per round and program, default 10] [interactions per round, default 20]
//
// Rows, medians over all rounds:
//   start      CreateProcess until the main window is visible and answers WM_NULL
//   peak set   PeakWorkingSetSize at that moment
//   valid      BM_CLICK on the check button until the five result labels are repainted
//   invalid    BM_CLICK until the error report is shown with its text and painted
//   About      the menu command until the dialog is painted, then closed until it is gone
// with the ratio this / earlier of the medians, and a ratio of the pairs taken
// one right after the other (a burst of load hits both of a pair; see
// pairedRatio), over all rounds and per round.
// Figures only: nothing here fails on timing. It fails if a program does not
// come up, a label or report is wrong or an expected window never appears.
#include <windows.h>
#include <psapi.h>

#include <cmath>
#include <cstdio>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench.hpp"

namespace {

using namespace belavo::bench;
using belavo::test::windowsPath;

enum Row { Start, PeakSet, Valid, Invalid, About, kRows };
constexpr const char* kRowNames[kRows] = {
    "start to ready (ms)", "peak working set after start (KiB)", "valid check, to labels painted (ms)",
    "invalid check, to report shown (ms)", "About opened and closed (ms)"};

using Samples = std::vector<double>;

struct Program {
    std::wstring path;
    const wchar_t* windowClass;
    std::vector<Samples> rounds[kRows];
};

Samples all(const Program& program, Row row) {
    Samples samples;
    for (const Samples& round : program.rounds[row])
        samples.insert(samples.end(), round.begin(), round.end());
    return samples;
}

// One start, until the main window answers; then WM_CLOSE must end the program.
void startOnce(Program& program, bool recorded) {
    const double start = nowMs();
    const auto fail = [&](const char* what) { return std::runtime_error(utf8(program.path) + ": " + what); };
    std::optional<belavo::test::AppProcess> app;
    try {
        app.emplace(program.path, program.windowClass);
    } catch (const std::exception& error) {
        throw fail(error.what());
    }
    DWORD_PTR ignored = 0;
    if (!SendMessageTimeoutW(app->mainWindow(), WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &ignored)) {
        throw fail("does not answer");
    }
    const double ready = nowMs() - start;
    PROCESS_MEMORY_COUNTERS memory{};
    memory.cb = sizeof memory;
    GetProcessMemoryInfo(app->handle(), &memory, sizeof memory);
    PostMessageW(app->mainWindow(), WM_CLOSE, 0, 0);
    if (!app->waitForExit(10000)) throw fail("did not end on WM_CLOSE");
    if (recorded) {
        program.rounds[Start].back().push_back(ready);
        program.rounds[PeakSet].back().push_back(static_cast<double>(memory.PeakWorkingSetSize) / 1024.0);
    }
}

// programs: this Belavo.exe, the earlier one, the bare window (starts only).
void runRound(Program (&programs)[3], int starts, int interactions, bool recorded) {
    if (recorded) {
        for (Program& program : programs) {
            for (std::vector<Samples>& rounds : program.rounds) rounds.emplace_back();
        }
    }
    for (int i = 0; i < starts; ++i) {
        for (int k = 0; k < 3; ++k)
            startOnce(programs[i % 2 ? 2 - k : k], recorded);  // forwards, then backwards
    }
    Session sessions[2] = {Session(programs[0].path), Session(programs[1].path)};
    const auto record = [&](int k, Row row, double ms) {
        if (recorded) programs[k].rounds[row].back().push_back(ms);
    };
    for (int i = 0; i < interactions; ++i) {
        const int order[] = {i % 2, 1 - i % 2};
        for (int k : order) record(k, Valid, sessions[k].validCheck(kValid[i % 2]));
        for (int k : order) record(k, Invalid, sessions[k].invalidCheck(kInvalid[i % std::size(kInvalid)]));
        for (int k : order) record(k, About, sessions[k].aboutOpenedAndClosed(i));
    }
}

// The median ratio of the pairs in which this Belavo.exe went first, and of those in which the
// earlier one did, combined by their geometric mean: whatever going first costs cancels out.
double pairedRatio(const std::vector<Samples>& current, const std::vector<Samples>& earlier) {
    Samples ratios[2];
    for (std::size_t r = 0; r < current.size(); ++r) {
        for (std::size_t i = 0; i < current[r].size(); ++i)
            ratios[i % 2].push_back(current[r][i] / earlier[r][i]);
    }
    return std::sqrt(summarize(ratios[0]).median * summarize(ratios[1]).median);
}

void printRow(const Program (&programs)[3], Row row) {
    const double current = summarize(all(programs[0], row)).median,
                 earlier = summarize(all(programs[1], row)).median;
    const std::vector<Samples>& ofCurrent = programs[0].rounds[row];
    const std::vector<Samples>& ofEarlier = programs[1].rounds[row];
    std::printf("  %-36s %9.1f %9.1f %6.2f %6.2f  (", kRowNames[row], earlier, current, current / earlier,
                pairedRatio(ofCurrent, ofEarlier));
    for (std::size_t r = 0; r < ofCurrent.size(); ++r) {
        std::printf("%s%.2f", r ? " " : "", pairedRatio({ofCurrent[r]}, {ofEarlier[r]}));
    }
    std::printf(")");
    if (row == Start || row == PeakSet) {
        const double bare = summarize(all(programs[2], row)).median;
        std::printf("  bare %.1f, this / bare %.2f, paired %.2f", bare, current / bare,
                    pairedRatio(ofCurrent, programs[2].rounds[row]));
    }
    std::printf("\n");
}

int run(int argc, wchar_t** argv) {
    const int rounds = argc > 4 ? _wtoi(argv[4]) : 3;
    const int starts = argc > 5 ? _wtoi(argv[5]) : 10;
    const int interactions = argc > 6 ? _wtoi(argv[6]) : 20;
    Program programs[3] = {{windowsPath(argv[1]), belavo::ui::kMainWindowClass, {}},
                           {windowsPath(argv[2]), belavo::ui::kMainWindowClass, {}},
                           {windowsPath(argv[3]), L"BelavoBenchBare", {}}};

    const char* wine = wineVersion();
    std::printf(
        "This Belavo.exe against an earlier one%s%s: %d rounds, each %d starts of each program (and of the "
        "bare window) and %d of each interaction per program, in turn\n",
        wine ? " under Wine " : "", wine ? wine : "", rounds, starts, interactions);
    std::fflush(stdout);
    runRound(programs, 1, 2, false);  // warm-up: first starts, first About openings
    for (int r = 0; r < rounds; ++r) runRound(programs, starts, interactions, true);

    std::printf("  %-36s %9s %9s %6s %6s  (paired, by round)\n", "median", "earlier", "this", "ratio",
                "paired");
    for (int row = 0; row < kRows; ++row) printRow(programs, static_cast<Row>(row));
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 4) {
        std::fprintf(stderr,
                     "usage: side_by_side <Belavo.exe> <earlier Belavo.exe> <bare_window.exe> "
                     "[rounds] [starts] [interactions]\n");
        return 2;
    }
    try {
        return run(argc, argv);
    } catch (const std::exception& error) {
        std::printf("FAIL: %s\n", error.what());
        return 1;
    }
}
