#pragma once
// Helpers for the push button tests: reading the button's persistent image,
// telling its looks apart by their border pixels, and forcing the classic way.
#include <windows.h>
#include <uxtheme.h>

#include <algorithm>
#include <climits>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "controls/PushButtonCore.h"
#include "unit/common/TestSupport.h"

// Rectangles compare and print in the tests.
inline bool operator==(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
inline void PrintTo(const RECT& r, std::ostream* os) {
    *os << "{" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << "}";
}

namespace pbtest {

// A copy of the button's persistent image.
class Shot {
public:
    explicit Shot(forms::Surface& s) : pic_(s.Image()) {}
    COLORREF At(int x, int y) const { return testsupport::PixelOf(pic_.Bitmap(), x, y); }
    HBITMAP Bitmap() const { return pic_.Bitmap(); }
    int Width() const { return pic_.PixelWidth(); }
    int Height() const { return pic_.PixelHeight(); }

    // The smallest rectangle holding every pixel of the colour inside the
    // area (the whole image when left out); empty when none.
    RECT Find(COLORREF c, std::optional<RECT> area = {}) const {
        RECT a = area.value_or(RECT{0, 0, Width(), Height()});
        RECT r{INT_MAX, INT_MAX, INT_MIN, INT_MIN};
        HDC dc = CreateCompatibleDC(nullptr);
        HGDIOBJ old = SelectObject(dc, pic_.Bitmap());
        for (int y = a.top; y < a.bottom; ++y)
            for (int x = a.left; x < a.right; ++x)
                if (GetPixel(dc, x, y) == c) {
                    r.left = std::min<LONG>(r.left, x);
                    r.top = std::min<LONG>(r.top, y);
                    r.right = std::max<LONG>(r.right, x + 1);
                    r.bottom = std::max<LONG>(r.bottom, y + 1);
                }
        SelectObject(dc, old);
        DeleteDC(dc);
        if (r.left == INT_MAX) return RECT{0, 0, 0, 0};
        return r;
    }
    bool Has(COLORREF c, std::optional<RECT> area = {}) const {
        RECT r = Find(c, area);
        return r.right > r.left;
    }

private:
    forms::Picture pic_;
};

// The pixels two deep on each side of a frame, halfway along.
inline std::vector<COLORREF> BorderOf(HBITMAP bmp, const RECT& f) {
    const int mx = (f.left + f.right) / 2, my = (f.top + f.bottom) / 2;
    auto at = [&](int x, int y) { return testsupport::PixelOf(bmp, x, y); };
    return {at(f.left, my),      at(f.left + 1, my),  at(mx, f.top),        at(mx, f.top + 1),
            at(f.right - 1, my), at(f.right - 2, my), at(mx, f.bottom - 1), at(mx, f.bottom - 2)};
}
inline std::vector<COLORREF> BorderOf(const Shot& s, const RECT& f) { return BorderOf(s.Bitmap(), f); }

// A picture w x h pixels filled with the colour and then drawn on by draw(dc).
template <class Draw>
forms::Picture DrawnPicture(int w, int h, COLORREF back, Draw draw) {
    HDC screen = GetDC(nullptr);
    HBITMAP bmp = CreateCompatibleBitmap(screen, w, h);
    ReleaseDC(nullptr, screen);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bmp);
    HBRUSH b = CreateSolidBrush(back);
    RECT all{0, 0, w, h};
    FillRect(dc, &all, b);
    DeleteObject(b);
    draw(dc);
    SelectObject(dc, old);
    DeleteDC(dc);
    return forms::Picture::FromBitmap(bmp);
}

inline forms::Picture SolidPicture(int w, int h, COLORREF c) {
    return DrawnPicture(w, h, c, [](HDC) {});
}

// The border pixels of such a picture.
template <class Draw>
std::vector<COLORREF> ReferenceBorder(int w, int h, COLORREF back, const RECT& f, Draw draw) {
    return BorderOf(DrawnPicture(w, h, back, draw).Bitmap(), f);
}

inline std::vector<COLORREF> ClassicBorder(int w, int h, COLORREF back, const RECT& f, UINT edge, UINT flags) {
    return ReferenceBorder(w, h, back, f, [&](HDC dc) {
        RECT r = f;
        DrawEdge(dc, &r, edge, flags);
    });
}

inline std::vector<COLORREF> ThemedBorder(HWND owner, int w, int h, COLORREF back, const RECT& f, int state) {
    return ReferenceBorder(w, h, back, f, [&](HDC dc) {
        HTHEME t = OpenThemeData(owner, L"Toolbar");
        if (!t) return;
        DrawThemeBackground(t, dc, 1, state, &f, &f);
        CloseThemeData(t);
    });
}

inline forms::Window& Child(forms::UserControl& c, const wchar_t* name) {
    return dynamic_cast<forms::Window&>(c.AllControls()[name]);
}

// Takes the visual style away from the picture holder, where the button
// tests for one: the button then draws the classic way.
inline void ForceClassic(PushButtonCore& b) {
    SetWindowTheme(Child(b, L"Tmp").hWnd(), L" ", L" ");
    b.Refresh();
}

// Whether the button finds a visual style to draw with (Wine's own "Light"
// style is active in a new prefix).
inline bool StyleActive(PushButtonCore& b) {
    HTHEME t = OpenThemeData(Child(b, L"Tmp").hWnd(), L"Toolbar");
    if (t) CloseThemeData(t);
    return t != nullptr;
}

inline COLORREF Sys(int index) { return GetSysColor(index); }

// The centre of a window on the screen.
inline POINT CentreOf(HWND h) {
    RECT r;
    GetWindowRect(h, &r);
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

// Lets go of a held left button and parks the pointer in the screen's corner.
inline void ReleaseMouse() {
    if (GetAsyncKeyState(VK_LBUTTON) < 0) testsupport::MouseButton(true, false);
    testsupport::MoveMouse(5, 5);
    testsupport::Pump(30);
}

}  // namespace pbtest
