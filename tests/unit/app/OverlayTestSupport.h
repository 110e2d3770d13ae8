#pragma once
// Shared by the overlay tests: a frozen screen whose every pixel tells where
// it came from, reading the capture canvas back, and the mouse as a user
// works it.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "app/FrmMain.h"
#include "app/FrmSave.h"
#include "forms/Picture.h"
#include "forms/Runtime.h"
#include "unit/common/TestObjects.h"
#include "unit/common/TestSupport.h"

namespace overlaytest {

// The runtime's twips per pixel: the overlays' geometry is in twips.
inline float Tpp() { return forms::Screen.TwipsPerPixelX(); }

// The colour (0x00RRGGBB) of screen pixel (x, y) in the coded picture.
inline uint32_t CodeOf(int x, int y) {
    return (static_cast<uint32_t>(x & 255) << 16) | (static_cast<uint32_t>(y & 255) << 8) |
           static_cast<uint32_t>(((x >> 8) << 4) | (y >> 8));
}

// A picture of the screen's size in which each pixel is CodeOf its place.
inline forms::Picture CodedScreenPicture() {
    const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    BITMAPINFO bi{};
    bi.bmiHeader = {sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP bmp = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    auto* p = static_cast<uint32_t*>(bits);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) p[static_cast<size_t>(y) * w + x] = CodeOf(x, y);
    return forms::Picture::FromBitmap(bmp);
}

// Checks that a picture holds exactly the coded screen's rectangle at
// (left, top) of w x h pixels.
inline void ExpectCodedRegion(const forms::Picture& pic, int left, int top, int w, int h) {
    ASSERT_TRUE(pic) << "no picture";
    int pw = 0, ph = 0;
    const std::vector<uint32_t> px = testsupport::PixelsOf(pic.Bitmap(), &pw, &ph);
    ASSERT_EQ(pw, w);
    ASSERT_EQ(ph, h);
    int wrong = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if ((px[static_cast<size_t>(y) * w + x] & 0xFFFFFF) != CodeOf(left + x, top + y) && ++wrong <= 3)
                ADD_FAILURE() << "pixel " << x << "," << y << " is " << std::hex << px[static_cast<size_t>(y) * w + x]
                              << ", expected " << CodeOf(left + x, top + y);
    EXPECT_EQ(wrong, 0);
}

// The capture canvas made recognisable, so that an untouched one shows.
inline void MarkCanvas() {
    HBITMAP bmp = CreateBitmap(3, 3, 1, 32, nullptr);
    app::FrmMain->Pic.Picture(forms::Picture::FromBitmap(bmp));
}
inline bool CanvasUntouched() { return app::FrmMain->Pic.Picture().PixelWidth() == 3; }

// Saves go to the clipboard, emptied here so that a save onto it shows.
inline void SaveToEmptyClipboard() {
    app::FrmSave->Mselection = 1;
    forms::Clipboard.Clear();
}
inline forms::Picture ClipboardPicture() { return forms::Clipboard.GetData(); }

inline void MiddleButton(bool down) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = down ? MOUSEEVENTF_MIDDLEDOWN : MOUSEEVENTF_MIDDLEUP;
    SendInput(1, &in, sizeof in);
}

inline void MoveTo(int x, int y) {
    testsupport::MoveMouse(x, y);
    testsupport::Pump(40);
}
inline void Left(bool down) {
    testsupport::MouseButton(true, down);
    testsupport::Pump(40);
}

// Presses at one point, moves through the middle to the other and releases.
inline void Drag(int x0, int y0, int x1, int y1) {
    MoveTo(x0, y0);
    Left(true);
    MoveTo((x0 + x1) / 2, (y0 + y1) / 2);
    MoveTo(x1, y1);
    Left(false);
    testsupport::Pump(60);
}

}  // namespace overlaytest
