// The image hover button: its looks read back from the face's image, the
// pointer and buttons driven through SendInput, and its persisted settings.
#include <windows.h>

#include <gtest/gtest.h>

#include "controls/BtnHover.h"
#include "forms/Forms.h"
#include "forms/Runtime.h"
#include "unit/common/TestSupport.h"
#include "unit/controls/PushButtonTestSupport.h"

using namespace forms;
using testsupport::PixelOf;
using testsupport::Pump;

namespace {

float Tpp() { return Screen.TwipsPerPixelX(); }

const COLORREF kGrey = RGB(200, 200, 200), kRed = RGB(255, 0, 0), kBlue = RGB(0, 0, 255);
const COLORREF kGreen = RGB(0, 160, 0), kYellow = RGB(255, 255, 0);

// A borderless form at a fixed place on the screen with one 60 x 40 button.
class ButtonHost : public Form {
public:
    BtnHover Btn{this, L"Btn"};
    int clicks = 0;
    explicit ButtonHost(const PropertyBag* bag = nullptr) {
        BorderStyle(vbBSNone);
        Move(100 * Tpp(), 100 * Tpp(), 200 * Tpp(), 120 * Tpp());
        Btn.Move(10 * Tpp(), 10 * Tpp(), 60 * Tpp(), 40 * Tpp());
        if (bag) Btn.DesignProperties(*bag);
        Btn.Click = [this] { ++clicks; };
    }
    ~ButtonHost() override { Unload(*this); }
    // A face with the test's pictures, colours and offsets.
    void Dress() {
        Btn.BackColor(kGrey);
        Btn.NormalPic(pbtest::SolidPicture(10, 10, kRed));
        Btn.OverPic(pbtest::SolidPicture(10, 10, kBlue));
        Btn.FrameColor(kGreen);
        Btn.FrameOverColor(kYellow);
        Btn.PicTop(2);
        Btn.PicLeft(2);
    }
    COLORREF Face(int x, int y) { return PixelOf(Btn.Pic.Image().Bitmap(), x, y); }
    POINT OnScreen(int x, int y) {
        POINT p{x, y};
        ClientToScreen(Btn.Pic.hWnd(), &p);
        return p;
    }
    void PointAt(int x, int y) {
        POINT p = OnScreen(x, y);
        testsupport::MoveMouse(p.x, p.y);
        Pump(150);
    }
    void PointAway() {
        testsupport::MoveMouse(600, 600);
        Pump(150);
    }
};

// Expects the look: picture colour at the offsets, frame colour and width.
void ExpectLook(ButtonHost& h, COLORREF picture, COLORREF frame, int width) {
    EXPECT_EQ(h.Face(0, 0), frame);
    EXPECT_EQ(h.Face(30, 0), frame);
    EXPECT_EQ(h.Face(0, 20), frame);
    EXPECT_EQ(h.Face(1, 20), width == 2 ? frame : kGrey);
    EXPECT_EQ(h.Face(2, 20), kGrey);
    EXPECT_EQ(h.Face(3, 3), picture);
    EXPECT_EQ(h.Face(11, 11), picture);
    EXPECT_EQ(h.Face(12, 12), kGrey);
    EXPECT_EQ(h.Face(30, 20), kGrey);
}

}  // namespace

TEST(BtnHover, ABagWithoutKeysGivesTheDefaults) {
    PropertyBag empty;
    ButtonHost h(&empty);
    h.Load();
    EXPECT_EQ(h.Btn.BackColor(), static_cast<int32_t>(0x8000000F));
    EXPECT_FALSE(h.Btn.NormalPic());
    EXPECT_FALSE(h.Btn.OverPic());
    EXPECT_EQ(h.Btn.AutoSize(), False);
    EXPECT_EQ(h.Btn.ToolTips(), L"");
    EXPECT_EQ(h.Btn.FrameColor(), 0);
    EXPECT_EQ(h.Btn.FrameOverColor(), 0);
    EXPECT_EQ(h.Btn.PicTop(), 0);
    EXPECT_EQ(h.Btn.PicLeft(), 0);
    EXPECT_EQ(h.Btn.Selected(), False);
    // No pictures: the face is the button face colour with a black frame.
    EXPECT_EQ(h.Face(0, 0), RGB(0, 0, 0));
    EXPECT_EQ(h.Face(5, 5), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(h.Btn.hwnd(), h.Btn.hWnd());
}

TEST(BtnHover, AWrittenBagReadsBackEqual) {
    PropertyBag saved;
    Picture normal = pbtest::SolidPicture(8, 8, kRed), over = pbtest::SolidPicture(8, 8, kBlue);
    {
        ButtonHost h;
        h.Load();
        h.Btn.BackColor(kGrey);
        h.Btn.NormalPic(normal);
        h.Btn.OverPic(over);
        h.Btn.ToolTips(L"Capture");
        h.Btn.FrameColor(kGreen);
        h.Btn.FrameOverColor(kYellow);
        h.Btn.Selected(True);
        h.Btn.PicTop(3);
        h.Btn.PicLeft(4);
        EXPECT_EQ(h.Btn.ChangedProperties(),
                  (std::vector<std::wstring>{L"BackColor", L"NormalPic", L"OverPic", L"ToolTips", L"FrameColor",
                                             L"FrameOverColor", L"Selected", L"PicTop", L"PicLeft"}));
        saved = h.Btn.SaveProperties();
    }
    std::vector<std::wstring> keys;
    for (auto& [k, v] : saved.Items()) keys.push_back(k);
    EXPECT_EQ(keys, (std::vector<std::wstring>{L"BackColor", L"NormalPic", L"OverPic", L"ToolTips", L"FrameColor",
                                               L"FrameOverColor", L"Selected", L"PicTop", L"PicLeft"}));
    ButtonHost again(&saved);
    again.Load();
    EXPECT_EQ(again.Btn.BackColor(), static_cast<int32_t>(kGrey));
    EXPECT_EQ(again.Btn.NormalPic(), normal);
    EXPECT_EQ(again.Btn.OverPic(), over);
    EXPECT_EQ(again.Btn.ToolTips(), L"Capture");
    EXPECT_EQ(again.Btn.FrameColor(), static_cast<int32_t>(kGreen));
    EXPECT_EQ(again.Btn.FrameOverColor(), static_cast<int32_t>(kYellow));
    EXPECT_EQ(again.Btn.Selected(), True);
    EXPECT_EQ(again.Btn.PicTop(), 3);
    EXPECT_EQ(again.Btn.PicLeft(), 4);
    EXPECT_FALSE(again.Btn.PropertiesOutOfDate());
    EXPECT_EQ(again.Face(1, 20), kYellow) << "drawn selected from the bag";
}

TEST(BtnHover, NormalAndSelectedLooksWithOffsets) {
    ButtonHost h;
    h.Load();
    h.Dress();
    EXPECT_EQ(h.Btn.Pic.PixelRect().right, 60) << "the face fills the control";
    EXPECT_EQ(h.Btn.Pic.PixelRect().bottom, 40);
    ExpectLook(h, kRed, kGreen, 1);
    EXPECT_EQ(h.Face(2, 2), kRed) << "the picture two pixels in";
    EXPECT_EQ(h.Face(1, 1), kGrey);
    h.Btn.Selected(True);
    ExpectLook(h, kBlue, kYellow, 2);
    h.Btn.Selected(False);
    ExpectLook(h, kRed, kGreen, 1);
}

TEST(BtnHover, FramesInTheBackColourAreInvisible) {
    ButtonHost h;
    h.Load();
    h.Dress();
    h.Btn.FrameColor(kGrey);
    h.Btn.FrameOverColor(kGrey);
    EXPECT_EQ(h.Face(0, 0), kGrey);
    h.Btn.Selected(True);
    EXPECT_EQ(h.Face(0, 0), kGrey);
    EXPECT_EQ(h.Face(1, 1), kGrey);
    EXPECT_EQ(h.Face(3, 3), kBlue);
}

TEST(BtnHover, ToolTipsIsStoredWithoutARedraw) {
    ButtonHost h;
    h.Load();
    h.Dress();
    h.Btn.Pic.Line(20, 20, 40, 20, static_cast<int32_t>(kBlue));
    h.Btn.ToolTips(L"Tip");
    EXPECT_EQ(h.Face(30, 20), kBlue) << "the face was not repainted";
    EXPECT_EQ(h.Btn.ToolTips(), L"Tip");
    EXPECT_EQ(h.Btn.ChangedProperties().back(), L"ToolTips");
    h.Btn.PicTop(2);
    EXPECT_EQ(h.Face(30, 20), kGrey) << "any other let repaints";
}

TEST(BtnHover, ThePointerSwitchesToTheHoverLookAndBack) {
    ButtonHost h;
    h.Show();
    h.Dress();
    h.PointAway();
    h.PointAt(30, 20);
    EXPECT_EQ(GetCapture(), h.Btn.Pic.hWnd());
    EXPECT_TRUE(IsTrue(h.Btn.Hover()));
    ExpectLook(h, kBlue, kYellow, 1);
    // The first pixel row counts as outside.
    h.PointAt(30, 0);
    EXPECT_EQ(GetCapture(), nullptr);
    ExpectLook(h, kRed, kGreen, 1);
    h.PointAt(30, 1);
    ExpectLook(h, kBlue, kYellow, 1);
    h.PointAway();
    EXPECT_EQ(GetCapture(), nullptr) << "leaving lets the capture go";
    ExpectLook(h, kRed, kGreen, 1);
}

TEST(BtnHover, WithoutPicturesThePointerStillSwitchesTheFrameOnScreen) {
    ButtonHost h;
    h.Show();
    h.Btn.BackColor(kGrey);
    h.Btn.FrameColor(kGreen);
    h.Btn.FrameOverColor(kYellow);
    h.PointAway();
    const POINT corner = h.OnScreen(0, 0), inside = h.OnScreen(30, 20);
    EXPECT_EQ(testsupport::ScreenPixel(corner.x, corner.y), kGreen);
    h.PointAt(30, 20);
    EXPECT_EQ(testsupport::ScreenPixel(corner.x, corner.y), kYellow);
    EXPECT_EQ(testsupport::ScreenPixel(inside.x, inside.y), kGrey);
    h.PointAway();
    EXPECT_EQ(testsupport::ScreenPixel(corner.x, corner.y), kGreen);
}

TEST(BtnHover, ASelectedButtonIgnoresThePointer) {
    ButtonHost h;
    h.Show();
    h.Dress();
    h.Btn.Selected(True);
    h.PointAway();
    h.PointAt(30, 20);
    EXPECT_EQ(GetCapture(), nullptr);
    ExpectLook(h, kBlue, kYellow, 2);
    h.PointAway();
    ExpectLook(h, kBlue, kYellow, 2);
}

TEST(BtnHover, OnlyALeftClickRaisesClick) {
    ButtonHost h;
    h.Show();
    h.Dress();
    h.PointAway();
    h.PointAt(30, 20);
    testsupport::MouseButton(true, true);
    testsupport::MouseButton(true, false);
    Pump(150);
    EXPECT_EQ(h.clicks, 1);
    testsupport::MouseButton(false, true);
    testsupport::MouseButton(false, false);
    Pump(150);
    EXPECT_EQ(h.clicks, 1) << "a right click raises nothing";
    h.PointAway();
}

TEST(BtnHover, TheFaceKeepsItsLookWhenUncovered) {
    ButtonHost h;
    h.Show();
    h.Dress();
    Pump(100);
    POINT p = h.OnScreen(5, 5);
    EXPECT_EQ(testsupport::ScreenPixel(p.x, p.y), kRed);
    {
        testsupport::ColourWindow cover(p.x - 20, p.y - 20, 100, 80, RGB(0, 0, 0));
        Pump(100);
        EXPECT_EQ(testsupport::ScreenPixel(p.x, p.y), RGB(0, 0, 0));
    }
    Pump(150);
    EXPECT_EQ(testsupport::ScreenPixel(p.x, p.y), kRed);
    POINT corner = h.OnScreen(0, 0);
    EXPECT_EQ(testsupport::ScreenPixel(corner.x, corner.y), kGreen);
}

TEST(BtnHover, ThePointingHandIsItsPointer) {
    ButtonHost h;
    EXPECT_EQ(h.Btn.MousePointer(), vbCustom);
    ASSERT_TRUE(h.Btn.MouseIcon());
    EXPECT_EQ(h.Btn.Pic.MousePointer(), vbCustom);
}

TEST(BtnHover, AutoSizeTakesTheNormalPictureSize) {
    ButtonHost h;
    h.Load();
    h.Dress();
    h.Btn.AutoSize(True);
    EXPECT_EQ(h.Btn.Width(), 10 * Tpp());
    EXPECT_EQ(h.Btn.Height(), 10 * Tpp());
    EXPECT_TRUE(IsTrue(h.Btn.Pic.AutoSize()));
    EXPECT_EQ(h.Btn.Pic.PixelRect().left, 0);
    EXPECT_EQ(h.Btn.Pic.PixelRect().right, 10) << "the face fills the sized control";
    EXPECT_EQ(h.Face(0, 0), kGreen);
    EXPECT_EQ(h.Face(5, 5), kRed);
    h.Btn.AutoSize(False);
    EXPECT_FALSE(IsTrue(h.Btn.Pic.AutoSize()));
}
