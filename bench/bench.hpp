#pragma once
// What the benchmark drivers share: a clock, a summary of a series of
// timings, the entries they check with the labels each must give, and a
// running Belavo.exe driven through its controls with the tests' driver.
#include <windows.h>

#include <string>
#include <vector>

#include "ui_driver.hpp"

namespace belavo::bench {

double nowMs();  // milliseconds from an arbitrary origin, with the performance counter's resolution

struct Summary {
    double median = 0, min = 0, max = 0, p99 = 0;
};
Summary summarize(std::vector<double> values);

const char* wineVersion();  // "8.0" and the like under Wine, nullptr on Windows
std::string utf8(const std::wstring& text);

struct Entries {
    const wchar_t* height;
    const wchar_t* weight;
    int error;  // the number the report shows; 0 for a valid pair
};
// Neighbours (the last and the first too) differ in a label, so that a check that did nothing
// is seen; the first two differ in every label.
inline constexpr Entries kValid[] = {
    {L"162", L"56.3", 0}, {L"150", L"80", 0},   {L"100", L"22.5", 0},        {L"180", L"45", 0},
    {L"162", L"-10", 0},  {L"100", L"20.5", 0}, {L"１６２", L"５６．３", 0},
};
inline constexpr Entries kInvalid[] = {
    {L"", L"56.3", 13},  {L"162cm", L"56.3", 13}, {L"162", L"", 13},      {L"0", L"abc", 13},
    {L"0", L"56.3", 11}, {L"0", L"0", 6},         {L"1e400", L"56.3", 6}, {L"10", L"1000", 6},
};

using Labels = std::vector<std::wstring>;       // in the order of ui::kResultLabels
Labels expectedLabels(const Entries& entries);  // as the core computes them

// One running Belavo.exe, driven from this process. Each step returns its time
// in ms and throws when the program stops answering (5 s) or shows something wrong.
class Session {
public:
    explicit Session(const std::wstring& exe);
    ~Session();  // WM_CLOSE
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // BM_CLICK on the check button until the result labels are repainted; every label verified.
    double validCheck(const Entries& entries);
    // BM_CLICK until the report naming the error is shown and painted; then OK, and no label changed.
    double invalidCheck(const Entries& entries);
    // The menu command until the dialog is painted, then closed until it is gone and the main window
    // enabled again; by OK, Esc's IDCANCEL or WM_CLOSE as `way` turns.
    double aboutOpenedAndClosed(int way);

    Labels labelsShown() const;
    bool answers() const;
    bool closes();  // WM_CLOSE ends the program with exit code 0
    HANDLE process() const { return app_.handle(); }

private:
    void setEntries(const Entries& entries);
    void settle();
    test::AppProcess app_;
    std::vector<HWND> labels_;
    Labels shown_;
};

}  // namespace belavo::bench
