// The system information launcher: GetKeyValue against values of a key of
// this test's own, and the dialog's system information button against the
// machine's two registry places, with the recording program standing in for
// the viewer. Every value and file is put back as it was.
#include <gtest/gtest.h>

#include <memory>
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

constexpr wchar_t kViewerPathKey[] = L"SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
constexpr wchar_t kViewerFolderKey[] = L"SOFTWARE\\Microsoft\\Shared Tools Location";
constexpr wchar_t kCannotOpen[] = L"ｼｽﾃﾑ情報をｵｰﾌﾟﾝ出来ませんでした";
constexpr UINT kJapaneseCodePage = 932;

std::vector<BYTE> bytesOf(const std::wstring& text, bool terminated = true) {
    const auto* first = reinterpret_cast<const BYTE*>(text.c_str());
    return {first, first + (text.size() + (terminated ? 1 : 0)) * sizeof(wchar_t)};
}

// ---------------------------------------------------------------- GetKeyValue

class GetKeyValueTest : public ::testing::Test {
protected:
    GetKeyValueTest() {
        RegCreateKeyExW(HKEY_CURRENT_USER, keyName.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    }
    ~GetKeyValueTest() override {
        RegCloseKey(key);
        RegDeleteTreeW(HKEY_CURRENT_USER, keyName.c_str());
    }

    void store(DWORD type, const std::vector<BYTE>& data) {
        RegSetValueExW(key, L"Value", 0, type, data.data(), static_cast<DWORD>(data.size()));
    }

    const std::wstring keyName = L"Software\\BelavoAboutTests-" + std::to_wstring(GetCurrentProcessId());
    const std::string ansiKeyName = "Software\\BelavoAboutTests-" + std::to_string(GetCurrentProcessId());
    HKEY key = nullptr;
};

struct ValueCase {
    const char* name;
    DWORD type;
    std::vector<BYTE> data;
    bool found;
    std::string text;  // what the caller's text becomes; it held "before" on entry
    bool needsJapanese = false;
};

TEST_F(GetKeyValueTest, ReadsEachKindOfValue) {
    const std::wstring a1023(1023, L'a'), a1024(1024, L'a');
    const DWORD number = 0x12345678;
    const auto* numberBytes = reinterpret_cast<const BYTE*>(&number);
    const ValueCase cases[] = {
        {"text", REG_SZ, bytesOf(L"C:\\Tools\\Viewer.exe"), true, "C:\\Tools\\Viewer.exe"},
        {"text without a terminator", REG_SZ, bytesOf(L"abc", false), true, "abc"},
        {"text that stops at a terminator", REG_SZ, bytesOf(std::wstring(L"ab\0cd", 5)), true, "ab"},
        {"empty text", REG_SZ, bytesOf(L""), true, ""},
        // 表 has a backslash as its second byte in the Japanese code page.
        {"double-byte text", REG_SZ, bytesOf(L"C:\\表示\\ビューア.exe"), true,
         "C:\\\x95\x5c\x8e\xa6\\\x83\x72\x83\x85\x81\x5b\x83\x41.exe", true},
        {"double-byte text without a terminator", REG_SZ, bytesOf(L"表示", false), true, "\x95\x5c\x8e\xa6", true},
        {"1023 characters and a terminator: 1024 bytes", REG_SZ, bytesOf(a1023), true, std::string(1023, 'a')},
        {"1023 characters and no terminator", REG_SZ, bytesOf(a1023, false), true, std::string(1023, 'a')},
        {"1024 characters and a terminator: too large", REG_SZ, bytesOf(a1024), false, ""},
        {"expandable text is left alone", REG_EXPAND_SZ, bytesOf(L"%SystemRoot%\\msinfo32.exe"), true, "before"},
        {"several texts are left alone", REG_MULTI_SZ, bytesOf(std::wstring(L"a\0b\0", 4)), true, "before"},
        {"binary data is left alone", REG_BINARY, {1, 2, 3}, true, "before"},
        {"a double word is written in decimal", REG_DWORD, {numberBytes, numberBytes + 4}, true, "305419896"},
    };
    const bool japanese = GetACP() == kJapaneseCodePage;
    for (const ValueCase& value : cases) {
        SCOPED_TRACE(value.name);
        if (value.needsJapanese && !japanese) continue;
        store(value.type, value.data);
        std::string text = "before";
        EXPECT_EQ(AboutDialog::GetKeyValue(HKEY_CURRENT_USER, ansiKeyName, "Value", text), value.found);
        EXPECT_EQ(text, value.text);
    }
    if (!japanese) GTEST_SKIP() << "double-byte cases need the Japanese code page; this one is " << GetACP();
}

// Windows returns such a value and Wine refuses it, wanting room for a
// terminator of its own; either way nothing beyond the 1024 bytes is read.
TEST_F(GetKeyValueTest, ReadsNothingBeyondAFullBufferWithoutTerminator) {
    store(REG_SZ, bytesOf(std::wstring(1024, L'a'), false));
    std::string text = "before";
    if (AboutDialog::GetKeyValue(HKEY_CURRENT_USER, ansiKeyName, "Value", text)) {
        EXPECT_EQ(text, std::string(1024, 'a'));
    } else {
        EXPECT_EQ(text, "");
    }
}

TEST_F(GetKeyValueTest, AMissingKeyOrValueGivesFalseAndEmptiesTheText) {
    std::string text = "stale";
    EXPECT_FALSE(AboutDialog::GetKeyValue(HKEY_CURRENT_USER, ansiKeyName + "\\Missing", "Value", text));
    EXPECT_EQ(text, "");
    text = "stale";
    EXPECT_FALSE(AboutDialog::GetKeyValue(HKEY_CURRENT_USER, ansiKeyName, "Missing", text));
    EXPECT_EQ(text, "");
}

TEST_F(GetKeyValueTest, AValueWithoutDataIsAnError) {
    store(REG_SZ, {});
    std::string text = "before";
    EXPECT_THROW(AboutDialog::GetKeyValue(HKEY_CURRENT_USER, ansiKeyName, "Value", text), std::invalid_argument);
}

TEST_F(GetKeyValueTest, ReadsAJapaneseKeyAndValueName) {
    if (GetACP() != kJapaneseCodePage) GTEST_SKIP() << "needs the Japanese code page";
    HKEY sub = nullptr;
    ASSERT_EQ(RegCreateKeyExW(key, L"表示", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &sub, nullptr), ERROR_SUCCESS);
    const std::vector<BYTE> data = bytesOf(L"ok");
    RegSetValueExW(sub, L"ソフト", 0, REG_SZ, data.data(), static_cast<DWORD>(data.size()));
    RegCloseKey(sub);
    std::string text;
    EXPECT_TRUE(AboutDialog::GetKeyValue(HKEY_CURRENT_USER, ansiKeyName + "\\\x95\x5c\x8e\xa6", "\x83\x5c\x83\x74\x83\x67",
                                         text));
    EXPECT_EQ(text, "ok");
}

// ------------------------------------------------------------- StartSysInfo

// What a press of the system information button did.
struct Outcome {
    bool appeared = false;
    std::wstring messageTitle, messageText;
    size_t messageButtons = 0, messageIcons = 0;
    bool dialogOpenAfterwards = false;
    std::vector<Start> starts;
};

// How one of the two registry places is set for a case.
struct Setting {
    enum Kind { Absent, Text, Expandable, Number, NoData, TooLong };
    Setting(Kind kind = Absent, std::wstring text = {}) : kind(kind), text(std::move(text)) {}
    Kind kind;
    std::wstring text;
};

class StartSysInfoTest : public ::testing::Test {
protected:
    StartSysInfoTest() {
        for (const wchar_t* name : {L"viewer", L"folder", L"empty", L"表示ツール"}) {
            folders.push_back(std::make_unique<TemporaryPath>(uniqueTemporaryFolder(name)));
        }
        CopyFileW(recorderProgram().c_str(), (viewerFolder() + L"\\MSINFO32.EXE").c_str(), FALSE);
        CopyFileW(recorderProgram().c_str(), (otherFolder() + L"\\MSINFO32.EXE").c_str(), FALSE);
        CopyFileW(recorderProgram().c_str(), (japaneseFolder() + L"\\MSINFO32.EXE").c_str(), FALSE);
    }

    const std::wstring& viewerFolder() const { return folders[0]->path(); }
    const std::wstring& otherFolder() const { return folders[1]->path(); }
    const std::wstring& emptyFolder() const { return folders[2]->path(); }
    const std::wstring& japaneseFolder() const { return folders[3]->path(); }

    static void apply(RegistryValueBackup& place, const Setting& setting) {
        switch (setting.kind) {
        case Setting::Absent: place.remove(); break;
        case Setting::Text: place.setText(setting.text); break;
        case Setting::Expandable: place.set(REG_EXPAND_SZ, setting.text.c_str(),
                                            static_cast<DWORD>((setting.text.size() + 1) * sizeof(wchar_t))); break;
        case Setting::Number: {
            const DWORD number = 1234;
            place.set(REG_DWORD, &number, sizeof number);
            break;
        }
        case Setting::NoData: place.set(REG_SZ, L"", 0); break;
        case Setting::TooLong: place.setText(std::wstring(1100, L'x')); break;
        }
    }

    // Sets the two places, presses the button (or `press`), and answers a
    // message box if one comes.
    Outcome press(const Setting& first, const Setting& second, void (*pressButton)(HWND) = nullptr) {
        apply(viewerPath, first);
        apply(viewerFolderPlace, second);
        Outcome outcome;
        OwnerWindow owner;
        RecorderLog log;
        outcome.appeared = runDialog(owner.hwnd(), [&](HWND dialog) {
            bringToFront(dialog);
            if (pressButton) {
                pressButton(dialog);
            } else {
                PostMessageW(GetDlgItem(dialog, cmdSysInfo), BM_CLICK, 0, 0);
            }
            bool started = false;
            HWND box = nullptr;
            waitUntil([&] {
                started = !log.starts().empty();
                box = findWindowOf(GetCurrentProcessId(), L"#32770");
                return started || box;
            }, 10000);
            if (box) {
                Sleep(100);
                outcome.messageTitle = textOf(box);
                outcome.messageText = textOf(GetDlgItem(box, 0xFFFF));
                outcome.messageButtons = visibleChildren(box, L"Button").size();
                for (HWND picture : visibleChildren(box, L"Static")) {
                    outcome.messageIcons += SendMessageW(picture, STM_GETICON, 0, 0) != 0;
                }
                pressOk(box);
            }
            // Anything the button started has had time to say so.
            Sleep(1500);
            outcome.dialogOpenAfterwards = IsWindowVisible(dialog);
        });
        outcome.starts = log.starts();
        return outcome;
    }

    static void expectFailureMessage(const Outcome& outcome) {
        EXPECT_EQ(outcome.messageText, kCannotOpen);
        EXPECT_EQ(outcome.messageTitle, L"Belavo");
        EXPECT_EQ(outcome.messageButtons, 1u);
        EXPECT_EQ(outcome.messageIcons, 0u);
        EXPECT_TRUE(outcome.starts.empty());
        EXPECT_TRUE(outcome.dialogOpenAfterwards);
    }

    static void expectStarted(const Outcome& outcome, const std::wstring& viewer) {
        EXPECT_EQ(outcome.messageText, L"") << "a message box appeared";
        ASSERT_EQ(outcome.starts.size(), 1u);
        EXPECT_TRUE(sameFile(outcome.starts[0].program, viewer)) << testing::PrintToString(outcome.starts[0].program);
        // The path as it was put together, quoted: nothing of it can be taken as arguments.
        EXPECT_EQ(outcome.starts[0].commandLine, L"\"" + viewer + L"\"");
        EXPECT_EQ(outcome.starts[0].show, SW_SHOWNORMAL);
        EXPECT_TRUE(outcome.dialogOpenAfterwards);
    }

    std::vector<std::unique_ptr<TemporaryPath>> folders;
    RegistryValueBackup viewerPath{HKEY_LOCAL_MACHINE, kViewerPathKey, L"PATH"};
    RegistryValueBackup viewerFolderPlace{HKEY_LOCAL_MACHINE, kViewerFolderKey, L"MSINFO"};
};

TEST_F(StartSysInfoTest, StartsTheViewerThatTheFirstPlaceNamesWithoutReadingTheSecond) {
    const std::wstring viewer = viewerFolder() + L"\\MSINFO32.EXE";
    const Outcome outcome = press({Setting::Text, viewer}, {Setting::Text, otherFolder()});
    ASSERT_TRUE(outcome.appeared);
    expectStarted(outcome, viewer);
}

TEST_F(StartSysInfoTest, AltSPressesTheButton) {
    const std::wstring viewer = viewerFolder() + L"\\MSINFO32.EXE";
    const Outcome outcome =
        press({Setting::Text, viewer}, {Setting::Absent}, [](HWND) { pressKeys({VK_MENU, 'S'}); });
    ASSERT_TRUE(outcome.appeared);
    expectStarted(outcome, viewer);
}

TEST_F(StartSysInfoTest, StartsTheViewerInTheFolderOfTheSecondPlace) {
    struct Case {
        const char* name;
        std::wstring folder, started;
    };
    const Case cases[] = {
        {"a folder", otherFolder(), otherFolder() + L"\\MSINFO32.EXE"},
        // The file name is joined on as it is: the backslash is doubled.
        {"a folder ending in a backslash", otherFolder() + L"\\", otherFolder() + L"\\\\MSINFO32.EXE"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Outcome outcome = press({Setting::Absent}, {Setting::Text, c.folder});
        ASSERT_TRUE(outcome.appeared);
        expectStarted(outcome, c.started);
    }
}

TEST_F(StartSysInfoTest, AValueOfMoreThan1024BytesCountsAsAbsent) {
    const Outcome outcome = press({Setting::TooLong}, {Setting::Text, otherFolder()});
    ASSERT_TRUE(outcome.appeared);
    expectStarted(outcome, otherFolder() + L"\\MSINFO32.EXE");
}

TEST_F(StartSysInfoTest, StartsAViewerWhosePathHasDoubleByteCharacters) {
    if (GetACP() != kJapaneseCodePage) GTEST_SKIP() << "needs the Japanese code page";
    const std::wstring viewer = japaneseFolder() + L"\\MSINFO32.EXE";
    const Outcome outcome = press({Setting::Text, viewer}, {Setting::Absent});
    ASSERT_TRUE(outcome.appeared);
    expectStarted(outcome, viewer);
}

// The first place is read and used as it stands; whatever fails then gives
// the message, and the second place is not tried.
TEST_F(StartSysInfoTest, ShowsTheMessageWhenTheFirstPlaceCannotBeStarted) {
    struct Case {
        const char* name;
        Setting first;
    };
    const Case cases[] = {
        {"a missing file", {Setting::Text, viewerFolder() + L"\\MISSING.EXE"}},
        {"expandable text", {Setting::Expandable, viewerFolder() + L"\\MSINFO32.EXE"}},
        {"a double word", {Setting::Number}},
        {"no data at all", {Setting::NoData}},
        {"an empty text", {Setting::Text, L""}},
        {"a folder instead of a program", {Setting::Text, viewerFolder()}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Outcome outcome = press(c.first, {Setting::Text, otherFolder()});
        ASSERT_TRUE(outcome.appeared);
        expectFailureMessage(outcome);
    }
}

// The second place counts only when a search for plain files finds the viewer
// in its folder: a hidden viewer could be started, but is not found.
TEST_F(StartSysInfoTest, ShowsTheMessageWhenTheSecondPlaceHoldsNoViewer) {
    CreateDirectoryW((emptyFolder() + L"\\sub").c_str(), nullptr);
    CreateDirectoryW((emptyFolder() + L"\\sub\\MSINFO32.EXE").c_str(), nullptr);
    const std::wstring hiddenFolder = emptyFolder() + L"\\hidden";
    const std::wstring hiddenViewer = hiddenFolder + L"\\MSINFO32.EXE";
    CreateDirectoryW(hiddenFolder.c_str(), nullptr);
    CopyFileW(recorderProgram().c_str(), hiddenViewer.c_str(), FALSE);
    SetFileAttributesW(hiddenViewer.c_str(), FILE_ATTRIBUTE_HIDDEN);
    ASSERT_TRUE(GetFileAttributesW(hiddenViewer.c_str()) & FILE_ATTRIBUTE_HIDDEN);
    struct Case {
        const char* name;
        Setting second;
    };
    const Case cases[] = {
        {"no second place", {Setting::Absent}},
        {"a folder without the viewer", {Setting::Text, emptyFolder()}},
        {"a folder with a folder of the viewer's name", {Setting::Text, emptyFolder() + L"\\sub"}},
        {"a missing folder", {Setting::Text, emptyFolder() + L"\\missing"}},
        {"a hidden viewer", {Setting::Text, hiddenFolder}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Outcome outcome = press({Setting::Absent}, c.second);
        ASSERT_TRUE(outcome.appeared);
        expectFailureMessage(outcome);
    }
}

// A program at C:\Program.exe is what a path with spaces would start if the
// path were taken as a command line and split at its first space.
class ViewerPathWithSpacesTest : public StartSysInfoTest {
protected:
    ViewerPathWithSpacesTest() {
        CreateDirectoryW(spacedFolder.path().c_str(), nullptr);
        CopyFileW(recorderProgram().c_str(), (spacedFolder.path() + L"\\MSINFO32.EXE").c_str(), FALSE);
        // Never take over a C:\Program.exe that was there before.
        if (CopyFileW(recorderProgram().c_str(), kDecoy, TRUE)) decoy.emplace(kDecoy);
    }

    static constexpr wchar_t kDecoy[] = L"C:\\Program.exe";
    TemporaryPath spacedFolder{L"C:\\Program Files\\Belavo Viewer " + std::to_wstring(GetCurrentProcessId())};
    std::optional<TemporaryPath> decoy;
};

TEST_F(ViewerPathWithSpacesTest, StartsTheViewerAndNeverAProgramNamedByPartOfThePath) {
    ASSERT_TRUE(decoy) << "C:\\Program.exe already exists";
    const std::wstring viewer = spacedFolder.path() + L"\\MSINFO32.EXE";
    struct Case {
        const char* name;
        Setting first, second;
    };
    const Case cases[] = {
        {"the first place", {Setting::Text, viewer}, {Setting::Absent}},
        {"the second place", {Setting::Absent}, {Setting::Text, spacedFolder.path()}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Outcome outcome = press(c.first, c.second);
        ASSERT_TRUE(outcome.appeared);
        expectStarted(outcome, viewer);
    }
}

// This program has no icon resources: the dialog opens all the same.
TEST(AboutDialogWithoutIcons, OpensAndClosesWithoutItsIconResources) {
    OwnerWindow owner;
    HICON windowIcon = nullptr, picture = nullptr;
    std::wstring version;
    bool closed = false;
    ASSERT_TRUE(runDialog(owner.hwnd(), [&](HWND dialog) {
        windowIcon = reinterpret_cast<HICON>(SendMessageW(dialog, WM_GETICON, ICON_BIG, 0));
        picture = reinterpret_cast<HICON>(SendMessageW(GetDlgItem(dialog, picIcon), STM_GETICON, 0, 0));
        version = textOf(GetDlgItem(dialog, lblVersion));
        bringToFront(dialog);
        pressKeys({VK_RETURN});
        closed = waitUntil([&] { return !IsWindow(dialog); }, 3000);
    }));
    EXPECT_EQ(windowIcon, nullptr);
    EXPECT_EQ(picture, nullptr);
    EXPECT_EQ(version, L"ﾌﾟﾛｸﾞﾗﾑｳﾞｧｰｼﾞｮﾝ: 1.3.8");
    EXPECT_TRUE(closed);
    EXPECT_TRUE(IsWindowEnabled(owner.hwnd()));
}

}  // namespace
}  // namespace belavo::test
