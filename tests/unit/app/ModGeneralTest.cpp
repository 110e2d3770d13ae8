// The shared capture values and the on-top helper.
#include <gtest/gtest.h>

#include "app/ModGeneral.h"
#include "unit/common/TestObjects.h"
#include "unit/common/TestSupport.h"

using namespace testsupport;

TEST(ModGeneral, SharedValuesStartAtZero) {
    EXPECT_EQ(ModGeneral::g_LastKey, 0);
    EXPECT_EQ(ModGeneral::g_CapturedByHotkey, 0);
    EXPECT_EQ(ModGeneral::g_RegionSelecting, 0);
    EXPECT_EQ(ModGeneral::g_ObjectSelecting, 0);
}

TEST(ModGeneral, FormOnTopKeepsPlaceAndSizeShowsAndDoesNotActivate) {
    ColourWindow active(10, 10, 100, 100, RGB(0, 0, 255), WS_POPUP, 0);
    ColourWindow form(300, 200, 160, 120, RGB(255, 0, 0), WS_POPUP, 0);
    ShowWindow(form.hwnd(), SW_HIDE);
    SetForegroundWindow(active.hwnd());
    Pump(30);
    ASSERT_EQ(GetForegroundWindow(), active.hwnd());

    WindowObject obj(form.hwnd());
    ModGeneral::SetFormOnTop(obj, forms::True);
    Pump(30);
    EXPECT_NE(GetWindowLongW(form.hwnd(), GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
    EXPECT_TRUE(IsWindowVisible(form.hwnd()));
    EXPECT_EQ(GetForegroundWindow(), active.hwnd());
    RECT r{};
    GetWindowRect(form.hwnd(), &r);
    EXPECT_EQ(r.left, 300);
    EXPECT_EQ(r.top, 200);
    EXPECT_EQ(r.right - r.left, 160);
    EXPECT_EQ(r.bottom - r.top, 120);

    // Above a window that is not topmost, even one brought up later.
    SetWindowPos(active.hwnd(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    Pump(30);
    for (HWND h = GetWindow(form.hwnd(), GW_HWNDPREV); h; h = GetWindow(h, GW_HWNDPREV))
        EXPECT_NE(h, active.hwnd()) << "a plain window went above the form";

    ModGeneral::SetFormOnTop(obj, forms::False);
    EXPECT_EQ(GetWindowLongW(form.hwnd(), GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
}

TEST(ModGeneral, OnlyMinusOneCountsAsTrue) {
    ColourWindow form(300, 200, 50, 50, RGB(255, 0, 0), WS_POPUP, 0);
    WindowObject obj(form.hwnd());
    ModGeneral::SetFormOnTop(obj, 1);
    EXPECT_EQ(GetWindowLongW(form.hwnd(), GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
}
