// The window and pointer helpers of the drawing kit, on real windows under
// the real pointer.
#include <gtest/gtest.h>

#include "controls/cGraphics.h"
#include "forms/Error.h"
#include "unit/common/TestObjects.h"
#include "unit/common/TestSupport.h"

using namespace testsupport;

namespace {

constexpr COLORREF kGrey = RGB(128, 128, 128);

bool InRegion(HWND hwnd, int x, int y) {
    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    bool in = GetWindowRgn(hwnd, rgn) != ERROR && PtInRegion(rgn, x, y);
    DeleteObject(rgn);
    return in;
}

}  // namespace

TEST(GraphicsPointer, CurPosGivesXForZeroAndYOtherwise) {
    SetCursorPos(123, 234);
    cGraphics g;
    EXPECT_EQ(g.GetCurPos(0), 123);
    EXPECT_EQ(g.GetCurPos(1), 234);
    EXPECT_EQ(g.GetCurPos(-1), 234);
    EXPECT_EQ(g.GetCurPos(7), 234);
}

TEST(GraphicsPointer, HwndIsTheWindowUnderThePointer) {
    ColourWindow win(300, 200, 80, 60, kGrey);
    SetCursorPos(340, 230);
    Pump(20);
    cGraphics g;
    EXPECT_EQ(g.GetHwnd(), win.hwnd());
}

TEST(GraphicsMoveLayer, SourceBecomesAChildAtTheGivenPlace) {
    ColourWindow holder(100, 100, 400, 300, kGrey);
    ColourWindow form(600, 100, 200, 200, RGB(0, 0, 255));
    HWND content = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 30, 40, 120, 90, form.hwnd(), nullptr,
                                   nullptr, nullptr);
    WindowObject source(content), dest(holder.hwnd());
    cGraphics g;
    g.MoveLayer(source, dest, 0, 0);
    EXPECT_EQ(GetParent(content), holder.hwnd());
    POINT p{0, 0};
    MapWindowPoints(content, holder.hwnd(), &p, 1);
    EXPECT_EQ(p.x, 0);
    EXPECT_EQ(p.y, 0);
    RECT r{};
    GetWindowRect(content, &r);
    EXPECT_EQ(r.right - r.left, 120) << "its size does not change";
    EXPECT_EQ(r.bottom - r.top, 90);

    // Twips of the container: 150 x 300 twips is 10 x 20 pixels at 15 per pixel.
    g.MoveLayer(source, dest, 150, 300);
    p = {0, 0};
    MapWindowPoints(content, holder.hwnd(), &p, 1);
    EXPECT_EQ(p.x, 10);
    EXPECT_EQ(p.y, 20);
}

TEST(GraphicsTransForm, ReplacesTheWholeExtendedStyleWithLayered) {
    // (Topmost is the z-order's business: a style write does not clear it.)
    ColourWindow win(50, 50, 100, 100, kGrey, WS_POPUP, WS_EX_TOOLWINDOW | WS_EX_CLIENTEDGE);
    ASSERT_NE(GetWindowLongW(win.hwnd(), GWL_EXSTYLE) & WS_EX_TOOLWINDOW, 0);
    WindowObject form(win.hwnd());
    cGraphics g;
    EXPECT_TRUE(g.TransForm(form, 255).IsEmpty());
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongW(win.hwnd(), GWL_EXSTYLE)), static_cast<DWORD>(WS_EX_LAYERED));
    COLORREF key = 1;
    BYTE alpha = 0;
    DWORD flags = 0;
    ASSERT_TRUE(GetLayeredWindowAttributes(win.hwnd(), &key, &alpha, &flags));
    EXPECT_EQ(alpha, 255);
    EXPECT_EQ(flags, static_cast<DWORD>(LWA_ALPHA));
    EXPECT_EQ(key, 0u);
}

TEST(GraphicsTransForm, ZeroIsInvisibleButStillThere) {
    ColourWindow win(50, 50, 100, 100, kGrey);
    WindowObject form(win.hwnd());
    cGraphics g;
    g.TransForm(form, 0);
    BYTE alpha = 1;
    DWORD flags = 0;
    ASSERT_TRUE(GetLayeredWindowAttributes(win.hwnd(), nullptr, &alpha, &flags));
    EXPECT_EQ(alpha, 0);
    EXPECT_TRUE(IsWindow(win.hwnd()));
    EXPECT_TRUE(IsWindowVisible(win.hwnd()));
}

TEST(GraphicsTransForm, ObjectWithoutHwndRaises438) {
    forms::Object plain;
    cGraphics g;
    try {
        g.TransForm(plain, 128);
        FAIL() << "no error";
    } catch (const forms::Error& e) {
        EXPECT_EQ(e.Number, forms::err::NoSuchMember);
    }
}

TEST(GraphicsRoundRgn, ZeroRoundingIsAPlainRectangleAndNoFrame) {
    ColourWindow win(200, 200, 120, 80, kGrey);
    WindowObject obj(win.hwnd());
    cGraphics g;
    g.CreateRoundRgn(obj, 0, forms::False, 3, RGB(255, 0, 0));
    RECT box{};
    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(GetWindowRgn(win.hwnd(), rgn), SIMPLEREGION);
    GetRgnBox(rgn, &box);
    DeleteObject(rgn);
    // The platform's rounded region stops a pixel short of the right and
    // bottom edges it is given.
    EXPECT_EQ(box.left, 0);
    EXPECT_EQ(box.top, 0);
    EXPECT_EQ(box.right, 119);
    EXPECT_EQ(box.bottom, 79);
    EXPECT_TRUE(InRegion(win.hwnd(), 0, 0));
    EXPECT_TRUE(InRegion(win.hwnd(), 118, 78));
    EXPECT_EQ(obj.Lets.count(L"AutoRedraw"), 1u);
    EXPECT_EQ(obj.Lets[L"AutoRedraw"].AsBoolean(), forms::True);
    EXPECT_EQ(obj.Lets.count(L"DrawWidth"), 0u);
    EXPECT_EQ(obj.Lets.count(L"ForeColor"), 0u);
}

TEST(GraphicsRoundRgn, RoundedCornersAndAFrameInTheGivenColour) {
    ColourWindow win(200, 200, 120, 80, RGB(255, 255, 255));
    WindowObject obj(win.hwnd());
    cGraphics g;
    g.CreateRoundRgn(obj, 30, forms::True, 1, RGB(255, 0, 0));
    EXPECT_FALSE(InRegion(win.hwnd(), 0, 0));
    EXPECT_FALSE(InRegion(win.hwnd(), 119, 79));
    EXPECT_TRUE(InRegion(win.hwnd(), 60, 0));
    EXPECT_TRUE(InRegion(win.hwnd(), 60, 40));
    EXPECT_EQ(obj.Lets[L"DrawWidth"].AsInteger(), 1);
    EXPECT_EQ(obj.Lets[L"ForeColor"].AsLong(), static_cast<int32_t>(RGB(255, 0, 0)));
    HDC dc = reinterpret_cast<HDC>(static_cast<intptr_t>(forms::GetBy(obj, L"hDC").AsLong()));
    EXPECT_EQ(GetPixel(dc, 60, 0), RGB(255, 0, 0)) << "top edge of the outline";
    EXPECT_EQ(GetPixel(dc, 0, 40), RGB(255, 0, 0)) << "left edge of the outline";
    EXPECT_EQ(GetPixel(dc, 118, 40), RGB(255, 0, 0)) << "right edge, one pixel in";
}

class GraphicsHover : public testing::Test {
protected:
    void SetUp() override { SetCursorPos(600, 600); }
    void TearDown() override { ReleaseCapture(); }
    // 100 x 80 pixels at (200, 200): client and window are the same.
    ColourWindow win{200, 200, 100, 80, kGrey};
    WindowObject obj{win.hwnd()};
    cGraphics g;
};

TEST_F(GraphicsHover, FirstColumnAndRowAreOutside) {
    SetCursorPos(200, 240);
    EXPECT_EQ(g.RgnHover(obj), forms::False);
    EXPECT_EQ(GetCapture(), nullptr);
    SetCursorPos(250, 200);
    EXPECT_EQ(g.RgnHover(obj), forms::False);
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(GraphicsHover, OnePixelFurtherInIsInsideAndKeepsTheCapture) {
    SetCursorPos(201, 201);
    EXPECT_EQ(g.RgnHover(obj), forms::True);
    EXPECT_EQ(GetCapture(), win.hwnd());
    SetCursorPos(299, 279);
    EXPECT_EQ(g.RgnHover(obj), forms::True);
}

TEST_F(GraphicsHover, LeavingReleasesTheCaptureItTook) {
    SetCursorPos(250, 240);
    ASSERT_EQ(g.RgnHover(obj), forms::True);
    ASSERT_EQ(GetCapture(), win.hwnd());
    SetCursorPos(450, 450);
    EXPECT_EQ(g.RgnHover(obj), forms::False);
    EXPECT_EQ(GetCapture(), nullptr);
    SetCursorPos(300, 240);  // just past the right edge
    EXPECT_EQ(g.RgnHover(obj), forms::False);
    EXPECT_EQ(GetCapture(), nullptr);
}
