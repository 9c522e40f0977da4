// What users meet beyond the design, in this process (Wine's accessibility
// proxies answer only here): a screen reader naming the entry fields, an IME
// left on, a paste longer than an edit control's default limit, and a window
// that cannot be built.
#include <gtest/gtest.h>
#include <windows.h>
#include <imm.h>
#include <oleacc.h>

#include <cstdlib>
#include <new>
#include <string>
#include <thread>

#include "main_window.hpp"
#include "ui_driver.hpp"

// Fails the next allocation of the thread that asks for it, as when memory
// runs out. (GCC cannot tell that these replace the library's own pair.)
#ifdef __GNUC__
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif
thread_local bool failNextAllocation = false;

void* operator new(std::size_t size) {
    if (failNextAllocation) {
        failNextAllocation = false;
        throw std::bad_alloc();
    }
    if (void* memory = std::malloc(size ? size : 1)) return memory;
    throw std::bad_alloc();
}
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }

namespace belavo::ui {
namespace {

using test::textOf;

// oleacc's own IID_IAccessible does not match Wine's under a static MinGW link.
constexpr IID kAccessible = {0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

std::wstring accessibleName(HWND control) {
    IAccessible* object = nullptr;
    if (FAILED(CreateStdAccessibleObject(control, OBJID_CLIENT, kAccessible, reinterpret_cast<void**>(&object)))) {
        return L"(no accessible object)";
    }
    VARIANT self{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR name = nullptr;
    const std::wstring text = SUCCEEDED(object->get_accName(self, &name)) && name ? name : L"";
    SysFreeString(name);
    object->Release();
    return text;
}

class MainWindowForUsers : public ::testing::Test {
protected:
    void SetUp() override { window.show(SW_SHOWNORMAL); }
    HWND control(int id) const { return GetDlgItem(window.hwnd(), id); }

    MainWindow window{GetModuleHandleW(nullptr)};
};

// A screen reader names a field after the static just before it, and reads
// the statics in that order: nothing may stand between a caption and its field.
TEST_F(MainWindowForUsers, EveryFieldStandsRightAfterItsCaption) {
    const struct {
        int caption, field;
    } pairs[] = {{Label2, Text1}, {Label3, Text2}, {Label13, Label6}, {Label12, Label7}, {Label11, Label8},
                 {Label17, Label18}};
    for (const auto& pair : pairs) {
        EXPECT_EQ(GetWindow(control(pair.field), GW_HWNDPREV), control(pair.caption)) << pair.field;
    }
    for (int field : {Text1, Text2}) {
        EXPECT_EQ(accessibleName(control(field)), textOf(GetWindow(control(field), GW_HWNDPREV))) << field;
    }
}

TEST_F(MainWindowForUsers, AnEntryFieldClosesTheImeWhenItGetsTheFocus) {
    for (int field : {Text1, Text2}) {
        const HIMC context = ImmGetContext(control(field));
        ASSERT_TRUE(context);
        SetFocus(control(Command1));
        ImmSetOpenStatus(context, TRUE);
        SetFocus(control(field));
        EXPECT_FALSE(ImmGetOpenStatus(context)) << field;
        ImmReleaseContext(control(field), context);
    }
}

TEST_F(MainWindowForUsers, ALongPasteIsKeptWholeAndCheckedWhole) {
    const std::wstring weight = std::wstring(40000, L'0') + L"56.3";
    SendMessageW(control(Text2), EM_SETSEL, 0, -1);
    SendMessageW(control(Text2), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(weight.c_str()));
    EXPECT_EQ(textOf(control(Text2)), weight);
    SendMessageW(control(Command1), BM_CLICK, 0, 0);
    EXPECT_EQ(textOf(control(Label8)), L"21");  // 56.3 kg at 162 cm
    EXPECT_EQ(textOf(control(Label6)), weight);
}

// The window is not created at all, the failure is reported under the
// program's title, and the next window is built as usual.
TEST(MainWindowCreation, AWindowThatCannotBeBuiltIsNotCreated) {
    std::wstring reportTitle;
    std::thread reader([&] {
        if (const auto report = test::waitForMessageBox(GetCurrentProcessId())) {
            reportTitle = report->title;
            test::pressOk(report->window);
        }
    });
    failNextAllocation = true;  // the first allocation of WM_CREATE
    const MainWindow failed(GetModuleHandleW(nullptr));
    failNextAllocation = false;
    reader.join();
    EXPECT_EQ(failed.hwnd(), nullptr);
    EXPECT_EQ(FindWindowW(kMainWindowClass, nullptr), nullptr);
    EXPECT_EQ(reportTitle, kAppIdentity.title);

    const MainWindow next(GetModuleHandleW(nullptr));
    EXPECT_TRUE(GetDlgItem(next.hwnd(), Command1));
}

}  // namespace
}  // namespace belavo::ui
