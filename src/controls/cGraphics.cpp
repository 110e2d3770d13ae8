#include "controls/cGraphics.h"

#include "forms/Error.h"
#include "forms/Runtime.h"

namespace {

HWND HwndOf(forms::Object& o) {
    return reinterpret_cast<HWND>(static_cast<intptr_t>(forms::GetBy(o, L"hwnd").AsLong()));
}

HDC DcOf(forms::Object& o) {
    return reinterpret_cast<HDC>(static_cast<intptr_t>(forms::GetBy(o, L"hDC").AsLong()));
}

POINT CursorPos() {
    POINT p{0, 0};
    GetCursorPos(&p);
    return p;
}

}  // namespace

void cGraphics::CreateRoundRgn(forms::Object& Obj, int16_t RoundValue, forms::Boolean ShowFrame,
                               int16_t FrameWidth, int32_t FrameColor) {
    int32_t w = forms::IntDiv(forms::GetBy(Obj, L"Width").AsDouble(), forms::Screen.TwipsPerPixelX());
    int32_t h = forms::IntDiv(forms::GetBy(Obj, L"Height").AsDouble(), forms::Screen.TwipsPerPixelY());
    forms::LetBy(Obj, L"AutoRedraw", forms::Variant::FromBoolean(forms::True));
    HRGN rgn = CreateRoundRectRgn(0, 0, w, h, RoundValue, RoundValue);
    // Once given, the region is the window's; a refused one is still ours.
    if (rgn && !SetWindowRgn(HwndOf(Obj), rgn, TRUE)) DeleteObject(rgn);
    if (forms::IsTrue(ShowFrame)) {
        forms::LetBy(Obj, L"DrawWidth", FrameWidth);
        forms::LetBy(Obj, L"ForeColor", FrameColor);
        RoundRect(DcOf(Obj), 0, 0, w - 1, h - 1, RoundValue, RoundValue);
    }
}

forms::Variant cGraphics::TransForm(forms::Object& Form, uint8_t TransValue) {
    MakeLayered(HwndOf(Form));
    forms::PassOver([&] { SetLayerAlpha(HwndOf(Form), TransValue); });
    return {};
}

forms::Boolean cGraphics::RgnHover(forms::Object& Obj) {
    HWND hwnd = HwndOf(Obj);
    SetCapture(hwnd);
    POINT p = CursorPos();
    ScreenToClient(hwnd, &p);
    double x = forms::RoundHalfEven(p.x * static_cast<double>(forms::Screen.TwipsPerPixelX()));
    double y = forms::RoundHalfEven(p.y * static_cast<double>(forms::Screen.TwipsPerPixelY()));
    bool inside = x > 0 && x < forms::GetBy(Obj, L"Width").AsDouble() && y > 0 &&
                  y < forms::GetBy(Obj, L"Height").AsDouble();
    if (inside) return forms::True;
    ReleaseCapture();
    return forms::False;
}

int32_t cGraphics::GetCurPos(int32_t CPos) {
    POINT p = CursorPos();
    return CPos == 0 ? p.x : p.y;
}

HWND cGraphics::GetHwnd() { return WindowFromPoint(CursorPos()); }

void cGraphics::MoveLayer(forms::Object& SourceLayer, forms::Object& DestLayer, float Left, float Top) {
    forms::CallBy(SourceLayer, L"Move", {Left, Top});
    SetParent(HwndOf(SourceLayer), HwndOf(DestLayer));
}

void cGraphics::MakeLayered(HWND hwnd) { SetWindowLongA(hwnd, GWL_EXSTYLE, WS_EX_LAYERED); }

void cGraphics::SetLayerAlpha(HWND hwnd, uint8_t alpha) { SetLayeredWindowAttributes(hwnd, 0, alpha, LWA_ALPHA); }
