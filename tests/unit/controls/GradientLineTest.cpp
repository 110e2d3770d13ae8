// The gradient line: one- and two-piece strips in both orientations, read
// back from the pieces' images, and its four persisted settings.
#include <windows.h>

#include <gtest/gtest.h>

#include "controls/GradientLine.h"
#include "forms/Forms.h"
#include "forms/Runtime.h"
#include "unit/common/TestSupport.h"

using namespace forms;
using testsupport::PixelOf;

namespace {

float Tpp() { return Screen.TwipsPerPixelX(); }

class LineHost : public Form {
public:
    GradientLine Line{this, L"Line"};
    // Width and height of the strip in pixels; a bag, when given, holds the
    // host's saved settings.
    LineHost(int w, int h, const PropertyBag* bag = nullptr) {
        ClientSize((w + 20) * Tpp(), (h + 20) * Tpp());
        Line.Move(0, 0, w * Tpp(), h * Tpp());
        if (bag) Line.DesignProperties(*bag);
    }
    ~LineHost() override { Unload(*this); }
};

COLORREF At(PictureBox& box, int x, int y) { return PixelOf(box.Image().Bitmap(), x, y); }

int ChannelSpan(COLORREF a, COLORREF b) {
    return std::abs(GetRValue(a) - GetRValue(b)) + std::abs(GetGValue(a) - GetGValue(b)) +
           std::abs(GetBValue(a) - GetBValue(b));
}

}  // namespace

TEST(GradientLine, ABagWithoutKeysGivesAWhiteStripInOnePiece) {
    PropertyBag empty;
    LineHost h(200, 10, &empty);
    h.Show();
    EXPECT_EQ(h.Line.StartColor(), 0xFFFFFF);
    EXPECT_EQ(h.Line.EndColor(), 0xFFFFFF);
    EXPECT_EQ(h.Line.GType(), 0);
    EXPECT_EQ(h.Line.Orientation(), 0);
    EXPECT_FALSE(IsTrue(h.Line.Pic2.Visible()));
    EXPECT_EQ(h.Line.Pic1.PixelRect().right, 200);
    for (int x : {0, 100, 199}) EXPECT_EQ(At(h.Line.Pic1, x, 5), RGB(255, 255, 255)) << x;
}

TEST(GradientLine, OnePieceRunsFromStartToEndAlongEitherAxis) {
    LineHost h(200, 100);
    h.Load();
    const COLORREF start = RGB(255, 0, 0), end = RGB(0, 0, 255);
    h.Line.StartColor(start);
    h.Line.EndColor(end);
    PictureBox& p = h.Line.Pic1;
    EXPECT_EQ(At(p, 199, 50), end);
    EXPECT_LT(ChannelSpan(At(p, 0, 50), start), 8) << "start approached at the left";
    EXPECT_EQ(At(p, 100, 0), At(p, 100, 99)) << "bands run across the height";

    h.Line.Orientation(-1);
    EXPECT_EQ(At(p, 100, 99), end);
    EXPECT_EQ(At(p, 100, 0), RGB(250, 0, 5)) << "start approached at the top";
    EXPECT_EQ(At(p, 0, 40), At(p, 199, 40)) << "bands run across the width";
    EXPECT_FALSE(IsTrue(h.Line.Pic2.Visible()));
}

TEST(GradientLine, TwoPiecesAlongTheWidth) {
    LineHost h(200, 20);
    h.Load();
    h.Line.StartColor(RGB(0, 0, 0));
    h.Line.EndColor(RGB(0, 250, 0));
    h.Line.GType(1);
    PictureBox &p1 = h.Line.Pic1, &p2 = h.Line.Pic2;
    EXPECT_TRUE(IsTrue(p2.Visible()));
    // 3000 twips: the first piece is a fifth, 600 twips; the second starts
    // 5 twips into it and is 3000 - 600 + 15 twips wide.
    EXPECT_EQ(p1.Width(), 600);
    EXPECT_EQ(p1.Height(), 300);
    EXPECT_EQ(p2.PixelRect().left, static_cast<int>(RoundHalfEven(595 / Tpp())));
    EXPECT_EQ(p2.Width(), 2415);
    EXPECT_EQ(p2.Top(), 0);
    // Start at the left, end at a fifth, back to start at the right.
    EXPECT_LT(ChannelSpan(At(p1, 0, 10), RGB(0, 0, 0)), 16);
    EXPECT_EQ(At(p1, 39, 10), RGB(0, 250, 0));
    const int last = p2.PixelRect().right - p2.PixelRect().left - 1;
    EXPECT_EQ(At(p2, last, 10), RGB(0, 0, 0));
    EXPECT_LT(ChannelSpan(At(p2, 0, 10), RGB(0, 250, 0)), 8);
}

TEST(GradientLine, AnyNonZeroKindAndOrientationGiveTwoPiecesDown) {
    LineHost h(30, 200);
    h.Load();
    h.Line.StartColor(RGB(250, 250, 250));
    h.Line.EndColor(RGB(0, 0, 0));
    h.Line.GType(5);
    h.Line.Orientation(-1);
    PictureBox &p1 = h.Line.Pic1, &p2 = h.Line.Pic2;
    EXPECT_TRUE(IsTrue(p2.Visible()));
    EXPECT_EQ(p1.Height(), 40 * Tpp());
    EXPECT_EQ(p1.Width(), 30 * Tpp());
    EXPECT_EQ(p2.PixelRect().top, static_cast<int>(RoundHalfEven((40 * Tpp() - 5) / Tpp())));
    EXPECT_EQ(p2.Height(), 200 * Tpp() - 40 * Tpp() + 15);
    EXPECT_EQ(At(p1, 15, 39), RGB(0, 0, 0));
    EXPECT_LT(ChannelSpan(At(p1, 15, 0), RGB(250, 250, 250)), 40);
    const int last = p2.PixelRect().bottom - p2.PixelRect().top - 1;
    EXPECT_EQ(At(p2, 15, last), RGB(250, 250, 250));
    EXPECT_EQ(At(p2, 0, 80), At(p2, 29, 80));
}

TEST(GradientLine, EqualColoursGiveAPlainStripAndSystemColoursTheirCurrentValue) {
    LineHost h(100, 10);
    h.Load();
    h.Line.StartColor(RGB(12, 34, 56));
    h.Line.EndColor(RGB(12, 34, 56));
    for (int x : {0, 33, 99}) EXPECT_EQ(At(h.Line.Pic1, x, 5), RGB(12, 34, 56)) << x;
    h.Line.EndColor(static_cast<int32_t>(0x80000010));
    EXPECT_EQ(At(h.Line.Pic1, 99, 5), GetSysColor(COLOR_BTNSHADOW));
}

TEST(GradientLine, ResizingRedrawsToTheNewSize) {
    LineHost h(100, 10);
    h.Load();
    h.Line.StartColor(0);
    h.Line.EndColor(RGB(200, 0, 0));
    h.Line.Move(0, 0, 150 * Tpp(), 10 * Tpp());
    EXPECT_EQ(h.Line.Pic1.PixelRect().right, 150);
    EXPECT_EQ(At(h.Line.Pic1, 149, 5), RGB(200, 0, 0));
}

TEST(GradientLine, SettingsMarkTheHostAndPersistInOrder) {
    PropertyBag saved;
    {
        LineHost h(60, 10);
        h.Load();
        h.Line.StartColor(0x0000FF);
        EXPECT_TRUE(h.Line.PropertiesOutOfDate());
        h.Line.EndColor(0x00FF00);
        h.Line.GType(1);
        h.Line.Orientation(1);
        EXPECT_EQ(h.Line.ChangedProperties(),
                  (std::vector<std::wstring>{L"StartColor", L"EndColor", L"GType", L"Orientation"}));
        saved = h.Line.SaveProperties();
    }
    ASSERT_EQ(saved.Count(), 4u);
    EXPECT_EQ(saved.Items()[0].first, L"StartColor");
    EXPECT_EQ(saved.Items()[3].first, L"Orientation");
    LineHost again(60, 10, &saved);
    again.Load();
    EXPECT_EQ(again.Line.StartColor(), 0x0000FF);
    EXPECT_EQ(again.Line.EndColor(), 0x00FF00);
    EXPECT_EQ(again.Line.GType(), 1);
    EXPECT_EQ(again.Line.Orientation(), 1);
    EXPECT_FALSE(again.Line.PropertiesOutOfDate()) << "reading marks nothing";
    // Defaults are not stored.
    again.Line.StartColor(0xFFFFFF);
    again.Line.EndColor(0xFFFFFF);
    again.Line.GType(0);
    again.Line.Orientation(0);
    EXPECT_EQ(again.Line.SaveProperties().Count(), 0u);
}
