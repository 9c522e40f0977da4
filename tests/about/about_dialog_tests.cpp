// The About dialog in this process over a window of the test, a helper thread pressing its buttons, on registry
// keys and a temporary folder of its own (nothing of the machine changes); this program stands in for the browser.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <thread>
#include <vector>

#include "about_dialog.hpp"
#include "about_dialog_ids.hpp"
#include "ui_driver.hpp"

namespace belavo::test {
namespace {

using namespace belavo::ui::about;
namespace fs = std::filesystem;

// Started in place of the browser or the viewer (a log named in the environment): notes "its path<TAB>its
// command line" there in UTF-16 and ends, with a code that no run of the tests ends with.
[[maybe_unused]] const bool recorded = [] {
    wchar_t log[MAX_PATH]{}, self[MAX_PATH]{};
    if (!GetEnvironmentVariableW(L"BELAVO_RECORDER_LOG", log, MAX_PATH)) return false;
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    const std::wstring line = std::wstring(self) + L"\t" + GetCommandLineW() + L"\n";
    std::ofstream(log, std::ios::binary | std::ios::app)
        .write(reinterpret_cast<const char*>(line.data()), line.size() * sizeof(wchar_t));
    ExitProcess(3);
}();

// Sets a string value, terminated or not (a character after it stops the registry adding one); none deletes it.
void set(const std::wstring& key, const wchar_t* name, const std::optional<std::wstring>& value,
         HKEY root = HKEY_LOCAL_MACHINE, bool terminated = false) {
    if (!value) RegDeleteKeyValueW(root, key.c_str(), name);
    else RegSetKeyValueW(root, key.c_str(), name, REG_SZ, (*value + (terminated ? L'\0' : L'?')).c_str(),
                         static_cast<DWORD>((value->size() + terminated) * sizeof(wchar_t)));
}

// Where the first top-level window made on this thread was created, as a WH_CBT hook sees it.
RECT created{};
LRESULT CALLBACK noteCreation(int code, WPARAM wParam, LPARAM lParam) {
    const CREATESTRUCTW* w = code == HCBT_CREATEWND ? reinterpret_cast<CBT_CREATEWNDW*>(lParam)->lpcs : nullptr;
    if (w && !(w->style & WS_CHILD) && IsRectEmpty(&created)) created = {w->x, w->y, w->x + w->cx, w->y + w->cy};
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

class AboutDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        HKEY key = nullptr;  // both roots in one: their keys do not meet
        ASSERT_EQ(RegCreateKeyW(HKEY_CURRENT_USER, sandbox.c_str(), &key), ERROR_SUCCESS);
        for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CLASSES_ROOT})
            ASSERT_EQ(RegOverridePredefKey(root, key), ERROR_SUCCESS) << "the machine's own keys would be written";
        RegCloseKey(key);
        fs::create_directories(folder);
        SetEnvironmentVariableW(L"BELAVO_RECORDER_LOG", log.c_str());
    }
    ~AboutDialogTest() override {
        for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CLASSES_ROOT}) RegOverridePredefKey(root, nullptr);
        RegDeleteTreeW(HKEY_CURRENT_USER, sandbox.c_str());
        std::error_code ignored;
        fs::remove_all(folder, ignored);
    }

    // Clicks `button`: a line "path<TAB>command line" per recording start, once one started or a box was closed.
    std::wstring click(HWND dialog, int button) const {
        fs::remove(log);
        PostMessageW(GetDlgItem(dialog, button), BM_CLICK, 0, 0);
        const auto size = [&] { return fs::exists(log) ? fs::file_size(log) / sizeof(wchar_t) : 0; };
        waitUntil([&] { return size() || findWindowOf(GetCurrentProcessId(), L"#32770"); }, 10000);
        if (const auto box = waitForMessageBox(GetCurrentProcessId(), 0)) pressOk(box->window);
        std::wstring text(size(), L'\0');
        std::ifstream(log, std::ios::binary).read(reinterpret_cast<char*>(text.data()), text.size() * sizeof(wchar_t));
        return text;
    }

    const std::wstring sandbox = L"Software\\Belavo tests " + std::to_wstring(GetCurrentProcessId());
    const fs::path folder = fs::temp_directory_path() / (L"belavo-about-" + std::to_wstring(GetCurrentProcessId()));
    const fs::path log = folder / L"starts.log";
};

// One opening: the dialog is created where it shows, centred over its owner, and each link button has the shell
// open the address its caption shows, the mail address as a mailto: one. The viewer's first place is taken as it
// stands; the second counts only when the first is absent and a search for plain files finds the viewer (a copy
// of this program). Only a drive with a separator after its colon, or two separators, qualify a path fully; any
// other would run the current folder's or drive's. Closing frees the fonts made for the controls.
TEST_F(AboutDialogTest, StartsWhatItsButtonsNameFromItsCentredPlaceAndFreesItsFonts) {
    wchar_t self[MAX_PATH]{};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    const std::wstring recorder = self, base = folder.wstring() + L"\\", other = base + L"other\\MSINFO32.EXE",
                       spaced = base + L"My Tools\\MSINFO32.EXE", hidden = base + L"hidden\\MSINFO32.EXE";
    for (const std::wstring& file : {other, spaced, hidden, base + L"here\\MSINFO32.EXE"}) {
        fs::create_directories(fs::path(file).parent_path());
        fs::copy_file(recorder, file);
    }
    SetFileAttributesW(hidden.c_str(), FILE_ATTRIBUTE_HIDDEN);
    const struct {
        const char* name;
        std::optional<std::wstring> first, second;
        std::wstring started;  // "" for the message
        bool terminated = false;  // the terminator within the values' size
    } cases[] = {
        {"the second place's folder", {}, base + L"other", other},
        {"more than 1024 bytes count as absent", std::wstring(1100, L'x'), base + L"other", other},
        {"a quoted path with spaces, terminated", L"\"" + spaced + L"\"", {}, spaced, true},
        {"no data at all", L"", base + L"other", L""},
        {"a relative path", L"MSINFO32.EXE", base + L"other", L""},
        {"a drive-relative path", base.substr(0, 2) + L"MSINFO32.EXE", {}, L""},
        {"a root-relative path", base.substr(2) + L"other\\MSINFO32.EXE", {}, L""},
        {"a hidden viewer", {}, base + L"hidden", L""},
    };
    for (const std::wstring scheme : {L"https", L"mailto"})
        set(scheme + L"\\shell\\open\\command", nullptr, L"\"" + recorder + L"\" \"%1\"", HKEY_CLASSES_ROOT);
    const fs::path current = fs::current_path();
    fs::current_path(base + L"here");
    const HWND owner = CreateWindowExW(0, L"STATIC", L"Owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 140, 90, 560, 440,
                                       nullptr, nullptr, nullptr, nullptr);
    const HHOOK hook = SetWindowsHookExW(WH_CBT, noteCreation, nullptr, GetCurrentThreadId());
    RECT shown{}, over;
    GetWindowRect(owner, &over);
    std::vector<HGDIOBJ> fonts;
    std::thread helper([&] {
        HWND dialog = nullptr;
        ASSERT_TRUE(waitUntil([&] { return (dialog = findWindowOf(GetCurrentProcessId(), kAboutDialogClass)); }));
        GetWindowRect(dialog, &shown);
        for (HWND control = GetWindow(dialog, GW_CHILD); control; control = GetWindow(control, GW_HWNDNEXT))
            fonts.push_back(reinterpret_cast<HGDIOBJ>(SendMessageW(control, WM_GETFONT, 0, 0)));
        for (const auto& [button, scheme] : {std::pair{Command1, L""}, {Command2, L"mailto:"}}) {
            // On Windows the browser is the user's own choice, not a registry key that a test may redirect.
            if (!GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version")) break;
            const std::wstring caption = textOf(GetDlgItem(dialog, button));
            const std::wstring address = scheme + caption.substr(caption.find(L": ") + 2);
            EXPECT_EQ(click(dialog, button), recorder + L"\t\"" + recorder + L"\" \"" + address + L"\"\n");
        }
        for (const auto& c : cases) {
            SCOPED_TRACE(c.name);
            set(L"SOFTWARE\\Microsoft\\Shared Tools\\MSINFO", L"PATH", c.first, HKEY_LOCAL_MACHINE, c.terminated);
            set(L"SOFTWARE\\Microsoft\\Shared Tools Location", L"MSINFO", c.second, HKEY_LOCAL_MACHINE, c.terminated);
            // The path as put together, quoted: nothing of it can be taken as arguments.
            EXPECT_EQ(click(dialog, cmdSysInfo), c.started.empty() ? L"" : c.started + L"\t\"" + c.started + L"\"\n");
        }
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(cmdOK, BN_CLICKED), 0);
    });
    ui::showAboutDialog(owner);
    helper.join();
    UnhookWindowsHookEx(hook);
    DestroyWindow(owner);
    fs::current_path(current);
    EXPECT_TRUE(EqualRect(&created, &shown));
    EXPECT_NEAR(created.left + created.right, over.left + over.right, 1);
    EXPECT_NEAR(created.top + created.bottom, over.top + over.bottom, 1);
    for (HGDIOBJ font : fonts) EXPECT_EQ(GetObjectType(font), 0u);
}

}  // namespace
}  // namespace belavo::test
