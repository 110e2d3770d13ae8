#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <string>

#include "controls/sPicture.h"
#include "forms/Forms.h"
#include "forms/Runtime.h"
#include "unit/common/TestSupport.h"
#include "unit/controls/PushButtonTestSupport.h"

using forms::Variant;

namespace {

constexpr int kW = 200, kH = 150;  // the viewer, in pixels (15 twips each)
constexpr COLORREF kBack = RGB(255, 255, 255);

// Every pixel of the picture tells where it came from.
COLORREF Pattern(int x, int y) { return RGB(x & 0xFF, y & 0xFF, 0x30 + ((x >> 8) + (y >> 8) * 2) * 0x40); }
forms::Picture PatternPicture(int w, int h) {
    return pbtest::DrawnPicture(w, h, 0, [&](HDC dc) {
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) SetPixelV(dc, x, y, Pattern(x, y));
    });
}

class ViewerForm : public forms::Form {
public:
    sPicture V{this, L"V"};
    explicit ViewerForm(std::optional<forms::PropertyBag> bag) {
        Caption(L"viewer test");
        ClientSize(kW * 15.0f + 600, kH * 15.0f + 600);
        Move(1500, 1500);
        V.Move(300, 300, kW * 15.0f, kH * 15.0f);
        if (bag) V.DesignProperties(std::move(*bag));
    }
};

class ViewerTest : public testing::Test {
protected:
    void Open(std::optional<forms::PropertyBag> bag = {}) {
        form = std::make_unique<ViewerForm>(std::move(bag));
        form->Load();
        form->Show();
        testsupport::Pump(30);
        v().AfterPainting = [this] { ++paintings; };
    }
    // A viewer with a white background showing the picture.
    void OpenWith(const forms::Picture& pic, int32_t stretch) {
        Open();
        v().BackColor(static_cast<int32_t>(kBack));
        v().Stretch(stretch);
        v().Clear();
        v().Picture(pic);
        testsupport::Pump(30);
        paintings = 0;
    }
    void TearDown() override {
        pbtest::ReleaseMouse();
        if (form) forms::Unload(*form);
        form.reset();
        testsupport::Pump(20);
    }
    sPicture& v() { return form->V; }
    // A point of the viewer (pixels) on the screen.
    POINT OnScreen(int x, int y) {
        POINT p{x, y};
        ClientToScreen(v().hWnd(), &p);
        return p;
    }
    COLORREF Seen(int x, int y) {
        POINT p = OnScreen(x, y);
        return testsupport::ScreenPixel(p.x, p.y);
    }
    RECT PicRect() { return v().Pic.PixelRect(); }
    bool Shown(forms::Window& w) { return forms::IsTrue(w.Visible()); }
    size_t Changed(const wchar_t* name) {
        const auto& c = v().ChangedProperties();
        return std::count(c.begin(), c.end(), std::wstring(name));
    }
    HCURSOR CursorNow() {
        CURSORINFO ci{sizeof ci};
        GetCursorInfo(&ci);
        return ci.hCursor;
    }
    HCURSOR IconOfPic() { return reinterpret_cast<HCURSOR>(static_cast<uintptr_t>(v().Pic.MouseIcon().Handle())); }

    std::unique_ptr<ViewerForm> form;
    int paintings = 0;
};

TEST_F(ViewerTest, ANewControlStartsFittedAndEnabledAndSavesOnlyWhatDiffers) {
    Open();
    EXPECT_EQ(v().Stretch(), 1);
    EXPECT_EQ(v().Enabled(), forms::True);
    EXPECT_EQ(v().BackColor(), forms::vbButtonFace);
    forms::PropertyBag bag = v().SaveProperties();
    // True is stored against the default 1, as the key was always written.
    EXPECT_FALSE(bag.Contains(L"BackColor"));
    EXPECT_FALSE(bag.Contains(L"Picture"));
    EXPECT_FALSE(bag.Contains(L"Stretch"));
    EXPECT_EQ(bag.ReadProperty(L"Enabled").AsBoolean(), forms::True);
}

TEST_F(ViewerTest, SavedPropertiesAreReadBackAndLetsNotifyTheHost) {
    forms::Picture pic = PatternPicture(50, 40);
    forms::PropertyBag saved;
    saved.WriteProperty(L"BackColor", int32_t{0x0000FF});
    saved.WriteProperty(L"Enabled", Variant::FromBoolean(forms::False));
    saved.WriteProperty(L"Picture", pic);
    saved.WriteProperty(L"Stretch", int32_t{0});
    Open(saved);
    EXPECT_EQ(v().BackColor(), 0x0000FF);
    EXPECT_EQ(v().TmpPic.BackColor(), 0x0000FF);
    EXPECT_EQ(v().Enabled(), forms::False);
    EXPECT_TRUE(v().Picture() == pic);
    EXPECT_EQ(v().Stretch(), 0);
    EXPECT_FALSE(v().PropertiesOutOfDate());
    forms::PropertyBag again = v().SaveProperties();
    EXPECT_EQ(again.ReadProperty(L"BackColor").AsLong(), 0x0000FF);
    EXPECT_EQ(again.ReadProperty(L"Enabled").AsBoolean(), forms::False);
    EXPECT_TRUE(again.ReadProperty(L"Picture").AsPicture() == pic);
    EXPECT_EQ(again.ReadProperty(L"Stretch").AsLong(), 0);

    // Missing keys read as their defaults: 1 for Enabled reads as True.
    TearDown();
    Open(forms::PropertyBag());
    EXPECT_EQ(v().Enabled(), forms::True);
    EXPECT_EQ(v().Stretch(), 1);
    EXPECT_FALSE(v().Picture());

    v().Stretch(0);
    v().Enabled(forms::False);
    v().BackColor(0x00FF00);
    v().Picture(pic);
    for (const wchar_t* name : {L"Stretch", L"Enabled", L"BackColor", L"Picture"}) EXPECT_EQ(Changed(name), 1u) << name;
    EXPECT_TRUE(v().PropertiesOutOfDate());
    EXPECT_EQ(v().Pic.BackColor(), 0x00FF00);
    // Enabled is kept only: the control still takes the mouse.
    EXPECT_TRUE(IsWindowEnabled(v().hWnd()));
}

TEST_F(ViewerTest, ASmallPictureIsCentredAtNaturalSizeInBothModes) {
    for (int32_t stretch : {1, 0}) {
        SCOPED_TRACE(stretch);
        OpenWith(PatternPicture(80, 60), stretch);
        EXPECT_EQ(v().StandardSize, forms::True);
        EXPECT_EQ(PicRect().left, 60);
        EXPECT_EQ(PicRect().top, 45);
        EXPECT_EQ(PicRect().right, 140);
        EXPECT_EQ(PicRect().bottom, 105);
        EXPECT_FALSE(Shown(v().Hs) || Shown(v().Vs) || Shown(v().PSide));
        EXPECT_EQ(Seen(60, 45), Pattern(0, 0));
        EXPECT_EQ(Seen(139, 104), Pattern(79, 59));
        EXPECT_EQ(Seen(59, 45), kBack);
        EXPECT_EQ(Seen(140, 104), kBack);
        TearDown();
    }
}

TEST_F(ViewerTest, BestFitShrinksALargePictureIntoTheControl) {
    OpenWith(PatternPicture(400, 200), 1);
    EXPECT_EQ(v().StandardSize, forms::False);
    // Half size: 200 x 100, centred vertically.
    EXPECT_EQ(PicRect().left, 0);
    EXPECT_EQ(PicRect().top, 25);
    EXPECT_EQ(PicRect().right, 200);
    EXPECT_EQ(PicRect().bottom, 125);
    EXPECT_FALSE(Shown(v().Hs) || Shown(v().Vs) || Shown(v().PSide));
    EXPECT_EQ(Seen(100, 10), kBack);
    // Pixel (x, y) of the view shows about picture pixel (2x, 2y).
    COLORREF c = Seen(50, 25 + 40);
    EXPECT_NEAR(GetRValue(c), 100, 3);
    EXPECT_NEAR(GetGValue(c), 80, 3);
}

TEST_F(ViewerTest, APictureAsWideAsTheControlIsNotSmall) {
    OpenWith(PatternPicture(kW, 100), 1);
    EXPECT_EQ(v().StandardSize, forms::False);
    EXPECT_EQ(PicRect().top, 25);
    EXPECT_EQ(PicRect().bottom, 125);
    EXPECT_EQ(Seen(7, 25), Pattern(7, 0));
    EXPECT_EQ(Seen(199, 124), Pattern(199, 99));
    v().Stretch(0);
    testsupport::Pump(20);
    EXPECT_EQ(PicRect().top, 0);
    EXPECT_FALSE(Shown(v().Hs) || Shown(v().Vs) || Shown(v().PSide));
    EXPECT_EQ(Seen(7, 0), Pattern(7, 0));
}

TEST_F(ViewerTest, OnePixelTooHighShowsOnlyTheVerticalBar) {
    OpenWith(PatternPicture(kW, kH + 1), 0);
    ASSERT_TRUE(Shown(v().Vs));
    EXPECT_FALSE(Shown(v().Hs));
    EXPECT_FALSE(Shown(v().PSide));
    EXPECT_EQ(v().Vs.Max(), 15);
    EXPECT_EQ(v().Vs.LargeChange(), 8);
    EXPECT_EQ(v().Vs.SmallChange(), 2);
    EXPECT_EQ(v().Vs.Value(), 0);
    RECT bar = v().Vs.PixelRect();
    EXPECT_EQ(bar.right, kW);
    EXPECT_EQ(bar.top, 0);
    EXPECT_EQ(bar.bottom, kH);
    // The bar lies over the picture's right edge.
    EXPECT_NE(Seen(kW - 2, 70), Pattern(kW - 2, 70));
    EXPECT_EQ(Seen(5, 70), Pattern(5, 70));

    v().Vs.Value(15);
    testsupport::Pump(20);
    EXPECT_EQ(PicRect().top, -1);
    EXPECT_EQ(Seen(5, 0), Pattern(5, 1));
}

TEST_F(ViewerTest, LargerBothWaysShowsBothBarsAndTheCornerPiece) {
    OpenWith(PatternPicture(400, 300), 0);
    ASSERT_TRUE(Shown(v().Vs) && Shown(v().Hs) && Shown(v().PSide));
    const int thickV = v().Vs.PixelRect().right - v().Vs.PixelRect().left;
    const int thickH = v().Hs.PixelRect().bottom - v().Hs.PixelRect().top;
    EXPECT_EQ(v().Vs.Max(), 150 * 15 + thickV * 15);
    EXPECT_EQ(v().Hs.Max(), 200 * 15 + thickH * 15);
    EXPECT_EQ(v().Vs.PixelRect().bottom, kH - thickV);
    EXPECT_EQ(v().Hs.PixelRect().right, kW - thickH);
    RECT corner = v().PSide.PixelRect();
    EXPECT_EQ(corner.left, kW - thickH);
    EXPECT_EQ(corner.top, kH - thickV);
    EXPECT_EQ(corner.right, kW);
    EXPECT_EQ(corner.bottom, kH);
    EXPECT_EQ(Seen(kW - 2, kH - 2), GetSysColor(COLOR_BTNFACE));

    // The bars move the picture.
    v().Hs.Value(1500);
    v().Vs.Value(300);
    testsupport::Pump(20);
    EXPECT_EQ(PicRect().left, -100);
    EXPECT_EQ(PicRect().top, -20);
    EXPECT_EQ(Seen(10, 10), Pattern(110, 30));

    // Best fit hides the bars and keeps their values; actual size again
    // starts from the top-left corner.
    v().Stretch(1);
    EXPECT_FALSE(Shown(v().Hs) || Shown(v().Vs) || Shown(v().PSide));
    EXPECT_EQ(v().Hs.Value(), 1500);
    v().Stretch(0);
    testsupport::Pump(20);
    EXPECT_EQ(v().Hs.Value(), 0);
    EXPECT_EQ(v().Vs.Value(), 0);
    EXPECT_EQ(Seen(10, 10), Pattern(10, 10));
}

TEST_F(ViewerTest, DraggingWithTheMousePansAndShowsTheHands) {
    OpenWith(PatternPicture(400, 300), 0);
    POINT start = OnScreen(100, 80);
    testsupport::MoveMouse(start.x, start.y);
    testsupport::Pump(40);
    EXPECT_EQ(v().Pic.MousePointer(), forms::vbCustom);
    EXPECT_EQ(CursorNow(), IconOfPic());
    const HCURSOR open = IconOfPic();

    testsupport::MouseButton(true, true);
    testsupport::Pump(30);
    const HCURSOR closed = IconOfPic();
    testsupport::MoveMouse(start.x - 30, start.y - 20);
    testsupport::Pump(40);
    EXPECT_EQ(v().Hs.Value(), 450);
    EXPECT_EQ(v().Vs.Value(), 300);
    EXPECT_EQ(PicRect().left, -30);
    EXPECT_EQ(PicRect().top, -20);
    // The grabbed picture point stays under the pointer.
    EXPECT_EQ(Seen(70, 60), Pattern(100, 80));
    EXPECT_EQ(CursorNow(), closed);

    // Past the end of the horizontal range: that bar stays at its last
    // accepted value while the other follows; back again moves at once.
    testsupport::MoveMouse(start.x - 250, start.y - 30);
    testsupport::Pump(40);
    EXPECT_EQ(v().Hs.Value(), 450);
    EXPECT_EQ(v().Vs.Value(), 450);
    testsupport::MoveMouse(start.x - 40, start.y - 30);
    testsupport::Pump(40);
    EXPECT_EQ(v().Hs.Value(), 600);

    testsupport::MouseButton(true, false);
    testsupport::Pump(30);
    testsupport::MoveMouse(start.x - 50, start.y - 30);
    testsupport::Pump(40);
    EXPECT_EQ(v().Hs.Value(), 600);  // released: moving no longer pans
    EXPECT_EQ(IconOfPic(), open);
    EXPECT_EQ(CursorNow(), open);
    EXPECT_NE(open, closed);
}

TEST_F(ViewerTest, OnlyTheLeftButtonPansAndOnlyInActualSize) {
    OpenWith(PatternPicture(400, 300), 0);
    POINT start = OnScreen(100, 80);
    testsupport::MoveMouse(start.x, start.y);
    testsupport::Pump(30);
    testsupport::MouseButton(false, true);
    testsupport::Pump(30);
    testsupport::MoveMouse(start.x - 30, start.y - 20);
    testsupport::Pump(40);
    testsupport::MouseButton(false, false);
    testsupport::Pump(30);
    EXPECT_EQ(v().Hs.Value(), 0);
    EXPECT_EQ(v().Vs.Value(), 0);

    // Fitted: the default pointer, and a drag moves nothing.
    v().Stretch(1);
    const RECT fitted = PicRect();
    start = OnScreen(100, 75);
    testsupport::MoveMouse(start.x, start.y);
    testsupport::Pump(30);
    EXPECT_EQ(v().Pic.MousePointer(), forms::vbDefault);
    testsupport::MouseButton(true, true);
    testsupport::Pump(30);
    testsupport::MoveMouse(start.x - 30, start.y - 20);
    testsupport::Pump(40);
    testsupport::MouseButton(true, false);
    testsupport::Pump(30);
    EXPECT_EQ(PicRect().left, fitted.left);
    EXPECT_EQ(PicRect().top, fitted.top);
}

TEST_F(ViewerTest, ClearBlanksTheViewAndTheNextUpdateDrawsItAgain) {
    OpenWith(PatternPicture(80, 60), 1);
    v().Clear();
    testsupport::Pump(30);
    EXPECT_EQ(paintings, 0);
    EXPECT_NE(Seen(70, 50), Pattern(10, 5));
    EXPECT_TRUE(v().Picture());
    // The same value again is still a view update.
    v().Stretch(1);
    testsupport::Pump(30);
    EXPECT_EQ(paintings, 1);
    EXPECT_EQ(Seen(70, 50), Pattern(10, 5));
    v().LetProperty(L"Stretch", int32_t{1});
    EXPECT_EQ(paintings, 2);
    EXPECT_EQ(forms::GetBy(v(), L"StandardSize").AsBoolean(), forms::True);
    forms::CallBy(v(), L"Clear");
    EXPECT_EQ(paintings, 2);
}

TEST_F(ViewerTest, LoadImageFileShowsAFileAndPassesItsErrorsOn) {
    OpenWith(PatternPicture(80, 60), 1);
    const std::wstring dir = testsupport::TempDir(L"viewer");
    forms::SavePicture(PatternPicture(120, 90), dir + L"\\shot.bmp");
    testsupport::WriteFileBytes(dir + L"\\junk.bmp", "not a picture at all");

    forms::Picture before = v().Picture();
    const size_t noticesBefore = Changed(L"Picture");
    EXPECT_EQ(testsupport::ErrorNumberOf([&] { v().LoadImageFile(dir + L"\\missing.bmp"); }), 53);
    EXPECT_EQ(testsupport::ErrorNumberOf([&] { v().LoadImageFile(dir + L"\\junk.bmp"); }), 481);
    EXPECT_TRUE(v().Picture() == before);
    EXPECT_EQ(paintings, 0);

    v().LoadImageFile(dir + L"\\shot.bmp");
    testsupport::Pump(30);
    EXPECT_EQ(paintings, 1);
    EXPECT_EQ(Changed(L"Picture"), noticesBefore);
    EXPECT_EQ(PicRect().left, 40);
    EXPECT_EQ(PicRect().top, 30);
    EXPECT_EQ(Seen(40, 30), Pattern(0, 0));
    EXPECT_EQ(Seen(159, 119), Pattern(119, 89));
}

TEST_F(ViewerTest, ARangeBeyondTheBarIsScrolledInCoarserSteps) {
    // 2400 pixels across: 33,000 twips of overflow, more than a bar holds.
    OpenWith(PatternPicture(2400, 100), 0);
    EXPECT_EQ(paintings, 0);
    ASSERT_TRUE(Shown(v().Hs));
    EXPECT_FALSE(Shown(v().Vs));
    EXPECT_EQ(v().Hs.Max(), 32767);
    EXPECT_GE(v().Hs.LargeChange(), 1);
    v().Hs.Value(32767);
    testsupport::Pump(30);
    EXPECT_EQ(PicRect().right, kW);  // the far edge reaches the control's
    EXPECT_EQ(Seen(kW - 1, 5), Pattern(2399, 5));
    v().Hs.Value(0);
    EXPECT_EQ(PicRect().left, 0);
}

TEST_F(ViewerTest, OddModesAndAnEmptyPictureStillCompleteTheUpdate) {
    OpenWith(PatternPicture(400, 300), 0);
    const RECT actual = PicRect();
    v().Stretch(7);
    EXPECT_EQ(paintings, 1);
    EXPECT_EQ(PicRect().left, actual.left);
    EXPECT_EQ(PicRect().right, actual.right);
    EXPECT_TRUE(Shown(v().Hs));
    EXPECT_NO_THROW(v().Stretch(100000));
    EXPECT_EQ(paintings, 2);
    // Nothing to show: the control's background only.
    v().Stretch(1);
    v().Picture(forms::Picture());
    testsupport::Pump(30);
    EXPECT_EQ(v().StandardSize, forms::True);
    EXPECT_EQ(PicRect().right - PicRect().left, 0);
    EXPECT_EQ(Seen(100, 75), kBack);
}

TEST_F(ViewerTest, RepeatedUpdatesAndPointerMovesKeepTheGdiCount) {
    OpenWith(PatternPicture(400, 300), 0);
    POINT p = OnScreen(100, 80);
    testsupport::MoveMouse(p.x, p.y);
    testsupport::Pump(30);
    for (int i = 0; i < 3; ++i) v().Stretch(i % 2);
    const DWORD before = testsupport::GdiCount();
    for (int i = 0; i < 20; ++i) {
        v().Stretch(i % 2);
        testsupport::MoveMouse(p.x + i % 5, p.y);
        testsupport::Pump(5);
    }
    EXPECT_LE(testsupport::GdiCount(), before + 2);
}

}  // namespace
