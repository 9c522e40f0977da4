// The real Belavo.exe, driven from another process as a person would use it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "advice_bands.hpp"
#include "main_window_ids.hpp"
#include "ui_driver.hpp"

namespace belavo::test {
namespace {

using namespace belavo::ui;

const std::wstring kInstructions =
    L"身長と体重を入力して[チェック]を押下して下さい。\r\n"
    L" BMIはBodyMassIndexの略で世界標準的に使われている肥満度計算法です。BMIの値は22が標準とて平均値です。\r\n"
    L" 肥満度は0が標準体重に略該当している値ですので出来るだけ0に近いことが望ましいのです。";

std::wstring adviceOf(int bmi) {
    const std::u16string_view text = findAdviceBand(static_cast<std::int16_t>(bmi)).adviceText;
    return {text.begin(), text.end()};
}

struct Results {
    std::wstring bmi, advice, standardWeight, weight, obesity;
    bool operator==(const Results&) const = default;
};

Results resultsOf(const AppProcess& app) {
    return {textOf(app.control(Label8)), textOf(app.control(Label9)), textOf(app.control(Label7)),
            textOf(app.control(Label6)), textOf(app.control(Label18))};
}

void PrintTo(const Results& r, std::ostream* out) {
    auto narrow = [](const std::wstring& w) { return std::string(w.begin(), w.end()); };
    *out << "{" << narrow(r.bmi) << ", advice..., " << narrow(r.standardWeight) << ", " << narrow(r.weight) << ", "
         << narrow(r.obesity) << "}";
}

const Results kDesignResults{L"22", kInstructions, L"??", L"??", L"0"};

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override { bringToFront(app.mainWindow()); }

    // Types both entries and clicks the check button until `done` holds.
    bool check(const std::wstring& height, const std::wstring& weight, const std::function<bool()>& done) {
        typeInto(app.control(Text1), height);
        typeInto(app.control(Text2), weight);
        return clickUntil(app.control(Command1), done);
    }

    AppProcess app;
};

TEST_F(MainWindowTest, OpensWithTheDesignTextsAndTheFocusInTheHeight) {
    EXPECT_EQ(textOf(app.mainWindow()), L"Belavo Ver1.3");
    const std::vector<std::pair<int, std::wstring>> texts = {
        {Label1, L"体重と身長を基にしBMI値及び肥満度をチェックします。"},
        {Frame1, L"入力"}, {Label2, L"身長"}, {Text1, L"162"}, {Label4, L"センチ"}, {Label3, L"体重"},
        {Text2, L"56.3"}, {Label5, L"キログラム"},
        {Label16, L"【警告】　不正にとんでもない値を入力するとオーバーフローを起こします。自分の正しい身長と体重を入力して下さい。"},
        {Command1, L"チェック(&C)"}, {Frame2, L"チェック結果"}, {Label13, L"実質体重"}, {Label15, L"キログラム"},
        {Label12, L"標準体重"}, {Label14, L"キログラム"}, {Label11, L"BMI値"}, {Label17, L"肥満"},
        {Label19, L"◆　チェックされる値は物理的な公式計算を用いていますので最終的に健康管理をされるのは貴方自身です。個々の判断においてご参考までにお使い下さい。"},
        {Command2, L"終了(&Q)"},
    };
    for (const auto& [id, text] : texts) EXPECT_EQ(textOf(app.control(id)), text) << "control " << id;
    EXPECT_EQ(resultsOf(app), kDesignResults);
    EXPECT_EQ(focusIn(app.mainWindow()), app.control(Text1));
}

TEST_F(MainWindowTest, PlacesEveryControlAt96Dpi) {
    RECT client;
    GetClientRect(app.mainWindow(), &client);
    EXPECT_EQ(client.right, 434);
    EXPECT_EQ(client.bottom, 419);
    struct Place { int id, left, top, width, height; };
    // Twips / 15, with the group box's corner added for the controls inside it.
    const Place places[] = {
        {Label1, 8, 8, 305, 17}, {Label10, 8, 40, 417, 17}, {Frame1, 8, 56, 417, 113},
        {Label2, 16, 80, 33, 17}, {Text1, 48, 80, 41, 18}, {Label4, 96, 80, 33, 17}, {Label3, 168, 80, 33, 17},
        {Text2, 200, 80, 33, 18}, {Label5, 240, 80, 57, 17}, {Label16, 16, 120, 313, 33},
        {Command1, 336, 120, 81, 41}, {Frame2, 8, 176, 417, 169}, {Label13, 16, 200, 57, 17},
        {Label6, 80, 192, 49, 25}, {Label15, 136, 200, 57, 17}, {Label12, 16, 232, 57, 17},
        {Label7, 80, 224, 49, 25}, {Label14, 136, 232, 57, 17}, {Label11, 216, 248, 33, 17},
        {Label8, 256, 232, 57, 33}, {Label17, 328, 248, 25, 17}, {Label18, 360, 232, 57, 33},
        {Label9, 16, 272, 401, 65}, {Label19, 8, 352, 417, 25}, {Command2, 153, 384, 128, 25},
        {Line1, 136, 192, 272, 1}, {Line2, 304, 192, 1, 40}, {Line3, 408, 192, 1, 40},
    };
    for (const Place& place : places) {
        RECT rect;
        GetWindowRect(app.control(place.id), &rect);
        MapWindowPoints(HWND_DESKTOP, app.mainWindow(), reinterpret_cast<POINT*>(&rect), 2);
        EXPECT_EQ((std::vector<LONG>{rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top}),
                  (std::vector<LONG>{place.left, place.top, place.width, place.height}))
            << "control " << place.id;
    }
}

struct CheckCase {
    const wchar_t* height;
    const wchar_t* weight;
    const wchar_t* bmi;
    int adviceBmi;
    const wchar_t* standardWeight;
    const wchar_t* obesity;
};

TEST_F(MainWindowTest, ShowsTheResultsOfAClick) {
    const CheckCase cases[] = {
        {L"162", L"56.3", L"21", 21, L"58", L"-5"},
        {L"100", L"22.5", L"22", 22, L"22", L"0"},     // 22.5 rounds to even
        {L"100", L"20.5", L"20", 20, L"22", L"-9"},
        {L"150", L"80", L"36", 36, L"50", L"64"},      // standard weight 49.5 rounds up to even
        {L"180", L"45", L"14", 14, L"71", L"-36"},
        {L"-162", L"56.3", L"21", 21, L"58", L"-5"},   // the square hides the sign
        {L"162", L"-10", L"-4", -4, L"58", L"-118"},
        {L"162", L" 56.30", L"21", 21, L"58", L"-5"},  // the weight is shown as typed
        {L"１６２", L"５６．３", L"21", 21, L"58", L"-5"},  // full-width digits from an IME
    };
    for (const CheckCase& c : cases) {
        const Results expected{c.bmi, adviceOf(c.adviceBmi), c.standardWeight, c.weight, c.obesity};
        check(c.height, c.weight, [&] { return resultsOf(app) == expected; });
        EXPECT_EQ(resultsOf(app), expected) << "height " << std::string(c.height, c.height + wcslen(c.height));
    }
}

struct ErrorCase {
    const wchar_t* height;
    const wchar_t* weight;
    const wchar_t* number;  // as the report shows it
    int entryAtFault;
};

TEST_F(MainWindowTest, ReportsABadEntryAndKeepsRunningWithTheResultsUnchanged) {
    const ErrorCase cases[] = {
        {L"", L"56.3", L"'13'", Text1},
        {L"162cm", L"56.3", L"'13'", Text1},
        {L"162", L"", L"'13'", Text2},
        {L"0", L"abc", L"'13'", Text2},      // the weight text is read before dividing
        {L"0", L"56.3", L"'11'", Text1},
        {L"0", L"0", L"'6'", Text1},
        {L"1e400", L"56.3", L"'6'", Text1},
        {L"10", L"1000", L"'6'", Text1},     // BMI 100000
        {L"4000", L"56.3", L"'6'", Text1},   // standard weight 35200
        {L"10", L"100", L"'6'", Text1},      // obesity degree 45354
    };
    for (const ErrorCase& c : cases) {
        const Results before = resultsOf(app);
        check(c.height, c.weight, [&] { return findWindowOf(app.id(), L"#32770") != nullptr; });
        const auto report = waitForMessageBox(app.id());
        ASSERT_TRUE(report) << "no report for " << std::string(c.height, c.height + wcslen(c.height));
        EXPECT_EQ(report->title, L"Belavo");
        EXPECT_NE(report->text.find(c.number), std::wstring::npos);
        EXPECT_EQ(resultsOf(app), before);
        pressOk(report->window);
        EXPECT_TRUE(app.running());
        EXPECT_TRUE(waitUntil([&] { return focusIn(app.mainWindow()) == app.control(c.entryAtFault); }, 2000))
            << "focus on control " << GetDlgCtrlID(focusIn(app.mainWindow()));
        EXPECT_EQ(textOf(app.control(Text1)), c.height);
        EXPECT_EQ(textOf(app.control(Text2)), c.weight);
    }
}

TEST_F(MainWindowTest, KeepsEveryTypedCharacter) {
    for (const wchar_t* text : {L"abc", L"1..2", L"-", L"56.", L"1e", L"１６２", L"cm"}) {
        typeInto(app.control(Text1), text);
        EXPECT_EQ(textOf(app.control(Text1)), text);
        typeInto(app.control(Text2), text);
        EXPECT_EQ(textOf(app.control(Text2)), text);
    }
    EXPECT_EQ(resultsOf(app), kDesignResults);  // editing does not check
}

TEST_F(MainWindowTest, AltCChecksAndEnterOrEscapePressNothing) {
    click(app.control(Text2));
    for (WORD key : {VK_RETURN, VK_ESCAPE}) {
        pressKeys({key});
        Sleep(200);
        EXPECT_EQ(resultsOf(app), kDesignResults);
        EXPECT_TRUE(app.running());
    }
    pressKeys({VK_MENU, 'C'});
    EXPECT_TRUE(waitUntil([&] { return textOf(app.control(Label8)) == L"21"; }, 2000));
}

TEST_F(MainWindowTest, TabCyclesTheEntriesAndButtons) {
    click(app.control(Text1));
    for (int id : {Text2, Command1, Command2, Text1}) {
        pressKeys({VK_TAB});
        EXPECT_TRUE(waitUntil([&] { return focusIn(app.mainWindow()) == app.control(id); }, 3000)) << id;
    }
    for (int id : {Command2, Command1, Text2, Text1}) {
        pressKeys({VK_SHIFT, VK_TAB});
        EXPECT_TRUE(waitUntil([&] { return focusIn(app.mainWindow()) == app.control(id); }, 3000)) << id;
    }
}

TEST_F(MainWindowTest, LabelsOtherThanTheCopyrightLineDoNothingWhenClicked) {
    for (int id : {Label1, Label8, Label9, Label16, Label19, Frame2}) click(app.control(id));
    Sleep(300);
    EXPECT_EQ(resultsOf(app), kDesignResults);
    EXPECT_EQ(findWindowOf(app.id(), L"#32770"), nullptr);
    EXPECT_TRUE(app.running());
}

// Each way of quitting ends the process at once, without a question.
TEST(QuitTest, EveryWayOfQuittingEndsTheProcess) {
    const std::pair<const char*, void (*)(AppProcess&)> ways[] = {
        {"Quit button", [](AppProcess& app) { click(app.control(Command2)); }},
        {"Alt+Q", [](AppProcess&) { pressKeys({VK_MENU, 'Q'}); }},
        {"Alt+F4", [](AppProcess&) { pressKeys({VK_MENU, VK_F4}); }},
        {"close box", [](AppProcess& app) { clickCloseBox(app.mainWindow()); }},
        {"Quit menu item", [](AppProcess& app) { PostMessageW(app.mainWindow(), WM_COMMAND, endb, 0); }},
    };
    for (const auto& [name, quit] : ways) {
        AppProcess app;
        bringToFront(app.mainWindow());
        typeInto(app.control(Text1), L"170");  // unchecked edits do not hold it up
        quit(app);
        EXPECT_TRUE(app.waitForExit(5000)) << name;
        EXPECT_EQ(findWindowOf(app.id(), L"#32770"), nullptr) << name;
    }
}

}  // namespace
}  // namespace belavo::test
