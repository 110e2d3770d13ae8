#include "capture/Capture.h"

#include <vector>

#include "forms/Runtime.h"

namespace Capture {

forms::Picture PictureFromBitmap(HBITMAP bmp, HPALETTE pal) {
    forms::Picture pic = forms::Picture::FromBitmap(bmp, pal, true);
    if (!pic || !pal) return pic;
    // The platform's picture deletes its bitmap when it goes but leaves its palette behind.
    return forms::Picture::EndingWith(pic, [pal] { DeleteObject(pal); });
}

namespace {

// The palette display's system palette as a palette of our own; 0 on any
// display that is not a 256-colour palette display.
HPALETTE SystemPaletteCopy(HDC source) {
    if (!(GetDeviceCaps(source, RASTERCAPS) & RC_PALETTE) || GetDeviceCaps(source, SIZEPALETTE) != 256)
        return nullptr;
    std::vector<unsigned char> buf(sizeof(LOGPALETTE) + 255 * sizeof(PALETTEENTRY));
    auto* lp = reinterpret_cast<LOGPALETTE*>(buf.data());
    lp->palVersion = 0x300;
    lp->palNumEntries = 256;
    GetSystemPaletteEntries(source, 0, 256, lp->palPalEntry);
    return CreatePalette(lp);
}

}  // namespace

namespace {

// reuse: the area is all on the screen, so the copy draws every pixel and a
// bitmap used before may serve.
forms::Picture Grab(HWND hWnd, forms::Boolean ClientOnly, int32_t Left, int32_t Top, int32_t Width, int32_t Height,
                    bool reuse) {
    HDC source = forms::IsTrue(ClientOnly) ? GetDC(hWnd) : GetWindowDC(hWnd);
    HPALETTE pal = SystemPaletteCopy(source);
    auto copy = [&](HBITMAP bmp) {
        HDC memory = CreateCompatibleDC(source);
        HGDIOBJ oldBmp = SelectObject(memory, bmp);
        HPALETTE oldPal = nullptr;
        if (pal) {
            oldPal = SelectPalette(memory, pal, FALSE);
            RealizePalette(memory);
        }
        // A screen that cannot be read (a secure desktop on show) must not
        // leave an earlier grab in a bitmap used before: black, as a new one.
        if (!BitBlt(memory, 0, 0, Width, Height, source, Left, Top, SRCCOPY))
            PatBlt(memory, 0, 0, Width, Height, BLACKNESS);
        if (oldBmp) SelectObject(memory, oldBmp);
        if (pal) SelectPalette(memory, oldPal, FALSE);
        DeleteDC(memory);
    };
    forms::Picture pic;
    if (reuse && !pal) {
        pic = forms::Picture::FromScreenBitmap(Width, Height, copy);
    } else {
        HBITMAP bmp = CreateCompatibleBitmap(source, Width, Height);
        copy(bmp);
        pic = PictureFromBitmap(bmp, pal);
        if (!pic) {
            // Nobody took the handles over.
            if (bmp) DeleteObject(bmp);
            if (pal) DeleteObject(pal);
        }
    }
    ReleaseDC(hWnd, source);
    return pic;
}

}  // namespace

forms::Picture GrabWindowArea(HWND hWnd, forms::Boolean ClientOnly, int32_t Left, int32_t Top, int32_t Width,
                              int32_t Height) {
    return Grab(hWnd, ClientOnly, Left, Top, Width, Height, false);
}

forms::Picture GrabDesktop() {
    int32_t w = forms::IntDiv(forms::Screen.Width(), forms::Screen.TwipsPerPixelX());
    int32_t h = forms::IntDiv(forms::Screen.Height(), forms::Screen.TwipsPerPixelY());
    return Grab(GetDesktopWindow(), forms::False, 0, 0, w, h, true);
}

forms::Picture CaptureActiveWindow(forms::Boolean& NoPictureStatus) {
    HWND window = GetForegroundWindow();
    forms::DoEvents();
    RECT r{0, 0, 0, 0};
    GetWindowRect(window, &r);
    int32_t width = forms::CLng(static_cast<double>(r.right) - r.left);
    int32_t height = forms::CLng(static_cast<double>(r.bottom) - r.top);
    forms::Picture pic = GrabWindowArea(window, forms::False, 0, 0, width, height);
    if (r.right == 0 && r.bottom == 0) NoPictureStatus = forms::True;
    return pic;
}

}  // namespace Capture
