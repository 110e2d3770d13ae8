// The drawing kit's drawing members: colours, band gradients, icons, text,
// frames and rectangles on the device contexts of window-backed objects.
#include <windows.h>
#include <olectl.h>
#include <shellapi.h>

#include <algorithm>

#include "controls/cGraphics.h"
#include "forms/Error.h"
#include "forms/Runtime.h"

using forms::CallBy;
using forms::GetBy;
using forms::LetBy;
using forms::PassOver;

namespace {

HDC HdcOf(forms::Object& o) {
    return reinterpret_cast<HDC>(static_cast<intptr_t>(GetBy(o, L"hDC").AsLong()));
}

// Paints a band gradient from the far edge (right or bottom) back towards the
// near one: the end colour first, then steps towards the start colour. Every
// statement that fails is passed over, as the gradient members promise.
void PaintBands(HDC dc, const int32_t (&start)[3], const int32_t (&end)[3], int32_t size, int32_t edge,
                int32_t crossFrom, int32_t crossTo, bool alongWidth) {
    int32_t step = 0;
    PassOver([&] { step = forms::CLng(size / 255.0); });
    if (step == 0) step = 1;
    int16_t cur[3] = {static_cast<int16_t>(end[0]), static_cast<int16_t>(end[1]), static_cast<int16_t>(end[2])};
    double diff[3];
    for (int c = 0; c < 3; ++c) diff[c] = static_cast<double>(start[c]) - end[c];
    for (int32_t i = size; i >= 0; i -= step) {
        const int32_t nearEdge = edge - step;
        RECT band = alongWidth ? RECT{nearEdge, crossFrom, edge, crossTo} : RECT{crossFrom, nearEdge, crossTo, edge};
        HBRUSH brush = CreateSolidBrush(static_cast<COLORREF>(cur[0] + 256 * cur[1] + 65536 * cur[2]));
        FillRect(dc, &band, brush);
        DeleteObject(brush);
        edge = nearEdge;
        // A zero size divides by zero here: CInt refuses the result and the
        // colour stays as it was.
        for (int c = 0; c < 3; ++c)
            PassOver([&] { cur[c] = forms::CInt(end[c] + (static_cast<double>(size) - i) * diff[c] / size); });
    }
}

double TwipsPerPixelX() { return forms::Screen.TwipsPerPixelX(); }
double TwipsPerPixelY() { return forms::Screen.TwipsPerPixelY(); }

}  // namespace

int32_t cGraphics::TranslateColor(int32_t Color, HPALETTE hPal) {
    COLORREF rgb = 0;
    if (OleTranslateColor(static_cast<OLE_COLOR>(Color), hPal, &rgb) != S_OK) return -1;
    return static_cast<int32_t>(rgb);
}

void cGraphics::SplitColor(int32_t Color, forms::Boolean IsEnd) {
    COLORREF rgb = 0;
    OleTranslateColor(static_cast<OLE_COLOR>(Color), nullptr, &rgb);
    int32_t(&target)[3] = IsEnd ? m_EndColor : m_StartColor;
    target[0] = GetRValue(rgb);
    target[1] = GetGValue(rgb);
    target[2] = GetBValue(rgb);
}

int32_t cGraphics::BlendColor(int32_t oColorFrom, int32_t oColorTo, int32_t Alpha) {
    // Outside 0..255 the channels would spill into their neighbours.
    Alpha = std::clamp<int32_t>(Alpha, 0, 255);
    const uint32_t from = static_cast<uint32_t>(TranslateColor(oColorFrom));
    const uint32_t to = static_cast<uint32_t>(TranslateColor(oColorTo));
    int32_t result = 0;
    for (int c = 0; c < 3; ++c) {
        const int32_t f = (from >> (8 * c)) & 0xFF;
        const int32_t t = (to >> (8 * c)) & 0xFF;
        const double v = (255 - Alpha) * t / 255.0 + f * Alpha / 255.0;
        result += forms::CInt(v) << (8 * c);
    }
    return result;
}

void cGraphics::DrawGradient(forms::Object& Obj, int32_t Color1, int32_t Color2, int32_t GradType) {
    HDC dc = HdcOf(Obj);
    PassOver([&] { SplitColor(Color1, forms::False); });
    PassOver([&] { SplitColor(Color2, forms::True); });
    int32_t w = 0, h = 0;
    PassOver([&] { h = forms::CLng(GetBy(Obj, L"Height").AsDouble() / TwipsPerPixelY()); });
    PassOver([&] { w = forms::CLng(GetBy(Obj, L"Width").AsDouble() / TwipsPerPixelX()); });
    if (GradType == 0)
        PaintBands(dc, m_StartColor, m_EndColor, h, h, 0, w, false);
    else if (GradType == 1)
        PaintBands(dc, m_StartColor, m_EndColor, w, w, 0, h, true);
    PassOver([&] { CallBy(Obj, L"Refresh"); });
}

void cGraphics::DrawHGradientRect(forms::Object& Obj, int32_t x, int32_t y, int32_t Height, int32_t Width,
                                  int32_t Color1, int32_t Color2) {
    HDC dc = HdcOf(Obj);
    PassOver([&] { SplitColor(Color1, forms::False); });
    PassOver([&] { SplitColor(Color2, forms::True); });
    PaintBands(dc, m_StartColor, m_EndColor, Width, x + Width, y, y + Height, true);
    PassOver([&] { CallBy(Obj, L"Refresh"); });
}

forms::Picture cGraphics::GetIcon(const std::wstring& Path, int32_t IconSize) {
    forms::Picture pic;
    PassOver([&] {
        m_FileInfo = {};
        const UINT flags = IconSize != 0 ? SHGFI_ICON : SHGFI_ICON | SHGFI_SMALLICON;
        if (!SHGetFileInfoW(Path.c_str(), 0, &m_FileInfo, sizeof m_FileInfo, flags) || !m_FileInfo.hIcon) return;
        pic = forms::Picture::FromIcon(m_FileInfo.hIcon, true);
        if (!pic) DestroyIcon(m_FileInfo.hIcon);
    });
    return pic;
}

forms::Picture cGraphics::GetLibIcon(const std::wstring& Path, int32_t IconSize, int32_t IconIndex) {
    forms::Picture pic;
    PassOver([&] {
        HICON large = nullptr, small = nullptr;
        ExtractIconExW(Path.c_str(), IconIndex, &large, &small, 1);
        HICON taken = IconSize != 0 ? large : small;
        HICON other = IconSize != 0 ? small : large;
        if (other) DestroyIcon(other);
        if (!taken) {
            pic = GetIcon(Path, IconSize);
            return;
        }
        pic = forms::Picture::FromIcon(taken, true);
        if (!pic) DestroyIcon(taken);
    });
    return pic;
}

void cGraphics::DrowDisabledText(forms::PictureBox& Pic, const std::wstring& Text) {
    Pic.Cls();
    const int32_t w = forms::CLng(Pic.TextWidth(Text));
    const int32_t h = forms::CLng(Pic.TextHeight(Text));
    DrawStateW(Pic.hDC(), nullptr, nullptr, reinterpret_cast<LPARAM>(Text.c_str()), static_cast<WPARAM>(Text.size()), 0,
               0, w, h, DST_TEXT | DSS_DISABLED);
    Pic.Refresh();
}

void cGraphics::DrowFrame(forms::Object& Pic, int32_t Top, int32_t Left, int32_t Width, int32_t Heigh) {
    LetBy(Pic, L"ScaleMode", int16_t{3});
    RECT r{Left, Top, Width, Heigh};
    DrawEdge(HdcOf(Pic), &r, BDR_SUNKENOUTER, BF_RECT);
    LetBy(Pic, L"ScaleMode", int16_t{1});
}

forms::Variant cGraphics::DrawLine(forms::PictureBox& Pic, int32_t StartX, int32_t StartY, int32_t EndX,
                                   int32_t EndY, int32_t LineColor) {
    Pic.ForeColor(LineColor);
    Pic.Line(static_cast<float>(StartX), static_cast<float>(StartY), static_cast<float>(EndX),
             static_cast<float>(EndY));
    return {};
}

namespace {
forms::Variant DrawTextIn(forms::PictureBox& Pic, RECT r, const std::wstring& Txt, int32_t TextColor,
                          forms::Boolean TextBold, UINT flags) {
    Pic.ForeColor(TextColor);
    Pic.FontBold(TextBold);
    DrawTextW(Pic.hDC(), Txt.c_str(), static_cast<int>(Txt.size()), &r, flags);
    return {};
}
}  // namespace

forms::Variant cGraphics::cDrawText(forms::PictureBox& Pic, const std::wstring& Txt, int32_t TextColor,
                                    forms::Boolean TextBold) {
    // The box's size is in its container's twips; the device wants pixels,
    // or the text would be centred far beyond the box.
    const RECT r{0, 0, forms::CLng(Pic.Width() / Pic.ContainerUnitsPerPixelX()),
                 forms::CLng(Pic.Height() / Pic.ContainerUnitsPerPixelY())};
    return DrawTextIn(Pic, r, Txt, TextColor, TextBold, DT_CENTER);
}

forms::Variant cGraphics::cDrawTextEx(forms::PictureBox& Pic, int32_t x, int32_t y, int32_t tWidth, int32_t tHeight,
                                      const std::wstring& Txt, int32_t TextColor, forms::Boolean TextBold,
                                      forms::Boolean TxtCenter, forms::Boolean TxtWrdBreak) {
    UINT flags = 0;
    if (forms::IsTrue(TxtCenter)) flags += DT_CENTER;
    if (forms::IsTrue(TxtWrdBreak)) flags += DT_WORDBREAK;
    return DrawTextIn(Pic, RECT{x, y, tWidth, tHeight}, Txt, TextColor, TextBold, flags);
}

namespace {
// Clears the object, then frames or fills its client area with the colour
// exactly as given (the platform's brush sees no system-colour translation).
void PaintClientArea(forms::Object& Obj, int32_t colour, bool fill) {
    CallBy(Obj, L"Cls");
    const RECT r{0, 0, forms::CLng(GetBy(Obj, L"ScaleWidth").AsDouble()),
                 forms::CLng(GetBy(Obj, L"ScaleHeight").AsDouble())};
    HDC dc = HdcOf(Obj);
    HBRUSH brush = CreateSolidBrush(static_cast<COLORREF>(colour));
    if (fill)
        FillRect(dc, &r, brush);
    else
        FrameRect(dc, &r, brush);
    DeleteObject(brush);
}
}  // namespace

forms::Variant cGraphics::DrawRectangle(forms::Object& Obj, int32_t RectColor) {
    PaintClientArea(Obj, RectColor, false);
    return {};
}

forms::Variant cGraphics::FillRectangle(forms::Object& Obj, int32_t FillColor) {
    PaintClientArea(Obj, FillColor, true);
    return {};
}

forms::Variant cGraphics::DrawTransRectangle(forms::Object& Obj, int32_t RectColor, int16_t PenWidth) {
    const int32_t saved = GetBy(Obj, L"ForeColor").AsLong();
    try {
        LetBy(Obj, L"ForeColor", RectColor);
        LetBy(Obj, L"DrawWidth", PenWidth);
        const int32_t sw = forms::CLng(GetBy(Obj, L"ScaleWidth").AsDouble());
        const int32_t sh = forms::CLng(GetBy(Obj, L"ScaleHeight").AsDouble());
        HDC dc = HdcOf(Obj);
        const int32_t p = PenWidth;
        const int32_t rgb = TranslateColor(RectColor);
        // The object's own pen, made here so the frame does not depend on
        // which pen the object happens to have selected.
        HPEN pen = CreatePen(PS_SOLID, p, static_cast<COLORREF>(rgb == -1 ? RectColor : rgb));
        HGDIOBJ old = SelectObject(dc, pen);
        const POINT corners[5] = {{p - 1, p - 1}, {sw - p, p - 1}, {sw - p, sh - p}, {p - 1, sh - p}, {p - 1, p - 1}};
        MoveToEx(dc, corners[0].x, corners[0].y, nullptr);
        for (int k = 1; k < 5; ++k) LineTo(dc, corners[k].x, corners[k].y);
        SelectObject(dc, old);
        DeleteObject(pen);
    } catch (...) {
        PassOver([&] { LetBy(Obj, L"ForeColor", saved); });
        throw;
    }
    LetBy(Obj, L"ForeColor", saved);
    return {};
}
