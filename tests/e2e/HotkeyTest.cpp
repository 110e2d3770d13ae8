// The global hotkey through the real program hidden behind its tray icon:
// one capture a press however long the keys are held and whatever was
// clicked before, and no next capture until the key left down has gone up.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "e2e/ProgramDriver.h"
#include "unit/common/TestSupport.h"

using namespace e2e;
using namespace testsupport;

namespace {

int CountShots(const std::wstring& dir) {
    WIN32_FIND_DATAW found;
    HANDLE h = FindFirstFileW((dir + L"\\Shot-*.Bmp").c_str(), &found);
    if (h == INVALID_HANDLE_VALUE) return 0;
    int n = 0;
    do ++n;
    while (FindNextFileW(h, &found));
    FindClose(h);
    return n;
}

// Waits up to ms for the folder to hold n shots; the count then.
int WaitShots(const std::wstring& dir, int n, int ms) {
    const DWORD end = GetTickCount() + ms;
    while (CountShots(dir) < n && static_cast<int>(end - GetTickCount()) > 0) Pump(20);
    return CountShots(dir);
}

void Click(bool left) {
    MouseButton(left, true);
    MouseButton(left, false);
}

}  // namespace

TEST(Hotkey, HeldKeysCaptureOnceWhateverWasClickedAndTheKeyLeftDownMustGoUp) {
    const std::wstring images = TempDir(L"qc_e2e_held");
    ConfigFile config("[main]\r\nmb=1\r\ncm=0\r\n[hkeys]\r\nhk=83\r\nmdf=2\r\n[sav]\r\nmsl=2\r\ncn=0\r\nct=0\r\n"
                      "tp=Shot-\r\ntpa=" +
                      std::string(images.begin(), images.end()) + "\r\n");
    Program program;
    HWND main = MainWindowOf(program);
    ASSERT_NE(main, nullptr);
    ASSERT_TRUE(HideMainWindow(main));
    const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    MoveMouse(w * 3 / 4, h * 3 / 4);  // over the bare desktop
    Pump(300);

    for (bool left : {true, false}) {
        SCOPED_TRACE(left ? "after a left click" : "after a right click");
        const int before = CountShots(images);
        // The click's pressed-since report is left for the program to find:
        // its poll asks only for the hotkey's keys.
        Click(left);
        Pump(300);
        KeyDown(VK_CONTROL);
        KeyDown('S');
        ASSERT_EQ(WaitShots(images, before + 1, 5000), before + 1);
        // Held long past the capture: a second one would be written by now.
        Pump(1500);
        EXPECT_EQ(CountShots(images), before + 1) << "held keys capture once";
        KeyUp('S');
        KeyUp(VK_CONTROL);
        Pump(300);
    }

    // Ctrl, the lowest key down after the capture, is waited on: S let go
    // and pressed again beside it does nothing until Ctrl has gone up too.
    const int before = CountShots(images);
    KeyDown(VK_CONTROL);
    KeyDown('S');
    ASSERT_EQ(WaitShots(images, before + 1, 5000), before + 1);
    KeyUp('S');
    Pump(300);
    KeyDown('S');
    Pump(1000);
    EXPECT_EQ(CountShots(images), before + 1) << "Ctrl was never let go";
    KeyUp('S');
    KeyUp(VK_CONTROL);
    Pump(300);
    KeyDown(VK_CONTROL);
    KeyDown('S');
    Pump(150);
    KeyUp('S');
    KeyUp(VK_CONTROL);
    EXPECT_EQ(WaitShots(images, before + 2, 5000), before + 2) << "pressed again, the keys capture again";
    Pump(500);
    EXPECT_EQ(CountShots(images), before + 2);

    // Every shot is the whole screen, at any scaling.
    Pump(500);
    const std::string bmp = ReadFileBytes(images + L"\\Shot-1.Bmp");
    ASSERT_GT(bmp.size(), 54u);
    EXPECT_EQ(*reinterpret_cast<const int32_t*>(bmp.data() + 18), w);
    EXPECT_EQ(*reinterpret_cast<const int32_t*>(bmp.data() + 22), h);
}
