#include <gtest/gtest.h>

#include <windows.h>
#include <shellapi.h>

#include <algorithm>

#include "e2e/ProgramDriver.h"
#include "unit/common/TestSupport.h"

using namespace e2e;

TEST(Startup, ShowsTheMainWindowCentredAndFixedInSize) {
    Program first;
    HWND main = WaitWindow(first.pid(), kMainCaption, 15000);
    ASSERT_NE(main, nullptr) << "no main window";
    LONG style = GetWindowLongW(main, GWL_STYLE);
    EXPECT_FALSE(style & WS_THICKFRAME) << "fixed size";
    EXPECT_FALSE(style & WS_MAXIMIZEBOX);
    // Centred where it fits; larger than the screen (200 % on a small one),
    // its caption stays on the screen, where it can be taken and moved.
    RECT r;
    GetWindowRect(main, &r);
    const int screenW = GetSystemMetrics(SM_CXSCREEN), screenH = GetSystemMetrics(SM_CYSCREEN);
    if (r.right - r.left <= screenW)
        EXPECT_NEAR((r.left + r.right) / 2, screenW / 2, 2);
    else
        EXPECT_GE(r.left, 0) << "the caption's start off the screen";
    if (r.bottom - r.top <= screenH)
        EXPECT_NEAR((r.top + r.bottom) / 2, screenH / 2, 2);
    else
        EXPECT_GE(r.top, 0) << "the caption above the screen";
    HICON large = nullptr;
    EXPECT_EQ(ExtractIconExW(ProgramPath().c_str(), 0, &large, nullptr, 1), 1u) << "the exe carries its icon";
    if (large) DestroyIcon(large);
}

TEST(Startup, ASecondCopyShowsItsMessageAndEnds) {
    Program first;
    ASSERT_NE(WaitWindow(first.pid(), kMainCaption, 15000), nullptr);

    Program second;
    HWND box = WaitWindow(second.pid(), L"Quorvane Capture", 15000);
    ASSERT_NE(box, nullptr) << "no message box from the second copy";
    auto statics = ChildTexts(box, L"Static");
    EXPECT_NE(std::find(statics.begin(), statics.end(), L"Can,t open another copy of Quorvane Capture"), statics.end());
    auto buttons = ChildTexts(box, L"Button");
    EXPECT_EQ(buttons.size(), 1u) << "OK only";
    // No window of the second copy but the message box.
    for (HWND h : TopWindows(second.pid(), true)) EXPECT_NE(WindowText(h), kMainCaption);

    PostMessageW(box, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(second.WaitExit(10000)) << "the second copy must end after OK";
    EXPECT_TRUE(first.Running()) << "the first copy goes on";
}
