// The drawing kit's drawing members on a small object over a memory DC,
// reached by name as the kit reaches any window-backed object.
#include <windows.h>

#include <gtest/gtest.h>

#include <set>

#include "controls/cGraphics.h"
#include "forms/Error.h"
#include "forms/Forms.h"
#include "forms/Runtime.h"
#include "unit/common/TestObjects.h"
#include "unit/common/TestSupport.h"

using namespace forms;

namespace {

int Tpp() { return static_cast<int>(Screen.TwipsPerPixelX()); }

// A drawing surface of w x h pixels with the members the kit asks for.
class MemBox : public Object {
public:
    MemBox(int w, int h, COLORREF back = RGB(10, 20, 30)) : w_(w), h_(h), back_(back) {
        BITMAPINFO bi{};
        bi.bmiHeader.biSize = sizeof bi.bmiHeader;
        bi.bmiHeader.biWidth = w;
        bi.bmiHeader.biHeight = -h;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        dc_ = CreateCompatibleDC(nullptr);
        bmp_ = CreateDIBSection(dc_, &bi, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_), nullptr, 0);
        oldBmp_ = SelectObject(dc_, bmp_);
        SetBkMode(dc_, TRANSPARENT);
        Cls();
    }
    ~MemBox() override {
        SelectObject(dc_, oldBmp_);
        DeleteObject(bmp_);
        DeleteDC(dc_);
    }
    COLORREF Pixel(int x, int y) const {
        uint32_t v = bits_[y * w_ + x];
        return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
    }
    void Cls() {
        RECT r{0, 0, w_, h_};
        HBRUSH b = CreateSolidBrush(back_);
        FillRect(dc_, &r, b);
        DeleteObject(b);
    }
    double ScaleFactor() const { return scaleMode_ == 3 ? 1.0 : Tpp(); }

    Variant GetProperty(std::wstring_view n) override {
        if (NameIs(n, L"hDC")) return static_cast<int32_t>(reinterpret_cast<intptr_t>(dc_));
        if (NameIs(n, L"Width")) return static_cast<int32_t>(w_ * Tpp());
        if (NameIs(n, L"Height")) return static_cast<int32_t>(h_ * Tpp());
        if (NameIs(n, L"ScaleWidth")) return w_ * ScaleFactor();
        if (NameIs(n, L"ScaleHeight")) return h_ * ScaleFactor();
        if (NameIs(n, L"ScaleMode")) return scaleMode_;
        if (NameIs(n, L"ForeColor")) return foreColor_;
        if (NameIs(n, L"DrawWidth")) return drawWidth_;
        return Object::GetProperty(n);
    }
    void LetProperty(std::wstring_view n, const Variant& v) override {
        if (NameIs(n, L"ScaleMode")) {
            scaleMode_ = v.AsInteger();
            scaleModeLets.push_back(scaleMode_);
        } else if (NameIs(n, L"ForeColor")) {
            foreColor_ = v.AsLong();
            SetTextColor(dc_, cGraphics::TranslateColor(foreColor_));
        } else if (NameIs(n, L"DrawWidth")) {
            if (v.AsInteger() < 1) Raise(380);
            drawWidth_ = v.AsInteger();
        } else {
            Object::LetProperty(n, v);
        }
    }
    Variant CallMethod(std::wstring_view n, const std::vector<Variant>& a) override {
        if (NameIs(n, L"Cls")) {
            Cls();
            ++clsCount;
            return {};
        }
        if (NameIs(n, L"Refresh")) {
            ++refreshCount;
            return {};
        }
        return Object::CallMethod(n, a);
    }

    int refreshCount = 0;
    int clsCount = 0;
    std::vector<int16_t> scaleModeLets;

private:
    int w_, h_;
    COLORREF back_;
    HDC dc_ = nullptr;
    HBITMAP bmp_ = nullptr;
    HGDIOBJ oldBmp_ = nullptr;
    uint32_t* bits_ = nullptr;
    int16_t scaleMode_ = 3;
    int32_t foreColor_ = 0;
    int16_t drawWidth_ = 1;
};

COLORREF Mix(COLORREF c2, COLORREF c1, double f) {
    auto ch = [&](int a, int b) { return static_cast<int>(RoundHalfEven(a + f * (b - a))); };
    return RGB(ch(GetRValue(c2), GetRValue(c1)), ch(GetGValue(c2), GetGValue(c1)), ch(GetBValue(c2), GetBValue(c1)));
}

// The leftmost and lowest column/row holding a pixel other than the back colour.
struct Ink {
    int left = -1, right = -1, top = -1, bottom = -1;
};
Ink InkOf(const MemBox& b, int w, int h, COLORREF back) {
    Ink k;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (b.Pixel(x, y) != back) {
                if (k.left < 0 || x < k.left) k.left = x;
                if (x > k.right) k.right = x;
                if (k.top < 0) k.top = y;
                k.bottom = y;
            }
    return k;
}

const COLORREF kBack = RGB(10, 20, 30);

}  // namespace

TEST(DrawingColours, TranslateColorPassesPlainColoursAndResolvesSystemColours) {
    EXPECT_EQ(cGraphics::TranslateColor(0xFF), 0xFF);
    EXPECT_EQ(cGraphics::TranslateColor(0x123456), 0x123456);
    EXPECT_EQ(cGraphics::TranslateColor(static_cast<int32_t>(0x80000010)),
              static_cast<int32_t>(GetSysColor(COLOR_BTNSHADOW)));
    EXPECT_EQ(cGraphics::TranslateColor(static_cast<int32_t>(0x8000000F)),
              static_cast<int32_t>(GetSysColor(COLOR_BTNFACE)));
    EXPECT_EQ(cGraphics::TranslateColor(static_cast<int32_t>(0x80000040)), -1) << "no such system colour";
    EXPECT_EQ(cGraphics::TranslateColor(0x05000000), -1) << "unknown kind of colour";
}

TEST(DrawingColours, BlendColorMixesByAlpha) {
    cGraphics g;
    EXPECT_EQ(g.BlendColor(0xFFFFFF, 0, 255), 0xFFFFFF);
    EXPECT_EQ(g.BlendColor(0xFFFFFF, 0, 0), 0);
    EXPECT_EQ(g.BlendColor(0xFFFFFF, 0, 128), 0x808080);
    EXPECT_EQ(g.BlendColor(static_cast<int32_t>(0x8000000F), 0, 255), static_cast<int32_t>(GetSysColor(COLOR_BTNFACE)));
    // Per channel: red 200 over 100, green 0 over 255, blue 50 over 50.
    EXPECT_EQ(g.BlendColor(RGB(200, 0, 50), RGB(100, 255, 50), 51), static_cast<int32_t>(RGB(120, 204, 50)));
    // A colour that cannot be translated takes part as white.
    EXPECT_EQ(g.BlendColor(0x05000000, 0, 255), 0xFFFFFF);
}

TEST(DrawingColours, BlendColorDefaultsToAnEvenMixAndKeepsAlphaInRange) {
    cGraphics g;
    EXPECT_EQ(g.BlendColor(0xFFFFFF, 0), g.BlendColor(0xFFFFFF, 0, 128));
    EXPECT_EQ(g.BlendColor(RGB(0, 100, 200), RGB(200, 100, 0)), static_cast<int32_t>(RGB(100, 100, 100)));
    // Beyond the range the channels would spill into each other: the ends hold.
    EXPECT_EQ(g.BlendColor(RGB(200, 10, 0), RGB(0, 10, 200), 1000), static_cast<int32_t>(RGB(200, 10, 0)));
    EXPECT_EQ(g.BlendColor(RGB(200, 10, 0), RGB(0, 10, 200), -7), static_cast<int32_t>(RGB(0, 10, 200)));
}

TEST(DrawingGradients, BandsAlongTheHeightOfAHundredPixelBox) {
    MemBox box(20, 100);
    cGraphics g;
    const COLORREF c1 = RGB(200, 0, 100), c2 = RGB(0, 200, 0);
    DWORD gdi = testsupport::GdiCount();
    g.DrawGradient(box, c1, c2, 0);
    EXPECT_EQ(testsupport::GdiCount(), gdi) << "each band's brush is deleted";
    EXPECT_EQ(box.refreshCount, 1);
    EXPECT_EQ(box.Pixel(5, 99), c2);
    EXPECT_EQ(box.Pixel(5, 98), c2);
    EXPECT_EQ(box.Pixel(5, 97), Mix(c2, c1, 1 / 100.0));
    EXPECT_EQ(box.Pixel(5, 50), Mix(c2, c1, 48 / 100.0));
    EXPECT_EQ(box.Pixel(5, 0), Mix(c2, c1, 98 / 100.0)) << "Color1 itself is never reached";
    std::set<COLORREF> rows;
    for (int y = 0; y < 100; ++y) {
        rows.insert(box.Pixel(0, y));
        EXPECT_EQ(box.Pixel(0, y), box.Pixel(19, y)) << "a band spans the width, row " << y;
    }
    EXPECT_EQ(rows.size(), 99u) << "one band per row, the bottom two alike";
}

TEST(DrawingGradients, TallBoxesUseWiderBands) {
    MemBox box(4, 400);
    cGraphics g;
    const COLORREF c1 = RGB(255, 255, 255), c2 = RGB(0, 0, 0);
    g.DrawGradient(box, c1, c2, 0);
    for (int y : {399, 398, 397, 396}) EXPECT_EQ(box.Pixel(0, y), c2) << y;
    EXPECT_EQ(box.Pixel(0, 395), Mix(c2, c1, 2 / 400.0));
    EXPECT_EQ(box.Pixel(0, 394), box.Pixel(0, 395)) << "two-pixel bands";
    EXPECT_EQ(box.Pixel(0, 1), Mix(c2, c1, 396 / 400.0));
    EXPECT_EQ(box.Pixel(0, 0), box.Pixel(0, 1)) << "the 201st band lies above the top";
    std::set<COLORREF> seen;
    for (int y = 0; y < 400; ++y) seen.insert(box.Pixel(0, y));
    EXPECT_EQ(seen.size(), 199u);
}

TEST(DrawingGradients, BandsAlongTheWidthRunFromTheRightEdge) {
    MemBox box(50, 6);
    cGraphics g;
    const COLORREF c1 = RGB(0, 0, 250), c2 = RGB(250, 0, 0);
    g.DrawGradient(box, c1, c2, 1);
    EXPECT_EQ(box.Pixel(49, 3), c2);
    EXPECT_EQ(box.Pixel(48, 0), c2);
    EXPECT_EQ(box.Pixel(47, 5), Mix(c2, c1, 1 / 50.0));
    EXPECT_EQ(box.Pixel(0, 2), Mix(c2, c1, 48 / 50.0));
}

TEST(DrawingGradients, SystemColoursAreTranslatedFirst) {
    MemBox box(10, 10);
    cGraphics g;
    g.DrawGradient(box, 0, static_cast<int32_t>(0x80000010), 0);
    EXPECT_EQ(box.Pixel(3, 9), GetSysColor(COLOR_BTNSHADOW));
}

TEST(DrawingGradients, UnknownKindsDrawNothingButRefresh) {
    MemBox box(10, 10);
    cGraphics g;
    g.DrawGradient(box, 0xFFFFFF, 0, 2);
    g.DrawGradient(box, 0xFFFFFF, 0, -1);
    EXPECT_EQ(box.refreshCount, 2);
    EXPECT_EQ(InkOf(box, 10, 10, kBack).left, -1);
}

TEST(DrawingGradients, EmptyBoxesReturnNormally) {
    MemBox box(10, 1);
    cGraphics g;
    // A surface that reports zero height (the test box keeps one real row).
    struct Flat : MemBox {
        using MemBox::MemBox;
        Variant GetProperty(std::wstring_view n) override {
            if (NameIs(n, L"Height")) return int32_t{0};
            return MemBox::GetProperty(n);
        }
    } flat(10, 1);
    EXPECT_NO_THROW(g.DrawGradient(flat, 0xFFFFFF, 0, 0));
    EXPECT_EQ(flat.refreshCount, 1);
    EXPECT_EQ(flat.Pixel(0, 0), kBack);
    EXPECT_NO_THROW(g.DrawGradient(flat, 0xFFFFFF, 0, 1));
    EXPECT_NO_THROW(g.DrawHGradientRect(box, 0, 0, 1, 0, 0xFFFFFF, 0));
    EXPECT_EQ(box.refreshCount, 1);
}

TEST(DrawingGradients, AnObjectWithoutADeviceContextReachesTheCaller) {
    Object bare;
    cGraphics g;
    try {
        g.DrawGradient(bare, 0, 0, 0);
        FAIL();
    } catch (const Error& e) {
        EXPECT_EQ(e.Number, err::NoSuchMember);
    }
}

TEST(DrawingGradients, HorizontalGradientInsideARectangle) {
    MemBox box(40, 20);
    cGraphics g;
    const COLORREF c1 = RGB(0, 0, 0), c2 = RGB(0, 200, 0);
    g.DrawHGradientRect(box, 5, 4, 10, 20, c1, c2);
    EXPECT_EQ(box.refreshCount, 1);
    EXPECT_EQ(box.Pixel(24, 4), c2);
    EXPECT_EQ(box.Pixel(23, 13), c2);
    EXPECT_EQ(box.Pixel(22, 8), Mix(c2, c1, 1 / 20.0));
    EXPECT_EQ(box.Pixel(5, 8), Mix(c2, c1, 18 / 20.0));
    // Nothing outside the rectangle, except the last band, which ends left of x.
    EXPECT_EQ(box.Pixel(25, 8), kBack);
    EXPECT_EQ(box.Pixel(10, 3), kBack);
    EXPECT_EQ(box.Pixel(10, 14), kBack);
    EXPECT_EQ(box.Pixel(4, 8), Mix(c2, c1, 19 / 20.0));
    EXPECT_EQ(box.Pixel(3, 8), kBack);
}

TEST(DrawingFrames, TransRectangleWithPenOneIsTheOutermostRing) {
    MemBox box(12, 10);
    cGraphics g;
    LetBy(box, L"ForeColor", int32_t{0x123456});
    const COLORREF red = RGB(255, 0, 0);
    g.DrawTransRectangle(box, red);
    for (int x = 0; x < 12; ++x) {
        EXPECT_EQ(box.Pixel(x, 0), red) << x;
        EXPECT_EQ(box.Pixel(x, 9), red) << x;
    }
    for (int y = 0; y < 10; ++y) {
        EXPECT_EQ(box.Pixel(0, y), red) << y;
        EXPECT_EQ(box.Pixel(11, y), red) << y;
    }
    EXPECT_EQ(box.Pixel(1, 1), kBack);
    EXPECT_EQ(box.Pixel(10, 8), kBack);
    EXPECT_EQ(GetBy(box, L"ForeColor").AsLong(), 0x123456) << "fore colour restored";
    EXPECT_EQ(box.clsCount, 0) << "drawn over what is there";
}

TEST(DrawingFrames, TransRectangleWithPenTwoRunsOnePixelIn) {
    MemBox box(20, 16);
    cGraphics g;
    const COLORREF blue = RGB(0, 0, 255);
    g.DrawTransRectangle(box, blue, 2);
    EXPECT_EQ(GetBy(box, L"DrawWidth").AsInteger(), 2);
    // Lines through the second pixel, two pixels wide: a pen of even width
    // covers its line and the pixels above and left of it.
    const int ys[] = {0, 1, 13, 14}, xs[] = {0, 1, 17, 18};
    for (int x = 3; x < 17; ++x) {
        for (int y : ys) EXPECT_EQ(box.Pixel(x, y), blue) << x << "," << y;
        EXPECT_EQ(box.Pixel(x, 2), kBack) << x;
        EXPECT_EQ(box.Pixel(x, 12), kBack) << x;
    }
    for (int y = 3; y < 13; ++y) {
        for (int x : xs) EXPECT_EQ(box.Pixel(x, y), blue) << x << "," << y;
        EXPECT_EQ(box.Pixel(2, y), kBack) << y;
        EXPECT_EQ(box.Pixel(16, y), kBack) << y;
    }
}

TEST(DrawingFrames, ARefusedPenWidthReachesTheCallerWithTheColourRestored) {
    MemBox box(10, 10);
    cGraphics g;
    LetBy(box, L"ForeColor", int32_t{77});
    EXPECT_THROW(g.DrawTransRectangle(box, 0xFF, 0), Error);
    EXPECT_EQ(GetBy(box, L"ForeColor").AsLong(), 77);
}

TEST(DrawingFrames, RectangleOutlineAndFillClearFirst) {
    MemBox box(10, 8);
    cGraphics g;
    g.DrawGradient(box, 0xFFFFFF, 0xFFFFFF, 0);
    const COLORREF green = RGB(0, 255, 0);
    g.DrawRectangle(box, green);
    EXPECT_EQ(box.clsCount, 1);
    EXPECT_EQ(box.Pixel(0, 0), green);
    EXPECT_EQ(box.Pixel(9, 7), green);
    EXPECT_EQ(box.Pixel(5, 4), kBack) << "inside is cleared, not white";
    g.FillRectangle(box, green);
    EXPECT_EQ(box.clsCount, 2);
    EXPECT_EQ(box.Pixel(5, 4), green);
    EXPECT_EQ(box.refreshCount, 1) << "only the gradient refreshed";
}

TEST(DrawingFrames, SunkenEdgeLeavesTheScaleInTwips) {
    for (int16_t before : {int16_t{1}, int16_t{3}}) {
        MemBox box(20, 20);
        LetBy(box, L"ScaleMode", before);
        box.scaleModeLets.clear();
        cGraphics g;
        g.DrowFrame(box, 2, 3, 15, 12);
        EXPECT_EQ(box.scaleModeLets, (std::vector<int16_t>{3, 1}));
        EXPECT_EQ(GetBy(box, L"ScaleMode").AsInteger(), 1);
        // Shadow along the top and left edge of the rectangle, light along the others.
        EXPECT_EQ(box.Pixel(8, 2), GetSysColor(COLOR_BTNSHADOW));
        EXPECT_EQ(box.Pixel(3, 6), GetSysColor(COLOR_BTNSHADOW));
        EXPECT_EQ(box.Pixel(8, 11), GetSysColor(COLOR_BTNHIGHLIGHT));
        EXPECT_EQ(box.Pixel(14, 6), GetSysColor(COLOR_BTNHIGHLIGHT));
        EXPECT_EQ(box.Pixel(8, 6), kBack);
        EXPECT_EQ(box.Pixel(16, 6), kBack);
    }
}

namespace {

// A form holding one picture box with a persistent image in pixels.
class BoxHost : public Form {
public:
    PictureBox Box{this, L"Box"};
    BoxHost(int w, int h) {
        ClientSize(static_cast<float>((w + 10) * Tpp()), static_cast<float>((h + 10) * Tpp()));
        Box.Move(0, 0, static_cast<float>(w * Tpp()), static_cast<float>(h * Tpp()));
        Box.BorderStyle(0);
        Box.AutoRedraw(True);
        Box.ScaleMode(vbPixels);
        Box.BackColor(static_cast<int32_t>(kBack));
        Load();
    }
    ~BoxHost() override { Unload(*this); }
};

// The box's persistent image, read back once.
class Shot {
public:
    explicit Shot(PictureBox& box) { px_ = testsupport::PixelsOf(box.Image().Bitmap(), &w_, &h_); }
    COLORREF Pixel(int x, int y) const {
        if (x < 0 || y < 0 || x >= w_ || y >= h_) return CLR_INVALID;
        uint32_t v = px_[static_cast<size_t>(y) * w_ + x];
        return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
    }
    Ink InkOf(COLORREF back) const {
        Ink k;
        for (int y = 0; y < h_; ++y)
            for (int x = 0; x < w_; ++x)
                if (Pixel(x, y) != back) {
                    if (k.left < 0 || x < k.left) k.left = x;
                    if (x > k.right) k.right = x;
                    if (k.top < 0) k.top = y;
                    k.bottom = y;
                }
        return k;
    }
    std::set<COLORREF> ColoursIn(const Ink& k) const {
        std::set<COLORREF> c;
        for (int x = k.left; x <= k.right; ++x)
            for (int y = k.top; y <= k.bottom; ++y) c.insert(Pixel(x, y));
        return c;
    }

private:
    int w_ = 0, h_ = 0;
    std::vector<uint32_t> px_;
};

}  // namespace

TEST(DrawingText, TextExFlagsCentreAndBreakWords) {
    const COLORREF white = RGB(255, 255, 255);
    auto draw = [&](int right, Boolean centre, Boolean wrap) {
        BoxHost h(200, 80);
        cGraphics g;
        g.cDrawTextEx(h.Box, 10, 5, right, 80, L"Wwww Wwww Wwww", white, False, centre, wrap);
        return Shot(h.Box).InkOf(kBack);
    };
    Ink p = draw(190, False, False);
    ASSERT_GE(p.left, 10);
    EXPECT_LT(p.left, 14) << "flags 0: at the left edge";
    Ink c = draw(190, True, False);
    EXPECT_NEAR((c.left + c.right) / 2.0, 100, 3) << "flag 1: centred between 10 and 190";
    EXPECT_EQ(c.bottom, p.bottom);
    // A rectangle narrower than the text: word break moves words to new lines.
    Ink w16 = draw(80, False, True);
    EXPECT_GT(w16.bottom, p.bottom + 10) << "flag 16: more than one line";
    EXPECT_LT(w16.right, 80);
    Ink w17 = draw(80, True, True);
    EXPECT_GT(w17.bottom, p.bottom + 10);
    EXPECT_GT(w17.left, w16.left) << "flag 17: the lines are centred too";
    // Only True (-1) counts as set.
    Ink w1 = draw(80, 1, 1);
    EXPECT_LT(w1.bottom, p.bottom + 10);
}

TEST(DrawingText, TextExSetsTheBoxColourAndWeight) {
    BoxHost h(100, 30);
    cGraphics g;
    g.cDrawTextEx(h.Box, 0, 0, 100, 30, L"W", 0xFF, True, False, False);
    EXPECT_EQ(h.Box.ForeColor(), 0xFF);
    EXPECT_TRUE(IsTrue(h.Box.FontBold()));
    Shot s(h.Box);
    Ink k = s.InkOf(kBack);
    ASSERT_GE(k.left, 0);
    EXPECT_TRUE(s.ColoursIn(k).count(RGB(255, 0, 0)));
}

TEST(DrawingText, CentredTextLiesInTheMiddleOfTheBox) {
    BoxHost h(120, 20);
    cGraphics g;
    g.cDrawText(h.Box, L"WWW", 0xFFFFFF, False);
    Ink k = Shot(h.Box).InkOf(kBack);
    ASSERT_GE(k.left, 0);
    EXPECT_NEAR((k.left + k.right) / 2.0, 60, 3);
    EXPECT_FALSE(IsTrue(h.Box.FontBold()));
}

TEST(DrawingText, DisabledTextIsEmbossedAtTheTopLeftOfAClearedBox) {
    BoxHost h(100, 30);
    cGraphics g;
    h.Box.Line(0, 0, 99, 29, 0xFF);
    g.DrowDisabledText(h.Box, L"Wide");
    Shot s(h.Box);
    EXPECT_EQ(s.Pixel(99, 29), kBack) << "cleared first";
    Ink k = s.InkOf(kBack);
    ASSERT_GE(k.left, 0);
    EXPECT_LT(k.left, 3);
    EXPECT_LT(k.top, 6);
    std::set<COLORREF> colours = s.ColoursIn(k);
    EXPECT_TRUE(colours.count(GetSysColor(COLOR_BTNHIGHLIGHT)));
    EXPECT_TRUE(colours.count(GetSysColor(COLOR_BTNSHADOW)));
}

TEST(DrawingText, LineUsesTheBoxOwnLineInTheGivenColour) {
    BoxHost h(20, 20);
    cGraphics g;
    EXPECT_TRUE(g.DrawLine(h.Box, 2, 5, 15, 5, 0xFF00).IsEmpty());
    EXPECT_EQ(h.Box.ForeColor(), 0xFF00) << "stays set";
    Shot s(h.Box);
    EXPECT_EQ(s.Pixel(2, 5), RGB(0, 255, 0));
    EXPECT_EQ(s.Pixel(14, 5), RGB(0, 255, 0));
    EXPECT_EQ(s.Pixel(8, 6), kBack);
}

TEST(DrawingGradients, OnARealPictureBoxTheImageShowsTheBands) {
    BoxHost h(30, 100);
    cGraphics g;
    g.DrawGradient(h.Box, 0xFFFFFF, 0, 0);
    Shot s(h.Box);
    EXPECT_EQ(s.Pixel(15, 99), 0u);
    EXPECT_EQ(s.Pixel(15, 0), Mix(0, 0xFFFFFF, 98 / 100.0));
}

TEST(DrawingIcons, AFileWithoutAnIconGivesNoPicture) {
    cGraphics g;
    EXPECT_FALSE(g.GetIcon(testsupport::TempDir(L"icons") + L"\\missing.qqq", 1));
}

TEST(DrawingIcons, ProgramIconsInBothSizes) {
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    cGraphics g;
    Picture large = g.GetIcon(self, 1);
    ASSERT_TRUE(large);
    EXPECT_EQ(large.Type(), picIcon);
    EXPECT_EQ(large.PixelWidth(), GetSystemMetrics(SM_CXICON));
    Picture small = g.GetIcon(self, 0);
    ASSERT_TRUE(small);
    EXPECT_EQ(small.PixelWidth(), GetSystemMetrics(SM_CXSMICON));

    Picture lib = g.GetLibIcon(self, 1, 0);
    ASSERT_TRUE(lib);
    EXPECT_EQ(lib.Type(), picIcon);
    EXPECT_EQ(lib.PixelWidth(), GetSystemMetrics(SM_CXICON));
    Picture libSmall = g.GetLibIcon(self, 0, 0);
    ASSERT_TRUE(libSmall);
    EXPECT_EQ(libSmall.PixelWidth(), GetSystemMetrics(SM_CXSMICON));
    // No icon at that index: the file's own icon from the shell instead.
    Picture fallback = g.GetLibIcon(self, 1, 999);
    ASSERT_TRUE(fallback);
    EXPECT_EQ(fallback.PixelWidth(), GetSystemMetrics(SM_CXICON));
}

TEST(DrawingIcons, IconsAreReleasedWithTheirPictures) {
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    cGraphics g;
    { Picture warm = g.GetLibIcon(self, 1, 0); }
    DWORD before = testsupport::GdiCount();
    for (int i = 0; i < 20; ++i) {
        Picture a = g.GetLibIcon(self, 1, 0);
        Picture b = g.GetIcon(self, 0);
    }
    EXPECT_LE(testsupport::GdiCount(), before + 2);
}
