#include "forms/Graphics.h"

#include <algorithm>

#include "forms/Error.h"

namespace forms {

namespace {

struct SavedDC {
    HDC dc;
    int id;
    explicit SavedDC(HDC d) : dc(d), id(SaveDC(d)) {}
    ~SavedDC() { RestoreDC(dc, id); }
};

void Fill(HDC dc, const RECT& r, COLORREF c) {
    HBRUSH b = CreateSolidBrush(c);
    FillRect(dc, &r, b);
    DeleteObject(b);
}

}  // namespace

// ---- Graphic ----

void Graphic::Invalidate() {
    InvalidateArea(painted_);
    InvalidateArea(rect_);
    painted_ = rect_;
}

void Graphic::InvalidateArea(const RECT& r) const {
    HWND host = container_ ? container_->hWnd() : nullptr;
    if (host && r.right > r.left && r.bottom > r.top) InvalidateRect(host, &r, FALSE);
}

void Graphic::ApplyRect() { Invalidate(); }

void Graphic::Visible(Boolean v) {
    visible_ = v != 0;
    Invalidate();
}

void Graphic::Enabled(Boolean v) {
    enabled_ = v != 0;
    Invalidate();
}

// ---- Shape ----

Shape::Shape(Window* container, std::wstring name) : Graphic(container, std::move(name)) {}

void Shape::BorderStyle(int16_t v) {
    if (v < vbTransparent || v > vbBSInsideSolid) Raise(err::InvalidPropertyValue);
    borderStyle_ = v;
    Invalidate();
}

void Shape::BorderWidth(int16_t v) {
    if (v < 1 || v > 8192) Raise(err::InvalidPropertyValue);
    InvalidateArea(painted_);  // the old, perhaps wider, border
    borderWidth_ = v;
    Invalidate();
}

void Shape::BorderColor(int32_t c) {
    TranslateColour(c);
    borderColor_ = c;
    Invalidate();
}

void Shape::FillStyle(int16_t v) {
    if (v < 0 || v > 7) Raise(err::InvalidPropertyValue);
    const bool wasHollow = fillStyle_ == vbFSTransparent;
    fillStyle_ = v;
    if (wasHollow) InvalidateArea(RECT{painted_.left, painted_.top, painted_.right, painted_.bottom});
    Invalidate();
}

void Shape::FillColor(int32_t c) {
    TranslateColour(c);
    fillColor_ = c;
    Invalidate();
}

void Shape::BackStyle(int16_t v) {
    if (v != 0 && v != 1) Raise(err::InvalidPropertyValue);
    backStyle_ = v;
    Invalidate();
}

void Shape::BackColor(int32_t c) {
    TranslateColour(c);
    backColor_ = c;
    Invalidate();
}

void Shape::InvalidateArea(const RECT& r) const {
    // The border may reach half its width outside the rectangle.
    const int m = borderWidth_ + 1;
    RECT o{r.left - m, r.top - m, r.right + m, r.bottom + m};
    if (fillStyle_ != vbFSTransparent || backStyle_ != 0 || o.right - o.left <= 4 * m || o.bottom - o.top <= 4 * m) {
        Graphic::InvalidateArea(o);
        return;
    }
    // A hollow rectangle: only the four edges change.
    const int t = 2 * m;
    Graphic::InvalidateArea(RECT{o.left, o.top, o.right, o.top + t});
    Graphic::InvalidateArea(RECT{o.left, o.bottom - t, o.right, o.bottom});
    Graphic::InvalidateArea(RECT{o.left, o.top, o.left + t, o.bottom});
    Graphic::InvalidateArea(RECT{o.right - t, o.top, o.right, o.bottom});
}

void Shape::Draw(HDC dc) {
    const RECT r = rect_;
    if (r.right <= r.left || r.bottom <= r.top) return;
    SavedDC saved(dc);
    SetBkMode(dc, TRANSPARENT);
    if (backStyle_ == 1) Fill(dc, r, TranslateColour(backColor_));
    if (fillStyle_ != vbFSTransparent) {
        const COLORREF c = TranslateColour(fillColor_);
        HBRUSH b = fillStyle_ == vbFSSolid ? CreateSolidBrush(c) : CreateHatchBrush(fillStyle_ - 2, c);
        FillRect(dc, &r, b);
        DeleteObject(b);
    }
    if (borderStyle_ == vbTransparent) return;
    int style = PS_SOLID;
    switch (borderStyle_) {
        case vbBSDash: style = PS_DASH; break;
        case vbBSDot: style = PS_DOT; break;
        case vbBSDashDot: style = PS_DASHDOT; break;
        case vbBSDashDotDot: style = PS_DASHDOTDOT; break;
        case vbBSInsideSolid: style = PS_INSIDEFRAME; break;
        default: break;
    }
    // Patterned borders exist only one pixel wide.
    if (borderWidth_ > 1 && style != PS_INSIDEFRAME) style = PS_SOLID;
    HPEN pen = CreatePen(style, borderWidth_, TranslateColour(borderColor_));
    SelectObject(dc, pen);
    SelectObject(dc, GetStockObject(NULL_BRUSH));
    Rectangle(dc, r.left, r.top, r.right, r.bottom);
    SelectObject(dc, GetStockObject(BLACK_PEN));
    DeleteObject(pen);
}

Variant Shape::GetProperty(std::wstring_view n) {
    if (NameIs(n, L"BorderStyle")) return BorderStyle();
    if (NameIs(n, L"BorderWidth")) return BorderWidth();
    if (NameIs(n, L"BorderColor")) return BorderColor();
    if (NameIs(n, L"FillStyle")) return FillStyle();
    if (NameIs(n, L"FillColor")) return FillColor();
    if (NameIs(n, L"BackStyle")) return BackStyle();
    if (NameIs(n, L"BackColor")) return BackColor();
    return Graphic::GetProperty(n);
}

void Shape::LetProperty(std::wstring_view n, const Variant& v) {
    if (NameIs(n, L"BorderStyle")) return BorderStyle(v.AsInteger());
    if (NameIs(n, L"BorderWidth")) return BorderWidth(v.AsInteger());
    if (NameIs(n, L"BorderColor")) return BorderColor(v.AsLong());
    if (NameIs(n, L"FillStyle")) return FillStyle(v.AsInteger());
    if (NameIs(n, L"FillColor")) return FillColor(v.AsLong());
    if (NameIs(n, L"BackStyle")) return BackStyle(v.AsInteger());
    if (NameIs(n, L"BackColor")) return BackColor(v.AsLong());
    Graphic::LetProperty(n, v);
}

// ---- Label ----

Label::Label(Window* container, std::wstring name, std::wstring caption)
    : Graphic(container, std::move(name)), caption_(std::move(caption)) {}

void Label::Caption(const std::wstring& v) {
    caption_ = v;
    Fit();
    Invalidate();
}

void Label::Alignment(int16_t v) {
    if (v < 0 || v > 2) Raise(err::InvalidPropertyValue);
    alignment_ = v;
    Invalidate();
}

void Label::AutoSize(Boolean v) {
    autoSize_ = v != 0;
    Fit();
    Invalidate();
}

void Label::WordWrap(Boolean v) {
    wordWrap_ = v != 0;
    Fit();
    Invalidate();
}

void Label::BackStyle(int16_t v) {
    if (v != 0 && v != 1) Raise(err::InvalidPropertyValue);
    backStyle_ = v;
    Invalidate();
}

void Label::BackColor(int32_t c) {
    TranslateColour(c);
    backColor_ = c;
    Invalidate();
}

void Label::ForeColor(int32_t c) {
    TranslateColour(c);
    foreColor_ = c;
    Invalidate();
}

void Label::Font(std::shared_ptr<StdFont> f) {
    if (!f) Raise(err::ObjectNotSet);
    font_ = std::move(f);
    Fit();
    Invalidate();
}

void Label::Fit() {
    if (!autoSize_) return;
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font_->Handle());
    RECT r{0, 0, rect_.right - rect_.left, 0};
    const UINT wrap = wordWrap_ ? DT_WORDBREAK : 0;
    DrawTextW(dc, caption_.empty() ? L" " : caption_.c_str(), -1, &r, DT_CALCRECT | wrap);
    SelectObject(dc, old);
    DeleteDC(dc);
    SetPixelRect(rect_.left, rect_.top, wordWrap_ ? rect_.right - rect_.left : r.right, r.bottom);
}

void Label::Draw(HDC dc) {
    RECT r = rect_;
    SavedDC saved(dc);
    if (backStyle_ == 1) Fill(dc, r, TranslateColour(backColor_));
    SelectObject(dc, font_->Handle());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, enabled_ ? TranslateColour(foreColor_) : GetSysColor(COLOR_GRAYTEXT));
    const UINT align = alignment_ == 1 ? DT_RIGHT : alignment_ == 2 ? DT_CENTER : DT_LEFT;
    DrawTextW(dc, caption_.c_str(), -1, &r, DT_WORDBREAK | align);
}

Variant Label::GetProperty(std::wstring_view n) {
    if (NameIs(n, L"Caption")) return Caption();
    if (NameIs(n, L"Alignment")) return Alignment();
    if (NameIs(n, L"AutoSize")) return Variant::FromBoolean(AutoSize());
    if (NameIs(n, L"BackStyle")) return BackStyle();
    if (NameIs(n, L"BackColor")) return BackColor();
    if (NameIs(n, L"ForeColor")) return ForeColor();
    if (NameIs(n, L"Font")) return Variant(ObjectPtr(font_));
    return Graphic::GetProperty(n);
}

void Label::LetProperty(std::wstring_view n, const Variant& v) {
    if (NameIs(n, L"Caption")) return Caption(v.AsString());
    if (NameIs(n, L"Alignment")) return Alignment(v.AsInteger());
    if (NameIs(n, L"AutoSize")) return AutoSize(v.AsBoolean());
    if (NameIs(n, L"BackStyle")) return BackStyle(v.AsInteger());
    if (NameIs(n, L"BackColor")) return BackColor(v.AsLong());
    if (NameIs(n, L"ForeColor")) return ForeColor(v.AsLong());
    Graphic::LetProperty(n, v);
}

// ---- Image ----

Image::Image(Window* container, std::wstring name) : Graphic(container, std::move(name)) {}

void Image::Fit() {
    if (stretch_ || !picture_) return;
    const int b = borderStyle_ ? 2 : 0;
    SetPixelRect(rect_.left, rect_.top, picture_.PixelWidth() + b, picture_.PixelHeight() + b);
}

void Image::Picture(const forms::Picture& p) {
    picture_ = p;
    Fit();
    Invalidate();
}

void Image::Stretch(Boolean v) {
    stretch_ = v != 0;
    Fit();
    Invalidate();
}

void Image::BorderStyle(int16_t v) {
    if (v != 0 && v != 1) Raise(err::InvalidPropertyValue);
    borderStyle_ = v;
    Fit();
    Invalidate();
}

void Image::Draw(HDC dc) {
    RECT r = rect_;
    SavedDC saved(dc);
    if (borderStyle_) {
        HBRUSH b = GetSysColorBrush(COLOR_WINDOWFRAME);
        FrameRect(dc, &r, b);
        InflateRect(&r, -1, -1);
    }
    if (!picture_) return;
    IntersectClipRect(dc, r.left, r.top, r.right, r.bottom);
    const int pw = picture_.PixelWidth(), ph = picture_.PixelHeight();
    if (stretch_)
        DrawPictureTo(dc, picture_, r.left, r.top, r.right - r.left, r.bottom - r.top, 0, 0, pw, ph);
    else
        DrawPictureTo(dc, picture_, r.left, r.top, pw, ph, 0, 0, pw, ph);
}

Variant Image::GetProperty(std::wstring_view n) {
    if (NameIs(n, L"Picture")) return Picture();
    if (NameIs(n, L"Stretch")) return Variant::FromBoolean(Stretch());
    if (NameIs(n, L"BorderStyle")) return BorderStyle();
    return Graphic::GetProperty(n);
}

void Image::LetProperty(std::wstring_view n, const Variant& v) {
    if (NameIs(n, L"Picture")) return Picture(v.AsPicture());
    if (NameIs(n, L"Stretch")) return Stretch(v.AsBoolean());
    if (NameIs(n, L"BorderStyle")) return BorderStyle(v.AsInteger());
    Graphic::LetProperty(n, v);
}

}  // namespace forms
