#include "forms/Surface.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "forms/Error.h"
#include "forms/Graphics.h"

namespace forms {

namespace {

std::vector<std::wstring_view> SplitLines(std::wstring_view text) {
    std::vector<std::wstring_view> lines;
    size_t start = 0;
    for (;;) {
        size_t nl = text.find(L'\n', start);
        std::wstring_view line = text.substr(start, nl == std::wstring_view::npos ? std::wstring_view::npos : nl - start);
        if (!line.empty() && line.back() == L'\r') line.remove_suffix(1);
        lines.push_back(line);
        if (nl == std::wstring_view::npos) break;
        start = nl + 1;
    }
    return lines;
}

// A DC for measuring text when the window has none yet.
struct MeasureDC {
    HDC dc = CreateCompatibleDC(nullptr);
    ~MeasureDC() { DeleteDC(dc); }
};

}  // namespace

void DrawPictureTo(HDC dc, const Picture& pic, int dx, int dy, int dw, int dh, int sx, int sy, int sw, int sh,
                   DWORD rop) {
    if (!pic) return;
    switch (pic.Type()) {
        case picBitmap: {
            HDC src = CreateCompatibleDC(dc);
            HGDIOBJ old = SelectObject(src, pic.Bitmap());
            if (dw == sw && dh == sh) {
                BitBlt(dc, dx, dy, dw, dh, src, sx, sy, rop);
            } else {
                int mode = SetStretchBltMode(dc, COLORONCOLOR);
                StretchBlt(dc, dx, dy, dw, dh, src, sx, sy, sw, sh, rop);
                SetStretchBltMode(dc, mode);
            }
            SelectObject(src, old);
            DeleteDC(src);
            break;
        }
        case picIcon:
            DrawIconEx(dc, dx, dy, reinterpret_cast<HICON>(static_cast<uintptr_t>(pic.Handle())), dw, dh, 0, nullptr,
                       DI_NORMAL);
            break;
        default: {
            // Metafiles: the picture renders itself, source in HIMETRIC from the bottom.
            const int32_t hw = pic.Width(), hh = pic.Height();
            const int pw = std::max(1, pic.PixelWidth()), ph = std::max(1, pic.PixelHeight());
            pic.get()->Render(dc, dx, dy, dw, dh, MulDiv(sx, hw, pw), hh - MulDiv(sy, hh, ph), MulDiv(sw, hw, pw),
                              -MulDiv(sh, hh, ph), nullptr);
            break;
        }
    }
}

Surface::Surface(Window* container, std::wstring name) : Window(container, std::move(name)) {}

Surface::~Surface() {
    if (hwnd_) ReleaseOwnDC();
    DropImage();
    if (pen_) DeleteObject(pen_);
}

void Surface::ReleaseOwnDC() {
    // The window's own DC keeps what was selected into it: hand back the pen and font.
    HDC dc = GetDC(hwnd_);
    SelectObject(dc, GetStockObject(BLACK_PEN));
    SelectObject(dc, GetStockObject(SYSTEM_FONT));
    ReleaseDC(hwnd_, dc);
    ownFont_ = nullptr;
}

int Surface::ToPixelX(float v) const { return static_cast<int>(RoundHalfEven(v / UnitsPerPixelX())); }
int Surface::ToPixelY(float v) const { return static_cast<int>(RoundHalfEven(v / UnitsPerPixelY())); }

float Surface::UnitsPerPixelX() const { return scaleMode_ == vbPixels ? 1.0f : TwipsPerPixelX(); }
float Surface::UnitsPerPixelY() const { return scaleMode_ == vbPixels ? 1.0f : TwipsPerPixelY(); }

void Surface::ScaleMode(int16_t v) {
    if (v != vbTwips && v != vbPixels) Raise(err::InvalidPropertyValue);
    scaleMode_ = v;
}

SIZE Surface::FrameSize() const {
    RECT r{0, 0, 0, 0};
    DWORD style = hwnd_ ? static_cast<DWORD>(GetWindowLongW(hwnd_, GWL_STYLE)) : Style();
    DWORD ex = hwnd_ ? static_cast<DWORD>(GetWindowLongW(hwnd_, GWL_EXSTYLE)) : ExStyle();
    AdjustWindowRectEx(&r, style, FALSE, ex);
    return SIZE{r.right - r.left, r.bottom - r.top};
}

SIZE Surface::ClientSize() const {
    if (hwnd_) {
        RECT r;
        GetClientRect(hwnd_, &r);
        return SIZE{r.right, r.bottom};
    }
    SIZE f = FrameSize();
    return SIZE{std::max<LONG>(0, rect_.right - rect_.left - f.cx), std::max<LONG>(0, rect_.bottom - rect_.top - f.cy)};
}

float Surface::ScaleWidth() const { return static_cast<float>(ClientSize().cx) * UnitsPerPixelX(); }
float Surface::ScaleHeight() const { return static_cast<float>(ClientSize().cy) * UnitsPerPixelY(); }

void Surface::PrepareDC(HDC dc) {
    if (!dc) return;
    if (!pen_) pen_ = CreatePen(PS_SOLID, drawWidth_, TranslateColour(foreColor_));
    SelectObject(dc, pen_);
    SelectObject(dc, GetStockObject(NULL_BRUSH));
    UseFont(dc);
    SetTextColor(dc, TranslateColour(foreColor_));
    SetBkColor(dc, TranslateColour(backColor_));
    SetBkMode(dc, TRANSPARENT);
}

void Surface::UseFont(HDC dc) {
    HFONT f = font_->Handle();
    SelectObject(dc, f);
    if (dc == memDC_)
        memFont_ = f;
    else if (hwnd_ && dc == GetDC(hwnd_))
        ownFont_ = f;
}

void Surface::DrawBackground(HDC dc, int w, int h) {
    const int pw = picture_ ? picture_.PixelWidth() : 0, ph = picture_ ? picture_.PixelHeight() : 0;
    // A bitmap as large as the area leaves no back colour to be seen: a
    // full-screen capture is not filled first for nothing.
    if (!picture_ || picture_.Type() != picBitmap || pw < w || ph < h) {
        HBRUSH b = CreateSolidBrush(TranslateColour(backColor_));
        RECT r{0, 0, w, h};
        FillRect(dc, &r, b);
        DeleteObject(b);
    }
    if (picture_) DrawPictureTo(dc, picture_, 0, 0, pw, ph, 0, 0, pw, ph);
}

void Surface::MakeImage(bool keepOld) {
    SIZE s = ClientSize();
    const int w = std::max<LONG>(1, s.cx), h = std::max<LONG>(1, s.cy);
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bmp = CreateCompatibleBitmap(screen, w, h);
    ReleaseDC(nullptr, screen);
    if (!dc || !bmp) {
        if (dc) DeleteDC(dc);
        if (bmp) DeleteObject(bmp);
        Raise(err::OutOfMemory);
    }
    HGDIOBJ old = SelectObject(dc, bmp);
    DrawBackground(dc, w, h);
    if (keepOld && memDC_) {
        BITMAP bm{};
        GetObjectW(memBmp_, sizeof bm, &bm);
        BitBlt(dc, 0, 0, bm.bmWidth, bm.bmHeight, memDC_, 0, 0, SRCCOPY);
    }
    DropImage();
    memDC_ = dc;
    memBmp_ = bmp;
    memOld_ = old;
    PrepareDC(memDC_);
}

void Surface::DropImage() {
    imageCopy_ = nullptr;
    if (!memDC_) return;
    // Leave the DC holding stock objects only, so that pen, font and bitmap can go.
    SelectObject(memDC_, GetStockObject(BLACK_PEN));
    SelectObject(memDC_, GetStockObject(SYSTEM_FONT));
    SelectObject(memDC_, memOld_);
    DeleteDC(memDC_);
    DeleteObject(memBmp_);
    memDC_ = nullptr;
    memFont_ = nullptr;
    memBmp_ = nullptr;
    memOld_ = nullptr;
}

void Surface::ResetImage() {
    if (!memDC_) return;
    BITMAP bm{};
    GetObjectW(memBmp_, sizeof bm, &bm);
    DrawBackground(memDC_, bm.bmWidth, bm.bmHeight);
    Drawn();
}

void Surface::Drawn() {
    if (hwnd_ && memDC_) InvalidateRect(hwnd_, nullptr, FALSE);
}

void Surface::OnCreated() {
    Window::OnCreated();
    PrepareDC(GetDC(hwnd_));
    if (autoRedraw_) MakeImage(false);
}

void Surface::OnDestroying() {
    ReleaseOwnDC();
    DropImage();
    Window::OnDestroying();
}

HDC Surface::hDC() {
    if (!hwnd_) return nullptr;
    HDC dc = memDC_ ? memDC_ : GetDC(hwnd_);
    // The font object may have changed since; what a caller selected or set
    // on the DC itself stays, as long as the properties do not change.
    if (font_->Handle() != (dc == memDC_ ? memFont_ : ownFont_)) UseFont(dc);
    return dc;
}

void Surface::AutoRedraw(Boolean v) {
    autoRedraw_ = v != 0;
    if (!hwnd_) return;
    if (autoRedraw_ && !memDC_) {
        MakeImage(false);
    } else if (!autoRedraw_ && memDC_) {
        DropImage();
        InvalidateRect(hwnd_, nullptr, TRUE);
    }
}

void Surface::BackColor(int32_t c) {
    TranslateColour(c);  // refuses a colour the platform cannot show
    backColor_ = c;
    Cls();
}

void Surface::ForeColor(int32_t c) {
    COLORREF rgb = TranslateColour(c);
    foreColor_ = c;
    HPEN old = pen_;
    pen_ = CreatePen(PS_SOLID, drawWidth_, rgb);
    if (hwnd_) PrepareDC(GetDC(hwnd_));
    PrepareDC(memDC_);
    if (old) DeleteObject(old);
}

void Surface::DrawWidth(int16_t v) {
    if (v < 1) Raise(err::InvalidPropertyValue);
    drawWidth_ = v;
    ForeColor(foreColor_);  // makes the pen again
}

void Surface::FontBold(Boolean v) {
    font_->Bold(v);
    if (hwnd_) UseFont(GetDC(hwnd_));
    if (memDC_) UseFont(memDC_);
}

void Surface::Font(std::shared_ptr<StdFont> f) {
    if (!f) Raise(err::ObjectNotSet);
    font_ = std::move(f);
    if (hwnd_) PrepareDC(GetDC(hwnd_));
    PrepareDC(memDC_);
}

void Surface::BorderStyle(int16_t v) {
    if (v != 0 && v != 1) Raise(err::InvalidPropertyValue);
    borderStyle_ = v;
    if (hwnd_) {
        SetWindowLongW(hwnd_, GWL_EXSTYLE, static_cast<LONG>(ExStyle()));
        SetWindowPos(hwnd_, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    }
}

void Surface::Picture(const forms::Picture& p) {
    picture_ = p;
    if (memDC_ && p && p.Bitmap() == imageCopy_) {
        Drawn();
    } else if (memDC_) {
        ResetImage();
    } else if (hwnd_) {
        InvalidateRect(hwnd_, nullptr, TRUE);
    }
}

void Surface::PictureFromImage() {
    forms::Picture pic = Image();
    BITMAP bm{};
    // A copy of the whole persistent image: as the background it draws the same pixels.
    if (memDC_ && GetObjectW(memBmp_, sizeof bm, &bm) && bm.bmWidth == pic.PixelWidth() &&
        bm.bmHeight == pic.PixelHeight())
        imageCopy_ = pic.Bitmap();
    try {
        Picture(pic);
    } catch (...) {
        imageCopy_ = nullptr;
        throw;
    }
    imageCopy_ = nullptr;
}

forms::Picture Surface::Image() {
    SIZE s = ClientSize();
    const int w = std::max<LONG>(1, s.cx), h = std::max<LONG>(1, s.cy);
    forms::Picture pic = forms::Picture::FromScreenBitmap(w, h, [&](HBITMAP bmp) {
        HDC dc = CreateCompatibleDC(nullptr);
        HGDIOBJ old = SelectObject(dc, bmp);
        if (memDC_)
            BitBlt(dc, 0, 0, w, h, memDC_, 0, 0, SRCCOPY);
        else
            DrawBackground(dc, w, h);
        SelectObject(dc, old);
        DeleteDC(dc);
    });
    if (!pic) Raise(err::OutOfMemory);
    return pic;
}

void Surface::Cls() {
    CurrentX = CurrentY = 0;
    if (memDC_) {
        ResetImage();
    } else if (hwnd_ && IsWindowVisible(hwnd_)) {
        SIZE s = ClientSize();
        HDC dc = GetDC(hwnd_);
        DrawBackground(dc, s.cx, s.cy);
        DrawGraphics(dc);
    }
}

void Surface::DrawGraphics(HDC dc) {
    for (Component* c : children_)
        if (auto* g = dynamic_cast<Graphic*>(c); g && g->Shown()) g->Draw(dc);
}

void Surface::Refresh() {
    if (!hwnd_) return;
    InvalidateRect(hwnd_, nullptr, FALSE);
    UpdateWindow(hwnd_);
}

void Surface::PaintPicture(const forms::Picture& pic, float x1, float y1, std::optional<float> width1,
                           std::optional<float> height1, std::optional<float> x2, std::optional<float> y2,
                           std::optional<float> width2, std::optional<float> height2, int32_t opcode) {
    if (!pic || pic.Handle() == 0) Raise(err::InvalidPicture);
    HDC dc = hDC();
    if (!dc) return;
    const int pw = pic.PixelWidth(), ph = pic.PixelHeight();
    int dx = ToPixelX(x1), dy = ToPixelY(y1);
    int dw = width1 ? ToPixelX(*width1) : pw;
    int dh = height1 ? ToPixelY(*height1) : ph;
    int sx = x2 ? ToPixelX(*x2) : 0, sy = y2 ? ToPixelY(*y2) : 0;
    int sw = width2 ? ToPixelX(*width2) : pw - sx;
    int sh = height2 ? ToPixelY(*height2) : ph - sy;
    if (!width1 && width2) dw = sw;
    if (!height1 && height2) dh = sh;
    DrawPictureTo(dc, pic, dx, dy, dw, dh, sx, sy, sw, sh, static_cast<DWORD>(opcode));
    Drawn();
}

void Surface::Print(std::wstring_view text, bool newline) {
    HDC dc = hDC();
    MeasureDC measure;
    HDC m = dc ? dc : measure.dc;
    if (!dc) PrepareDC(m);
    TEXTMETRICW tm{};
    GetTextMetricsW(m, &tm);
    const int lineHeight = tm.tmHeight + tm.tmExternalLeading;
    auto lines = SplitLines(text);
    for (size_t i = 0; i < lines.size(); ++i) {
        const auto& line = lines[i];
        if (dc) TextOutW(dc, ToPixelX(CurrentX), ToPixelY(CurrentY), line.data(), static_cast<int>(line.size()));
        if (i + 1 < lines.size() || newline) {
            CurrentX = 0;
            CurrentY += static_cast<float>(lineHeight) * UnitsPerPixelY();
        } else {
            SIZE sz{};
            GetTextExtentPoint32W(m, line.data(), static_cast<int>(line.size()), &sz);
            CurrentX += static_cast<float>(sz.cx) * UnitsPerPixelX();
        }
    }
    if (!dc) SelectObject(m, GetStockObject(SYSTEM_FONT));
    Drawn();
}

float Surface::TextWidth(std::wstring_view text) {
    MeasureDC measure;
    PrepareDC(measure.dc);
    int widest = 0;
    for (auto line : SplitLines(text)) {
        SIZE sz{};
        GetTextExtentPoint32W(measure.dc, line.data(), static_cast<int>(line.size()), &sz);
        widest = std::max<int>(widest, sz.cx);
    }
    SelectObject(measure.dc, GetStockObject(SYSTEM_FONT));
    SelectObject(measure.dc, GetStockObject(BLACK_PEN));
    return static_cast<float>(widest) * UnitsPerPixelX();
}

float Surface::TextHeight(std::wstring_view text) {
    MeasureDC measure;
    PrepareDC(measure.dc);
    TEXTMETRICW tm{};
    GetTextMetricsW(measure.dc, &tm);
    SelectObject(measure.dc, GetStockObject(SYSTEM_FONT));
    SelectObject(measure.dc, GetStockObject(BLACK_PEN));
    const auto n = SplitLines(text).size();
    return static_cast<float>((tm.tmHeight + tm.tmExternalLeading) * static_cast<int>(n)) * UnitsPerPixelY();
}

void Surface::Line(float x1, float y1, float x2, float y2, std::optional<int32_t> colour, LineKind kind) {
    const COLORREF rgb = TranslateColour(colour.value_or(foreColor_));
    CurrentX = x2;
    CurrentY = y2;
    HDC dc = hDC();
    if (!dc) return;
    int ax = ToPixelX(x1), ay = ToPixelY(y1), bx = ToPixelX(x2), by = ToPixelY(y2);
    if (kind == LineKind::BoxFilled) {
        RECT r{std::min(ax, bx), std::min(ay, by), std::max(ax, bx) + 1, std::max(ay, by) + 1};
        HBRUSH b = CreateSolidBrush(rgb);
        FillRect(dc, &r, b);
        DeleteObject(b);
    } else {
        HPEN pen = colour ? CreatePen(PS_SOLID, drawWidth_, rgb) : nullptr;
        HGDIOBJ old = pen ? SelectObject(dc, pen) : nullptr;
        if (kind == LineKind::Box) {
            Rectangle(dc, std::min(ax, bx), std::min(ay, by), std::max(ax, bx) + 1, std::max(ay, by) + 1);
        } else {
            MoveToEx(dc, ax, ay, nullptr);
            LineTo(dc, bx, by);
        }
        if (pen) {
            SelectObject(dc, old);
            DeleteObject(pen);
        }
    }
    Drawn();
}

LRESULT Surface::WndProc(UINT m, WPARAM w, LPARAM l) {
    switch (m) {
        case WM_ERASEBKGND:
            return 1;
        case WM_PRINTCLIENT: {
            // PrintWindow and friends: the same picture as on the screen.
            HDC dc = reinterpret_cast<HDC>(w);
            int saved = SaveDC(dc);
            SIZE s = ClientSize();
            if (memDC_)
                BitBlt(dc, 0, 0, s.cx, s.cy, memDC_, 0, 0, SRCCOPY);
            else
                DrawBackground(dc, s.cx, s.cy);
            DrawGraphics(dc);
            RestoreDC(dc, saved);
            return 0;
        }
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(hwnd_, &ps);
            int saved = SaveDC(dc);
            if (memDC_) {
                const RECT& r = ps.rcPaint;
                BitBlt(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, memDC_, r.left, r.top, SRCCOPY);
            } else {
                SIZE s = ClientSize();
                DrawBackground(dc, s.cx, s.cy);
            }
            DrawGraphics(dc);
            RestoreDC(dc, saved);
            EndPaint(hwnd_, &ps);
            // With a persistent image the runtime repaints by itself.
            if (!memDC_) OnPaint();
            return 0;
        }
        case WM_SIZE:
            if (memDC_) MakeImage(true);
            break;
        default:
            break;
    }
    return Window::WndProc(m, w, l);
}

namespace {
int32_t DcValue(HDC dc) { return static_cast<int32_t>(reinterpret_cast<intptr_t>(dc)); }
}  // namespace

Variant Surface::GetProperty(std::wstring_view n) {
    if (NameIs(n, L"hDC")) return DcValue(hDC());
    if (NameIs(n, L"Image")) return Image();
    if (NameIs(n, L"Picture")) return Picture();
    if (NameIs(n, L"AutoRedraw")) return Variant::FromBoolean(AutoRedraw());
    if (NameIs(n, L"DrawWidth")) return DrawWidth();
    if (NameIs(n, L"ForeColor")) return ForeColor();
    if (NameIs(n, L"BackColor")) return BackColor();
    if (NameIs(n, L"ScaleWidth")) return ScaleWidth();
    if (NameIs(n, L"ScaleHeight")) return ScaleHeight();
    if (NameIs(n, L"ScaleMode")) return ScaleMode();
    if (NameIs(n, L"CurrentX")) return CurrentX;
    if (NameIs(n, L"CurrentY")) return CurrentY;
    if (NameIs(n, L"Font")) return Variant(ObjectPtr(font_));
    if (NameIs(n, L"FontBold")) return Variant::FromBoolean(FontBold());
    if (NameIs(n, L"BorderStyle")) return BorderStyle();
    return Window::GetProperty(n);
}

void Surface::LetProperty(std::wstring_view n, const Variant& v) {
    if (NameIs(n, L"Picture")) return Picture(v.AsPicture());
    if (NameIs(n, L"AutoRedraw")) return AutoRedraw(v.AsBoolean());
    if (NameIs(n, L"DrawWidth")) return DrawWidth(v.AsInteger());
    if (NameIs(n, L"ForeColor")) return ForeColor(v.AsLong());
    if (NameIs(n, L"BackColor")) return BackColor(v.AsLong());
    if (NameIs(n, L"ScaleMode")) return ScaleMode(v.AsInteger());
    if (NameIs(n, L"CurrentX")) { CurrentX = v.AsSingle(); return; }
    if (NameIs(n, L"CurrentY")) { CurrentY = v.AsSingle(); return; }
    if (NameIs(n, L"FontBold")) return FontBold(v.AsBoolean());
    if (NameIs(n, L"BorderStyle")) return BorderStyle(v.AsInteger());
    if (NameIs(n, L"Font")) {
        auto f = std::dynamic_pointer_cast<StdFont>(v.AsObject());
        if (!f) Raise(err::TypeMismatch);
        return Font(f);
    }
    Window::LetProperty(n, v);
}

Variant Surface::CallMethod(std::wstring_view n, const std::vector<Variant>& a) {
    auto opt = [&](size_t i) -> std::optional<float> {
        return ArgAt(a, i).IsEmpty() ? std::nullopt : std::optional<float>(ArgAt(a, i).AsSingle());
    };
    if (NameIs(n, L"Cls")) {
        Cls();
        return {};
    }
    if (NameIs(n, L"TextWidth")) return TextWidth(ArgAt(a, 0).AsString());
    if (NameIs(n, L"TextHeight")) return TextHeight(ArgAt(a, 0).AsString());
    if (NameIs(n, L"Print")) {
        Print(ArgAt(a, 0).AsString());
        return {};
    }
    if (NameIs(n, L"PaintPicture")) {
        if (a.size() < 3) Raise(err::InvalidCall);
        PaintPicture(a[0].AsPicture(), a[1].AsSingle(), a[2].AsSingle(), opt(3), opt(4), opt(5), opt(6), opt(7), opt(8),
                     ArgAt(a, 9).IsEmpty() ? SRCCOPY : ArgAt(a, 9).AsLong());
        return {};
    }
    return Window::CallMethod(n, a);
}

}  // namespace forms
