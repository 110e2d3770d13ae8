// Region and object captures through the real program: hidden behind its
// tray icon, started by the hotkey, the rectangle chosen with the mouse,
// the picture taken from the clipboard.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "e2e/ProgramDriver.h"
#include "forms/Picture.h"
#include "forms/Runtime.h"
#include "unit/common/TestObjects.h"
#include "unit/common/TestSupport.h"

using namespace e2e;
using namespace testsupport;

namespace {

constexpr COLORREF kOlive = RGB(128, 128, 0);

// A settings file for one capture mode with the clipboard as destination;
// the one that was there comes back at the end.
struct Settings : ConfigFile {
    explicit Settings(int mode)
        : ConfigFile("[main]\r\nmb=" + std::to_string(mode) + "\r\ncm=0\r\n[hkeys]\r\nhk=83\r\nmdf=2\r\n[sav]\r\nmsl=1\r\n") {}
};

// The program's window that covers the whole screen, or null.
HWND FindOverlay(DWORD pid) {
    for (HWND h : TopWindows(pid, true)) {
        RECT r{};
        GetWindowRect(h, &r);
        if (r.left == 0 && r.top == 0 && r.right == GetSystemMetrics(SM_CXSCREEN) &&
            r.bottom == GetSystemMetrics(SM_CYSCREEN))
            return h;
    }
    return nullptr;
}

bool WaitGone(HWND h, int ms) {
    const DWORD end = GetTickCount() + ms;
    while (IsWindow(h) && IsWindowVisible(h)) {
        if (static_cast<int>(end - GetTickCount()) <= 0) return false;
        Pump(50);
    }
    return true;
}

// With --shots=DIR the screen is kept as a BMP file there.
void Shot(const wchar_t* name) {
    const std::wstring dir = Arg("shots");
    const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    if (!dir.empty())
        forms::SavePicture(forms::Picture::FromBitmap(CreateBitmap(w, h, 1, 32, ScreenPixels().data())),
                           dir + L"\\" + name + L".bmp");
}

// The overlay has the keyboard: Escape sent before it has would go elsewhere.
bool TakesKeys(HWND overlay) {
    return WaitUntil([overlay] { return GetForegroundWindow() == overlay; }, 10000);
}

// Starts the program, hides it behind its tray icon and parks the pointer
// away from the test's windows.
class HotkeyCapture {
public:
    explicit HotkeyCapture(int mode) : settings_(mode) {
        MoveMouse(600, 500);
        main_ = MainWindowOf(program_);
        if (!main_ || !HideMainWindow(main_)) return;
        forms::Clipboard.Clear();
    }
    DWORD pid() const { return program_.pid(); }
    HWND main() const { return main_; }
    // Ctrl+S held until the overlay covers the screen: the overlay; null when
    // the program hid no window or showed no overlay. (The object overlay
    // asks the system for the window at some 2,000 points as it opens: on a
    // busy machine that has taken half a minute.)
    HWND Overlay() const {
        HWND overlay = nullptr;
        if (main_ && !IsWindowVisible(main_))
            HoldHotkey([&] { return (overlay = FindOverlay(program_.pid())) != nullptr; }, 60000);
        return overlay;
    }

private:
    Settings settings_;
    Program program_;
    HWND main_ = nullptr;
};

// "" once the clipboard holds a bitmap of w x h pixels of the colour, or
// what it holds after some seconds: the platform's own clipboard keeper may
// have it open a moment.
std::string ClipboardFilled(int w, int h, COLORREF colour) {
    std::string wrong;
    auto filled = [&] {
        return (wrong = FilledWith(forms::Clipboard.GetData().Bitmap(), w, h, RgbOf(colour))).empty();
    };
    WaitUntil(filled, 3000);
    return wrong;
}

}  // namespace

TEST(Overlays, RegionDraggedOverTheFrozenScreenGoesToTheClipboard) {
    ColourWindow target(300, 200, 240, 160, kOlive, WS_POPUP, 0);
    HotkeyCapture run(3);
    HWND overlay = run.Overlay();
    ASSERT_NE(overlay, nullptr) << "no region overlay";

    MoveMouse(320, 230);
    Pump(100);
    MouseButton(true, true);
    Pump(100);
    MoveMouse(400, 280);
    Pump(100);
    MoveMouse(460, 330);
    Pump(150);
    Shot(L"region-dragging");
    MouseButton(true, false);
    ASSERT_TRUE(WaitGone(overlay, 5000));
    // The overlay hides before it delivers.
    ASSERT_TRUE(WaitUntil([] { return IsClipboardFormatAvailable(CF_BITMAP) != FALSE; }, 5000));
    EXPECT_EQ(ClipboardFilled(140, 100, kOlive), "");

    // The next press, once the capture has ended and the program has seen
    // the keys of the first up, opens the overlay again.
    LetThePollSeeTheKeysUp();
    overlay = run.Overlay();
    ASSERT_NE(overlay, nullptr) << "the first press after the overlay closed opened none";
    ASSERT_TRUE(TakesKeys(overlay));
    KeyDown(VK_ESCAPE);
    KeyUp(VK_ESCAPE);
    ASSERT_TRUE(WaitGone(overlay, 5000));
    EXPECT_EQ(ClipboardFilled(140, 100, kOlive), "") << "Escape keeps what the clipboard held";
}

TEST(Overlays, RegionOverlayHoldsTrayClicksBackAndEscapeCancelsItSavingNothing) {
    HotkeyCapture run(3);
    HWND overlay = run.Overlay();
    ASSERT_NE(overlay, nullptr);
    Shot(L"region-idle");
    // A right-click on the icon, the taskbar brought above the overlay: a
    // menu now would open over the overlay and its choice act under it.
    TrayClick(run.main(), WM_RBUTTONUP);
    EXPECT_FALSE(WaitUntil([&] { return MenuUp(run.pid()); }, 500)) << "a menu opened over the overlay";
    ASSERT_TRUE(TakesKeys(overlay));
    KeyDown(VK_ESCAPE);
    KeyUp(VK_ESCAPE);
    ASSERT_TRUE(WaitGone(overlay, 5000));
    EXPECT_TRUE(WaitUntil([&] { return MenuUp(run.pid()); }, 3000)) << "the click is served once the overlay closes";
    KeyDown(VK_ESCAPE);
    KeyUp(VK_ESCAPE);
    ASSERT_TRUE(WaitUntil([&] { return !MenuUp(run.pid()); }, 3000));
    Pump(300);
    EXPECT_FALSE(forms::Clipboard.GetData());

    overlay = run.Overlay();
    ASSERT_NE(overlay, nullptr) << "the overlay does not open a second time";
    MouseButton(false, true);
    Pump(80);
    MouseButton(false, false);
    EXPECT_TRUE(WaitGone(overlay, 5000));
}

TEST(Overlays, ObjectPickedUnderThePointerGoesToTheClipboardAndTrayClicksWaitForIt) {
    ColourWindow target(380, 260, 180, 120, kOlive, WS_POPUP, 0);
    HotkeyCapture run(4);
    HWND overlay = run.Overlay();
    ASSERT_NE(overlay, nullptr) << "no object overlay";
    TrayClick(run.main(), WM_RBUTTONUP);
    EXPECT_FALSE(WaitUntil([&] { return MenuUp(run.pid()); }, 500)) << "a menu opened over the overlay";

    // Picked once its red frame is drawn round the window under the pointer.
    MoveMouse(430, 300);
    auto framed = [] { return ScreenPixel(380, 320) == RGB(255, 0, 0) || ScreenPixel(381, 320) == RGB(255, 0, 0); };
    ASSERT_TRUE(WaitUntil(framed, 10000)) << "no frame round the window under the pointer";
    Shot(L"object-framing");
    MouseButton(true, true);
    Pump(80);
    MouseButton(true, false);
    ASSERT_TRUE(WaitGone(overlay, 5000));
    EXPECT_TRUE(WaitUntil([&] { return MenuUp(run.pid()); }, 3000)) << "the click is served once the overlay closes";
    KeyDown(VK_ESCAPE);
    KeyUp(VK_ESCAPE);
    ASSERT_TRUE(WaitUntil([&] { return !MenuUp(run.pid()); }, 3000));
    EXPECT_EQ(ClipboardFilled(180, 120, kOlive), "");
}
