// The grabbers against the real screen: windows of known colours are put on
// the display, grabbed and compared pixel by pixel.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "capture/Capture.h"
#include "capture/cCapture.h"
#include "forms/Runtime.h"
#include "unit/common/TestObjects.h"
#include "unit/common/TestSupport.h"

using namespace testsupport;

namespace {

constexpr COLORREF kRed = RGB(220, 20, 30);
constexpr COLORREF kBlue = RGB(10, 40, 200);
constexpr COLORREF kGreen = RGB(20, 180, 60);

bool PaletteDisplay() {
    HDC dc = GetDC(nullptr);
    bool pal = (GetDeviceCaps(dc, RASTERCAPS) & RC_PALETTE) != 0;
    ReleaseDC(nullptr, dc);
    return pal;
}

}  // namespace

TEST(CaptureScreen, GrabsThePrimaryScreenWholeFromItsTopLeftCorner) {
    const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    ColourWindow screen(0, 0, w, h, CornersFill(5));
    cCapture cap;
    forms::Picture pic = cap.Capture_Screen();
    ASSERT_TRUE(pic);
    EXPECT_EQ(pic.Type(), forms::picBitmap);
    EXPECT_EQ(Differs(PixelsOf(pic.Bitmap()), CornersPixels(w, h, 5), w), "");
    if (!PaletteDisplay()) {
        EXPECT_EQ(pic.hPal(), nullptr);
    }
}

// The full-screen grab's size comes from the runtime's screen in twips.
TEST(CaptureScreen, ScreenInTwipsIsWholePixelsAtTheDisplaysScaling) {
    HDC dc = GetDC(nullptr);
    const int dpiX = GetDeviceCaps(dc, LOGPIXELSX), dpiY = GetDeviceCaps(dc, LOGPIXELSY);
    ReleaseDC(nullptr, dc);
    const float tx = forms::Screen.TwipsPerPixelX(), ty = forms::Screen.TwipsPerPixelY();
    EXPECT_EQ(tx, std::floor(1440.0f / static_cast<float>(dpiX)));
    EXPECT_EQ(ty, std::floor(1440.0f / static_cast<float>(dpiY)));
    EXPECT_EQ(forms::Screen.Width() / tx, static_cast<float>(GetSystemMetrics(SM_CXSCREEN)));
    EXPECT_EQ(forms::Screen.Height() / ty, static_cast<float>(GetSystemMetrics(SM_CYSCREEN)));
}

TEST(CaptureScreen, AGrabInABitmapUsedBeforeShowsTheScreenAsItIsNow) {
    cCapture cap;
    {
        ColourWindow corner(0, 0, 40, 30, kRed);
        forms::Picture first = cap.Capture_Screen();  // its bitmap may serve the next grab
        ASSERT_EQ(PixelOf(first.Bitmap(), 0, 0), kRed);
    }
    ColourWindow corner(0, 0, 40, 30, kBlue);
    forms::Picture second = cap.Capture_Screen();
    EXPECT_EQ(PixelOf(second.Bitmap(), 0, 0), kBlue);
    EXPECT_EQ(PixelOf(second.Bitmap(), 39, 29), kBlue);

    // A bitmap left selected into a device context when its picture goes
    // cannot be drawn into: the next grab must not take it.
    {
        HDC holder = CreateCompatibleDC(nullptr);
        HGDIOBJ old = SelectObject(holder, second.Bitmap());
        second = forms::Picture();
        ColourWindow green(0, 0, 40, 30, kGreen);
        forms::Picture third = cap.Capture_Screen();
        EXPECT_EQ(PixelOf(third.Bitmap(), 0, 0), kGreen);
        SelectObject(holder, old);
        DeleteDC(holder);
    }
    second = cap.Capture_Screen();

    // An area reaching past the screen is not all drawn by the copy: it never
    // takes a bitmap used before.
    const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    const HBITMAP used = second.Bitmap();
    second = forms::Picture();
    forms::Picture past = Capture::GrabWindowArea(GetDesktopWindow(), forms::False, w / 2, 0, w, h);
    ASSERT_TRUE(past);
    EXPECT_NE(past.Bitmap(), used);
}

namespace {

// While it lives, this program's BitBlt fails as it does when the screen
// cannot be read (a secure desktop on show): the import slots that the
// loader filled with the real function point to a failing one.
class UnreadableScreen {
public:
    UnreadableScreen() {
        auto* base = reinterpret_cast<BYTE*>(GetModuleHandleW(nullptr));
        auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
        const DWORD at = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress;
        for (auto* d = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + at); d->FirstThunk; ++d)
            for (auto* slot = reinterpret_cast<void**>(base + d->FirstThunk); *slot; ++slot)
                if (*slot == real_) slots_.push_back(slot);
        for (void** slot : slots_) Put(slot, reinterpret_cast<void*>(&Fail));
    }
    ~UnreadableScreen() {
        for (void** slot : slots_) Put(slot, real_);
    }
    bool Active() const { return !slots_.empty(); }

private:
    static BOOL WINAPI Fail(HDC, int, int, int, int, HDC, int, int, DWORD) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    static void Put(void** slot, void* fn) {
        DWORD was = 0;
        VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &was);
        *slot = fn;
        VirtualProtect(slot, sizeof *slot, was, &was);
    }
    void* real_ = reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"gdi32.dll"), "BitBlt"));
    std::vector<void**> slots_;
};

}  // namespace

TEST(CaptureScreen, AScreenThatCannotBeReadGivesBlackNeverTheGrabBefore) {
    const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    cCapture cap;
    {
        ColourWindow cover(0, 0, w, h, kRed);
        forms::Picture seen = cap.Capture_Screen();  // its bitmap may serve the next grab
        ASSERT_EQ(FilledWith(seen.Bitmap(), w, h, 0xDC141E), "");
    }
    UnreadableScreen unreadable;
    ASSERT_TRUE(unreadable.Active());
    forms::Picture blind = cap.Capture_Screen();
    ASSERT_TRUE(blind);
    EXPECT_EQ(FilledWith(blind.Bitmap(), w, h, 0), "");
}

TEST(GrabWindowArea, ClientOrWholeWindowFromTheGivenOrigin) {
    ColourWindow win(200, 150, 300, 200, kGreen, WS_OVERLAPPEDWINDOW, WS_EX_TOPMOST);
    RECT wr{}, cr{};
    GetWindowRect(win.hwnd(), &wr);
    GetClientRect(win.hwnd(), &cr);
    POINT client{0, 0};
    ClientToScreen(win.hwnd(), &client);
    const int ox = client.x - wr.left, oy = client.y - wr.top;  // client origin inside the window

    forms::Picture inside = Capture::GrabWindowArea(win.hwnd(), forms::True, 10, 5, 40, 30);
    ASSERT_TRUE(inside);
    EXPECT_EQ(inside.PixelWidth(), 40);
    EXPECT_EQ(inside.PixelHeight(), 30);
    EXPECT_EQ(PixelOf(inside.Bitmap(), 0, 0), kGreen);
    EXPECT_EQ(PixelOf(inside.Bitmap(), 39, 29), kGreen);

    const int w = wr.right - wr.left, h = wr.bottom - wr.top;
    forms::Picture whole = Capture::GrabWindowArea(win.hwnd(), forms::False, 0, 0, w, h);
    ASSERT_TRUE(whole);
    EXPECT_EQ(PixelOf(whole.Bitmap(), ox, oy), kGreen);
    EXPECT_EQ(PixelOf(whole.Bitmap(), ox + cr.right - 1, oy + cr.bottom - 1), kGreen);
    if (ox > 0) {
        EXPECT_EQ(PixelOf(whole.Bitmap(), 0, oy), ScreenPixel(wr.left, wr.top + oy));
    }
}

TEST(GrabWindowArea, PictureOwnsItsBitmap) {
    HBITMAP bmp;
    {
        forms::Picture pic = Capture::GrabWindowArea(GetDesktopWindow(), forms::False, 0, 0, 16, 16);
        bmp = pic.Bitmap();
        ASSERT_NE(bmp, nullptr);
        EXPECT_EQ(GetObjectType(bmp), static_cast<DWORD>(OBJ_BITMAP));
    }
    EXPECT_EQ(GetObjectType(bmp), 0u);
}

TEST(GrabWindowArea, EmptyAreaStillGivesAPicture) {
    forms::Picture pic = Capture::GrabWindowArea(GetDesktopWindow(), forms::False, 0, 0, 0, 0);
    EXPECT_TRUE(pic);
}

TEST(CaptureActiveWindow, TakesTheForegroundWindowWithItsFrame) {
    ColourWindow win(150, 120, 320, 240, kBlue, WS_OVERLAPPEDWINDOW, WS_EX_TOPMOST);
    SetForegroundWindow(win.hwnd());
    Pump(50);
    ASSERT_EQ(GetForegroundWindow(), win.hwnd());
    RECT wr{};
    GetWindowRect(win.hwnd(), &wr);
    POINT client{0, 0};
    ClientToScreen(win.hwnd(), &client);

    cCapture cap;
    forms::Boolean none = forms::False;
    forms::Picture pic = cap.Capture_ActiveWindow(none);
    EXPECT_EQ(none, forms::False);
    ASSERT_TRUE(pic);
    EXPECT_EQ(pic.PixelWidth(), wr.right - wr.left);
    EXPECT_EQ(pic.PixelHeight(), wr.bottom - wr.top);
    EXPECT_EQ(PixelOf(pic.Bitmap(), client.x - wr.left + 5, client.y - wr.top + 5), kBlue);
    EXPECT_EQ(PixelOf(pic.Bitmap(), 0, 0), ScreenPixel(wr.left, wr.top));
}

TEST(CaptureActiveWindow, RectangleEndingAtTheOriginMeansNoPicture) {
    // Right and bottom edges at 0: the window lies wholly off the screen.
    ColourWindow win(-100, -80, 100, 80, kRed);
    SetForegroundWindow(win.hwnd());
    Pump(50);
    ASSERT_EQ(GetForegroundWindow(), win.hwnd());
    forms::Boolean none = forms::False;
    forms::Picture pic = Capture::CaptureActiveWindow(none);
    EXPECT_EQ(none, forms::True);
    EXPECT_TRUE(pic);
}

TEST(CaptureActiveWindow, NoForegroundWindowAtAllMeansNoPicture) {
    {
        ColourWindow win(100, 100, 120, 90, kGreen);
        SetForegroundWindow(win.hwnd());
        Pump(30);
    }  // the foreground window goes and nothing takes its place
    Pump(30);
    ASSERT_EQ(GetForegroundWindow(), nullptr);
    forms::Boolean none = forms::False;
    forms::Picture pic = Capture::CaptureActiveWindow(none);
    EXPECT_EQ(none, forms::True);
    EXPECT_TRUE(pic);
}

TEST(CaptureActiveWindow, NeverClearsAStatusAlreadySet) {
    ColourWindow win(100, 100, 120, 90, kGreen);
    SetForegroundWindow(win.hwnd());
    Pump(50);
    forms::Boolean none = forms::True;
    Capture::CaptureActiveWindow(none);
    EXPECT_EQ(none, forms::True);
}

TEST(CaptureWindow, WindowDrawsItselfIntoTheBox) {
    ColourWindow win(300, 300, 60, 40, kRed);
    CanvasObject canvas(80, 60, RGB(255, 255, 255));
    cCapture cap;
    HWND none = nullptr;
    EXPECT_TRUE(cap.Capture_Window(none, canvas).IsEmpty());
    EXPECT_EQ(GetPixel(canvas.dc(), 10, 10), RGB(255, 255, 255));
    HWND h = win.hwnd();
    cap.Capture_Window(h, canvas);
    EXPECT_EQ(GetPixel(canvas.dc(), 10, 10), kRed);
    EXPECT_EQ(GetPixel(canvas.dc(), 70, 50), RGB(255, 255, 255));
}

TEST(CaptureInfo, EnvironmentValuesByNumber) {
    cCapture cap;
    const char* names[] = {"USERNAME", "USERDOMAIN", "PROCESSOR_IDENTIFIER", "NUMBER_OF_PROCESSORS"};
    for (int i = 0; i < 4; ++i) {
        char buf[256] = {};
        GetEnvironmentVariableA(names[i], buf, sizeof buf);
        EXPECT_EQ(cap.GetEnvironmentVar(i), forms::FromAnsi(buf)) << names[i];
    }
    EXPECT_FALSE(cap.GetEnvironmentVar(3).empty());
    EXPECT_EQ(cap.GetEnvironmentVar(4), L"");
    EXPECT_EQ(cap.GetEnvironmentVar(-1), L"");
}

TEST(CaptureInfo, DeviceNameOfTheFirstDisplay) {
    cCapture cap;
    DISPLAY_DEVICEA dd{};
    dd.cb = sizeof dd;
    ASSERT_TRUE(EnumDisplayDevicesA(nullptr, 0, &dd, 0));
    EXPECT_EQ(cap.GetDeviceName(), L"Device String:" + forms::FromAnsi(dd.DeviceString));
}
