#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "controls/Link.h"
#include "unit/controls/PushButtonTestSupport.h"
#include "unit/controls/TooltipSpy.h"

using forms::Variant;
using pbtest::Shot;

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGreen = RGB(0, 255, 0);

class LinkForm : public forms::Form {
public:
    Link Lnk{this, L"Lnk"};
    forms::PictureBox Ref{this, L"Ref"};  // draws what the link should show
    explicit LinkForm(std::optional<forms::PropertyBag> bag) {
        Caption(L"link test");
        ClientSize(6000, 2400);
        Move(1500, 1500);
        Lnk.Move(300, 300, 3000, 450);
        Ref.Move(300, 1200, 3000, 450);
        Ref.BorderStyle(0);
        Ref.AutoRedraw(forms::True);
        if (bag) Lnk.DesignProperties(std::move(*bag));
    }
};

class HyperlinkTest : public testing::Test {
protected:
    void Open(std::optional<forms::PropertyBag> bag = std::nullopt, bool colours = true) {
        form = std::make_unique<LinkForm>(std::move(bag));
        form->Load();
        if (colours) {
            lnk().BackColor(kWhite);
            lnk().ForeColor(kBlue);
            lnk().OverColor(kRed);
        }
        form->Show();
        testsupport::Pump(40);
    }
    void Reopen(std::optional<forms::PropertyBag> bag, bool colours = true) {
        forms::Unload(*form);
        form.reset();
        Open(std::move(bag), colours);
    }
    void TearDown() override {
        pbtest::ReleaseMouse();
        Link::ShellExecuteWith(nullptr);
        if (form) forms::Unload(*form);
        form.reset();
        testsupport::Pump(20);
    }
    Link& lnk() { return form->Lnk; }

    // The link's image equals text printed at x after the picture, if any,
    // painted as a square of `side` twips, by a plain surface of its size.
    bool Shows(const std::wstring& text, float x, COLORREF colour = kBlue, forms::Picture pic = {}, float side = 0) {
        forms::PictureBox& r = form->Ref;
        r.Move(r.Left(), r.Top(), lnk().Width(), lnk().Height());
        r.Font(lnk().Font()->Clone());
        r.BackColor(kWhite);
        r.ForeColor(colour);
        if (pic) r.PaintPicture(pic, 0, r.ScaleHeight() / 2 - side / 2, side, side);
        r.CurrentX = x;
        r.CurrentY = (r.ScaleHeight() - r.TextHeight(lnk().Caption())) / 2;
        r.Print(text);
        return forms::BitmapFileBytes(lnk().Image().Bitmap()) == forms::BitmapFileBytes(r.Image().Bitmap());
    }
    RECT Screen() {
        RECT rc;
        GetWindowRect(lnk().hwnd(), &rc);
        return rc;
    }
    void MoveTo(int x, int y) {
        testsupport::MoveMouse(x, y);
        testsupport::Pump(40);
    }

    std::unique_ptr<LinkForm> form;
    std::vector<std::string> log;
};

TEST_F(HyperlinkTest, ACaptionThatFitsIsWholeOneTooLongIsCutBeforeFiveDots) {
    Open();
    lnk().Caption(L"Short");
    EXPECT_TRUE(Shows(L"Short", 3));

    const std::wstring longer = L"A caption far too long for this small link";
    lnk().Caption(longer);
    const double line = lnk().Width() - lnk().TextWidth(L".....");
    size_t n = 1;
    while (3 + forms::RoundHalfEven(lnk().TextWidth(longer.substr(0, n))) < line) ++n;
    ASSERT_GT(n, 1u);
    EXPECT_TRUE(Shows(longer.substr(0, n) + L"...", 3));
}

TEST_F(HyperlinkTest, AutoSizeFollowsTheCaptionUpToMaxWidth) {
    Open();
    lnk().Caption(L"Sized");
    const float tw = lnk().TextWidth(L"Sized"), th = lnk().TextHeight(L"Sized");
    lnk().MaxWidth(4000);
    lnk().AutoSize(forms::True);
    EXPECT_NEAR(lnk().Width(), 3 + tw, 8);
    EXPECT_NEAR(lnk().Height(), th, 8);
    EXPECT_TRUE(Shows(L"Sized", 3));

    lnk().MaxWidth(static_cast<int16_t>(3 + tw));  // exactly as wide: kept whole
    lnk().Caption(L"Sized");
    EXPECT_TRUE(Shows(L"Sized", 3));

    lnk().MaxWidth(0);
    lnk().Caption(L"Sized");
    EXPECT_EQ(lnk().Width(), 0);

    lnk().Move(300, 300, 2000, 600);
    const float w = lnk().Width(), h = lnk().Height();
    lnk().Caption(L"");  // an empty caption leaves the size alone
    EXPECT_EQ(lnk().Width(), w);
    EXPECT_EQ(lnk().Height(), h);
}

TEST_F(HyperlinkTest, APictureIsASquareOfItsHolderHeightAndDisablingKeepsTheLastOne) {
    Open();
    lnk().Caption(L"Pic");
    forms::Picture green = pbtest::SolidPicture(12, 20, kGreen);
    lnk().Picture(green);
    EXPECT_TRUE(Shows(L"Pic", 300 + 70, kBlue, green, 300));
    RECT sq = Shot(lnk()).Find(kGreen);
    EXPECT_EQ(sq.right - sq.left, 20);
    EXPECT_EQ(sq.bottom - sq.top, 20);

    lnk().AutoSize(forms::True);
    lnk().MaxWidth(5000);
    EXPECT_EQ(lnk().Height(), 450);  // with a picture the height stays

    lnk().Enabled(forms::False);  // no disabled picture: the last one painted stays
    EXPECT_TRUE(Shows(L"Pic", 370, GetSysColor(COLOR_BTNSHADOW), green, 300));
    EXPECT_EQ(lnk().ForeColor(), static_cast<int32_t>(kBlue));
    forms::Picture red = pbtest::SolidPicture(20, 20, kRed);
    lnk().DisabledPicture(red);
    EXPECT_TRUE(Shows(L"Pic", 370, GetSysColor(COLOR_BTNSHADOW), red, 300));
    lnk().Enabled(forms::True);
    EXPECT_TRUE(Shows(L"Pic", 370, kBlue, green, 300));
}

// A picture whose bitmap handle, read as a signed 32-bit number, is below 0,
// as the platform hands out now and then; empty when none comes.
forms::Picture NegativeHandlePicture(int w, int h, COLORREF c) {
    for (int i = 0; i < 4000; ++i) {
        forms::Picture p = pbtest::SolidPicture(w, h, c);
        if (static_cast<int32_t>(p.Handle()) < 0) return p;
    }
    return {};
}

TEST_F(HyperlinkTest, APictureCountsWhateverTheTopBitOfItsHandle) {
    Open();
    lnk().Caption(L"Pic");
    forms::Picture red = NegativeHandlePicture(20, 20, kRed);
    if (!red) GTEST_SKIP() << "the platform gave no such handle";
    lnk().Picture(red);
    EXPECT_TRUE(Shows(L"Pic", 370, kBlue, red, 300));
}

TEST_F(HyperlinkTest, HoverTakesTheOverColourAndUnderlineWhileTheCaptureIsHeld) {
    Open();
    lnk().Caption(L"Hover me");
    RECT r = Screen();
    const int midY = (r.top + r.bottom) / 2;
    MoveTo(r.left + 20, midY);
    EXPECT_EQ(GetCapture(), lnk().hwnd());
    EXPECT_TRUE(Shot(lnk()).Has(kRed));
    EXPECT_FALSE(Shot(lnk()).Has(kBlue));
    EXPECT_EQ(lnk().Font()->Underline(), forms::True);
    EXPECT_EQ(GetCursor(), reinterpret_cast<HCURSOR>(static_cast<uintptr_t>(lnk().MouseIcon().Handle())));

    MoveTo(r.left, midY);  // the left edge is outside
    EXPECT_NE(GetCapture(), lnk().hwnd());
    EXPECT_TRUE(Shows(L"Hover me", 3));
    EXPECT_EQ(lnk().Font()->Underline(), forms::False);
    MoveTo(r.left + 1, midY);
    EXPECT_TRUE(Shot(lnk()).Has(kRed));
    MoveTo(r.right + 30, midY);  // the capture brings the leaving move
    EXPECT_NE(GetCapture(), lnk().hwnd());
    EXPECT_TRUE(Shows(L"Hover me", 3));

    lnk().OverUnderline(forms::False);
    lnk().ForeColor(kGreen);  // holds until the next move brings back the colour taken at showing
    EXPECT_TRUE(Shows(L"Hover me", 3, kGreen));
    MoveTo(r.left + 20, midY);
    EXPECT_TRUE(Shot(lnk()).Has(kRed));
    EXPECT_EQ(lnk().Font()->Underline(), forms::False);
    MoveTo(r.right + 30, midY);
    EXPECT_TRUE(Shows(L"Hover me", 3, kBlue));
}

TEST_F(HyperlinkTest, ALeftClickRaisesClickBetweenMouseUpAndAFreshHoverTest) {
    Open();
    lnk().Caption(L"Click");
    lnk().MouseDown = [&](int16_t b, int16_t, float, float) { log.push_back("down " + std::to_string(b)); };
    lnk().MouseUp = [&](int16_t b, int16_t, float, float) { log.push_back("up " + std::to_string(b)); };
    lnk().Click = [&] { log.push_back("click"); };
    RECT r = Screen();
    MoveTo(r.left + 20, (r.top + r.bottom) / 2);
    lnk().MouseMove = [&](int16_t, int16_t, float, float) { log.push_back("move"); };
    testsupport::MouseButton(false, true);
    testsupport::MouseButton(false, false);
    testsupport::Pump(40);
    testsupport::MouseButton(true, true);
    testsupport::MouseButton(true, false);
    testsupport::Pump(40);
    // The platform adds moves of its own; the control's follows the click.
    auto click = std::find(log.begin(), log.end(), "click");
    ASSERT_NE(click, log.end());
    ASSERT_NE(click + 1, log.end());
    EXPECT_EQ(click[1], "move");
    std::erase(log, "move");
    EXPECT_EQ(log, (std::vector<std::string>{"down 2", "up 2", "down 1", "up 1", "click"}));
    EXPECT_EQ(GetCapture(), lnk().hwnd());  // still over it
}

TEST_F(HyperlinkTest, PropertiesPersistByNameWithTheirDefaults) {
    Open(forms::PropertyBag(), false);
    EXPECT_EQ(lnk().BackColor(), static_cast<int32_t>(0x8000000F));
    EXPECT_EQ(lnk().ForeColor(), static_cast<int32_t>(0x80000012));
    EXPECT_EQ(lnk().OverUnderline(), forms::True);
    EXPECT_EQ(lnk().AutoSize(), forms::False);
    EXPECT_FALSE(static_cast<bool>(lnk().Picture()));
    // Only OverUnderline is stored at its defaults: -1 against 1.
    forms::PropertyBag fresh = lnk().SaveProperties();
    ASSERT_EQ(fresh.Count(), 1u);
    EXPECT_EQ(fresh.ReadProperty(L"OverUnderline").AsInteger(), -1);

    forms::PropertyBag bag;
    bag.WriteProperty(L"TipText", L"carried");
    bag.WriteProperty(L"OverUnderline", forms::False, 1);
    forms::Picture pic = pbtest::SolidPicture(10, 10, kGreen);
    Reopen(std::move(bag), false);
    EXPECT_FALSE(forms::IsTrue(lnk().OverUnderline()));
    auto font = std::make_shared<forms::StdFont>(L"Arial", 12.0f);
    lnk().Font(font);
    lnk().BackColor(kWhite);
    lnk().Enabled(forms::False);
    lnk().ForeColor(kBlue);
    lnk().Caption(L"Cap");
    lnk().OverColor(kRed);
    lnk().AutoSize(forms::True);
    lnk().ToolTip(L"tip");
    lnk().MaxWidth(900);
    lnk().Picture(pic);
    lnk().DisabledPicture(pic);
    lnk().ToolTipTitle(L"title");
    EXPECT_EQ(lnk().ChangedProperties().size(), 12u);
    forms::PropertyBag saved = lnk().SaveProperties();
    std::vector<std::wstring> keys;
    for (const auto& [k, v] : saved.Items()) keys.push_back(k);
    EXPECT_EQ(keys, (std::vector<std::wstring>{L"BackColor", L"Enabled", L"Font", L"ForeColor", L"Caption", L"OverColor",
                                               L"TipText", L"OverUnderline", L"AutoSize", L"ToolTip", L"MaxWidth",
                                               L"Picture", L"DisabledPicture", L"ToolTipTitle"}));
    EXPECT_EQ(saved.ReadProperty(L"OverUnderline").AsInteger(), 0);
    EXPECT_EQ(saved.ReadProperty(L"TipText").AsString(), L"carried");

    Reopen(saved, false);
    EXPECT_EQ(lnk().Font()->Name(), L"Arial");
    EXPECT_EQ(lnk().Enabled(), forms::False);
    EXPECT_EQ(lnk().Caption(), L"Cap");
    EXPECT_EQ(lnk().MaxWidth(), 900);
    EXPECT_EQ(lnk().Picture(), pic);
    EXPECT_EQ(lnk().ToolTipTitle(), L"title");
    EXPECT_FALSE(lnk().PropertiesOutOfDate());
    // The font given is the control's pattern, not its own to underline.
    lnk().Enabled(forms::True);
    lnk().OverUnderline(forms::True);
    MoveTo(Screen().left + 5, Screen().top + 5);
    EXPECT_EQ(lnk().Font()->Underline(), forms::True);
    EXPECT_EQ(font->Underline(), forms::False);
}

TEST_F(HyperlinkTest, TheTooltipIsBuiltAtShowingOrByItsTitleAndEndsWithTheControl) {
    forms::PropertyBag bag;
    bag.WriteProperty(L"ToolTip", L"Go there");
    Open(std::move(bag));
    auto tips = tiptest::TipsFor(lnk().hwnd());
    ASSERT_EQ(tips.size(), 1u);
    HWND tip = tips[0];
    EXPECT_EQ(tiptest::TextOf(tip, lnk().hwnd()), "Go there");
    EXPECT_EQ(SendMessageA(tip, TTM_GETDELAYTIME, TTDT_AUTOPOP, 0), 7000);
    lnk().ToolTip(L"Changed");  // stored only
    EXPECT_EQ(tiptest::TextOf(tip, lnk().hwnd()), "Go there");
    Reopen(std::nullopt);
    EXPECT_FALSE(IsWindow(tip));
    EXPECT_TRUE(tiptest::TipsFor(lnk().hwnd()).empty());
    lnk().ToolTipTitle(L"Title");  // builds it with the empty text
    EXPECT_EQ(tiptest::TipsFor(lnk().hwnd()).size(), 1u);
}

TEST_F(HyperlinkTest, MailAndPathsGoToTheShellWithTheirArguments) {
    Open();
    std::vector<std::string> calls;
    auto text = [](LPCSTR t) { return t ? "\"" + std::string(t) + "\"" : std::string("null"); };
    Link::ShellExecuteWith([&](HWND h, LPCSTR v, LPCSTR f, LPCSTR p, LPCSTR d, INT s) {
        calls.push_back(std::to_string(reinterpret_cast<uintptr_t>(h)) + " " + text(v) + " " + text(f) + " " + text(p) +
                        " " + text(d) + " " + std::to_string(s));
        return reinterpret_cast<HINSTANCE>(2);  // a failure, not reported
    });
    lnk().SendEmail(L"me@example.com");
    forms::CallBy(lnk(), L"OpenPath", {Variant(L"http://example.com/"), Variant(int32_t{3})});
    EXPECT_EQ(calls, (std::vector<std::string>{"0 null \"mailto:me@example.com\" null \"C:\\\" 1",
                                               "0 \"Open\" \"http://example.com/\" \"\" \"C:\\\" 3"}));
}

}  // namespace
