// The About dialog in the real Belavo.exe, and in this process over a window of the test with a helper
// thread pressing its buttons, on registry keys and a temporary folder of the test's own: nothing of the
// machine changes. A recording program stands in for the viewer and the browser.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <thread>

#include "about_dialog.hpp"
#include "about_dialog_ids.hpp"
#include "ui_driver.hpp"

namespace belavo::test {
namespace {

using namespace belavo::ui::about;
namespace fs = std::filesystem;

// Each way of closing gives the main window back its input; a quit request meanwhile ends the program.
TEST(AboutInBelavo, OpensFromTheMenuOverADisabledMainWindowAndCloses) {
    AppProcess app;
    const std::pair<const char*, void (*)(HWND)> routes[] = {
        {"Esc", [](HWND) { pressKeys({VK_ESCAPE}); }},
        {"the close box (Alt+F4)", [](HWND) { pressKeys({VK_MENU, VK_F4}); }},
        {"a quit request",
         [](HWND dialog) { PostThreadMessageW(GetWindowThreadProcessId(dialog, nullptr), WM_QUIT, 0, 0); }},
    };
    for (const auto& [name, close] : routes) {
        SCOPED_TRACE(name);
        bringToFront(app.mainWindow());
        pressKeys({VK_MENU, 'V'});
        HWND dialog = nullptr;
        ASSERT_TRUE(waitUntil([&] { return (dialog = findWindowOf(app.id(), kAboutDialogClass)); }));
        EXPECT_FALSE(IsWindowEnabled(app.mainWindow()));
        bringToFront(dialog);
        close(dialog);
        EXPECT_TRUE(
            waitUntil([&] { return !IsWindow(dialog) && (IsWindowEnabled(app.mainWindow()) || !app.running()); }));
    }
    EXPECT_TRUE(app.waitForExit());
}

// Sets a string value without a terminator (a character after it stops the registry adding one); none deletes it.
void set(const std::wstring& key, const wchar_t* name, const std::optional<std::wstring>& value,
         HKEY root = HKEY_LOCAL_MACHINE) {
    if (!value) RegDeleteKeyValueW(root, key.c_str(), name);
    else RegSetKeyValueW(root, key.c_str(), name, REG_SZ, (*value + L'?').c_str(),
                         static_cast<DWORD>(value->size() * sizeof(wchar_t)));
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

    // A line "its path<TAB>its command line" for each start of the recording
    // program since the log was last removed.
    std::wstring starts() const {
        std::wstring text(fs::exists(log) ? fs::file_size(log) / sizeof(wchar_t) : 0, L'\0');
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

// The home page button has the shell open the address its caption shows. Under Wine the shell takes the
// browser from HKEY_CLASSES_ROOT; on Windows it is the user's own choice, which no test may change.
TEST_F(AboutDialogTest, TheHomePageButtonOpensTheAddressItShows) {
    if (!GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version"))
        GTEST_SKIP() << "outside Wine the browser is the user's choice";
    set(L"https\\shell\\open\\command", nullptr, L"\"" + recorder + L"\" \"%1\"", HKEY_CLASSES_ROOT);
    EXPECT_TRUE(runDialog([&](HWND dialog) {
        const std::wstring caption = textOf(GetDlgItem(dialog, Command1));
        PostMessageW(GetDlgItem(dialog, Command1), BM_CLICK, 0, 0);
        const std::wstring address = caption.substr(caption.find(L": ") + 2);
        EXPECT_TRUE(
            waitUntil([&] { return starts() == recorder + L"\t\"" + recorder + L"\" \"" + address + L"\"\n"; }, 10000));
    }));
}

// The viewer's first place is taken as it stands; the second counts only when the first is absent and a
// search for plain files finds the viewer. A relative path would run the current folder's.
TEST_F(AboutDialogTest, TheViewerStartsFromThePlaceTheRegistryNames) {
    const std::wstring base = folder.wstring() + L"\\", other = base + L"other\\MSINFO32.EXE",
                       spaced = base + L"My Tools\\MSINFO32.EXE", hidden = base + L"hidden\\MSINFO32.EXE";
    // My.exe is what the path with spaces would start if it were split at its space.
    for (const std::wstring& file : {other, spaced, hidden, base + L"here\\MSINFO32.EXE", base + L"My.exe"}) {
        fs::create_directories(fs::path(file).parent_path());
        fs::copy_file(recorder, file);
    }
    SetFileAttributesW(hidden.c_str(), FILE_ATTRIBUTE_HIDDEN);
    const struct {
        const char* name;
        std::optional<std::wstring> first, second;
        std::wstring started;  // "" for the message
    } cases[] = {
        {"the second place's folder", {}, base + L"other", other},
        {"more than 1024 bytes count as absent", std::wstring(1100, L'x'), base + L"other", other},
        {"a quoted path with spaces", L"\"" + spaced + L"\"", {}, spaced},
        {"no data at all", L"", base + L"other", L""},
        {"a relative path", L"MSINFO32.EXE", base + L"other", L""},
        {"a hidden viewer", {}, base + L"hidden", L""},
    };
    const fs::path current = fs::current_path();
    fs::current_path(base + L"here");
    EXPECT_TRUE(runDialog([&](HWND dialog) {
        for (const auto& c : cases) {
            SCOPED_TRACE(c.name);
            set(L"SOFTWARE\\Microsoft\\Shared Tools\\MSINFO", L"PATH", c.first);
            set(L"SOFTWARE\\Microsoft\\Shared Tools Location", L"MSINFO", c.second);
            fs::remove(log);
            PostMessageW(GetDlgItem(dialog, cmdSysInfo), BM_CLICK, 0, 0);
            waitUntil([&] { return !starts().empty() || findWindowOf(GetCurrentProcessId(), L"#32770"); });
            const auto box = waitForMessageBox(GetCurrentProcessId(), 0);
            if (box) pressOk(box->window);
            // The path as put together, quoted: nothing of it can be taken as arguments.
            EXPECT_EQ(starts(), c.started.empty() ? L"" : c.started + L"\t\"" + c.started + L"\"\n");
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

// The dialog is created where it shows, centred over its owner: it is built for the owner's monitor.
TEST_F(AboutDialogTest, IsCreatedWhereItShowsCentredOverItsOwner) {
    const HHOOK hook = SetWindowsHookExW(WH_CBT, noteCreation, nullptr, GetCurrentThreadId());
    RECT shown{}, over;
    GetWindowRect(owner, &over);
    EXPECT_TRUE(runDialog([&](HWND dialog) { GetWindowRect(dialog, &shown); }));
    UnhookWindowsHookEx(hook);
    EXPECT_TRUE(EqualRect(&created, &shown));
    EXPECT_NEAR(created.left + created.right, over.left + over.right, 1);
    EXPECT_NEAR(created.top + created.bottom, over.top + over.bottom, 1);
}

}  // namespace
}  // namespace belavo::test
