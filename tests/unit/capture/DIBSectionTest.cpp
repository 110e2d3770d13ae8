#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "capture/cDIBSection.h"
#include "forms/Error.h"
#include "forms/Runtime.h"
#include "unit/common/TestObjects.h"
#include "unit/common/TestSupport.h"

using forms::False;
using forms::True;
using testsupport::ErrorNumberOf;
using testsupport::PixelsOf;

namespace {

// Byte (c, r) of a bitmap's pixel data, r counted from the bottom.
uint8_t& At(cDIBSection& d, int c, int r) { return d.DIBSectionBitsPtr()[r * d.BytesPerScanLine() + c]; }

void SetPixelBytes(cDIBSection& d, int x, int r, uint8_t b, uint8_t g, uint8_t red) {
    At(d, 3 * x, r) = b;
    At(d, 3 * x + 1, r) = g;
    At(d, 3 * x + 2, r) = red;
}

// A different colour in every pixel; another shift, another colour in each.
COLORREF PatternColour(int x, int y, int shift) {
    return RGB((x * 7 + shift) % 256, (y * 11 + shift) % 256, (x * y + 5 + shift) % 256);
}

// A device-dependent bitmap of the pattern.
HBITMAP PatternBitmap(int w, int h, int shift = 0) {
    HDC screen = GetDC(nullptr);
    HBITMAP bmp = CreateCompatibleBitmap(screen, w, h);
    HDC dc = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(dc, bmp);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) SetPixel(dc, x, y, PatternColour(x, y, shift));
    SelectObject(dc, old);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return bmp;
}

}  // namespace

TEST(DIBSection, RowsArePaddedToFourBytes) {
    const int32_t expected[] = {4, 8, 12, 12, 16};
    for (int32_t w = 1; w <= 5; ++w) {
        cDIBSection d;
        ASSERT_EQ(d.Create(w, 2), True) << w;
        EXPECT_EQ(d.BytesPerScanLine(), expected[w - 1]) << w;
        DIBSECTION ds{};
        ASSERT_EQ(GetObjectW(d.hDib(), sizeof ds, &ds), static_cast<int>(sizeof ds));
        EXPECT_EQ(ds.dsBm.bmWidthBytes, expected[w - 1]) << "GDI agrees on the row length";
        EXPECT_EQ(ds.dsBmih.biBitCount, 24);
        EXPECT_EQ(ds.dsBmih.biHeight, 2) << "bottom-up";
    }
}

TEST(DIBSection, ScanLineLengthOverflowIsAnError) {
    cDIBSection d;
    EXPECT_EQ(ErrorNumberOf([&] { d.Create(800000000, 1); }), forms::err::Overflow);
    EXPECT_EQ(ErrorNumberOf([&] { d.Create(100000, 100000); }), forms::err::Overflow) << "the image size overflows";
    EXPECT_EQ(d.hDC(), nullptr);
}

TEST(DIBSection, HandlesGoAfterClearUpButTheSizeStays) {
    cDIBSection d;
    EXPECT_EQ(d.Width(), 0);
    EXPECT_EQ(d.Height(), 0);
    ASSERT_EQ(d.Create(5, 3), True);
    EXPECT_NE(d.hDC(), nullptr);
    EXPECT_NE(d.hDib(), nullptr);
    EXPECT_NE(d.DIBSectionBitsPtr(), nullptr);
    EXPECT_EQ(GetCurrentObject(d.hDC(), OBJ_BITMAP), d.hDib()) << "selected into its own DC";
    d.ClearUp();
    EXPECT_EQ(d.hDC(), nullptr);
    EXPECT_EQ(d.hDib(), nullptr);
    EXPECT_EQ(d.DIBSectionBitsPtr(), nullptr);
    EXPECT_EQ(d.Width(), 5);
    EXPECT_EQ(d.Height(), 3);
    d.ClearUp();  // twice is harmless
    // The remembered size must not lead the pixel loops into freed memory.
    EXPECT_EQ(ErrorNumberOf([&] { d.RandomiseBits(False); }), forms::err::Subscript);
    EXPECT_EQ(ErrorNumberOf([&] { d.Resample(6, 6); }), forms::err::InvalidCall);
    EXPECT_EQ(d.CopyToClipboard(False), False);
}

TEST(DIBSection, RefusesSizesWithoutPixels) {
    cDIBSection d;
    EXPECT_EQ(d.Create(0, 10), False);
    EXPECT_EQ(d.Create(10, -10), False) << "a negative height would turn the rows top-down";
    EXPECT_EQ(d.hDC(), nullptr);
    EXPECT_EQ(d.hDib(), nullptr);
}

TEST(DIBSection, ReleasesEveryGdiObject) {
    const DWORD before = testsupport::GdiCount();
    for (int i = 0; i < 20; ++i) {
        cDIBSection d;
        ASSERT_EQ(d.Create(64, 32), True);
        ASSERT_EQ(d.Create(16, 16), True) << "a second Create releases the first bitmap";
        auto copy = d.Resample(8, 8);
        ASSERT_TRUE(copy);
    }
    EXPECT_EQ(testsupport::GdiCount(), before);
}

TEST(DIBSection, FirstRowInMemoryIsTheBottomRow) {
    cDIBSection d;
    ASSERT_EQ(d.Create(3, 4), True);
    SetPixel(d.hDC(), 0, 0, RGB(10, 20, 30));
    SetPixel(d.hDC(), 2, 3, RGB(40, 50, 60));
    GdiFlush();
    EXPECT_EQ(At(d, 0, 3), 30);  // blue first
    EXPECT_EQ(At(d, 1, 3), 20);
    EXPECT_EQ(At(d, 2, 3), 10);
    EXPECT_EQ(At(d, 6, 0), 60);
    EXPECT_EQ(At(d, 8, 0), 40);
}

// Two pictures of one size that differ in every pixel: the section of the
// first, serving the second, must show neither the first nor nothing.
TEST(DIBSection, PicturesReadOneAfterAnotherEachKeepTheirOwnPixels) {
    const int w = 37, h = 23;
    forms::Picture one = forms::Picture::FromBitmap(PatternBitmap(w, h));
    forms::Picture two = forms::Picture::FromBitmap(PatternBitmap(w, h, 100));
    auto first = std::make_unique<cDIBSection>();
    first->CreateFromPicture(one);
    ASSERT_EQ(first->Width(), w);
    ASSERT_EQ(first->Height(), h);
    EXPECT_EQ(testsupport::Differs(PixelsOf(first->hDib()), PixelsOf(one.Bitmap()), w), "") << "every pixel copied";
    first.reset();  // its section may serve the next picture of that size

    cDIBSection second;
    second.CreateFromPicture(two);
    cDIBSection third;
    third.CreateFromPicture(one);
    ASSERT_NE(second.DIBSectionBitsPtr(), third.DIBSectionBitsPtr());
    EXPECT_EQ(testsupport::Differs(PixelsOf(second.hDib()), PixelsOf(two.Bitmap()), w), "");
    EXPECT_EQ(testsupport::Differs(PixelsOf(third.hDib()), PixelsOf(one.Bitmap()), w), "");
}

TEST(DIBSection, CreateFromPictureOfAnyDepthGivesWhatACopyThroughADCGives) {
    for (const int bpp : {4, 8, 16, 24, 32}) {
        for (const int w : {1, 3, 37}) {
            const int h = 5;
            std::vector<uint8_t> header(sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD));
            auto* info = reinterpret_cast<BITMAPINFO*>(header.data());
            info->bmiHeader = {sizeof(BITMAPINFOHEADER), w, h, 1, static_cast<WORD>(bpp), BI_RGB};
            for (int i = 0; i < 256; ++i) info->bmiColors[i] = {static_cast<BYTE>(i * 5), static_cast<BYTE>(255 - i), static_cast<BYTE>(i * 3), 0};
            void* bits = nullptr;
            HBITMAP bmp = CreateDIBSection(nullptr, info, DIB_RGB_COLORS, &bits, nullptr, 0);
            ASSERT_NE(bmp, nullptr);
            const int stride = ((w * bpp + 31) / 32) * 4;
            for (int i = 0; i < stride * h; ++i) static_cast<uint8_t*>(bits)[i] = static_cast<uint8_t>(i * 73 + 11);
            forms::Picture pic = forms::Picture::FromBitmap(bmp);
            cDIBSection d;
            d.CreateFromPicture(pic);
            cDIBSection reference;
            ASSERT_EQ(reference.Create(w, h), True);
            HDC dc = CreateCompatibleDC(nullptr);
            HGDIOBJ old = SelectObject(dc, bmp);
            reference.LoadPictureBlt(dc, 0, 0, -1, -1, SRCCOPY);
            SelectObject(dc, old);
            DeleteDC(dc);
            GdiFlush();
            ASSERT_EQ(d.Width(), w);
            EXPECT_EQ(std::memcmp(d.DIBSectionBitsPtr(), reference.DIBSectionBitsPtr(),
                                  static_cast<size_t>(d.BytesPerScanLine()) * h),
                      0)
                << bpp << " bits, " << w << " wide";
        }
    }
}

TEST(DIBSection, CreateFromAPictureWhoseBitmapIsSelectedElsewhere) {
    HBITMAP bmp = PatternBitmap(9, 7);
    HDC owner = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(owner, bmp);
    forms::Picture pic = forms::Picture::FromBitmap(bmp, nullptr, false);
    cDIBSection d;
    d.CreateFromPicture(pic);
    ASSERT_EQ(d.Width(), 9);
    GdiFlush();
    EXPECT_EQ(RGB(At(d, 3 * 4 + 2, 0), At(d, 3 * 4 + 1, 0), At(d, 3 * 4, 0)), PatternColour(4, 6, 0))
        << "pixel (4, 6), the bottom row";
    SelectObject(owner, old);
    DeleteDC(owner);
    DeleteObject(bmp);
}

TEST(DIBSection, CreateFromAnEmptyPictureMakesNothing) {
    cDIBSection d;
    d.CreateFromPicture(forms::Picture{});
    EXPECT_EQ(d.hDib(), nullptr);
    EXPECT_EQ(d.hDC(), nullptr);
}

TEST(DIBSection, BlocksTransferInAndOutAtOffsets) {
    cDIBSection src;
    ASSERT_EQ(src.Create(6, 6), True);
    SetPixel(src.hDC(), 4, 5, RGB(1, 2, 3));
    cDIBSection dst;
    ASSERT_EQ(dst.Create(6, 6), True);
    dst.LoadPictureBlt(src.hDC(), 3, 4, -1, -1, SRCCOPY);
    EXPECT_EQ(GetPixel(dst.hDC(), 1, 1), RGB(1, 2, 3));
    cDIBSection target;
    ASSERT_EQ(target.Create(10, 10), True);
    src.PaintPicture(target.hDC(), 2, 3, 2, 2, 3, 4, SRCCOPY);
    EXPECT_EQ(GetPixel(target.hDC(), 3, 4), RGB(1, 2, 3));
    EXPECT_EQ(GetPixel(target.hDC(), 4, 5), RGB(0, 0, 0)) << "only the 2 x 2 block was painted";
}

TEST(DIBSection, RandomColourKeepsBlueAtZeroAndPadsUntouched) {
    cDIBSection d;
    ASSERT_EQ(d.Create(3, 40), True);  // 9 bytes of pixels, 3 pad bytes a row
    std::memset(d.DIBSectionBitsPtr(), 0xAB, static_cast<size_t>(d.BytesPerScanLine()) * d.Height());
    d.RandomiseBits(False);
    int distinct = 0;
    for (int r = 0; r < d.Height(); ++r) {
        for (int x = 0; x < 3; ++x) {
            EXPECT_EQ(At(d, 3 * x, r), 0);
            if (At(d, 3 * x + 1, r) != At(d, 3 * x + 2, r)) ++distinct;
        }
        for (int c = 9; c < 12; ++c) EXPECT_EQ(At(d, c, r), 0xAB) << "pad byte " << c << " of row " << r;
    }
    EXPECT_GT(distinct, 60) << "green and red are drawn separately";
}

TEST(DIBSection, RandomGreyWritesEqualChannels) {
    cDIBSection d;
    ASSERT_EQ(d.Create(5, 30), True);
    std::memset(d.DIBSectionBitsPtr(), 0xAB, static_cast<size_t>(d.BytesPerScanLine()) * d.Height());
    d.RandomiseBits(True);
    std::vector<int> seen(256);
    for (int r = 0; r < d.Height(); ++r) {
        for (int x = 0; x < 5; ++x) {
            EXPECT_EQ(At(d, 3 * x, r), At(d, 3 * x + 1, r));
            EXPECT_EQ(At(d, 3 * x, r), At(d, 3 * x + 2, r));
            seen[At(d, 3 * x, r)] = 1;
        }
        EXPECT_EQ(At(d, 15, r), 0xAB);
    }
    int values = 0;
    for (int s : seen) values += s;
    EXPECT_GT(values, 50);
}

TEST(DIBSection, ResampleToTheSameSizeCopiesExactly) {
    cDIBSection d;
    ASSERT_EQ(d.Create(7, 5), True);
    d.RandomiseBits(False);
    auto copy = d.Resample(5, 7);
    ASSERT_TRUE(copy);
    ASSERT_EQ(copy->Width(), 7);
    ASSERT_EQ(copy->Height(), 5);
    GdiFlush();
    for (int r = 0; r < 5; ++r)
        EXPECT_EQ(std::memcmp(&At(d, 0, r), &At(*copy, 0, r), 21), 0) << "row " << r;
}

TEST(DIBSection, ResampleTwoByTwoToFourByFour) {
    cDIBSection d;
    ASSERT_EQ(d.Create(2, 2), True);
    SetPixelBytes(d, 0, 0, 0, 0, 100);
    SetPixelBytes(d, 1, 0, 2, 6, 200);
    SetPixelBytes(d, 0, 1, 40, 80, 0);
    SetPixelBytes(d, 1, 1, 40, 80, 255);
    auto big = d.Resample(4, 4);
    ASSERT_TRUE(big);
    // Row 0, column 1: three quarters of column 0 and one quarter of column 1,
    // 0.5 and 1.5 rounding to the even 0 and 2.
    EXPECT_EQ(At(*big, 3, 0), 0);
    EXPECT_EQ(At(*big, 4, 0), 2);
    EXPECT_EQ(At(*big, 5, 0), 125);
    // Pixel (0, 0) is the source's own.
    EXPECT_EQ(At(*big, 0, 0), 0);
    EXPECT_EQ(At(*big, 1, 0), 0);
    EXPECT_EQ(At(*big, 2, 0), 100);
    // Row 1 column 0 is a quarter of the way up: 0.75 * 100 + 0.25 * 0.
    EXPECT_EQ(At(*big, 2, 1), 75);
    EXPECT_EQ(At(*big, 0, 1), 10);
    // The far corner stops three quarters of the way: (0.75, 0.75).
    // red: rows blend to 25 and 241.25 -> 241; then 0.25 * 25 + 0.75 * 241 = 187.
    EXPECT_EQ(At(*big, 11, 3), 187);
}

TEST(DIBSection, ResampleNeverReachesTheLastRowAndColumn) {
    cDIBSection d;
    ASSERT_EQ(d.Create(5, 4), True);
    std::memset(d.DIBSectionBitsPtr(), 0, static_cast<size_t>(d.BytesPerScanLine()) * 4);
    for (int r = 0; r < 4; ++r) SetPixelBytes(d, 4, r, 255, 255, 255);
    for (int x = 0; x < 5; ++x) SetPixelBytes(d, x, 3, 255, 255, 255);
    SetPixelBytes(d, 0, 0, 9, 8, 7);
    auto big = d.Resample(8, 10);
    ASSERT_TRUE(big);
    EXPECT_EQ(At(*big, 0, 0), 9);
    EXPECT_EQ(At(*big, 1, 0), 8);
    EXPECT_EQ(At(*big, 2, 0), 7);
    int full = 0;
    for (int r = 0; r < 8; ++r)
        for (int c = 0; c < 30; ++c)
            if (At(*big, c, r) == 255) ++full;
    EXPECT_EQ(full, 0);
}

TEST(DIBSection, ResampleShrinksAndFillsNoPadBytes) {
    cDIBSection d;
    ASSERT_EQ(d.Create(40, 30), True);
    d.RandomiseBits(True);
    auto small = d.Resample(7, 5);
    ASSERT_TRUE(small);
    EXPECT_EQ(small->Width(), 5);
    EXPECT_EQ(small->Height(), 7);
    for (int r = 0; r < 7; ++r) EXPECT_EQ(At(*small, 15, r), 0) << "pad bytes keep the section's zeroes";
}

TEST(DIBSection, ResampleRefusesASourceBelowTwoPixels) {
    cDIBSection thin;
    ASSERT_EQ(thin.Create(1, 10), True);
    EXPECT_EQ(ErrorNumberOf([&] { thin.Resample(20, 2); }), forms::err::InvalidCall);
    cDIBSection flat;
    ASSERT_EQ(flat.Create(10, 1), True);
    EXPECT_EQ(ErrorNumberOf([&] { flat.Resample(2, 20); }), forms::err::InvalidCall);
    EXPECT_TRUE(flat.Resample(1, 10)) << "the same size is a plain copy";
    cDIBSection none;
    EXPECT_EQ(ErrorNumberOf([&] { none.Resample(2, 2); }), forms::err::InvalidCall);
    EXPECT_FALSE(flat.Resample(0, 4)) << "no bitmap of no size";
}

TEST(DIBSection, CopyToClipboardAsBitmap) {
    ASSERT_TRUE(testsupport::PutClipboardText(L"keep me"));
    cDIBSection d;
    ASSERT_EQ(d.Create(4, 3), True);
    SetPixel(d.hDC(), 1, 2, RGB(200, 100, 50));
    EXPECT_EQ(d.CopyToClipboard(True), False);
    EXPECT_EQ(testsupport::ClipboardText(), L"keep me") << "the DIB form puts nothing there";
    EXPECT_EQ(d.CopyToClipboard(False), True);
    forms::Picture pic = forms::Clipboard.GetData(CF_BITMAP);
    ASSERT_TRUE(pic);
    EXPECT_EQ(pic.PixelWidth(), 4);
    EXPECT_EQ(testsupport::PixelOf(pic.Bitmap(), 1, 2), RGB(200, 100, 50));
    cDIBSection empty;
    EXPECT_EQ(empty.CopyToClipboard(False), False);
}
