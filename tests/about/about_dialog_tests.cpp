// The About dialog in this process over a window of the test, with a helper thread pressing its buttons, on
// registry keys and a temporary folder of the test's own: nothing of the machine changes. A recording program
// stands in for the viewer and the browser. The real Belavo.exe opens and closes it in app_tests.
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

// Sets a string value, terminated or not (a character after it stops the registry adding one); none deletes it.
void set(const std::wstring& key, const wchar_t* name, const std::optional<std::wstring>& value,
         HKEY root = HKEY_LOCAL_MACHINE, bool terminated = false) {
    if (!value) RegDeleteKeyValueW(root, key.c_str(), name);
    else RegSetKeyValueW(root, key.c_str(), name, REG_SZ, (*value + (terminated ? L'\0' : L'?')).c_str(),
                         static_cast<DWORD>((value->size() + terminated) * sizeof(wchar_t)));
}

class AboutDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const auto& [root, name] : {std::pair{HKEY_LOCAL_MACHINE, L"\\HKLM"}, {HKEY_CLASSES_ROOT, L"\\HKCR"}}) {
            HKEY key = nullptr;
            ASSERT_EQ(RegCreateKeyW(HKEY_CURRENT_USER, (sandbox + name).c_str(), &key), ERROR_SUCCESS);
            ASSERT_EQ(RegOverridePredefKey(root, key), ERROR_SUCCESS) << "the machine's own keys would be written";
            RegCloseKey(key);
        }
        fs::create_directories(folder);
        SetEnvironmentVariableW(L"BELAVO_RECORDER_LOG", log.c_str());
    }
    ~AboutDialogTest() override {
        RegOverridePredefKey(HKEY_LOCAL_MACHINE, nullptr);
        RegOverridePredefKey(HKEY_CLASSES_ROOT, nullptr);
        RegDeleteTreeW(HKEY_CURRENT_USER, sandbox.c_str());
        std::error_code ignored;
        fs::remove_all(folder, ignored);
        DestroyWindow(owner);
    }

    // Opens the dialog on this thread while `drive` works on it from a helper
    // thread, then presses OK if `drive` left it open. False when none appeared.
    template <class Drive>
    bool runDialog(Drive drive) {
        HWND dialog = nullptr;
        std::thread helper([&] {
            if (!waitUntil([&] { return (dialog = findWindowOf(GetCurrentProcessId(), kAboutDialogClass)); })) return;
            drive(dialog);
            if (IsWindow(dialog)) PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(cmdOK, BN_CLICKED), 0);
        });
        ui::showAboutDialog(owner);
        helper.join();
        return dialog != nullptr;
    }

    // Clicks `button`; once the recording program has started or a message box came and was closed, a line
    // "its path<TAB>its command line" for each start of it.
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
    const std::wstring recorder = [] {
        wchar_t self[MAX_PATH]{};
        GetModuleFileNameW(nullptr, self, MAX_PATH);
        return fs::path(self).replace_filename(L"about_recorder.exe").wstring();
    }();
    // A plain top-level window that opens the dialog, as the main window does.
    const HWND owner = CreateWindowExW(0, L"STATIC", L"Owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 140, 90, 560, 440,
                                       nullptr, nullptr, nullptr, nullptr);
};

// Each link button has the shell open the address its caption shows, the mail address as a mailto: one. Under
// Wine the shell takes the browser from HKEY_CLASSES_ROOT; on Windows it is the user's own choice, which no test
// may change.
TEST_F(AboutDialogTest, EachLinkButtonOpensTheAddressItShows) {
    if (!GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version"))
        GTEST_SKIP() << "outside Wine the browser is the user's choice";
    for (const std::wstring scheme : {L"https", L"mailto"})
        set(scheme + L"\\shell\\open\\command", nullptr, L"\"" + recorder + L"\" \"%1\"", HKEY_CLASSES_ROOT);
    EXPECT_TRUE(runDialog([&](HWND dialog) {
        for (const auto& [button, scheme] : {std::pair{Command1, L""}, {Command2, L"mailto:"}}) {
            const std::wstring caption = textOf(GetDlgItem(dialog, button));
            const std::wstring address = scheme + caption.substr(caption.find(L": ") + 2);
            EXPECT_EQ(click(dialog, button), recorder + L"\t\"" + recorder + L"\" \"" + address + L"\"\n");
        }
    }));
}

// The viewer's first place is taken as it stands; the second counts only when the first is absent and a
// search for plain files finds the viewer. A path that is not fully qualified would run the current folder's
// (or the current drive's): only a drive with a separator after its colon, or two separators, qualify fully.
TEST_F(AboutDialogTest, TheViewerStartsFromThePlaceTheRegistryNames) {
    const std::wstring base = folder.wstring() + L"\\", other = base + L"other\\MSINFO32.EXE",
                       spaced = base + L"My Tools\\MSINFO32.EXE", hidden = base + L"hidden\\MSINFO32.EXE",
                       odd = base.substr(0, 2) + L'/' + base.substr(3) + L"here/../other/MSINFO32.EXE";
    for (const std::wstring& file : {other, spaced, hidden, base + L"here\\MSINFO32.EXE"}) {
        fs::create_directories(fs::path(file).parent_path());
        fs::copy_file(recorder, file);
    }
    SetFileAttributesW(hidden.c_str(), FILE_ATTRIBUTE_HIDDEN);
    const struct {
        const char* name;
        std::optional<std::wstring> first, second;
        std::wstring started;  // "" for the message
        std::wstring given = started;  // the path as the command line names it
        bool terminated = false;  // the terminator within the values' size
    } cases[] = {
        {"the second place's folder", {}, base + L"other", other},
        {"more than 1024 bytes count as absent", std::wstring(1100, L'x'), base + L"other", other},
        {"a quoted path with spaces, terminated", L"\"" + spaced + L"\"", {}, spaced, spaced, true},
        {"no data at all", L"", base + L"other", L""},
        {"a relative path", L"MSINFO32.EXE", base + L"other", L""},
        {"a drive-relative path", base.substr(0, 2) + L"MSINFO32.EXE", {}, L""},
        {"a root-relative path", base.substr(2) + L"other\\MSINFO32.EXE", {}, L""},
        {"forward slashes and dot segments", odd, {}, other, odd},
        {"a hidden viewer", {}, base + L"hidden", L""},
    };
    const fs::path current = fs::current_path();
    fs::current_path(base + L"here");
    EXPECT_TRUE(runDialog([&](HWND dialog) {
        for (const auto& c : cases) {
            SCOPED_TRACE(c.name);
            set(L"SOFTWARE\\Microsoft\\Shared Tools\\MSINFO", L"PATH", c.first, HKEY_LOCAL_MACHINE, c.terminated);
            set(L"SOFTWARE\\Microsoft\\Shared Tools Location", L"MSINFO", c.second, HKEY_LOCAL_MACHINE, c.terminated);
            // The path as put together, quoted: nothing of it can be taken as arguments.
            EXPECT_EQ(click(dialog, cmdSysInfo), c.started.empty() ? L"" : c.started + L"\t\"" + c.given + L"\"\n");
        }
    }));
    fs::current_path(current);
}

// Where the top-level window made on this thread was created, as a WH_CBT hook sees it.
RECT created{};
LRESULT CALLBACK noteCreation(int code, WPARAM wParam, LPARAM lParam) {
    const CREATESTRUCTW* window = code == HCBT_CREATEWND ? reinterpret_cast<CBT_CREATEWNDW*>(lParam)->lpcs : nullptr;
    if (window && !(window->style & WS_CHILD)) created = {window->x, window->y, window->x + window->cx, window->y + window->cy};
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// The dialog is created where it shows, centred over its owner (it is built for the owner's monitor), and closing
// frees the fonts it made for its controls. (Its icons come from Belavo.exe's resources: the GDI count in the real
// program follows them.)
TEST_F(AboutDialogTest, IsCreatedCentredOverItsOwnerAndFreesItsFontsOnClosing) {
    const HHOOK hook = SetWindowsHookExW(WH_CBT, noteCreation, nullptr, GetCurrentThreadId());
    RECT shown{}, over;
    GetWindowRect(owner, &over);
    std::vector<HGDIOBJ> fonts;
    EXPECT_TRUE(runDialog([&](HWND dialog) {
        GetWindowRect(dialog, &shown);
        for (HWND control = GetWindow(dialog, GW_CHILD); control; control = GetWindow(control, GW_HWNDNEXT))
            fonts.push_back(reinterpret_cast<HGDIOBJ>(SendMessageW(control, WM_GETFONT, 0, 0)));
    }));
    UnhookWindowsHookEx(hook);
    EXPECT_TRUE(EqualRect(&created, &shown));
    EXPECT_NEAR(created.left + created.right, over.left + over.right, 1);
    EXPECT_NEAR(created.top + created.bottom, over.top + over.bottom, 1);
    for (HGDIOBJ font : fonts) EXPECT_EQ(GetObjectType(font), 0u);
}

}  // namespace
}  // namespace belavo::test
