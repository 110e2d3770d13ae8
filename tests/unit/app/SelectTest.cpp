// The region overlay driven with the mouse and keys over a coded frozen
// screen: what lands in the capture canvas, the read-out and the cancels.
#include <gtest/gtest.h>

#include "app/FrmSelect.h"
#include "app/ModGeneral.h"
#include "capture/cCapture.h"
#include "unit/app/OverlayTestSupport.h"

using namespace testsupport;
using namespace overlaytest;
using app::FrmSelect;

namespace {

class RegionOverlay : public ::testing::Test {
protected:
    void SetUp() override {
        MarkCanvas();
        SaveToEmptyClipboard();
        MoveTo(400, 300);
        Open();
    }
    void TearDown() override {
        MouseButton(true, false);
        forms::Unload(FrmSelect);
        Pump(30);
    }

    // Opens the overlay the way the capture page does.
    void Open() {
        auto& f = *FrmSelect;
        f.Move(0, 0, static_cast<float>(forms::Screen.Width()), static_cast<float>(forms::Screen.Height()));
        f.Picture(CodedScreenPicture());
        f.Visible(forms::True);
        ModGeneral::SetFormOnTop(f, forms::True);
        SetFocus(f.hWnd());
        ModGeneral::g_RegionSelecting = forms::True;
        Pump(60);
    }
    static bool IsOpen() { return FrmSelect.Loaded() && IsWindowVisible(FrmSelect->hWnd()); }

    // The region was saved: canvas and clipboard hold it, the overlay is gone.
    static void ExpectSaved(int left, int top, int w, int h) {
        EXPECT_FALSE(FrmSelect.Loaded());
        EXPECT_EQ(ModGeneral::g_RegionSelecting, forms::False);
        ExpectCodedRegion(app::FrmMain->Pic.Picture(), left, top, w, h);
        ExpectCodedRegion(app::FrmMain->Pic.Image(), left, top, w, h);
        ExpectCodedRegion(ClipboardPicture(), left, top, w, h);
    }
    // Closed without a capture: the canvas as it was, nothing saved.
    static void ExpectCancelled() {
        EXPECT_FALSE(FrmSelect.Loaded());
        EXPECT_EQ(ModGeneral::g_RegionSelecting, forms::False);
        EXPECT_TRUE(CanvasUntouched());
        EXPECT_FALSE(ClipboardPicture());
    }
    static void ExpectStillOpen() {
        EXPECT_TRUE(IsOpen());
        EXPECT_TRUE(CanvasUntouched());
        EXPECT_FALSE(ClipboardPicture());
    }
};

struct DragCase {
    const char* name;
    int x0, y0, x1, y1;    // press and release, screen pixels
    int left, top, w, h;  // the capture expected
};

class RegionDrag : public RegionOverlay, public ::testing::WithParamInterface<DragCase> {};

TEST_P(RegionDrag, DraggedRectangleBecomesTheCapture) {
    const DragCase& c = GetParam();
    Drag(c.x0, c.y0, c.x1, c.y1);
    ExpectSaved(c.left, c.top, c.w, c.h);
}

INSTANTIATE_TEST_SUITE_P(
    Directions, RegionDrag,
    ::testing::Values(DragCase{"DownRight", 100, 120, 300, 250, 100, 120, 200, 130},
                      DragCase{"UpLeft", 300, 250, 100, 120, 100, 120, 200, 130},
                      DragCase{"DownLeft", 600, 100, 450, 400, 450, 100, 150, 300},
                      DragCase{"OnePixelWideTall", 500, 200, 501, 300, 500, 200, 1, 100},
                      DragCase{"TwoPixelsWideOneHigh", 500, 200, 502, 201, 500, 200, 2, 1}),
    [](const ::testing::TestParamInfo<DragCase>& i) { return std::string(i.param.name); });

TEST_F(RegionOverlay, TooSmallBandStaysRedAndANewDragStillWorks) {
    Drag(500, 200, 501, 201);  // 1 x 1
    ExpectStillOpen();
    EXPECT_EQ(FrmSelect->Sh.BorderColor(), 255);
    EXPECT_EQ(FrmSelect->Sh.Width(), Tpp());
    EXPECT_EQ(FrmSelect->Dragging(), forms::False);

    // A click without movement leaves a red band of no size.
    MoveTo(520, 220);
    Left(true);
    EXPECT_EQ(FrmSelect->Sh.BorderColor(), 0);
    Left(false);
    ExpectStillOpen();
    EXPECT_EQ(FrmSelect->Sh.Width(), 0.0f);
    EXPECT_EQ(FrmSelect->Sh.Height(), 0.0f);
    EXPECT_EQ(FrmSelect->Sh.BorderColor(), 255);

    Drag(200, 300, 260, 340);
    ExpectSaved(200, 300, 60, 40);
}

TEST_F(RegionOverlay, BandWithNoWidthSavesNothing) {
    Drag(500, 200, 500, 400);
    ExpectStillOpen();
    Drag(500, 400, 700, 400);
    ExpectStillOpen();
}

TEST_F(RegionOverlay, RubberBandFollowsThePointerWhileDragging) {
    MoveTo(300, 200);
    Left(true);
    MoveTo(200, 260);
    auto& sh = FrmSelect->Sh;
    EXPECT_TRUE(sh.Shown());
    EXPECT_EQ(sh.Left(), 200 * Tpp());
    EXPECT_EQ(sh.Top(), 200 * Tpp());
    EXPECT_EQ(sh.Width(), 100 * Tpp());
    EXPECT_EQ(sh.Height(), 60 * Tpp());
    EXPECT_EQ(sh.BorderColor(), 0);
    EXPECT_EQ(sh.BorderStyle(), forms::vbBSDot);
    // The dotted band is on the screen over the frozen picture: some of its
    // top edge is black, and inside it the frozen picture shows untouched.
    int black = 0;
    for (int x = 200; x < 300; ++x) black += ScreenPixel(x, 200) == 0;
    EXPECT_GT(black, 20);
    EXPECT_LT(black, 100);
    COLORREF inside = ScreenPixel(250, 230);
    uint32_t code = CodeOf(250, 230);
    EXPECT_EQ(inside, RGB(code >> 16, (code >> 8) & 255, code & 255));
    EXPECT_TRUE(IsOpen());
    Left(false);
    Pump(60);
    ExpectSaved(200, 200, 100, 60);
}

TEST_F(RegionOverlay, RightPressDuringADragCancels) {
    MoveTo(100, 100);
    Left(true);
    MoveTo(300, 300);
    MouseButton(false, true);
    Pump(60);
    ExpectCancelled();
    MouseButton(false, false);
    Left(false);
    ExpectCancelled();
}

TEST_F(RegionOverlay, RightOrMiddlePressWithoutADragCancels) {
    MoveTo(200, 200);
    MouseButton(false, true);
    Pump(60);
    MouseButton(false, false);
    ExpectCancelled();

    Open();
    MiddleButton(true);
    Pump(60);
    MiddleButton(false);
    Pump(30);
    ExpectCancelled();
}

TEST_F(RegionOverlay, EscapeCancelsEvenDuringADrag) {
    KeyDown(VK_ESCAPE);
    KeyUp(VK_ESCAPE);
    Pump(60);
    ExpectCancelled();

    Open();
    MoveTo(100, 100);
    Left(true);
    MoveTo(300, 300);
    KeyDown(VK_ESCAPE);
    KeyUp(VK_ESCAPE);
    Pump(60);
    Left(false);
    ExpectCancelled();
}

TEST_F(RegionOverlay, DragCutShortByACancelIsForgottenAtTheNextOpening) {
    MoveTo(100, 100);
    Left(true);
    MoveTo(300, 300);
    KeyDown(VK_ESCAPE);
    KeyUp(VK_ESCAPE);
    Left(false);
    Pump(40);
    ASSERT_FALSE(FrmSelect.Loaded());

    Open();
    MoveTo(350, 320);
    EXPECT_EQ(FrmSelect->Dragging(), forms::False);
    EXPECT_FALSE(FrmSelect->Sh.Shown());
    Left(true);
    Left(false);
    ExpectStillOpen();
}

TEST_F(RegionOverlay, OtherKeysDoNothing) {
    KeyDown(VK_RETURN);
    KeyUp(VK_RETURN);
    KeyDown('A');
    KeyUp('A');
    Pump(60);
    ExpectStillOpen();
}

TEST_F(RegionOverlay, ClickOnThePanelCancels) {
    // Reaching the panel with the pointer moves it away; a click that comes
    // without a move (keyboard mouse keys, a pen) lands on it.
    HWND panel = FrmSelect->Panel.hWnd();
    SendMessageW(panel, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(40, 10));
    SendMessageW(panel, WM_LBUTTONUP, 0, MAKELPARAM(40, 10));
    Pump(60);
    ExpectCancelled();
}

TEST_F(RegionOverlay, PanelJumpsToTheOtherEdgeWhenThePointerReachesIt) {
    auto& f = *FrmSelect;
    const float screenW = static_cast<float>(forms::Screen.Width());
    const float screenH = static_cast<float>(forms::Screen.Height());
    EXPECT_EQ(f.PanelAtBottom(), 0);
    EXPECT_EQ(f.Panel.Top(), 0.0f);
    EXPECT_EQ(f.Panel.Width(), screenW);
    // 375 and 45 twips, to the whole pixel.
    const float panelH = f.Panel.Height(), ruleH = f.Ln1.Height();
    EXPECT_NEAR(panelH, 375.0f, Tpp() / 2);
    EXPECT_NEAR(ruleH, 45.0f, Tpp() / 2);
    EXPECT_EQ(f.Ln1.Top(), panelH - ruleH);

    MoveTo(400, 10);
    EXPECT_EQ(f.PanelAtBottom(), 1);
    EXPECT_EQ(f.Panel.Top(), screenH - panelH);
    EXPECT_EQ(f.Ln1.Top(), 0.0f);
    EXPECT_EQ(f.Ln1.Width(), screenW);
    // On the screen: the frozen picture at the top again, the panel's grey
    // body and its orange rule along its top edge at the bottom.
    const int h = GetSystemMetrics(SM_CYSCREEN);
    const uint32_t code = CodeOf(600, 10);
    EXPECT_EQ(ScreenPixel(600, 10), RGB(code >> 16, (code >> 8) & 255, code & 255));
    EXPECT_EQ(ScreenPixel(2, h - 3), RGB(78, 78, 78));
    const COLORREF rule = ScreenPixel(300, h - static_cast<int>(panelH / Tpp()));
    EXPECT_GT(GetRValue(rule), 200) << std::hex << rule;
    EXPECT_LT(GetBValue(rule), 60) << std::hex << rule;

    MoveTo(400, h - 10);
    EXPECT_EQ(f.PanelAtBottom(), 0);
    EXPECT_EQ(f.Panel.Top(), 0.0f);
    EXPECT_EQ(f.Ln1.Top(), panelH - ruleH);
    ExpectStillOpen();
}

TEST_F(RegionOverlay, DragFromTheOrangeRuleUnderThePanelStartsABand) {
    const int y = static_cast<int>((FrmSelect->Panel.Height() - FrmSelect->Ln1.Height() / 2) / Tpp());
    Drag(300, y, 400, y + 80);
    ExpectSaved(300, y, 100, 80);
}

std::vector<uint32_t> PanelPixels() { return PixelsOf(FrmSelect->Panel.Image().Bitmap()); }

// A panel of the same make on a form of its own, to print the expected text.
class CFrmReference : public forms::Form {
public:
    forms::PictureBox Ref{this, L"Ref"};
};

std::vector<uint32_t> ReferencePixels(const std::wstring& text, float y) {
    auto& panel = FrmSelect->Panel;
    CFrmReference form;
    auto& ref = form.Ref;
    ref.BorderStyle(0);
    ref.AutoRedraw(forms::True);
    ref.BackColor(panel.BackColor());
    ref.ForeColor(panel.ForeColor());
    ref.Font(panel.Font());
    ref.Move(0, 0, panel.Width(), panel.Height());
    form.Load();
    ref.Cls();
    ref.CurrentX = 135;
    ref.CurrentY = y;
    ref.Print(text);
    auto pixels = PixelsOf(ref.Image().Bitmap());
    forms::Unload(form);
    return pixels;
}

TEST_F(RegionOverlay, ReadOutShowsThePointerAndWhileDraggingTheSize) {
    MoveTo(400, 300);
    Pump(40);
    auto shown = PanelPixels();
    EXPECT_EQ(shown, ReferencePixels(L"X= 400  Y= 300", 70));
    EXPECT_NE(shown, ReferencePixels(L"X= 401  Y= 300", 70));

    MoveTo(100, 200);
    Left(true);
    MoveTo(220, 300);
    Pump(40);
    EXPECT_EQ(PanelPixels(), ReferencePixels(L"X= 220  Y= 300  Width= 120 Height= 100", 70));
    MouseButton(false, true);
    Pump(40);
    MouseButton(false, false);
    Left(false);
}

TEST_F(RegionOverlay, ReadOutSitsLowerInThePanelAtTheBottom) {
    MoveTo(400, 10);  // the panel goes to the bottom
    MoveTo(401, 301);
    Pump(40);
    EXPECT_EQ(PanelPixels(), ReferencePixels(L"X= 401  Y= 301", 110));
}

TEST_F(RegionOverlay, ClosesAndOpensAgain) {
    for (int round = 0; round < 3; ++round) {
        KeyDown(VK_ESCAPE);
        KeyUp(VK_ESCAPE);
        Pump(40);
        EXPECT_FALSE(FrmSelect.Loaded());
        Open();
        EXPECT_TRUE(IsOpen());
        // A fresh start: the panel at the top, no band from before.
        EXPECT_EQ(FrmSelect->PanelAtBottom(), 0);
        EXPECT_FALSE(FrmSelect->Sh.Shown());
    }
    Drag(10, 40, 20, 60);
    ExpectSaved(10, 40, 10, 20);
}

}  // namespace
