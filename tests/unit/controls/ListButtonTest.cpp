#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "controls/mListButton.h"
#include "forms/Error.h"
#include "unit/controls/PushButtonTestSupport.h"

using forms::Boolean;
using forms::Variant;
using namespace pbtest;

namespace {

class LookListButton : public mListButton {
public:
    using mListButton::mListButton;
    using mListButton::SetButtonState;
};

// Two list buttons side by side, and a plain picture box that is no list button.
class ListForm : public forms::Form {
public:
    LookListButton First{this, L"First"};
    LookListButton Second{this, L"Second"};
    forms::PictureBox Other{this, L"Other"};
    explicit ListForm(int left) {
        Caption(L"list test");
        ClientSize(4500, 1800);
        Move(left, 1500);
        First.Move(150, 150, 1200, 1200);   // 80 x 80 pixels
        Second.Move(1500, 150, 1200, 1200);
        Other.Move(3000, 150, 600, 600);
    }
};

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlack = RGB(0, 0, 0);

class ListButtonTest : public testing::Test {
protected:
    void SetUp() override {
        one = std::make_unique<ListForm>(1500);
        two = std::make_unique<ListForm>(9000);
        one->Load();
        two->Load();
    }
    // Only shown forms get the mouse; hidden ones are quicker to end.
    void ShowForms() {
        one->Show();
        two->Show();
        testsupport::Pump(50);
    }
    void TearDown() override {
        ReleaseMouse();
        for (auto* f : {&one, &two}) {
            forms::Unload(**f);
            f->reset();
        }
        testsupport::Pump(20);
    }

    static bool Selected(mListButton& b) {
        // The selected look is the etched edge in classic drawing.
        RECT f = pushbutton::FrameRect(b.ScaleWidth(), b.ScaleHeight());
        return BorderOf(Shot(b), f) == ClassicBorder(static_cast<int>(b.ScaleWidth()), static_cast<int>(b.ScaleHeight()),
                                                     Sys(COLOR_BTNFACE), f, EDGE_ETCHED, 0x100F);
    }
    void Click(mListButton& b) {
        POINT p = CentreOf(b.hWnd());
        testsupport::MoveMouse(p.x, p.y);
        testsupport::Pump(40);
        testsupport::MouseButton(true, true);
        testsupport::Pump(40);
        testsupport::MouseButton(true, false);
        testsupport::Pump(40);
    }

    std::unique_ptr<ListForm> one, two;
};

TEST_F(ListButtonTest, AClickSelectsOneButtonOfItsFormOnly) {
    ShowForms();
    for (ListForm* f : {one.get(), two.get()})
        for (mListButton* b : {&f->First, &f->Second}) ForceClassic(*b);
    Boolean t = forms::True;
    two->First.SelectButton(t);

    std::vector<std::string> log;
    one->First.Click = [&] { log.push_back(std::string("First ") + (Selected(one->First) ? "selected" : "normal")); };
    one->Second.Click = [&] {
        log.push_back(std::string("Second, first ") + (Selected(one->First) ? "selected" : "normal") + ", second " +
                      (Selected(one->Second) ? "selected" : "normal"));
    };
    Click(one->First);
    Click(one->Second);
    EXPECT_EQ(log, (std::vector<std::string>{"First selected", "Second, first normal, second selected"}));
    EXPECT_FALSE(Selected(one->First));
    EXPECT_TRUE(Selected(two->First));  // the other form is not touched
}

TEST_F(ListButtonTest, SelectingAgainRedrawsAndKeepsOnlyOne) {
    for (mListButton* b : {&one->First, &one->Second}) ForceClassic(*b);
    Boolean t = forms::True;
    one->First.SelectButton(t);
    forms::CallBy(one->Second, L"SelectButton", {Variant::FromBoolean(forms::True)});
    forms::CallBy(one->Second, L"SelectButton", {Variant::FromBoolean(forms::True)});
    EXPECT_FALSE(Selected(one->First));
    EXPECT_TRUE(Selected(one->Second));
    Boolean f = forms::False;
    one->Second.SelectButton(f);
    EXPECT_FALSE(Selected(one->Second));
}

TEST_F(ListButtonTest, PushedLooksMoveThePictureAndCaptionOnePixel) {
    mListButton& b = one->First;  // 80 x 80, picture 16 x 16: centred at x 32
    if (!StyleActive(b)) GTEST_SKIP() << "no visual style active";
    b.Picture(SolidPicture(16, 16, kRed));
    b.Caption(L"Region");
    const RECT below{2, 16 + 6, 78, 78};
    auto caption = [&] { return Shot(b).Find(kBlack, below); };
    Boolean t = forms::True, f = forms::False;

    EXPECT_EQ(Shot(b).Find(kRed), (RECT{32, 6, 48, 22}));
    RECT themedUp = caption();
    b.SelectButton(t);
    EXPECT_EQ(Shot(b).Find(kRed), (RECT{33, 7, 49, 23}));
    RECT themedDown = caption();
    EXPECT_EQ(themedDown.left, themedUp.left + 1);
    EXPECT_EQ(themedDown.top, themedUp.top + 1);

    ForceClassic(b);
    EXPECT_EQ(Shot(b).Find(kRed), (RECT{33, 7, 49, 23}));
    RECT classicDown = caption();
    b.SelectButton(f);
    EXPECT_EQ(Shot(b).Find(kRed), (RECT{32, 6, 48, 22}));
    RECT classicUp = caption();
    EXPECT_EQ(classicUp.top, themedUp.top + 1);  // the classic caption sits one lower
    EXPECT_EQ(classicUp.left, themedUp.left);
    EXPECT_EQ(classicDown.top, classicUp.top + 1);
    // Centred across the width.
    EXPECT_NEAR((classicUp.left + classicUp.right) / 2.0, 40 - 0.5, 2.0);
}

TEST_F(ListButtonTest, MousePointerIsSixteenBitAndPersists) {
    mListButton& b = one->First;
    b.MousePointer(99);
    b.MouseIcon(forms::LoadResPicture(1, forms::resCursor));
    EXPECT_EQ(b.MousePointer(), 99);
    try {
        b.MousePointer(40000);
        FAIL() << "no error";
    } catch (const forms::Error& e) {
        EXPECT_EQ(e.Number, forms::err::Overflow);
    }
    EXPECT_EQ(b.MousePointer(), 99);
    EXPECT_EQ(b.ChangedProperties(), (std::vector<std::wstring>{L"MousePointer", L"MouseIcon"}));

    forms::PropertyBag bag = b.SaveProperties();
    EXPECT_EQ(bag.ReadProperty(L"MousePointer").AsLong(), 99);
    EXPECT_TRUE(bag.ReadProperty(L"MouseIcon").AsPicture());
    forms::Unload(*one);
    one->Load();
    EXPECT_EQ(b.MousePointer(), 99);
    EXPECT_TRUE(b.MouseIcon());
    EXPECT_EQ(forms::GetBy(b, L"MousePointer").AsLong(), 99);
}

}  // namespace
