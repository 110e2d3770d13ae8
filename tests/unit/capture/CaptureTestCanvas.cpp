// The capture road on the runtime's own picture box set up as the capture
// canvas: hidden, sized by each picture, drawn on in pixels into its
// persistent image.
#include <gtest/gtest.h>

#include "capture/cCapture.h"
#include "forms/Forms.h"
#include "forms/Runtime.h"
#include "unit/common/TestObjects.h"
#include "unit/common/TestSupport.h"

using namespace testsupport;

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);

class CanvasHost : public forms::Form {
public:
    forms::PictureBox Pic{this, L"Pic"};
    CanvasHost() {
        Caption(L"Canvas host");
        ClientSize(3000, 2000);
        Pic.Visible(forms::False);
        Pic.AutoSize(forms::True);
        Pic.AutoRedraw(forms::True);
        Pic.ScaleMode(forms::vbPixels);
        Pic.BorderStyle(0);
    }
};

forms::FormRef<CanvasHost> FrmHost;

forms::Picture Solid(int w, int h, COLORREF c) {
    CanvasObject canvas(w, h, c);
    return forms::GetBy(canvas, L"Image").AsPicture();
}

SIZE PixelSize(const forms::Picture& p) { return SIZE{p.PixelWidth(), p.PixelHeight()}; }

SIZE WindowSize(HWND h) {
    RECT r{};
    GetWindowRect(h, &r);
    return SIZE{r.right - r.left, r.bottom - r.top};
}

}  // namespace

TEST(CaptureCanvas, PictureAssignedSetsTheSizeWhateverTheMoveBefore) {
    forms::PictureBox& pic = FrmHost->Pic;
    pic.Move(0, 0, 1024 * 15, 768 * 15);
    pic.Picture(Solid(200, 100, RGB(30, 60, 90)));
    SIZE win = WindowSize(pic.hWnd());
    EXPECT_EQ(win.cx, 200);
    EXPECT_EQ(win.cy, 100);
    forms::Picture image = pic.Image();
    EXPECT_EQ(PixelSize(image).cx, 200);
    EXPECT_EQ(PixelSize(image).cy, 100);
    EXPECT_EQ(PixelOf(image.Bitmap(), 199, 99), RGB(30, 60, 90));
}

TEST(CaptureCanvas, PointerDrawnAtHundredFiftyLandsAtNinetyOneFortyOne) {
    ArrowInFront pointer;
    RECT ref = PointerInk(pointer.arrow(), kWhite);
    ASSERT_GE(ref.right, ref.left);

    forms::PictureBox& pic = FrmHost->Pic;
    pic.Picture(Solid(240, 160, kWhite));
    cCapture cap;
    cap.DrawCur(100, 50, pic);

    forms::Picture image = pic.Image();
    RECT got = InkBox(image.Bitmap(), 0xFFFFFF);
    EXPECT_EQ(got.left, ref.left + 91);
    EXPECT_EQ(got.top, ref.top + 41);
    EXPECT_EQ(got.right, ref.right + 91);
    EXPECT_EQ(got.bottom, ref.bottom + 41);

    // Picture = Image: both hold the pointer, pixel for pixel.
    ASSERT_TRUE(pic.Picture());
    EXPECT_EQ(PixelSize(pic.Picture()).cx, 240);
    EXPECT_EQ(PixelsOf(pic.Picture().Bitmap()), PixelsOf(image.Bitmap()));
    RECT inPicture = InkBox(pic.Picture().Bitmap(), 0xFFFFFF);
    EXPECT_EQ(inPicture.left, got.left);
    EXPECT_EQ(inPicture.top, got.top);
}

TEST(CaptureCanvas, ClipboardCopyOfTheImageOutlivesTheCanvasChanging) {
    forms::PictureBox& pic = FrmHost->Pic;
    pic.Picture(Solid(50, 40, RGB(200, 10, 10)));
    cCapture cap;
    ASSERT_EQ(cap.CopyImageToClibpard(nullptr, pic.Image()), forms::True);
    pic.Cls();
    pic.Picture(Solid(20, 20, RGB(0, 0, 200)));
    forms::Picture back = cap.GetImageFromClibpoard();
    ASSERT_TRUE(back);
    EXPECT_EQ(PixelSize(back).cx, 50);
    EXPECT_EQ(PixelOf(back.Bitmap(), 49, 39), RGB(200, 10, 10));
    forms::Clipboard.Clear();
    EXPECT_EQ(PixelOf(pic.Image().Bitmap(), 5, 5), RGB(0, 0, 200));
}

TEST(CaptureCanvas, TwoHundredCapturesWithPointerAndClipboardLeaveTheGdiCount) {
    ArrowInFront front;
    forms::PictureBox& pic = FrmHost->Pic;
    cCapture cap;
    auto once = [&] {
        pic.Cls();
        pic.Picture(cap.Capture_Screen());
        cap.DrawCur(100, 50, pic);
        ASSERT_EQ(cap.CopyImageToClibpard(front.hwnd(), pic.Image()), forms::True);
    };
    once();  // what lives on after a capture: the canvas image, the clipboard's bitmap
    const DWORD before = GdiCount();
    for (int i = 0; i < 200; ++i) once();
    EXPECT_EQ(GdiCount(), before);
    SIZE s = PixelSize(pic.Picture());
    EXPECT_EQ(s.cx, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(s.cy, GetSystemMetrics(SM_CYSCREEN));
}
