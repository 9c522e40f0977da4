// GetKeyValue on a key of the test's own; the system information button on the machine's two registry
// places, with the recording program as the viewer. Every value and file is put back afterwards.
#include <gtest/gtest.h>

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "about_dialog.hpp"
#include "about_dialog_ids.hpp"
#include "about_test_support.hpp"
#include "ui_driver.hpp"

namespace belavo::test {
namespace {

using ui::AboutDialog;
using namespace belavo::ui::about;

constexpr UINT kJapaneseCodePage = 932;

std::vector<BYTE> bytesOf(const std::wstring& text, bool terminated = true) {
    const auto* first = reinterpret_cast<const BYTE*>(text.c_str());
    return {first, first + (text.size() + (terminated ? 1 : 0)) * sizeof(wchar_t)};
}

class GetKeyValueTest : public ::testing::Test {
protected:
    ~GetKeyValueTest() override { RegDeleteTreeW(HKEY_CURRENT_USER, keyName.c_str()); }
    void store(DWORD type, const std::vector<BYTE>& data, const std::wstring& sub = L"", PCWSTR value = L"Value") {
        const auto size = static_cast<DWORD>(data.size());
        RegSetKeyValueW(HKEY_CURRENT_USER, (keyName + sub).c_str(), value, type, data.data(), size);
    }
    bool read(std::string& text, const std::string& sub = "", const char* value = "Value") {
        return AboutDialog::GetKeyValue(HKEY_CURRENT_USER, ansiKeyName + sub, value, text);
    }
    const std::wstring keyName = L"Software\\BelavoAboutTests-" + std::to_wstring(GetCurrentProcessId());
    const std::string ansiKeyName{keyName.begin(), keyName.end()};
};

TEST_F(GetKeyValueTest, ReadsEachKindOfValue) {
    const std::wstring a1023(1023, L'a');
    const struct {
        const char* name;
        DWORD type;
        std::vector<BYTE> data;
        bool found;
        std::string text;  // what the caller's text becomes; it held "before" on entry
        bool needsJapanese = false;
    } cases[] = {
        {"text", REG_SZ, bytesOf(L"C:\\Tools\\Viewer.exe"), true, "C:\\Tools\\Viewer.exe"},
        {"text without a terminator", REG_SZ, bytesOf(L"abc", false), true, "abc"},
        {"text that stops at a terminator", REG_SZ, bytesOf(std::wstring(L"ab\0cd", 5)), true, "ab"},
        {"empty text", REG_SZ, bytesOf(L""), true, ""},
        // 表 has a backslash as its second byte in Shift-JIS.
        {"double-byte text", REG_SZ, bytesOf(L"C:\\表示\\ビューア.exe"), true,
         "C:\\\x95\x5c\x8e\xa6\\\x83\x72\x83\x85\x81\x5b\x83\x41.exe", true},
        {"double-byte text without a terminator", REG_SZ, bytesOf(L"表示", false), true, "\x95\x5c\x8e\xa6", true},
        {"1023 characters and a terminator: 1024 bytes", REG_SZ, bytesOf(a1023), true, std::string(1023, 'a')},
        {"1023 characters and no terminator", REG_SZ, bytesOf(a1023, false), true, std::string(1023, 'a')},
        {"1024 characters and a terminator: too large", REG_SZ, bytesOf(std::wstring(1024, L'a')), false, ""},
        {"expandable text is left alone", REG_EXPAND_SZ, bytesOf(L"%SystemRoot%\\msinfo32.exe"), true, "before"},
        {"several texts are left alone", REG_MULTI_SZ, bytesOf(std::wstring(L"a\0b\0", 4)), true, "before"},
        {"binary data is left alone", REG_BINARY, {1, 2, 3}, true, "before"},
        {"a double word is written in decimal", REG_DWORD, {0x78, 0x56, 0x34, 0x12}, true, "305419896"},
    };
    const bool japanese = GetACP() == kJapaneseCodePage;
    for (const auto& value : cases) {
        SCOPED_TRACE(value.name);
        if (value.needsJapanese && !japanese) continue;
        store(value.type, value.data);
        std::string text = "before";
        EXPECT_EQ(read(text), value.found);
        EXPECT_EQ(text, value.text);
    }
    // Windows returns a full buffer without a terminator, Wine refuses it; nothing beyond it is read.
    store(REG_SZ, bytesOf(std::wstring(1024, L'a'), false));
    std::string text = "before";
    EXPECT_EQ(text, read(text) ? std::string(1024, 'a') : "");
    // A missing key or value.
    EXPECT_FALSE(read(text = "stale", "\\Missing"));
    EXPECT_EQ(text, "");
    EXPECT_FALSE(read(text = "stale", "", "Missing"));
    EXPECT_EQ(text, "");
    // A value without data is an error.
    store(REG_SZ, {});
    EXPECT_THROW(read(text), std::invalid_argument);
    if (!japanese) GTEST_SKIP() << "double-byte cases need the Japanese code page; this one is " << GetACP();
}

TEST_F(GetKeyValueTest, ReadsAJapaneseKeyAndValueName) {
    if (GetACP() != kJapaneseCodePage) GTEST_SKIP() << "needs the Japanese code page";
    store(REG_SZ, bytesOf(L"ok"), L"\\表示", L"ソフト");
    std::string text;
    EXPECT_TRUE(read(text, "\\\x95\x5c\x8e\xa6", "\x83\x5c\x83\x74\x83\x67"));
    EXPECT_EQ(text, "ok");
}

// How one of the two registry places is set: REG_NONE for no value at all.
struct Setting {
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
};
Setting textValue(const std::wstring& text, DWORD type = REG_SZ) { return {type, bytesOf(text)}; }
const Setting kAbsent{};

// What a press of the system information button did.
struct Outcome {
    bool dialogOpenAfterwards = false;
    std::wstring message;  // "title: text (buttons, icons)" of a message box
    std::vector<Start> starts;
};

class StartSysInfoTest : public ::testing::Test {
protected:
    StartSysInfoTest() {
        CreateDirectoryW(spacedDir.path().c_str(), nullptr);
        for (const std::wstring& folder : {viewerDir.path(), otherDir.path(), japaneseDir.path(), spacedDir.path()})
            CopyFileW(recorderProgram().c_str(), (folder + L"\\MSINFO32.EXE").c_str(), FALSE);
        // What a path with spaces would start if it were split at its first space;
        // one that was there before is never taken over.
        if (CopyFileW(recorderProgram().c_str(), L"C:\\Program.exe", TRUE)) decoy.emplace(L"C:\\Program.exe");
    }

    static void apply(RegistryValueBackup& place, const Setting& setting) {
        if (setting.type == REG_NONE) return place.remove();
        place.set(setting.type, setting.data.data(), static_cast<DWORD>(setting.data.size()));
    }

    // Sets the two places, presses the button (BM_CLICK unless `press` is given) and answers a message box.
    Outcome press(const Setting& first, const Setting& second, void (*pressButton)(HWND) = nullptr) {
        apply(viewerPath, first);
        apply(viewerFolderPlace, second);
        Outcome outcome;
        OwnerWindow owner;
        RecorderLog log;
        EXPECT_TRUE(runDialog(owner.hwnd(), [&](HWND dialog) {
            bringToFront(dialog);
            if (pressButton) pressButton(dialog);
            else PostMessageW(GetDlgItem(dialog, cmdSysInfo), BM_CLICK, 0, 0);
            HWND box = nullptr;
            waitUntil([&] { return !log.starts().empty() || (box = findWindowOf(GetCurrentProcessId(), L"#32770")); },
                      10000);
            if (box) {
                Sleep(100);
                int icons = 0;
                for (HWND picture : visibleChildren(box, L"Static"))
                    icons += SendMessageW(picture, STM_GETICON, 0, 0) != 0;
                outcome.message = textOf(box) + L": " + textOf(GetDlgItem(box, 0xFFFF)) + L" (" +
                                  std::to_wstring(visibleChildren(box, L"Button").size()) + L", " +
                                  std::to_wstring(icons) + L")";
                pressOk(box);
            }
            Sleep(1500);  // anything the button started has had time to say so
            outcome.dialogOpenAfterwards = IsWindowVisible(dialog);
        }));
        outcome.starts = log.starts();
        return outcome;
    }

    TemporaryPath viewerDir{uniqueTemporaryFolder(L"viewer")}, otherDir{uniqueTemporaryFolder(L"folder")},
        emptyDir{uniqueTemporaryFolder(L"empty")}, japaneseDir{uniqueTemporaryFolder(L"表示ツール")},
        spacedDir{L"C:\\Program Files\\Belavo Viewer " + std::to_wstring(GetCurrentProcessId())};
    std::optional<TemporaryPath> decoy;
    RegistryValueBackup viewerPath{HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Shared Tools\\MSINFO", L"PATH"};
    RegistryValueBackup viewerFolderPlace{HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Shared Tools Location",
                                          L"MSINFO"};
};

// The first place names the viewer; else the second names its folder.
TEST_F(StartSysInfoTest, StartsTheViewerFoundThroughTheRegistry) {
    ASSERT_TRUE(decoy) << "C:\\Program.exe already exists";
    const std::wstring viewer = viewerDir.path() + L"\\MSINFO32.EXE", other = otherDir.path() + L"\\MSINFO32.EXE",
                       spaced = spacedDir.path() + L"\\MSINFO32.EXE", otherPlace = otherDir.path();
    const struct {
        const char* name;
        Setting first, second;
        std::wstring started;
        void (*press)(HWND) = nullptr;
        bool needsJapanese = false;
    } cases[] = {
        {"the first place wins", textValue(viewer), textValue(otherPlace), viewer},
        {"Alt+S presses the button", textValue(viewer), kAbsent, viewer, [](HWND) { pressKeys({VK_MENU, 'S'}); }},
        {"the second place's folder", kAbsent, textValue(otherPlace), other},
        // The file name is joined on as it is: the backslash is doubled.
        {"a folder ending in a backslash", kAbsent, textValue(otherPlace + L"\\"), otherPlace + L"\\\\MSINFO32.EXE"},
        {"more than 1024 bytes count as absent", textValue(std::wstring(1100, L'x')), textValue(otherPlace), other},
        {"a path with spaces in the first place", textValue(spaced), kAbsent, spaced},
        {"a path with spaces in the second place", kAbsent, textValue(spacedDir.path()), spaced},
        {"double-byte characters", textValue(japaneseDir.path() + L"\\MSINFO32.EXE"), kAbsent,
         japaneseDir.path() + L"\\MSINFO32.EXE", nullptr, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.needsJapanese && GetACP() != kJapaneseCodePage) continue;
        const Outcome outcome = press(c.first, c.second, c.press);
        EXPECT_EQ(outcome.message, L"");
        ASSERT_EQ(outcome.starts.size(), 1u);  // and never the decoy
        EXPECT_TRUE(sameFile(outcome.starts[0].program, c.started)) << outcome.starts[0].program;
        // The path as it was put together, quoted: nothing of it can be taken as arguments.
        EXPECT_EQ(outcome.starts[0].commandLine, L"\"" + c.started + L"\"");
        EXPECT_EQ(outcome.starts[0].show, SW_SHOWNORMAL);
        EXPECT_TRUE(outcome.dialogOpenAfterwards);
    }
}

// The first place is used as it stands, so when it fails the second is not
// tried; the second counts only when a search for plain files finds the viewer.
TEST_F(StartSysInfoTest, ShowsTheMessageWhenNoViewerCanBeStarted) {
    CreateDirectoryW((emptyDir.path() + L"\\sub").c_str(), nullptr);
    CreateDirectoryW((emptyDir.path() + L"\\sub\\MSINFO32.EXE").c_str(), nullptr);
    const std::wstring hiddenFolder = emptyDir.path() + L"\\hidden", hiddenViewer = hiddenFolder + L"\\MSINFO32.EXE";
    CreateDirectoryW(hiddenFolder.c_str(), nullptr);
    CopyFileW(recorderProgram().c_str(), hiddenViewer.c_str(), FALSE);
    SetFileAttributesW(hiddenViewer.c_str(), FILE_ATTRIBUTE_HIDDEN);
    ASSERT_TRUE(GetFileAttributesW(hiddenViewer.c_str()) & FILE_ATTRIBUTE_HIDDEN);
    const Setting other = textValue(otherDir.path());
    const struct {
        const char* name;
        Setting first, second;
    } cases[] = {
        {"a missing file", textValue(viewerDir.path() + L"\\MISSING.EXE"), other},
        {"expandable text", textValue(viewerDir.path() + L"\\MSINFO32.EXE", REG_EXPAND_SZ), other},
        {"a double word", {REG_DWORD, {0xD2, 0x04, 0, 0}}, other},
        {"no data at all", {REG_SZ, {}}, other},
        {"an empty text", textValue(L""), other},
        {"a folder instead of a program", textValue(viewerDir.path()), other},
        {"no place at all", kAbsent, kAbsent},
        {"a folder without the viewer", kAbsent, textValue(emptyDir.path())},
        {"a folder with a folder of the viewer's name", kAbsent, textValue(emptyDir.path() + L"\\sub")},
        {"a missing folder", kAbsent, textValue(emptyDir.path() + L"\\missing")},
        {"a hidden viewer", kAbsent, textValue(hiddenFolder)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Outcome outcome = press(c.first, c.second);
        EXPECT_EQ(outcome.message, L"Belavo: ｼｽﾃﾑ情報をｵｰﾌﾟﾝ出来ませんでした (1, 0)");  // one button, no icon
        EXPECT_TRUE(outcome.starts.empty());
        EXPECT_TRUE(outcome.dialogOpenAfterwards);
    }
}

// This program has no icon resources: the dialog opens and closes all the same.
TEST(AboutDialogWithoutIcons, OpensWithoutItsIconResources) {
    OwnerWindow owner;
    LRESULT windowIcon = 1, picture = 1;
    std::wstring version;
    ASSERT_TRUE(runDialog(owner.hwnd(), [&](HWND dialog) {
        windowIcon = SendMessageW(dialog, WM_GETICON, ICON_BIG, 0);
        picture = SendMessageW(GetDlgItem(dialog, picIcon), STM_GETICON, 0, 0);
        version = textOf(GetDlgItem(dialog, lblVersion));
    }));
    EXPECT_EQ(windowIcon, 0);
    EXPECT_EQ(picture, 0);
    EXPECT_EQ(version, L"ﾌﾟﾛｸﾞﾗﾑｳﾞｧｰｼﾞｮﾝ: 1.3.8");
    EXPECT_TRUE(IsWindowEnabled(owner.hwnd()));
}

}  // namespace
}  // namespace belavo::test
