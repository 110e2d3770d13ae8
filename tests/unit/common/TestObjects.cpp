#include "unit/common/TestObjects.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "forms/Error.h"
#include "forms/Runtime.h"
#include "unit/common/JpegCheck.h"
#include "unit/common/TestSupport.h"

namespace testsupport {

namespace {
int Tpp() { return static_cast<int>(forms::Screen.TwipsPerPixelX()); }
int32_t HandleValue(const void* h) { return static_cast<int32_t>(reinterpret_cast<intptr_t>(h)); }
}  // namespace

WindowObject::WindowObject(HWND hwnd) : hwnd_(hwnd) {}

WindowObject::~WindowObject() {
    if (dc_) {
        if (oldPen_) SelectObject(dc_, oldPen_);
        ReleaseDC(hwnd_, dc_);
    }
    if (pen_) DeleteObject(pen_);
}

void WindowObject::SelectPen() {
    if (!dc_) GetProperty(L"hDC");
    HPEN pen = CreatePen(PS_SOLID, drawWidth_, foreColor_);
    HGDIOBJ old = SelectObject(dc_, pen);
    if (!oldPen_) oldPen_ = old;
    if (pen_) DeleteObject(pen_);
    pen_ = pen;
}

forms::Variant WindowObject::GetProperty(std::wstring_view name) {
    RECT r{};
    GetWindowRect(hwnd_, &r);
    POINT tl{r.left, r.top};
    if (HWND parent = GetParent(hwnd_)) ScreenToClient(parent, &tl);
    if (forms::NameIs(name, L"hwnd")) return HandleValue(hwnd_);
    if (forms::NameIs(name, L"Width")) return static_cast<int32_t>((r.right - r.left) * Tpp());
    if (forms::NameIs(name, L"Height")) return static_cast<int32_t>((r.bottom - r.top) * Tpp());
    if (forms::NameIs(name, L"Left")) return static_cast<int32_t>(tl.x * Tpp());
    if (forms::NameIs(name, L"Top")) return static_cast<int32_t>(tl.y * Tpp());
    if (forms::NameIs(name, L"AutoRedraw")) return forms::Variant::FromBoolean(autoRedraw_);
    if (forms::NameIs(name, L"DrawWidth")) return static_cast<int16_t>(drawWidth_);
    if (forms::NameIs(name, L"ForeColor")) return static_cast<int32_t>(foreColor_);
    if (forms::NameIs(name, L"hDC")) {
        if (!dc_) dc_ = GetDC(hwnd_);
        return HandleValue(dc_);
    }
    return Object::GetProperty(name);
}

void WindowObject::LetProperty(std::wstring_view name, const forms::Variant& value) {
    if (forms::NameIs(name, L"AutoRedraw")) autoRedraw_ = value.AsBoolean();
    else if (forms::NameIs(name, L"DrawWidth")) drawWidth_ = value.AsInteger(), SelectPen();
    else if (forms::NameIs(name, L"ForeColor")) foreColor_ = static_cast<COLORREF>(value.AsLong()), SelectPen();
    else Object::LetProperty(name, value);
    Lets[std::wstring(name)] = value;
}

forms::Variant WindowObject::CallMethod(std::wstring_view name, const std::vector<forms::Variant>& args) {
    if (!forms::NameIs(name, L"Move")) return Object::CallMethod(name, args);
    RECT r{};
    GetWindowRect(hwnd_, &r);
    int x = static_cast<int>(forms::RoundHalfEven(forms::ArgAt(args, 0).AsDouble() / Tpp()));
    int y = static_cast<int>(forms::RoundHalfEven(forms::ArgAt(args, 1).AsDouble() / Tpp()));
    int w = args.size() > 2 ? static_cast<int>(args[2].AsDouble() / Tpp()) : r.right - r.left;
    int h = args.size() > 3 ? static_cast<int>(args[3].AsDouble() / Tpp()) : r.bottom - r.top;
    MoveWindow(hwnd_, x, y, w, h, TRUE);
    return {};
}

CanvasObject::CanvasObject(int w, int h, COLORREF fill) {
    HDC screen = GetDC(nullptr);
    dc_ = CreateCompatibleDC(screen);
    ReleaseDC(nullptr, screen);
    Resize(w, h);
    Fill(fill);
}

CanvasObject::~CanvasObject() {
    picture_.Reset();
    SelectObject(dc_, oldBmp_);
    DeleteObject(bmp_);
    DeleteDC(dc_);
}

void CanvasObject::Resize(int w, int h) {
    HDC screen = GetDC(nullptr);
    HBITMAP bmp = CreateCompatibleBitmap(screen, w, h);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc_, bmp);
    if (!oldBmp_) oldBmp_ = old;
    if (bmp_) DeleteObject(bmp_);
    bmp_ = bmp;
    w_ = w;
    h_ = h;
}

void CanvasObject::Fill(COLORREF c) {
    RECT r{0, 0, w_, h_};
    HBRUSH b = CreateSolidBrush(c);
    FillRect(dc_, &r, b);
    DeleteObject(b);
}

forms::Variant CanvasObject::GetProperty(std::wstring_view name) {
    if (forms::NameIs(name, L"hDC")) return HandleValue(dc_);
    if (forms::NameIs(name, L"Picture")) return picture_;
    if (forms::NameIs(name, L"Image")) {
        HBITMAP copy = CreateCompatibleBitmap(dc_, w_, h_);
        HDC to = CreateCompatibleDC(dc_);
        HGDIOBJ old = SelectObject(to, copy);
        BitBlt(to, 0, 0, w_, h_, dc_, 0, 0, SRCCOPY);
        SelectObject(to, old);
        DeleteDC(to);
        return forms::Picture::FromBitmap(copy, nullptr, true);
    }
    return Object::GetProperty(name);
}

void CanvasObject::LetProperty(std::wstring_view name, const forms::Variant& value) {
    if (!forms::NameIs(name, L"Picture")) return Object::LetProperty(name, value);
    picture_ = value.AsPicture();
    if (HBITMAP b = picture_.Bitmap()) {
        Resize(picture_.PixelWidth(), picture_.PixelHeight());
        HDC src = CreateCompatibleDC(dc_);
        HGDIOBJ old = SelectObject(src, b);
        BitBlt(dc_, 0, 0, w_, h_, src, 0, 0, SRCCOPY);
        SelectObject(src, old);
        DeleteDC(src);
    }
}

std::vector<uint32_t> PixelsOf(HBITMAP bmp, int* pw, int* ph) {
    BITMAP bm{};
    GetObjectW(bmp, sizeof bm, &bm);
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = bm.bmWidth;
    bi.bmiHeader.biHeight = -bm.bmHeight;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    std::vector<uint32_t> px(static_cast<size_t>(bm.bmWidth) * bm.bmHeight);
    HDC dc = GetDC(nullptr);
    GetDIBits(dc, bmp, 0, bm.bmHeight, px.data(), &bi, DIB_RGB_COLORS);
    ReleaseDC(nullptr, dc);
    for (auto& p : px) p &= 0xFFFFFF;
    if (pw) *pw = bm.bmWidth;
    if (ph) *ph = bm.bmHeight;
    return px;
}

forms::Picture CornersPicture(int w, int h, uint32_t seed) {
    return forms::Picture::FromBitmap(CreateBitmap(w, h, 1, 32, CornersPixels(w, h, seed).data()));
}

std::vector<uint32_t> ScreenPixels() {
    const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    HDC screen = GetDC(nullptr), mem = CreateCompatibleDC(screen);
    HBITMAP bmp = CreateCompatibleBitmap(screen, w, h);
    HGDIOBJ old = SelectObject(mem, bmp);
    BitBlt(mem, 0, 0, w, h, screen, 0, 0, SRCCOPY);
    SelectObject(mem, old);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    std::vector<uint32_t> px = PixelsOf(bmp);
    DeleteObject(bmp);
    return px;
}

std::string Differs(const std::vector<uint32_t>& got, const std::vector<uint32_t>& want, int w, int tolerance,
                    const RECT* only, const RECT* but) {
    if (got.size() != want.size())
        return std::to_string(got.size()) + " pixels where " + std::to_string(want.size()) + " were expected";
    size_t wrong = 0;
    char first[80] = {};
    for (size_t i = 0; i < got.size(); ++i) {
        const POINT p{static_cast<LONG>(i % w), static_cast<LONG>(i / w)};
        if ((only && !PtInRect(only, p)) || (but && PtInRect(but, p))) continue;
        auto off = [&](int s) {
            return std::abs(static_cast<int>((got[i] >> s & 255) - (want[i] >> s & 255))) > tolerance;
        };
        if ((off(0) || off(8) || off(16)) && wrong++ == 0)
            snprintf(first, sizeof first, "the first at %ld,%ld is %06X, not %06X", p.x, p.y,
                     static_cast<unsigned>(got[i]), static_cast<unsigned>(want[i]));
    }
    return wrong ? std::to_string(wrong) + " pixels differ; " + first : "";
}

std::string FileDiffers(const std::wstring& path, const std::vector<uint32_t>& want, int w, const RECT* only,
                        const RECT* but) {
    if (path.size() > 4 && _wcsicmp(path.c_str() + path.size() - 4, L".bmp") == 0)
        return Differs(PixelsOf(forms::LoadPicture(path).Bitmap()), want, w, 0, only, but);
    return Differs(DecodeJpegFile(path).Pixels(), want, w, 8, only, but);
}

RECT InkBox(HBITMAP bmp, uint32_t back, const RECT* within) {
    int w = 0, h = 0;
    const std::vector<uint32_t> px = PixelsOf(bmp, &w, &h);
    RECT part{0, 0, w, h};
    if (within) IntersectRect(&part, &part, within);
    RECT box{w, h, -1, -1};
    for (int y = part.top; y < part.bottom; ++y)
        for (int x = part.left; x < part.right; ++x)
            if (px[static_cast<size_t>(y) * w + x] != back) {
                box.left = std::min<LONG>(box.left, x);
                box.top = std::min<LONG>(box.top, y);
                box.right = std::max<LONG>(box.right, x);
                box.bottom = std::max<LONG>(box.bottom, y);
            }
    return box;
}

RECT PointerInk(HCURSOR cursor, COLORREF back) {
    CanvasObject reference(64, 64, back);
    DrawIcon(reference.dc(), 0, 0, cursor);
    return InkBox(reference.image(), RgbOf(back));
}

std::string FilledWith(HBITMAP bmp, int w, int h, uint32_t rgb, int offLeft, int offTop) {
    int pw = 0, ph = 0;
    const std::vector<uint32_t> px = PixelsOf(bmp, &pw, &ph);
    if (pw != w || ph != h) return "size " + std::to_string(pw) + " x " + std::to_string(ph);
    std::vector<uint32_t> want(px.size(), rgb);
    for (size_t i = 0; i < want.size(); ++i)
        if (static_cast<int>(i % w) < offLeft || static_cast<int>(i / w) < offTop) want[i] = 0;
    return Differs(px, want, w);
}

}  // namespace testsupport
