// The About dialog opened in this process over a window of the test, with a helper thread pressing its
// keys and buttons the way a person does. The registry's machine keys are redirected to a key of the
// test's own and files go to a temporary folder of its own: nothing of the machine changes. A recording
// program stands in for the viewer, the browser and the mail program.
#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <stdexcept>
#include <thread>

#include "about_dialog.hpp"
#include "about_dialog_ids.hpp"
#include "text.hpp"
#include "ui_driver.hpp"

namespace belavo::test {
namespace {

using namespace belavo::ui::about;
namespace fs = std::filesystem;

class AboutDialogTest : public ::testing::Test {
protected:
    // Were a key left as it is, a test would write the machine's own.
    AboutDialogTest() {
        for (const auto& [root, name] : {std::pair{HKEY_LOCAL_MACHINE, L"\\HKLM"}, {HKEY_CLASSES_ROOT, L"\\HKCR"}}) {
            HKEY key = nullptr;
            RegCreateKeyExW(HKEY_CURRENT_USER, (sandbox + name).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                            nullptr);
            const bool redirected = key && RegOverridePredefKey(root, key) == ERROR_SUCCESS;
            RegCloseKey(key);
            if (!redirected) throw std::runtime_error("cannot redirect the machine's registry keys");
        }
        fs::create_directories(folder);
        SetEnvironmentVariableW(L"BELAVO_RECORDER_LOG", (folder / L"starts.log").c_str());
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
    bool runDialog(const std::function<void(HWND dialog)>& drive) {
        std::atomic<bool> returned{false};
        HWND dialog = nullptr;
        std::thread helper([&] {
            waitUntil([&] { return returned || (dialog = findWindowOf(GetCurrentProcessId(), kAboutDialogClass)); });
            if (!dialog) return;
            waitUntil([&] { return focusIn(dialog) == GetDlgItem(dialog, cmdOK); });
            drive(dialog);
            if (IsWindow(dialog)) PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(cmdOK, BN_CLICKED), 0);
        });
        ui::showAboutDialog(owner);
        returned = true;
        helper.join();
        return dialog != nullptr;
    }

    // Every start of the recording program so far: "its path<TAB>its command line".
    std::vector<std::wstring> starts() const {
        std::ifstream in(folder / L"starts.log", std::ios::binary);
        const std::string bytes{std::istreambuf_iterator<char>(in), {}};
        std::wstring text(bytes.size() / sizeof(wchar_t), L'\0');
        bytes.copy(reinterpret_cast<char*>(text.data()), text.size() * sizeof(wchar_t));
        std::vector<std::wstring> lines;
        for (size_t end; (end = text.find(L'\n')) != std::wstring::npos; text.erase(0, end + 1))
            lines.push_back(text.substr(0, end));
        return lines;
    }

    const std::wstring sandbox = L"Software\\Belavo tests " + std::to_wstring(GetCurrentProcessId());
    const fs::path folder = fs::temp_directory_path() / (L"belavo-about-" + std::to_wstring(GetCurrentProcessId()));
    const std::wstring recorder = [] {
        wchar_t self[MAX_PATH]{};
        GetModuleFileNameW(nullptr, self, MAX_PATH);
        return fs::path(self).replace_filename(L"about_recorder.exe").wstring();
    }();
    // A plain top-level window that opens the dialog, as the main window does.
    const HWND owner = CreateWindowExW(0, L"STATIC", L"Owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 140, 90, 560, 440,
                                       nullptr, nullptr, nullptr, nullptr);
};

// REG_NONE stands for no value at all.
struct Setting {
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
};
Setting text(const std::wstring& value, bool terminated = true) {
    const auto* first = reinterpret_cast<const BYTE*>(value.c_str());
    return {REG_SZ, {first, first + (value.size() + terminated) * sizeof(wchar_t)}};
}
void set(HKEY root, const std::wstring& key, const wchar_t* name, const Setting& value) {
    if (value.type == REG_NONE) RegDeleteKeyValueW(root, key.c_str(), name);
    else RegSetKeyValueW(root, key.c_str(), name, value.type, value.data.data(), static_cast<DWORD>(value.data.size()));
}
const std::wstring kPathKey = L"SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
const std::wstring kFolderKey = L"SOFTWARE\\Microsoft\\Shared Tools Location";

// Each closes the dialog and gives the opener back its input; a quit request
// that arrives meanwhile reaches the application's loop afterwards.
TEST_F(AboutDialogTest, ClosesByEveryRouteAndGivesTheOwnerBackItsInput) {
    static const DWORD thread = GetCurrentThreadId();
    const std::pair<const char*, void (*)(HWND)> routes[] = {
        {"a click on OK", [](HWND dialog) { click(GetDlgItem(dialog, cmdOK)); }},
        {"Enter", [](HWND) { pressKeys({VK_RETURN}); }},
        {"Esc", [](HWND) { pressKeys({VK_ESCAPE}); }},
        {"Alt+O", [](HWND) { pressKeys({VK_MENU, 'O'}); }},
        {"the close box", [](HWND dialog) { clickCloseBox(dialog); }},
        {"a quit request", [](HWND) { PostThreadMessageW(thread, WM_QUIT, 42, 0); }},
    };
    for (const auto& [name, close] : routes) {
        SCOPED_TRACE(name);
        bool disabledWhileOpen = false, closed = false;
        ASSERT_TRUE(runDialog([&](HWND dialog) {
            disabledWhileOpen = !IsWindowEnabled(owner);
            bringToFront(dialog);
            close(dialog);
            closed = waitUntil([&] { return !IsWindow(dialog); }, 3000);
        }));
        EXPECT_TRUE(disabledWhileOpen);
        EXPECT_TRUE(closed);
        EXPECT_TRUE(IsWindowEnabled(owner));
        EXPECT_TRUE(waitUntil([&] { return GetForegroundWindow() == owner; }, 2000));
        MSG quit{};
        EXPECT_EQ(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) && quit.wParam == 42,
                  std::string(name) == "a quit request");
    }
}

// The shell's "open" of the address after the caption's ": ", which runs the
// program registered for web and mail addresses.
TEST_F(AboutDialogTest, LinkButtonsOpenTheAddressesTheyShow) {
    if (!GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version"))
        GTEST_SKIP() << "Windows picks the browser by the user's choice, not by HKEY_CLASSES_ROOT alone";
    for (const wchar_t* scheme : {L"http", L"https", L"mailto"}) {
        set(HKEY_CLASSES_ROOT, scheme + std::wstring(L"\\shell\\open\\command"), nullptr,
            text(L"\"" + recorder + L"\" \"%1\""));
    }
    for (const auto& [button, scheme] : {std::pair{Command1, L""}, {Command2, L"mailto:"}}) {
        SCOPED_TRACE(button);
        std::wstring caption;
        bool stayedOpen = false;
        ASSERT_TRUE(runDialog([&](HWND dialog) {
            caption = textOf(GetDlgItem(dialog, button));
            bringToFront(dialog);
            click(GetDlgItem(dialog, button));
            waitUntil([&] { return !starts().empty(); }, 10000);
            stayedOpen = IsWindowVisible(dialog);
        }));
        const std::wstring address = scheme + caption.substr(caption.find(L": ") + 2);
        EXPECT_EQ(starts(), std::vector<std::wstring>{recorder + L"\t\"" + recorder + L"\" \"" + address + L"\""});
        EXPECT_TRUE(stayedOpen);
        fs::remove(folder / L"starts.log");
    }
}

TEST_F(AboutDialogTest, GetKeyValueReadsEachKindOfValue) {
    const auto read = [](std::string& value) {
        return ui::AboutDialog::GetKeyValue(HKEY_LOCAL_MACHINE, win32::toAnsi(kPathKey), "PATH", value);
    };
    const struct {
        const char* name;
        Setting value;
        bool found;
        std::string expected;  // it held "before" on entry
    } cases[] = {
        {"text", text(L"C:\\Tools\\Viewer.exe"), true, "C:\\Tools\\Viewer.exe"},
        {"text without a terminator", text(L"abc", false), true, "abc"},
        {"text up to a terminator", text(std::wstring(L"ab\0cd", 5)), true, "ab"},
        {"only a terminator", text(L""), true, ""},
        {"1023 characters and a terminator: 1024 bytes", text(std::wstring(1023, L'a')), true, std::string(1023, 'a')},
        {"1024 characters and a terminator: too large", text(std::wstring(1024, L'a')), false, ""},
        {"expandable text is left alone", {REG_EXPAND_SZ, text(L"%SystemRoot%").data}, true, "before"},
        {"a double word in decimal", {REG_DWORD, {0x78, 0x56, 0x34, 0x12}}, true, "305419896"},
        {"no value", {}, false, ""},
        // 表 has a backslash as its second byte in Shift-JIS.
        {"double-byte text", text(L"C:\\表示"), true, win32::toAnsi(L"C:\\表示")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        set(HKEY_LOCAL_MACHINE, kPathKey, L"PATH", c.value);
        std::string value = "before";
        EXPECT_EQ(read(value), c.found);
        EXPECT_EQ(value, c.expected);
    }
    set(HKEY_LOCAL_MACHINE, kPathKey, L"PATH", {REG_SZ, {}});
    std::string value;
    EXPECT_THROW(read(value), std::invalid_argument);
}

// The first place is taken as it stands and, when it fails, the second is not
// tried; the second counts only when a search for plain files finds the viewer.
// Only a full path counts: a relative one would run what lies in the current folder.
TEST_F(AboutDialogTest, SystemInformationStartsTheViewerFoundThroughTheRegistry) {
    const std::wstring base = folder.wstring() + L"\\", viewer = base + L"viewer\\MSINFO32.EXE",
                       other = base + L"other\\MSINFO32.EXE", spaced = base + L"My Tools\\MSINFO32.EXE",
                       japanese = base + L"表示\\MSINFO32.EXE", hidden = base + L"hidden\\MSINFO32.EXE";
    // My.exe is what the path with spaces would start if it were split at its space.
    for (const std::wstring& file : {viewer, other, spaced, japanese, hidden, base + L"here\\MSINFO32.EXE",
                                     base + L"here\\Tools\\MSINFO32.EXE", base + L"My.exe"}) {
        fs::create_directories(fs::path(file).parent_path());
        fs::copy_file(recorder, file);
    }
    SetFileAttributesW(hidden.c_str(), FILE_ATTRIBUTE_HIDDEN);
    const Setting otherFolder = text(base + L"other");
    const struct {
        const char* name;
        Setting first, second;
        std::wstring started;  // "" for the message
    } cases[] = {
        {"the first place wins", text(viewer), otherFolder, viewer},
        {"the second place's folder", {}, otherFolder, other},
        {"a folder ending in a backslash", {}, text(base + L"other\\"), base + L"other\\\\MSINFO32.EXE"},
        {"more than 1024 bytes count as absent", text(std::wstring(1100, L'x')), otherFolder, other},
        {"a path with spaces", text(spaced), {}, spaced},
        {"a folder with spaces", {}, text(base + L"My Tools"), spaced},
        {"a quoted path with spaces", text(L"\"" + spaced + L"\""), {}, spaced},
        {"a quoted folder with spaces", {}, text(L"\"" + base + L"My Tools\""), spaced},
        {"double-byte characters", text(japanese), {}, GetACP() == 932 ? japanese : L""},
        {"a missing file", text(base + L"viewer\\MISSING.EXE"), otherFolder, L""},
        {"no data at all", {REG_SZ, {}}, otherFolder, L""},
        {"a relative path", text(L"MSINFO32.EXE"), otherFolder, L""},
        {"a relative folder", {}, text(L"Tools"), L""},
        {"no place at all", {}, {}, L""},
        {"a hidden viewer", {}, text(base + L"hidden"), L""},
    };
    const fs::path current = fs::current_path();
    fs::current_path(base + L"here");
    EXPECT_TRUE(runDialog([&](HWND dialog) {
        for (const auto& c : cases) {
            SCOPED_TRACE(c.name);
            set(HKEY_LOCAL_MACHINE, kPathKey, L"PATH", c.first);
            set(HKEY_LOCAL_MACHINE, kFolderKey, L"MSINFO", c.second);
            const size_t before = starts().size();
            PostMessageW(GetDlgItem(dialog, cmdSysInfo), BM_CLICK, 0, 0);
            waitUntil([&] { return starts().size() > before || findWindowOf(GetCurrentProcessId(), L"#32770"); });
            const auto box = waitForMessageBox(GetCurrentProcessId(), 0);
            EXPECT_EQ(box ? box->title + L": " + box->text : L"",
                      c.started.empty() ? L"Belavo: ｼｽﾃﾑ情報をｵｰﾌﾟﾝ出来ませんでした" : L"");
            if (box) pressOk(box->window);
            const std::vector<std::wstring> all = starts();
            ASSERT_EQ(all.size() - before, c.started.empty() ? 0u : 1u);
            if (c.started.empty()) continue;
            const size_t tab = all.back().find(L'\t');
            EXPECT_TRUE(fs::equivalent(all.back().substr(0, tab), c.started)) << all.back();
            // The path as put together, quoted: nothing of it can be taken as arguments.
            EXPECT_EQ(all.back().substr(tab + 1), L"\"" + c.started + L"\"");
        }
    }));
    fs::current_path(current);
}

}  // namespace
}  // namespace belavo::test
