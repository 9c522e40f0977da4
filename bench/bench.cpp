#include "bench.hpp"

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "about_dialog_ids.hpp"
#include "assessment.hpp"

namespace belavo::bench {
namespace {

using namespace belavo::ui;
using test::findWindowOf;
using test::textOf;

constexpr DWORD kAnswerMs = 5000;  // longer than this and the program counts as no longer answering

void require(bool holds, const std::string& what) {
    if (!holds) throw std::runtime_error(what);
}

// Polled every millisecond, as finely as the figures are read.
template <class Condition>
bool poll(Condition condition) {
    return test::waitUntil(condition, kAnswerMs, 1);
}

// Sent with a time-out: a program that stops answering fails the run instead of hanging it.
void sendTo(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    DWORD_PTR ignored = 0;
    require(SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, kAnswerMs, &ignored) != 0,
            "Belavo.exe stopped answering");
}

std::vector<HWND> childrenOf(HWND window) {
    std::vector<HWND> children;
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        children.push_back(child);
    return children;
}

// A window and the given children have nothing left to paint.
bool painted(HWND window, const std::vector<HWND>& children) {
    return !GetUpdateRect(window, nullptr, FALSE) &&
           std::none_of(children.begin(), children.end(),
                        [](HWND child) { return GetUpdateRect(child, nullptr, FALSE); });
}

std::string describe(const Entries& entries) {
    return utf8(L"height '" + std::wstring(entries.height) + L"', weight '" + entries.weight + L"'");
}

class RecordingCaption final : public CaptionSink {
public:
    void setCaption(std::u16string_view text) override { text_.assign(text.begin(), text.end()); }
    std::wstring text_;
};

std::u16string u16(const wchar_t* text) {
    const std::wstring wide = text;
    return {wide.begin(), wide.end()};
}

}  // namespace

std::string utf8(const std::wstring& text) {
    std::string bytes(text.size() * 3, '\0');
    bytes.resize(static_cast<std::size_t>(
        WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(),
                            static_cast<int>(bytes.size()), nullptr, nullptr)));
    return bytes;
}

double nowMs() {
    static const double ticksPerMs = [] {
        LARGE_INTEGER frequency;
        QueryPerformanceFrequency(&frequency);
        return static_cast<double>(frequency.QuadPart) / 1000.0;
    }();
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) / ticksPerMs;
}

Summary summarize(std::vector<double> values) {
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

const char* wineVersion() {
    using Getter = const char*(__cdecl*)();
    const auto get = reinterpret_cast<Getter>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version")));
    return get ? get() : nullptr;
}

Labels expectedLabels(const Entries& entries) {
    RecordingCaption bmi, advice, standardWeight, weight, obesity;
    AssessmentResult result;
    assessBody(u16(entries.height), u16(entries.weight), result,
               {bmi, advice, standardWeight, weight, obesity});
    return {bmi.text_, advice.text_, standardWeight.text_, weight.text_, obesity.text_};
}

Session::Session(const std::wstring& exe) : app_(exe) {
    for (int id : kResultLabels) labels_.push_back(app_.control(id));
    shown_ = labelsShown();
}

Session::~Session() {
    PostMessageW(app_.mainWindow(), WM_CLOSE, 0, 0);
    app_.waitForExit();
}

double Session::validCheck(const Entries& entries) {
    setEntries(entries);
    const Labels expected = expectedLabels(entries);
    const double start = nowMs();
    sendTo(app_.control(Command1), BM_CLICK);
    require(poll([&] { return painted(app_.mainWindow(), labels_); }), "the labels were never repainted");
    const double elapsed = nowMs() - start;
    require(!findWindowOf(app_.id(), L"#32770"), describe(entries) + ": an unexpected report");
    shown_ = labelsShown();
    require(shown_ == expected, describe(entries) + ": a result label is wrong");
    return elapsed;
}

double Session::invalidCheck(const Entries& entries) {
    setEntries(entries);
    const double start = nowMs();
    PostMessageW(app_.control(Command1), BM_CLICK, 0, 0);
    HWND box = nullptr;
    std::wstring text;
    require(poll([&] {
                return (box = findWindowOf(app_.id(), L"#32770")) &&
                       !(text = textOf(GetDlgItem(box, 0xFFFF))).empty() && painted(box, childrenOf(box));
            }),
            describe(entries) + ": no error report");
    const double elapsed = nowMs() - start;
    require(text.starts_with(L"実行時エラー '" + std::to_wstring(entries.error) + L"':"),
            describe(entries) + ": the report does not name error " + std::to_string(entries.error));
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(box, IDOK)));
    require(poll([&] { return !IsWindow(box) && IsWindowEnabled(app_.mainWindow()); }),
            "the report did not close");
    require(labelsShown() == shown_, describe(entries) + ": a failed check changed a label");
    return elapsed;
}

double Session::aboutOpenedAndClosed(int way) {
    settle();
    const double start = nowMs();
    PostMessageW(app_.mainWindow(), WM_COMMAND, MAKEWPARAM(verb, 0), 0);
    HWND dialog = nullptr;
    require(poll([&] {
                return (dialog = findWindowOf(app_.id(), about::kAboutDialogClass)) &&
                       painted(dialog, childrenOf(dialog));
            }),
            "the About dialog did not open");
    switch (way % 3) {
    case 0: PostMessageW(GetDlgItem(dialog, about::cmdOK), BM_CLICK, 0, 0); break;
    case 1: PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0); break;
    default: PostMessageW(dialog, WM_CLOSE, 0, 0); break;
    }
    require(poll([&] { return !IsWindow(dialog) && IsWindowEnabled(app_.mainWindow()); }),
            "the About dialog did not close");
    return nowMs() - start;
}

Labels Session::labelsShown() const {
    Labels labels;
    for (HWND label : labels_) labels.push_back(textOf(label));
    return labels;
}

bool Session::answers() const {
    DWORD_PTR ignored = 0;
    return app_.running() &&
           SendMessageTimeoutW(app_.mainWindow(), WM_NULL, 0, 0, SMTO_ABORTIFHUNG, kAnswerMs, &ignored) != 0;
}

bool Session::closes() {
    PostMessageW(app_.mainWindow(), WM_CLOSE, 0, 0);
    DWORD code = 1;
    return app_.waitForExit(kAnswerMs) && GetExitCodeProcess(app_.handle(), &code) && code == 0;
}

void Session::setEntries(const Entries& entries) {
    sendTo(app_.control(Text1), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(entries.height));
    sendTo(app_.control(Text2), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(entries.weight));
    settle();
}

// Whatever the last step left to paint is painted before the clock starts.
void Session::settle() {
    require(poll([&] { return painted(app_.mainWindow(), childrenOf(app_.mainWindow())); }),
            "the main window never settled");
}

}  // namespace belavo::bench
