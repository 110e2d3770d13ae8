#include "capture/cDIBSection.h"

#include <cmath>
#include <cstring>
#include <random>

#include "forms/Error.h"

using forms::Boolean;

namespace {

// A two-dimensional byte view (column c, row r from the bottom) over a DIB
// section's bits; every access is checked against the bounds.
class ByteGrid {
public:
    ByteGrid(uint8_t* bits, int32_t rowBytes, int32_t rows) : bits_(bits), rowBytes_(rowBytes), rows_(rows) {}
    uint8_t& operator()(int32_t c, int32_t r) const {
        if (!bits_ || c < 0 || c >= rowBytes_ || r < 0 || r >= rows_) forms::Raise(forms::err::Subscript);
        return bits_[static_cast<size_t>(r) * static_cast<size_t>(rowBytes_) + static_cast<size_t>(c)];
    }

private:
    uint8_t* bits_;
    int32_t rowBytes_;
    int32_t rows_;
};

// Rounds to single precision even where the compiler keeps floats in wider
// registers (x87 on i686): the resampler's results depend on it.
float Single(double v) {
    volatile float f = static_cast<float>(v);
    return f;
}

int32_t Multiply32(int32_t a, int32_t b) {
    int32_t r;
    if (__builtin_mul_overflow(a, b, &r)) forms::Raise(forms::err::Overflow);
    return r;
}

int32_t RoundToLong(float v) { return static_cast<int32_t>(forms::RoundHalfEven(v)); }

// A uniform random number in [0, 1) times 255, rounded halves to even.
uint8_t RandomByte(std::mt19937& gen) {
    float unit = static_cast<float>(gen() >> 8) * (1.0f / 16777216.0f);
    return static_cast<uint8_t>(RoundToLong(Single(unit * 255.0)));
}

// The desktop's DC and a memory DC compatible with it; both released at the end of the scope.
class DesktopMemoryDC {
public:
    DesktopMemoryDC() {
        desktop_ = GetDesktopWindow();
        screen_ = GetDC(desktop_);
        mem_ = CreateCompatibleDC(screen_);
    }
    ~DesktopMemoryDC() {
        if (mem_) DeleteDC(mem_);
        if (screen_) ReleaseDC(desktop_, screen_);
    }
    DesktopMemoryDC(const DesktopMemoryDC&) = delete;
    DesktopMemoryDC& operator=(const DesktopMemoryDC&) = delete;
    HDC screen() const { return screen_; }
    HDC mem() const { return mem_; }

private:
    HWND desktop_ = nullptr;
    HDC screen_ = nullptr;
    HDC mem_ = nullptr;
};

// The section of the last picture read whole into a bitmap, for the next
// picture of its size: memory touched for the first time costs more than the copy.
struct SpareSection {
    HBITMAP dib = nullptr;
    uint8_t* bits = nullptr;
    int32_t width = 0, height = 0;
} spare;

}  // namespace

cDIBSection::~cDIBSection() { ClearUp(); }

Boolean cDIBSection::CopyToClipboard(Boolean bAsDIB) {
    DesktopMemoryDC dcs;
    if (!dcs.screen() || !dcs.mem() || !dib_) return forms::False;
    if (forms::IsTrue(bAsDIB)) return forms::False;
    HBITMAP bmp = CreateCompatibleBitmap(dcs.screen(), Width(), Height());
    if (!bmp) return forms::False;
    HGDIOBJ old = SelectObject(dcs.mem(), bmp);
    PaintPicture(dcs.mem(), 0, 0, -1, -1, 0, 0, SRCCOPY);
    SelectObject(dcs.mem(), old);
    bool taken = false;
    if (OpenClipboard(nullptr)) {
        EmptyClipboard();
        taken = SetClipboardData(CF_BITMAP, bmp) != nullptr;
        CloseClipboard();
    }
    if (!taken) DeleteObject(bmp);
    return forms::ToBoolean(taken);
}

void cDIBSection::SetHeader(int32_t lWidth, int32_t lHeight) {
    header_ = BITMAPINFOHEADER{};
    header_.biSize = sizeof(BITMAPINFOHEADER);
    header_.biWidth = lWidth;
    header_.biHeight = lHeight;
    header_.biPlanes = 1;
    header_.biBitCount = 24;
    header_.biCompression = BI_RGB;
    header_.biSizeImage = static_cast<DWORD>(Multiply32(BytesPerScanLine(), lHeight));
}

Boolean cDIBSection::CreateDIB(HDC lHDC, int32_t lWidth, int32_t lHeight, HBITMAP& hDib) {
    SetHeader(lWidth, lHeight);
    hDib = nullptr;
    // A negative height would make a top-down bitmap, which the row layout here does not describe.
    if (lWidth <= 0 || lHeight <= 0) return forms::False;
    BITMAPINFO info{};
    info.bmiHeader = header_;
    void* bits = nullptr;
    hDib = CreateDIBSection(lHDC, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    bits_ = hDib ? static_cast<uint8_t*>(bits) : nullptr;
    return forms::ToBoolean(hDib != nullptr);
}

void cDIBSection::CreateFromPicture(const forms::Picture& picThis) {
    BITMAP bm{};
    HGDIOBJ handle = reinterpret_cast<HGDIOBJ>(static_cast<uintptr_t>(picThis.Handle()));
    if (!handle || !GetObjectA(handle, sizeof bm, &bm)) bm = BITMAP{};
    // Deeper pictures are read whole: the section may serve the next one.
    const bool whole = bm.bmBitsPixel > 8;
    if (!forms::IsTrue(whole ? CreateForPicture(bm.bmWidth, bm.bmHeight) : Create(bm.bmWidth, bm.bmHeight))) return;
    readWhole_ = whole;
    DesktopMemoryDC dcs;
    if (!dcs.mem()) return;
    // Bitmaps of 256 colours or fewer go through the DC, whose palette maps
    // their colours. Deeper ones are read straight into the section: the same
    // pixels a copy through the DC gives, in about half the time.
    if (bm.bmBitsPixel <= 8) {
        if (HGDIOBJ old = SelectObject(dcs.mem(), handle)) {
            LoadPictureBlt(dcs.mem(), 0, 0, -1, -1, SRCCOPY);
            SelectObject(dcs.mem(), old);
            return;
        }
    }
    // A bitmap still selected into its owner's DC cannot be selected there
    // either: it too is read straight into the section, which has the same layout.
    BITMAPINFO info{};
    info.bmiHeader = header_;
    GetDIBits(dcs.screen(), static_cast<HBITMAP>(handle), 0, static_cast<UINT>(Height()), bits_, &info,
              DIB_RGB_COLORS);
}

Boolean cDIBSection::CreateForPicture(int32_t lWidth, int32_t lHeight) {
    if (!spare.dib || spare.width != lWidth || spare.height != lHeight) return Create(lWidth, lHeight);
    ClearUp();
    memDC_ = CreateCompatibleDC(nullptr);
    if (!memDC_) return forms::False;
    SetHeader(lWidth, lHeight);
    dib_ = spare.dib;
    bits_ = spare.bits;
    spare = SpareSection{};
    prevBitmap_ = SelectObject(memDC_, dib_);
    std::memset(bits_, 0, header_.biSizeImage);  // as a new section: nothing of the earlier picture
    return forms::True;
}

Boolean cDIBSection::Create(int32_t lWidth, int32_t lHeight) {
    ClearUp();
    memDC_ = CreateCompatibleDC(nullptr);
    if (!memDC_) return forms::False;
    Boolean made;
    try {
        made = CreateDIB(memDC_, lWidth, lHeight, dib_);
    } catch (...) {
        ClearUp();
        throw;
    }
    if (forms::IsTrue(made)) {
        prevBitmap_ = SelectObject(memDC_, dib_);
        return forms::True;
    }
    DeleteDC(memDC_);
    memDC_ = nullptr;
    return forms::False;
}

int32_t cDIBSection::BytesPerScanLine() const {
    int32_t bytes;
    if (__builtin_mul_overflow(header_.biWidth, int32_t{3}, &bytes) || __builtin_add_overflow(bytes, 3, &bytes))
        forms::Raise(forms::err::Overflow);
    return bytes & ~int32_t{3};
}

void cDIBSection::LoadPictureBlt(HDC lHDC, int32_t lSrcLeft, int32_t lSrcTop, int32_t lSrcWidth, int32_t lSrcHeight,
                                 DWORD eRop) {
    if (lSrcWidth < 0) lSrcWidth = Width();
    if (lSrcHeight < 0) lSrcHeight = Height();
    BitBlt(memDC_, 0, 0, lSrcWidth, lSrcHeight, lHDC, lSrcLeft, lSrcTop, eRop);
}

void cDIBSection::PaintPicture(HDC lHDC, int32_t lDestLeft, int32_t lDestTop, int32_t lDestWidth,
                               int32_t lDestHeight, int32_t lSrcLeft, int32_t lSrcTop, DWORD eRop) {
    if (lDestWidth < 0) lDestWidth = Width();
    if (lDestHeight < 0) lDestHeight = Height();
    BitBlt(lHDC, lDestLeft, lDestTop, lDestWidth, lDestHeight, memDC_, lSrcLeft, lSrcTop, eRop);
}

void cDIBSection::RandomiseBits(Boolean bGray) {
    // GDI may still be batching drawing into the section.
    GdiFlush();
    LARGE_INTEGER now{};
    QueryPerformanceCounter(&now);
    std::mt19937 gen(static_cast<uint32_t>(now.QuadPart ^ (now.QuadPart >> 32)));
    const int32_t w = Width(), h = Height();
    ByteGrid bits(bits_, BytesPerScanLine(), h);
    if (!forms::IsTrue(bGray)) {
        for (int32_t x = 0; x < w; ++x) {
            const int32_t c = 3 * x;
            for (int32_t r = 0; r < h; ++r) {
                bits(c, r) = 0;
                bits(c + 1, r) = RandomByte(gen);
                bits(c + 2, r) = RandomByte(gen);
            }
        }
        return;
    }
    for (int32_t r = 0; r < h; ++r) {
        for (int32_t x = 0; x < w; ++x) {
            const uint8_t v = RandomByte(gen);
            bits(3 * x, r) = v;
            bits(3 * x + 1, r) = v;
            bits(3 * x + 2, r) = v;
        }
    }
}

void cDIBSection::ClearUp() {
    if (memDC_) {
        if (dib_) {
            SelectObject(memDC_, prevBitmap_);
            if (readWhole_) {
                if (spare.dib) DeleteObject(spare.dib);
                spare = SpareSection{dib_, bits_, Width(), Height()};
            } else {
                DeleteObject(dib_);
            }
        }
        DeleteDC(memDC_);
    }
    readWhole_ = false;
    dib_ = nullptr;
    prevBitmap_ = nullptr;
    memDC_ = nullptr;
    bits_ = nullptr;
}

std::shared_ptr<cDIBSection> cDIBSection::Resample(int32_t lNewHeight, int32_t lNewWidth) {
    auto result = std::make_shared<cDIBSection>();
    if (!forms::IsTrue(result->Create(lNewWidth, lNewHeight))) return nullptr;
    if (lNewWidth == Width() && lNewHeight == Height())
        result->LoadPictureBlt(memDC_, 0, 0, -1, -1, SRCCOPY);
    else
        ResampleDib(*result);
    return result;
}

void cDIBSection::ResampleDib(cDIBSection& cDibTo) {
    const int32_t ws = Width(), hs = Height(), wd = cDibTo.Width(), hd = cDibTo.Height();
    // Every sample blends with the pixel to its right and the row above it.
    if (!bits_ || ws < 2 || hs < 2)
        forms::Raise(forms::err::InvalidCall, {}, L"The bitmap is too small to resample");
    GdiFlush();
    const ByteGrid src(bits_, BytesPerScanLine(), hs);
    const ByteGrid dst(cDibTo.bits_, cDibTo.BytesPerScanLine(), hd);
    const float xScale = Single(static_cast<double>(ws - 1) / wd);
    const float yScale = Single(static_cast<double>(hs - 1) / hd);
    for (int32_t y = 0; y < hd; ++y) {
        const float fy = Single(static_cast<double>(y) * yScale);
        const int32_t iy = static_cast<int32_t>(std::floor(fy));
        const float dy = Single(fy - static_cast<float>(iy));
        const float ky = Single(1.0f - dy);
        for (int32_t x = 0; x < wd; ++x) {
            const float fx = Single(static_cast<double>(x) * xScale);
            const int32_t ix = static_cast<int32_t>(std::floor(fx));
            const float dx = Single(fx - static_cast<float>(ix));
            const float kx = Single(1.0f - dx);
            const int32_t X = 3 * ix;
            int32_t v[6];
            for (int k = 0; k < 6; ++k)
                v[k] = RoundToLong(Single(Single(ky * src(X + k, iy)) + Single(dy * src(X + k, iy + 1))));
            for (int k = 0; k < 3; ++k) {
                int32_t value = RoundToLong(Single(Single(kx * static_cast<float>(v[k])) +
                                                   Single(dx * static_cast<float>(v[k + 3]))));
                if (value < 0) value = 0;
                if (value > 255) value = 255;
                dst(3 * x + k, y) = static_cast<uint8_t>(value);
            }
        }
    }
}
