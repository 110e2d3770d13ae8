#pragma once
// One 24-bit bottom-up DIB section selected into a memory DC of its own, so
// its pixels can be reached both by GDI block transfers and in memory.
#include <windows.h>

#include <cstdint>
#include <memory>

#include "forms/Picture.h"
#include "forms/Values.h"

class cDIBSection {
public:
    cDIBSection() = default;
    ~cDIBSection();
    cDIBSection(const cDIBSection&) = delete;
    cDIBSection& operator=(const cDIBSection&) = delete;

    // Puts a device-dependent copy on the clipboard as CF_BITMAP. Asking for
    // the DIB form puts nothing there and returns False.
    forms::Boolean CopyToClipboard(forms::Boolean bAsDIB = forms::False);
    // Fills the header and makes the DIB section on lHDC; hDib receives it.
    forms::Boolean CreateDIB(HDC lHDC, int32_t lWidth, int32_t lHeight, HBITMAP& hDib);
    // Sizes the bitmap to the picture's bitmap and copies its pixels.
    void CreateFromPicture(const forms::Picture& picThis);
    forms::Boolean Create(int32_t lWidth, int32_t lHeight);

    // Row length in bytes, padded to 4; overflow raises error 6.
    int32_t BytesPerScanLine() const;
    int32_t Width() const { return header_.biWidth; }
    int32_t Height() const { return header_.biHeight; }

    // A negative width or height stands for the bitmap's own.
    void LoadPictureBlt(HDC lHDC, int32_t lSrcLeft = 0, int32_t lSrcTop = 0, int32_t lSrcWidth = -1,
                        int32_t lSrcHeight = -1, DWORD eRop = SRCCOPY);
    void PaintPicture(HDC lHDC, int32_t lDestLeft = 0, int32_t lDestTop = 0, int32_t lDestWidth = -1,
                      int32_t lDestHeight = -1, int32_t lSrcLeft = 0, int32_t lSrcTop = 0, DWORD eRop = SRCCOPY);

    HDC hDC() const { return memDC_; }
    HBITMAP hDib() const { return dib_; }
    uint8_t* DIBSectionBitsPtr() const { return bits_; }

    void RandomiseBits(forms::Boolean bGray = forms::False);
    void ClearUp();
    // A new bitmap of the new size holding this one's content, bilinearly
    // resampled; null when the new bitmap cannot be made. A source smaller
    // than 2 x 2 pixels cannot be resampled to another size: error 5.
    std::shared_ptr<cDIBSection> Resample(int32_t lNewHeight, int32_t lNewWidth);

private:
    void ResampleDib(cDIBSection& cDibTo);
    void SetHeader(int32_t lWidth, int32_t lHeight);
    // Create, taking the section of the last picture read whole when it has this size.
    forms::Boolean CreateForPicture(int32_t lWidth, int32_t lHeight);

    HBITMAP dib_ = nullptr;
    HGDIOBJ prevBitmap_ = nullptr;
    HDC memDC_ = nullptr;
    uint8_t* bits_ = nullptr;
    BITMAPINFOHEADER header_{};
    bool readWhole_ = false;  // made for a picture read whole: the section may serve the next one
};
