// The object overlay over real windows: the grid sampled at opening, the red
// frame that follows the pointer, the capture of the framed window and the
// ways out.
#include <gtest/gtest.h>

#include "app/FrmObjectSelect.h"
#include "app/ModGeneral.h"
#include "capture/cCapture.h"
#include "unit/app/OverlayTestSupport.h"

using namespace testsupport;
using namespace overlaytest;
using app::FrmObjectSelect;

namespace {

constexpr COLORREF kTeal = RGB(0, 128, 128);
constexpr COLORREF kPlum = RGB(142, 69, 133);

class ObjectOverlay : public ::testing::Test {
protected:
    void SetUp() override {
        MarkCanvas();
        SaveToEmptyClipboard();
        MoveTo(900, 700);
    }
    void TearDown() override {
        MouseButton(true, false);
        FrmObjectSelect.Release();
        Pump(30);
        ModGeneral::g_ObjectSelecting = forms::False;
    }

    // Opens the overlay the way the capture page does: the load samples the
    // windows, then the frozen screen is put on and the form shown.
    static void Open() {
        auto& f = *FrmObjectSelect;
        f.Move(0, 0, static_cast<float>(forms::Screen.Width()), static_cast<float>(forms::Screen.Height()));
        f.Picture(cCapture().Capture_Screen());
        f.Show();
        ModGeneral::g_ObjectSelecting = forms::True;
        Pump(60);
    }
    static bool IsOpen() { return FrmObjectSelect.Loaded() && IsWindowVisible(FrmObjectSelect->hWnd()); }
    static RECT FramePixels() {
        auto& sh = FrmObjectSelect->Sh;
        const auto l = static_cast<LONG>(sh.Left() / Tpp()), t = static_cast<LONG>(sh.Top() / Tpp());
        return {l, t, l + static_cast<LONG>(sh.Width() / Tpp()), t + static_cast<LONG>(sh.Height() / Tpp())};
    }
    static void ExpectFrame(LONG l, LONG t, LONG r, LONG b) {
        const RECT f = FramePixels();
        EXPECT_EQ(f.left, l);
        EXPECT_EQ(f.top, t);
        EXPECT_EQ(f.right, r);
        EXPECT_EQ(f.bottom, b);
        EXPECT_TRUE(FrmObjectSelect->Sh.Shown());
    }
    static void ExpectClosedWithoutCapture() {
        EXPECT_EQ(FrmObjectSelect.Instance(), nullptr);
        EXPECT_EQ(ModGeneral::g_ObjectSelecting, forms::False);
        EXPECT_TRUE(CanvasUntouched());
        EXPECT_FALSE(ClipboardPicture());
    }
};

// Every pixel of the picture is the colour, or black where the window lay
// off the screen.
void ExpectFilled(const forms::Picture& pic, int w, int h, COLORREF colour, int offLeft = 0, int offTop = 0) {
    EXPECT_EQ(FilledWith(pic.Bitmap(), w, h, RgbOf(colour), offLeft, offTop), "");
}

TEST_F(ObjectOverlay, GridCoversTheScreenInTwentyPixelSteps) {
    ColourWindow small(15, 35, 10, 10, kPlum, WS_POPUP, 0);  // holds (20, 40) only
    ColourWindow corner(1015, 755, 9, 13, kTeal, WS_POPUP, 0);  // holds (1020, 760)
    Open();
    auto& f = *FrmObjectSelect;
    ASSERT_EQ(GetSystemMetrics(SM_CXSCREEN), 1024);
    ASSERT_EQ(GetSystemMetrics(SM_CYSCREEN), 768);
    EXPECT_EQ(f.GridColumns(), 52);
    EXPECT_EQ(f.GridRows(), 39);
    EXPECT_EQ(f.Grid(1, 2), small.hwnd());
    EXPECT_EQ(f.Grid(51, 38), corner.hwnd());
    EXPECT_EQ(testsupport::ErrorNumberOf([&] { f.Grid(52, 0); }), forms::err::Subscript);

    // The pointer finds the window sampled at the grid point up and to the
    // left of it, even where that window does not reach.
    MoveTo(39, 59);
    ExpectFrame(15, 35, 25, 45);
    MoveTo(1023, 767);
    ExpectFrame(1015, 755, 1024, 768);
    MoveTo(40, 59);  // the next column: the desktop
    EXPECT_NE(FramePixels().left, 15);
}

TEST_F(ObjectOverlay, RedFrameMarksTheWindowUnderThePointer) {
    ColourWindow a(200, 150, 300, 200, kTeal, WS_POPUP, 0);
    ColourWindow b(600, 400, 120, 90, kPlum, WS_POPUP, 0);
    Open();
    EXPECT_FALSE(FrmObjectSelect->Sh.Shown() && FramePixels().left == 200);
    MoveTo(250, 220);
    ExpectFrame(200, 150, 500, 350);
    EXPECT_EQ(FrmObjectSelect->Sh.BorderColor(), 255);
    EXPECT_EQ(FrmObjectSelect->Sh.BorderWidth(), 2);
    // On the screen: red along the window's edges, the window's colour inside.
    EXPECT_EQ(ScreenPixel(350, 150), RGB(255, 0, 0));
    EXPECT_EQ(ScreenPixel(200, 250), RGB(255, 0, 0));
    EXPECT_EQ(ScreenPixel(350, 250), kTeal);

    MoveTo(650, 450);
    ExpectFrame(600, 400, 720, 490);
    EXPECT_EQ(ScreenPixel(350, 150), kTeal);
    EXPECT_EQ(ScreenPixel(650, 400), RGB(255, 0, 0));
    EXPECT_TRUE(IsOpen());
}

TEST_F(ObjectOverlay, ChildControlIsFramedOnItsOwn) {
    ColourWindow parent(100, 100, 400, 300, kTeal, WS_POPUP, 0);
    HWND child = CreateWindowExW(0, L"BUTTON", L"OK", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 50, 60, 120, 40,
                                 parent.hwnd(), nullptr, GetModuleHandleW(nullptr), nullptr);
    Pump(50);
    Open();
    MoveTo(165, 175);  // grid point (160, 160) lies on the child
    ExpectFrame(150, 160, 270, 200);
    MoveTo(125, 125);
    ExpectFrame(100, 100, 500, 400);
    DestroyWindow(child);
}

TEST_F(ObjectOverlay, LeftReleaseCapturesTheFramedWindowEvenAlwaysOnTop) {
    // The overlay covers an always-on-top window too, so the press is its own.
    ColourWindow a(200, 150, 300, 200, kTeal, WS_POPUP, WS_EX_TOPMOST);
    Open();
    MoveTo(260, 230);
    Left(true);
    EXPECT_TRUE(IsOpen()) << "a press alone does nothing";
    EXPECT_TRUE(CanvasUntouched());
    Left(false);
    Pump(60);
    EXPECT_EQ(FrmObjectSelect.Instance(), nullptr);
    EXPECT_EQ(ModGeneral::g_ObjectSelecting, forms::False);
    ExpectFilled(app::FrmMain->Pic.Picture(), 300, 200, kTeal);
    ExpectFilled(app::FrmMain->Pic.Image(), 300, 200, kTeal);
    ExpectFilled(ClipboardPicture(), 300, 200, kTeal);
}

TEST_F(ObjectOverlay, CaptureTakesTheFrozenPictureNotTheLiveScreen) {
    auto a = std::make_unique<ColourWindow>(300, 300, 100, 80, kTeal, WS_POPUP, 0);
    Open();
    // The window turns another colour behind the overlay: the frozen one counts.
    SetWindowLongPtrW(a->hwnd(), GWLP_USERDATA, static_cast<LONG_PTR>(kPlum));
    InvalidateRect(a->hwnd(), nullptr, TRUE);
    Pump(30);
    MoveTo(330, 330);
    Left(true);
    Left(false);
    Pump(60);
    ExpectFilled(app::FrmMain->Pic.Picture(), 100, 80, kTeal);
}

TEST_F(ObjectOverlay, WindowPartlyOffTheScreenIsFramedWholeAndCutOutWithBlack) {
    ColourWindow a(-30, -20, 200, 150, kPlum, WS_POPUP, 0);
    Open();
    MoveTo(5, 5);
    ExpectFrame(-30, -20, 170, 130);
    Left(true);
    Left(false);
    Pump(60);
    ExpectFilled(app::FrmMain->Pic.Picture(), 200, 150, kPlum, 30, 20);
}

TEST_F(ObjectOverlay, WindowThatMovesAfterOpeningIsFramedWhereItIsNow) {
    ColourWindow a(200, 200, 100, 100, kTeal, WS_POPUP, 0);
    Open();
    SetWindowPos(a.hwnd(), nullptr, 260, 230, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    Pump(30);
    MoveTo(210, 210);
    ExpectFrame(260, 230, 360, 330);
}

TEST_F(ObjectOverlay, WindowGoneSinceOpeningCollapsesTheFrame) {
    auto a = std::make_unique<ColourWindow>(200, 200, 100, 100, kTeal, WS_POPUP, 0);
    Open();
    MoveTo(210, 210);
    ExpectFrame(200, 200, 300, 300);
    a.reset();
    MoveTo(215, 215);
    ExpectFrame(0, 0, 0, 0);
    EXPECT_TRUE(IsOpen());
}

TEST_F(ObjectOverlay, RightReleaseClosesWithoutCaptureAndTheNextOpeningSamplesAnew) {
    Open();
    MoveTo(400, 300);
    MouseButton(false, true);
    Pump(40);
    EXPECT_TRUE(IsOpen()) << "a press alone does nothing";
    MouseButton(false, false);
    Pump(60);
    ExpectClosedWithoutCapture();

    ColourWindow late(380, 280, 60, 60, kPlum, WS_POPUP, 0);
    Open();
    MoveTo(405, 305);
    ExpectFrame(380, 280, 440, 340);
}

TEST_F(ObjectOverlay, EscapeClosesWithoutCaptureAndItOpensAgain) {
    Open();
    KeyDown(VK_ESCAPE);
    KeyUp(VK_ESCAPE);
    Pump(60);
    ExpectClosedWithoutCapture();
    Open();
    EXPECT_TRUE(IsOpen());
    KeyDown('A');
    KeyUp('A');
    Pump(40);
    EXPECT_TRUE(IsOpen()) << "other keys do nothing";
}

TEST_F(ObjectOverlay, PointerIsThePointingHand) {
    Open();
    EXPECT_EQ(FrmObjectSelect->MousePointer(), forms::vbCustom);
    EXPECT_TRUE(FrmObjectSelect->MouseIcon());
}

}  // namespace
