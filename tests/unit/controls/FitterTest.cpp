#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

#include "controls/cImage.h"
#include "forms/Forms.h"
#include "unit/common/TestSupport.h"
#include "unit/controls/PushButtonTestSupport.h"

namespace {

constexpr COLORREF kBack = RGB(255, 255, 255);
constexpr COLORREF kFrame = RGB(255, 0, 255);

// A picture whose every pixel tells where it came from.
COLORREF Pattern(int x, int y) { return RGB((x * 2) & 0xFF, (y * 3) & 0xFF, 0x40 + ((x / 10 + y / 10) % 2) * 0x80); }
forms::Picture PatternPicture(int w, int h) {
    return pbtest::DrawnPicture(w, h, 0, [&](HDC dc) {
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) SetPixelV(dc, x, y, Pattern(x, y));
    });
}
// Four quadrants of plain colours inside a frame of the given thickness.
constexpr COLORREF kQuad[4] = {RGB(200, 0, 0), RGB(0, 160, 0), RGB(0, 0, 200), RGB(220, 220, 0)};
forms::Picture QuadPicture(int w, int h, int frame) {
    return pbtest::DrawnPicture(w, h, kFrame, [&](HDC dc) {
        for (int q = 0; q < 4; ++q) {
            RECT r{q % 2 ? w / 2 : frame, q / 2 ? h / 2 : frame, q % 2 ? w - frame : w / 2, q / 2 ? h - frame : h / 2};
            HBRUSH b = CreateSolidBrush(kQuad[q]);
            FillRect(dc, &r, b);
            DeleteObject(b);
        }
    });
}

bool Near(COLORREF a, COLORREF b, int tolerance = 24) {
    return std::abs(GetRValue(a) - GetRValue(b)) <= tolerance && std::abs(GetGValue(a) - GetGValue(b)) <= tolerance &&
           std::abs(GetBValue(a) - GetBValue(b)) <= tolerance;
}

class FitterForm : public forms::Form {
public:
    forms::PictureBox Src{this, L"Src"};
    forms::PictureBox Dest{this, L"Dest"};
    FitterForm() {
        Caption(L"fitter test");
        ClientSize(6000, 4500);
        Move(1500, 1500);
        Src.Visible(forms::False);
        Src.BorderStyle(0);
        Src.ScaleMode(forms::vbPixels);
        Src.AutoRedraw(forms::True);
        Src.AutoSize(forms::True);
        Dest.BorderStyle(0);
        Dest.AutoRedraw(forms::True);
        Dest.BackColor(static_cast<int32_t>(kBack));
    }
};

class FitterTest : public testing::Test {
protected:
    void SetUp() override {
        form = std::make_unique<FitterForm>();
        form->Load();
        form->Show();
        testsupport::Pump(30);
    }
    void TearDown() override {
        forms::Unload(*form);
        form.reset();
        testsupport::Pump(20);
    }
    // Draws a w x h source into a dw x dh destination (pixels).
    void Draw(const forms::Picture& pic, int dw, int dh, int16_t style) {
        form->Src.Picture(pic);
        form->Dest.Move(0, 0, dw * 15.0f, dh * 15.0f);
        cImage().DrawPicture(form->Src, form->Dest, style);
        shot = std::make_unique<pbtest::Shot>(form->Dest);
    }
    COLORREF At(int x, int y) { return shot->At(x, y); }

    std::unique_ptr<FitterForm> form;
    std::unique_ptr<pbtest::Shot> shot;
};

TEST_F(FitterTest, ASourceTheSizeOfTheBoxIsCopiedOneToOne) {
    Draw(PatternPicture(100, 80), 100, 80, 1);
    int wrong = 0;
    for (int y = 0; y < 80; ++y)
        for (int x = 0; x < 100; ++x) wrong += At(x, y) != Pattern(x, y);
    EXPECT_EQ(wrong, 0);
}

TEST_F(FitterTest, NaturalSizeCentredWhenSmallerOrNotFitting) {
    struct Case {
        int w, h, dw, dh;
        int16_t style;
    };
    // Smaller both ways, in either mode; and larger with style 0, which cuts
    // both sides equally.
    for (Case c : {Case{40, 30, 100, 80, 1}, Case{40, 30, 100, 80, 0}, Case{120, 100, 100, 80, 0}}) {
        SCOPED_TRACE(testing::Message() << c.w << "x" << c.h << " style " << c.style);
        Draw(PatternPicture(c.w, c.h), c.dw, c.dh, c.style);
        const int ox = (c.dw - c.w) / 2, oy = (c.dh - c.h) / 2;
        for (int y = 0; y < c.dh; y += 7)
            for (int x = 0; x < c.dw; x += 3) {
                const int sx = x - ox, sy = y - oy;
                const bool inside = sx >= 0 && sy >= 0 && sx < c.w && sy < c.h;
                ASSERT_EQ(At(x, y), inside ? Pattern(sx, sy) : kBack) << x << "," << y;
            }
    }
}

TEST_F(FitterTest, AsWideAndLowerIsDrawnWholeLowerByHalfTheSpareRoom) {
    Draw(PatternPicture(100, 40), 100, 80, 1);
    for (int x = 0; x < 100; x += 9) {
        EXPECT_EQ(At(x, 19), kBack) << x;
        EXPECT_EQ(At(x, 20), Pattern(x, 0)) << x;
        EXPECT_EQ(At(x, 59), Pattern(x, 39)) << x;  // the bottom row is not lost
        EXPECT_EQ(At(x, 60), kBack) << x;
    }
}

TEST_F(FitterTest, ALargerSourceIsShrunkProportionallyAndCentred) {
    // 200 x 100 into 100 x 100: half size, 100 x 50, rows 25 to 74.
    Draw(QuadPicture(200, 100, 6), 100, 100, 1);
    EXPECT_EQ(At(50, 10), kBack);
    EXPECT_EQ(At(50, 90), kBack);
    EXPECT_TRUE(Near(At(25, 37), kQuad[0]));
    EXPECT_TRUE(Near(At(75, 37), kQuad[1]));
    EXPECT_TRUE(Near(At(25, 62), kQuad[2]));
    EXPECT_TRUE(Near(At(75, 62), kQuad[3]));
    // The frame of three pixels survives on all four sides.
    EXPECT_TRUE(Near(At(50, 26), kFrame, 60));
    EXPECT_TRUE(Near(At(50, 73), kFrame, 60));
    EXPECT_TRUE(Near(At(1, 50), kFrame, 60));
    EXPECT_TRUE(Near(At(98, 50), kFrame, 60));

    // Higher than wide: the height ratio decides, centred across.
    Draw(QuadPicture(100, 200, 6), 100, 100, 1);
    EXPECT_EQ(At(10, 50), kBack);
    EXPECT_EQ(At(90, 50), kBack);
    EXPECT_TRUE(Near(At(37, 25), kQuad[0]));
    EXPECT_TRUE(Near(At(62, 75), kQuad[3]));
}

TEST_F(FitterTest, NothingToDrawLeavesTheBoxClearedWithoutErrors) {
    // A box that was drawn on is cleared, even when the source holds nothing.
    Draw(pbtest::SolidPicture(100, 80, RGB(0, 0, 0)), 100, 80, 1);
    ASSERT_EQ(At(50, 40), RGB(0, 0, 0));
    form->Src.Picture(forms::Picture());
    form->Src.Move(0, 0, 0, 0);
    for (int16_t style : {int16_t{0}, int16_t{1}}) {
        EXPECT_NO_THROW(cImage().DrawPicture(form->Src, form->Dest, style));
        EXPECT_EQ(pbtest::Shot(form->Dest).At(50, 40), kBack);
    }
    // A source with a size but no picture.
    form->Src.Move(0, 0, 1500, 1500);
    EXPECT_NO_THROW(cImage().DrawPicture(form->Src, form->Dest, 0));
}

}  // namespace
