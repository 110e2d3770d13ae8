#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "controls/cTButton.h"
#include "forms/Error.h"
#include "unit/controls/PushButtonTestSupport.h"

using forms::Boolean;
using forms::Variant;
using namespace pbtest;

namespace {

// The button with its looks reachable, so each can be drawn on demand.
class LookButton : public cTButton {
public:
    using cTButton::cTButton;
    using cTButton::SetButtonState;
};

class ButtonForm : public forms::Form {
public:
    LookButton Btn{this, L"Btn"};
    ButtonForm(int w, int h) {
        Caption(L"button test");
        ClientSize(4500, 1500);
        Move(1500, 1500);
        Btn.Move(150, 150, w * 15.0f, h * 15.0f);
    }
};

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGreen = RGB(0, 255, 0);

// The edges of the classic table, written out independently of the code.
constexpr UINT kSoft = 0x1000, kSoftRect = 0x100F;

class TButtonTest : public testing::Test {
protected:
    // Only a shown form gets the mouse; a hidden one is quicker to end.
    void Open(bool shown = false, int w = 120, int h = 32) {
        form = std::make_unique<ButtonForm>(w, h);
        form->Load();
        if (shown) form->Show();
        testsupport::Pump(50);
    }
    void TearDown() override {
        ReleaseMouse();
        if (form) forms::Unload(*form);
        form.reset();
        testsupport::Pump(20);
    }
    LookButton& btn() { return form->Btn; }
    int W() { return static_cast<int>(btn().ScaleWidth()); }
    int H() { return static_cast<int>(btn().ScaleHeight()); }
    RECT Frame() { return pushbutton::FrameRect(btn().ScaleWidth(), btn().ScaleHeight()); }
    COLORREF Back() { return Sys(COLOR_BTNFACE); }

    // The classic look now shown, by its border.
    std::string ClassicLook() {
        auto now = BorderOf(Shot(btn()), Frame());
        struct Known {
            const char* name;
            UINT edge, flags;
        };
        const Known known[] = {{"normal", 1, kSoft},   {"hover", 1, kSoftRect},     {"pressed", 2, kSoftRect},
                               {"selected", 6, kSoftRect}, {"hover-selected", 10, kSoftRect}};
        for (const Known& k : known)
            if (now == ClassicBorder(W(), H(), Back(), Frame(), k.edge, k.flags)) return k.name;
        return "unknown";
    }

    void MoveTo(POINT p) {
        testsupport::MoveMouse(p.x, p.y);
        testsupport::Pump(40);
    }
    void Left(bool down) {
        testsupport::MouseButton(true, down);
        testsupport::Pump(40);
    }
    POINT Inside() { return CentreOf(btn().hWnd()); }
    POINT Outside() {
        RECT r;
        GetWindowRect(btn().hWnd(), &r);
        return POINT{r.right + 40, r.bottom + 30};
    }

    // Opens a classic button, presses inside and moves out holding the
    // button; the clicks are counted.
    void PressInsideAndLeave() {
        Open(true);
        ForceClassic(btn());
        btn().Click = [this] { ++clicks; };
        MoveTo(Inside());
        Left(true);
        MoveTo(Outside());
    }

    // A red picture and a green disabled one, 16 x 16.
    void GivePictures() {
        btn().Picture(SolidPicture(16, 16, kRed));
        btn().PictureDisabled(SolidPicture(16, 16, kGreen));
    }
    RECT where(COLORREF c) { return Shot(btn()).Find(c); }

    std::unique_ptr<ButtonForm> form;
    int clicks = 0;
};

TEST_F(TButtonTest, LeftPressAndReleaseRaiseTheEventsInOrder) {
    Open(true);
    ForceClassic(btn());
    std::vector<std::string> log;
    btn().MouseDown = [&](int16_t& b, int16_t&, float&, float&) { log.push_back("MouseDown " + std::to_string(b)); };
    btn().MouseUp = [&](int16_t& b, int16_t&, float&, float&) { log.push_back("MouseUp " + ClassicLook()); };
    btn().Click = [&] { log.push_back("Click " + ClassicLook()); };

    MoveTo(Inside());
    EXPECT_EQ(ClassicLook(), "hover");
    Left(true);
    EXPECT_EQ(ClassicLook(), "pressed");
    Left(false);
    EXPECT_EQ(log, (std::vector<std::string>{"MouseDown 1", "MouseUp pressed", "Click selected"}));
    EXPECT_EQ(ClassicLook(), "hover-selected");  // the pointer is still on it
}

TEST_F(TButtonTest, APressOnASelectedButtonRaisesNoClick) {
    Open(true);
    ForceClassic(btn());
    Boolean t = forms::True;
    btn().SelectButton(t);
    std::vector<std::string> log;
    btn().MouseDown = [&](int16_t&, int16_t&, float&, float&) { log.push_back("MouseDown"); };
    btn().MouseUp = [&](int16_t&, int16_t&, float&, float&) { log.push_back("MouseUp"); };
    btn().Click = [&] { log.push_back("Click"); };

    MoveTo(Inside());
    EXPECT_EQ(ClassicLook(), "hover-selected");
    Left(true);
    EXPECT_EQ(ClassicLook(), "hover-selected");  // not pressed
    Left(false);
    EXPECT_EQ(log, (std::vector<std::string>{"MouseDown", "MouseUp"}));
}

TEST_F(TButtonTest, ReleasingOutsideRaisesNoClickAndThePollClearsThePress) {
    PressInsideAndLeave();
    EXPECT_EQ(ClassicLook(), "normal");
    EXPECT_NE(GetCapture(), btn().hWnd());
    Left(false);
    testsupport::Pump(50);  // the key poll finds no key down
    MoveTo(Inside());
    EXPECT_EQ(ClassicLook(), "hover");
    EXPECT_EQ(clicks, 0);
}

TEST_F(TButtonTest, ComingBackWhileHoldingPressesAgainAndClicks) {
    PressInsideAndLeave();
    testsupport::Pump(50);  // the poll sees the button still held
    MoveTo(Inside());
    EXPECT_EQ(ClassicLook(), "pressed");
    Left(false);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(ClassicLook(), "hover-selected");
}

TEST_F(TButtonTest, TheButtonActsOnTheValueTheHandlerLeaves) {
    Open(true);
    ForceClassic(btn());
    btn().MouseDown = [&](int16_t& b, int16_t&, float&, float&) { b = 2; };
    btn().Click = [&] { ++clicks; };
    MoveTo(Inside());
    Left(true);
    EXPECT_EQ(ClassicLook(), "hover");
    Left(false);
    EXPECT_EQ(clicks, 0);

    // And the other way: a right press that the handler calls left.
    btn().MouseDown = [&](int16_t& b, int16_t&, float&, float&) { b = 1; };
    btn().MouseUp = [&](int16_t& b, int16_t&, float&, float&) { b = 1; };
    testsupport::MouseButton(false, true);
    testsupport::Pump(40);
    EXPECT_EQ(ClassicLook(), "pressed");
    testsupport::MouseButton(false, false);
    testsupport::Pump(40);
    EXPECT_EQ(clicks, 1);
}

TEST_F(TButtonTest, ClassicEdgesFollowTheLooks) {
    Open();
    ForceClassic(btn());
    struct Case {
        int look;
        bool frame, selected;
        UINT edge, flags;
    };
    const Case cases[] = {
        {0, false, false, 1, kSoft}, {0, true, false, 1, kSoftRect},  {1, false, false, 1, kSoftRect},
        {1, false, true, 10, kSoftRect}, {2, false, false, 2, kSoftRect}, {3, false, false, 6, kSoftRect},
    };
    for (const Case& c : cases) {
        btn().ShowFrame(forms::ToBoolean(c.frame));
        Boolean sel = forms::ToBoolean(c.selected);
        btn().SelectButton(sel);
        btn().SetButtonState(c.look);
        EXPECT_EQ(BorderOf(Shot(btn()), Frame()), ClassicBorder(W(), H(), Back(), Frame(), c.edge, c.flags))
            << "look " << c.look << " frame " << c.frame << " selected " << c.selected;
    }
    // Without a frame the normal look has no border at all.
    btn().ShowFrame(forms::False);
    Boolean f = forms::False;
    btn().SelectButton(f);
    for (COLORREF c : BorderOf(Shot(btn()), Frame())) EXPECT_EQ(c, Back());
    // A look outside 0 to 3 draws nothing.
    btn().SetButtonState(2);
    auto pressed = BorderOf(Shot(btn()), Frame());
    btn().SetButtonState(4);
    btn().SetButtonState(-1);
    EXPECT_EQ(BorderOf(Shot(btn()), Frame()), pressed);
}

TEST_F(TButtonTest, TheFrameEndsOnTheLastColumnOnlyForAnEvenWidth) {
    for (int w : {100, 101}) {
        Open(false, w, 30);
        ForceClassic(btn());
        btn().ShowFrame(forms::True);
        Shot s(btn());
        ASSERT_EQ(s.Width(), w);
        const COLORREF edgeRight = s.At(w % 2 == 0 ? w - 1 : w - 2, 15);
        EXPECT_NE(edgeRight, Back()) << w;
        if (w % 2 == 1) {
            EXPECT_EQ(s.At(w - 1, 15), Back()) << w;
        }
        EXPECT_NE(s.At(50, 29), Back()) << w;  // the bottom is the last row
        EXPECT_NE(s.At(0, 15), Back()) << w;
        TearDown();
    }
}

TEST_F(TButtonTest, ThemedLooksUseTheToolbarStates) {
    Open();
    if (!StyleActive(btn())) GTEST_SKIP() << "no visual style active";
    struct Case {
        int look;
        bool frame, selected;
        int state;
    };
    const Case cases[] = {{0, false, false, 1}, {0, true, false, 2}, {1, false, false, 2},
                          {1, false, true, 6},  {2, false, false, 3}, {3, false, false, 5}};
    for (const Case& c : cases) {
        btn().ShowFrame(forms::ToBoolean(c.frame));
        Boolean sel = forms::ToBoolean(c.selected);
        btn().SelectButton(sel);
        btn().SetButtonState(c.look);
        EXPECT_EQ(BorderOf(Shot(btn()), Frame()), ThemedBorder(btn().hWnd(), W(), H(), Back(), Frame(), c.state))
            << "look " << c.look;
    }
    // The hot state differs from the resting one under this style, so the
    // themed way really ran.
    EXPECT_NE(ThemedBorder(btn().hWnd(), W(), H(), Back(), Frame(), 2),
              ThemedBorder(btn().hWnd(), W(), H(), Back(), Frame(), 1));
}

TEST_F(TButtonTest, ThemedPicturesSitLeftAndTheDisabledOneLower) {
    Open();  // 120 x 32: the picture's top for centring is 8
    if (!StyleActive(btn())) GTEST_SKIP() << "no visual style active";
    GivePictures();
    Boolean t = forms::True, f = forms::False;

    EXPECT_EQ(where(kRed), (RECT{5, 7, 21, 23}));
    btn().SelectButton(t);
    EXPECT_EQ(where(kRed), (RECT{6, 8, 22, 24}));
    btn().SelectButton(f);
    btn().Enabled(forms::False);
    EXPECT_FALSE(Shot(btn()).Has(kRed));
    EXPECT_EQ(where(kGreen), (RECT{5, 8, 21, 24}));  // one lower than the enabled one
    btn().SelectButton(t);
    EXPECT_EQ(where(kGreen), (RECT{6, 9, 22, 25}));
}

TEST_F(TButtonTest, ClassicPicturesSitLeftAndMoveWhenPushed) {
    Open();
    ForceClassic(btn());
    GivePictures();
    Boolean t = forms::True, f = forms::False;

    EXPECT_EQ(where(kRed), (RECT{5, 7, 21, 23}));
    btn().SelectButton(t);
    EXPECT_EQ(where(kRed), (RECT{6, 8, 22, 24}));
    btn().Enabled(forms::False);
    EXPECT_EQ(where(kGreen), (RECT{6, 8, 22, 24}));
    btn().SelectButton(f);
    EXPECT_EQ(where(kGreen), (RECT{5, 7, 21, 23}));
    EXPECT_FALSE(Shot(btn()).Has(kRed));
}

TEST_F(TButtonTest, DisabledWithoutItsPictureShowsTheCaptionOnly) {
    Open();
    ForceClassic(btn());
    btn().Caption(L"Capture");
    btn().Picture(SolidPicture(16, 16, kRed));
    const RECT inner{3, 3, W() - 3, H() - 3};
    EXPECT_TRUE(Shot(btn()).Has(RGB(0, 0, 0), inner));

    btn().Enabled(forms::False);
    Shot s(btn());
    EXPECT_FALSE(s.Has(kRed));
    EXPECT_FALSE(s.Has(RGB(0, 0, 0), inner));
    EXPECT_TRUE(s.Has(Sys(COLOR_BTNSHADOW), inner));  // the caption in the shadow colour
}

TEST_F(TButtonTest, NoPictureMeansNoDisabledPictureEither) {
    Open();
    btn().PictureDisabled(SolidPicture(16, 16, kGreen));
    for (Boolean e : {forms::True, forms::False}) {
        btn().Enabled(e);
        EXPECT_FALSE(Shot(btn()).Has(kGreen));
    }
}

TEST_F(TButtonTest, TheCaptionStartsRightOfThePictureAndMovesWhenPushed) {
    Open();
    ForceClassic(btn());
    btn().Picture(SolidPicture(16, 16, kRed));
    btn().Caption(L"Go");
    const RECT inner{3, 3, W() - 3, H() - 3};
    RECT up = Shot(btn()).Find(RGB(0, 0, 0), inner);
    ASSERT_GT(up.right, up.left);
    EXPECT_GE(up.left, 16 + 9);
    EXPECT_LE(up.left, 16 + 9 + 2);
    Boolean t = forms::True;
    btn().SelectButton(t);
    RECT down = Shot(btn()).Find(RGB(0, 0, 0), inner);
    EXPECT_EQ(down.left, up.left + 1);
    // Vertically centred on the text height, each offset rounded on its own
    // (halves to even), so the pushed caption may move two pixels down.
    const double th = btn().TextHeight(L"Go");
    const int upTop = pushbutton::R(H() / 2.0 - th / 2 - 1), downTop = pushbutton::R(H() / 2.0 - th / 2);
    EXPECT_EQ(down.top - up.top, downTop - upTop);
    EXPECT_GE(up.top, upTop);
    EXPECT_LE(up.bottom, upTop + th);
}

TEST_F(TButtonTest, SelectButtonWithAnythingButTrueDeselects) {
    Open();
    ForceClassic(btn());
    for (int16_t v : {int16_t(1), int16_t(0), int16_t(2)}) {
        Boolean t = forms::True;
        btn().SelectButton(t);
        EXPECT_EQ(ClassicLook(), "selected");
        Boolean other = v;
        btn().SelectButton(other);
        EXPECT_EQ(ClassicLook(), "normal") << v;
    }
    forms::CallBy(btn(), L"SelectButton", {Variant::FromBoolean(forms::True)});
    EXPECT_EQ(ClassicLook(), "selected");
    forms::CallBy(btn(), L"SelectButton", {Variant::FromBoolean(forms::False)});
    EXPECT_EQ(ClassicLook(), "normal");
}

TEST_F(TButtonTest, HoverIsStrictlyInsideAndAPropertyChangeShowsTheRestingLook) {
    Open(true);
    ForceClassic(btn());
    POINT edge{0, H() / 2};
    ClientToScreen(btn().hWnd(), &edge);
    MoveTo(edge);
    EXPECT_EQ(ClassicLook(), "normal") << "column 0 is not inside";
    EXPECT_NE(GetCapture(), btn().hWnd());
    MoveTo(POINT{edge.x + 1, edge.y});
    EXPECT_EQ(ClassicLook(), "hover");
    MoveTo(Inside());
    EXPECT_EQ(ClassicLook(), "hover");
    btn().Caption(L"x");
    EXPECT_EQ(ClassicLook(), "normal");
    MoveTo(POINT{Inside().x + 1, Inside().y});
    EXPECT_EQ(ClassicLook(), "hover");
}

TEST_F(TButtonTest, LetsMarkTheirPropertyAndBackColourReachesTheHolders) {
    Open();
    ForceClassic(btn());
    const wchar_t* names[] = {L"Enabled", L"Font", L"Picture", L"PictureDisabled", L"ShowFrame", L"Caption",
                              L"BackColor"};
    btn().Enabled(forms::True);
    btn().Font(std::make_shared<forms::StdFont>(L"Tahoma", 9.0f));
    btn().Picture(SolidPicture(8, 8, kRed));
    btn().PictureDisabled(SolidPicture(8, 8, kGreen));
    btn().ShowFrame(forms::True);
    btn().Caption(L"c");
    btn().BackColor(RGB(10, 20, 30));
    EXPECT_EQ(btn().ChangedProperties(), std::vector<std::wstring>(std::begin(names), std::end(names)));
    auto font = btn().Font();
    EXPECT_THROW(btn().Font(nullptr), forms::Error);
    EXPECT_THROW(forms::LetBy(btn(), L"Font", Variant(forms::ObjectPtr(std::make_shared<forms::PropertyBag>()))),
                 forms::Error);
    EXPECT_EQ(btn().Font(), font);
    EXPECT_EQ(dynamic_cast<forms::Surface&>(Child(btn(), L"Tmp")).BackColor(), RGB(10, 20, 30));
    EXPECT_EQ(dynamic_cast<forms::Surface&>(Child(btn(), L"TmpPic")).BackColor(), RGB(10, 20, 30));
    EXPECT_EQ(Shot(btn()).At(W() - 3, H() / 2), RGB(10, 20, 30));
    EXPECT_EQ(forms::GetBy(btn(), L"Caption").AsString(), L"c");
    EXPECT_EQ(forms::GetBy(btn(), L"hwnd").AsLong(), static_cast<int32_t>(reinterpret_cast<intptr_t>(btn().hWnd())));
}

TEST_F(TButtonTest, PropertiesSurviveASaveAndAReload) {
    Open();
    btn().Caption(L"Copy");
    btn().ShowFrame(forms::True);
    btn().BackColor(RGB(1, 2, 3));
    btn().Picture(SolidPicture(16, 16, kRed));
    forms::PropertyBag bag = btn().SaveProperties();
    EXPECT_FALSE(bag.Contains(L"Enabled"));  // defaults are not stored
    EXPECT_FALSE(bag.Contains(L"PictureDisabled"));
    EXPECT_EQ(bag.ReadProperty(L"Caption").AsString(), L"Copy");

    forms::Unload(*form);
    form->Load();
    testsupport::Pump(30);
    EXPECT_EQ(btn().Caption(), L"Copy");
    EXPECT_EQ(btn().ShowFrame(), forms::True);
    EXPECT_EQ(btn().BackColor(), RGB(1, 2, 3));
    EXPECT_TRUE(btn().Picture());
    EXPECT_TRUE(btn().ChangedProperties().empty());
}

}  // namespace
