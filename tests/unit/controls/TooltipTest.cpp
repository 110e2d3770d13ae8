#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "controls/cToolTips.h"
#include "unit/common/TestSupport.h"
#include "unit/controls/TooltipSpy.h"

using tiptest::TipSpy;

namespace {

constexpr UINT kSetTitle = TTM_SETTITLEA;

class TooltipTest : public testing::Test {
protected:
    testsupport::ColourWindow tool{200, 200, 120, 40, RGB(200, 200, 200)};
    TipSpy spy;
    HWND T() const { return tool.hwnd(); }
};

TEST_F(TooltipTest, CreateRegistersTheWindowAsItsOwnSubclassedTool) {
    cToolTips tips;
    tips.TipText(L"hello");
    EXPECT_EQ(tips.Create(T()), forms::True);

    ASSERT_EQ(spy.Count(TTM_ADDTOOLA), 1u);
    const auto& add = spy.First(TTM_ADDTOOLA);
    EXPECT_EQ(add.w, 0u);
    EXPECT_EQ(add.tool.cbSize, static_cast<UINT>(TTTOOLINFOA_V2_SIZE));
#ifndef _WIN64
    EXPECT_EQ(add.tool.cbSize, 44u);
#endif
    EXPECT_EQ(add.tool.uFlags, 17u);  // TTF_IDISHWND | TTF_SUBCLASS
    EXPECT_EQ(add.tool.hwnd, T());
    EXPECT_EQ(add.tool.uId, reinterpret_cast<UINT_PTR>(T()));
    EXPECT_EQ(add.tool.hinst, GetModuleHandleW(nullptr));
    EXPECT_EQ(add.text, "hello");
    EXPECT_EQ(add.tool.rect.right - add.tool.rect.left, 0);

    HWND tip = add.hwnd;
    EXPECT_EQ(GetWindowLongA(tip, GWL_STYLE) & (TTS_ALWAYSTIP | TTS_NOPREFIX | TTS_BALLOON), 3);
    EXPECT_EQ(GetParent(tip), nullptr);
    EXPECT_EQ(SendMessageA(tip, TTM_GETTOOLCOUNT, 0, 0), 1);
    // Nothing set: no title and the platform's colours; then the two delays.
    EXPECT_EQ(spy.Count(kSetTitle) + spy.Count(TTM_SETTIPTEXTCOLOR) + spy.Count(TTM_SETTIPBKCOLOR), 0u);
    EXPECT_EQ(spy.Delays(), (std::vector<std::pair<WPARAM, LPARAM>>{{TTDT_AUTOPOP, 5000}, {TTDT_INITIAL, 500}}));
}

TEST_F(TooltipTest, StyleCentringAndColoursActAtTheNextCreate) {
    cToolTips tips;
    tips.Style(1);
    tips.Centered(forms::True);
    tips.ForeColor(RGB(1, 2, 3));
    tips.BackColor(RGB(4, 5, 6));
    EXPECT_EQ(spy.log.size(), 0u);  // no window yet: nothing is sent
    tips.Create(T());
    HWND tip = spy.First(TTM_ADDTOOLA).hwnd;
    EXPECT_EQ(GetWindowLongA(tip, GWL_STYLE) & (TTS_ALWAYSTIP | TTS_NOPREFIX | TTS_BALLOON), 67);
    EXPECT_EQ(spy.First(TTM_ADDTOOLA).tool.uFlags, 19u);
    EXPECT_EQ(SendMessageA(tip, TTM_GETTIPTEXTCOLOR, 0, 0), RGB(1, 2, 3));
    EXPECT_EQ(SendMessageA(tip, TTM_GETTIPBKCOLOR, 0, 0), RGB(4, 5, 6));

    tips.Style(2);  // any other value than 1 is standard
    tips.Create(T());
    EXPECT_FALSE(IsWindow(tip));
    HWND second = spy.log.back().hwnd;
    EXPECT_EQ(GetWindowLongA(second, GWL_STYLE) & TTS_BALLOON, 0);

    // Colour 0 on a live window is sent as it is.
    spy.log.clear();
    tips.BackColor(0);
    tips.ForeColor(0);
    EXPECT_EQ(spy.Count(TTM_SETTIPBKCOLOR), 1u);
    EXPECT_EQ(spy.Count(TTM_SETTIPTEXTCOLOR), 1u);
    EXPECT_EQ(SendMessageA(second, TTM_GETTIPBKCOLOR, 0, 0), 0);
}

TEST_F(TooltipTest, TheTitleGoesOutOnlyWithAnIconOnALiveWindow) {
    cToolTips tips;
    tips.Icon(2);
    tips.Create(T());
    ASSERT_EQ(spy.Count(kSetTitle), 1u);  // an icon alone sends the (empty) title
    EXPECT_EQ(spy.First(kSetTitle).w, 2u);
    EXPECT_EQ(spy.First(kSetTitle).text, "");

    tips.Icon(0);
    spy.log.clear();
    tips.Title(L"Later");
    EXPECT_EQ(spy.Count(kSetTitle), 0u);
    tips.Create(T());  // a title alone is sent at creation
    ASSERT_EQ(spy.Count(kSetTitle), 1u);
    EXPECT_EQ(spy.First(kSetTitle).text, "Later");
    EXPECT_EQ(spy.First(kSetTitle).w, 0u);

    spy.log.clear();
    tips.Icon(1);
    tips.Title(L"Info");
    ASSERT_EQ(spy.Count(kSetTitle), 2u);
    EXPECT_EQ(spy.log.back().text, "Info");
    EXPECT_EQ(spy.log.back().w, 1u);
}

TEST_F(TooltipTest, AddToolTipReplacesTheWindowWithAStandardSevenSecondTip) {
    cToolTips tips;
    tips.Style(1);
    tips.AddToolTip(T(), L"first", L"One");
    HWND first = spy.First(TTM_ADDTOOLA).hwnd;
    spy.log.clear();
    tips.AddToolTip(T(), L"second");
    EXPECT_FALSE(IsWindow(first));
    HWND tip = spy.First(TTM_ADDTOOLA).hwnd;
    EXPECT_EQ(tips.Style(), 0);
    EXPECT_EQ(GetWindowLongA(tip, GWL_STYLE) & TTS_BALLOON, 0);
    EXPECT_EQ(spy.First(TTM_ADDTOOLA).text, "second");
    EXPECT_EQ(tips.Title(), L"");  // an omitted title is empty: none is sent
    EXPECT_EQ(spy.Count(kSetTitle), 0u);
    EXPECT_EQ(SendMessageA(tip, TTM_GETDELAYTIME, TTDT_AUTOPOP, 0), 7000);
    EXPECT_EQ(SendMessageA(tip, TTM_GETDELAYTIME, TTDT_INITIAL, 0), 500);
}

TEST_F(TooltipTest, TipTextUpdatesTheLiveToolAndDestroyEndsTheWindow) {
    auto tips = std::make_unique<cToolTips>();
    tips->AddToolTip(T(), L"old");
    HWND tip = spy.First(TTM_ADDTOOLA).hwnd;
    tips->TipText(L"new text");
    ASSERT_EQ(spy.Count(TTM_UPDATETIPTEXTA), 1u);
    EXPECT_EQ(spy.First(TTM_UPDATETIPTEXTA).tool.uId, reinterpret_cast<UINT_PTR>(T()));
    EXPECT_EQ(tiptest::TextOf(tip, T()), "new text");

    tips->Destroy();
    EXPECT_FALSE(IsWindow(tip));
    spy.log.clear();
    tips->TipText(L"no window");  // stored only
    tips->BackColor(RGB(9, 9, 9));
    EXPECT_EQ(spy.log.size(), 0u);
    tips->Create(T());
    EXPECT_EQ(spy.First(TTM_ADDTOOLA).text, "no window");
    tip = spy.First(TTM_ADDTOOLA).hwnd;
    tips.reset();  // the object's end takes the window with it
    EXPECT_FALSE(IsWindow(tip));
}

TEST_F(TooltipTest, TheTipShowsWhenThePointerRestsOnTheTool) {
    cToolTips tips;
    tips.AddToolTip(T(), L"over the tool");
    HWND tip = spy.First(TTM_ADDTOOLA).hwnd;
    testsupport::MoveMouse(240, 215);
    testsupport::Pump(30);
    testsupport::MoveMouse(250, 220);
    bool shown = false;
    for (int i = 0; i < 100 && !shown; ++i) {
        testsupport::Pump(20);
        shown = IsWindowVisible(tip) != FALSE;
    }
    EXPECT_TRUE(shown);
    testsupport::MoveMouse(5, 5);
    testsupport::Pump(30);
}

}  // namespace
