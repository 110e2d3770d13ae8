#include "forms/Picture.h"

#include <fstream>
#include <functional>
#include <utility>
#include <vector>

#include "forms/Error.h"
#include "forms/Runtime.h"

namespace forms {

Picture::Picture(IPicture* p, bool adopt) : p_(p) {
    if (p_ && !adopt) p_->AddRef();
}
Picture::Picture(const Picture& o) : p_(o.p_) {
    if (p_) p_->AddRef();
}
Picture::Picture(Picture&& o) noexcept : p_(o.p_) { o.p_ = nullptr; }
Picture& Picture::operator=(const Picture& o) {
    if (o.p_) o.p_->AddRef();
    IPicture* old = p_;
    p_ = o.p_;
    if (old) old->Release();
    return *this;
}
Picture& Picture::operator=(Picture&& o) noexcept {
    if (this != &o) {
        IPicture* old = p_;
        p_ = o.p_;
        o.p_ = nullptr;
        if (old) old->Release();
    }
    return *this;
}
Picture::~Picture() { Reset(); }

void Picture::Reset() {
    if (p_) {
        IPicture* old = p_;
        p_ = nullptr;
        old->Release();
    }
}

namespace {

// A thin picture that forwards everything to the platform's and runs an
// action of its own when its last reference goes. Interfaces other than the
// picture's and IDispatch are the inner object's own.
class EndingPicture final : public IPicture, public IDispatch {
public:
    EndingPicture(IPicture* inner, std::function<void()> atEnd) : inner_(inner), atEnd_(std::move(atEnd)) {}

    // IUnknown (both bases share it)
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IPicture) {
            *out = static_cast<IPicture*>(this);
        } else if (iid == IID_IDispatch || iid == IID_IPictureDisp) {
            *out = static_cast<IDispatch*>(this);
        } else {
            return inner_->QueryInterface(iid, out);
        }
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&refs_); }
    ULONG STDMETHODCALLTYPE Release() override {
        LONG n = InterlockedDecrement(&refs_);
        if (n == 0) delete this;
        return static_cast<ULONG>(n);
    }

    // IPicture
    HRESULT STDMETHODCALLTYPE get_Handle(OLE_HANDLE* h) override { return inner_->get_Handle(h); }
    HRESULT STDMETHODCALLTYPE get_hPal(OLE_HANDLE* h) override { return inner_->get_hPal(h); }
    HRESULT STDMETHODCALLTYPE get_Type(SHORT* t) override { return inner_->get_Type(t); }
    HRESULT STDMETHODCALLTYPE get_Width(OLE_XSIZE_HIMETRIC* w) override { return inner_->get_Width(w); }
    HRESULT STDMETHODCALLTYPE get_Height(OLE_YSIZE_HIMETRIC* h) override { return inner_->get_Height(h); }
    HRESULT STDMETHODCALLTYPE Render(HDC dc, LONG x, LONG y, LONG cx, LONG cy, OLE_XPOS_HIMETRIC xSrc,
                                     OLE_YPOS_HIMETRIC ySrc, OLE_XSIZE_HIMETRIC cxSrc, OLE_YSIZE_HIMETRIC cySrc,
                                     LPCRECT bounds) override {
        return inner_->Render(dc, x, y, cx, cy, xSrc, ySrc, cxSrc, cySrc, bounds);
    }
    HRESULT STDMETHODCALLTYPE set_hPal(OLE_HANDLE h) override { return inner_->set_hPal(h); }
    HRESULT STDMETHODCALLTYPE get_CurDC(HDC* dc) override { return inner_->get_CurDC(dc); }
    HRESULT STDMETHODCALLTYPE SelectPicture(HDC in, HDC* out, OLE_HANDLE* bmp) override {
        return inner_->SelectPicture(in, out, bmp);
    }
    HRESULT STDMETHODCALLTYPE get_KeepOriginalFormat(WINBOOL* keep) override {
        return inner_->get_KeepOriginalFormat(keep);
    }
    HRESULT STDMETHODCALLTYPE put_KeepOriginalFormat(WINBOOL keep) override {
        return inner_->put_KeepOriginalFormat(keep);
    }
    HRESULT STDMETHODCALLTYPE PictureChanged() override { return inner_->PictureChanged(); }
    HRESULT STDMETHODCALLTYPE SaveAsFile(LPSTREAM stream, WINBOOL memCopy, LONG* size) override {
        return inner_->SaveAsFile(stream, memCopy, size);
    }
    HRESULT STDMETHODCALLTYPE get_Attributes(DWORD* attr) override { return inner_->get_Attributes(attr); }

    // IDispatch, answered by the inner picture's
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* n) override { return WithDispatch([&](IDispatch* d) { return d->GetTypeInfoCount(n); }); }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT i, LCID lcid, ITypeInfo** info) override {
        return WithDispatch([&](IDispatch* d) { return d->GetTypeInfo(i, lcid, info); });
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID lcid, DISPID* ids) override {
        return WithDispatch([&](IDispatch* d) { return d->GetIDsOfNames(iid, names, count, lcid, ids); });
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result,
                                     EXCEPINFO* excep, UINT* argErr) override {
        return WithDispatch([&](IDispatch* d) { return d->Invoke(id, iid, lcid, flags, params, result, excep, argErr); });
    }

private:
    ~EndingPicture() {
        inner_->Release();
        atEnd_();
    }
    template <class F>
    HRESULT WithDispatch(F&& f) {
        IDispatch* d = nullptr;
        if (FAILED(inner_->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&d))) || !d) return E_NOTIMPL;
        HRESULT hr = f(d);
        d->Release();
        return hr;
    }

    LONG refs_ = 1;
    IPicture* inner_;
    std::function<void()> atEnd_;
};

}  // namespace

Picture Picture::EndingWith(const Picture& inner, std::function<void()> atEnd) {
    if (!inner) return {};
    inner.p_->AddRef();
    return Picture(new EndingPicture(inner.p_, std::move(atEnd)), true);
}

namespace {

// One full-size bitmap given back by a picture, for the next one of its size:
// memory touched for the first time costs more than filling it. Plain values,
// so that a picture released after the spare's end (by another static going
// later) can still read them.
struct SpareBitmap {
    HBITMAP bmp;
    bool ended;
} spare{nullptr, false};

struct SpareEnd {
    ~SpareEnd() {
        if (spare.bmp) DeleteObject(spare.bmp);
        spare = {nullptr, true};
    }
} spareEnd;

}  // namespace

Picture Picture::FromScreenBitmap(int w, int h, const std::function<void(HBITMAP)>& fill) {
    HDC screen = GetDC(nullptr);
    HBITMAP bmp = nullptr;
    BITMAP bm{};
    if (spare.bmp && GetObjectW(spare.bmp, sizeof bm, &bm) && bm.bmWidth == w && bm.bmHeight == h &&
        bm.bmBitsPixel == GetDeviceCaps(screen, BITSPIXEL) * GetDeviceCaps(screen, PLANES)) {
        bmp = spare.bmp;
        spare.bmp = nullptr;
    } else {
        bmp = CreateCompatibleBitmap(screen, w, h);
    }
    ReleaseDC(nullptr, screen);
    if (!bmp) return {};
    fill(bmp);
    Picture inner = FromBitmap(bmp, nullptr, false);
    if (!inner) {
        DeleteObject(bmp);
        return {};
    }
    return EndingWith(inner, [bmp] {
        // A bitmap still selected into a device context elsewhere could not be
        // drawn into by the next picture, and after the spare's end nobody
        // takes it: it goes as it always went.
        HDC probe = CreateCompatibleDC(nullptr);
        HGDIOBJ old = probe ? SelectObject(probe, bmp) : nullptr;
        if (old) SelectObject(probe, old);
        if (probe) DeleteDC(probe);
        if (!old || spare.ended) {
            DeleteObject(bmp);
            return;
        }
        if (spare.bmp) DeleteObject(spare.bmp);
        spare.bmp = bmp;
    });
}

Picture Picture::FromBitmap(HBITMAP bmp, HPALETTE pal, bool own) {
    PICTDESC pd{};
    pd.cbSizeofstruct = sizeof(PICTDESC);
    pd.picType = PICTYPE_BITMAP;
    pd.bmp.hbitmap = bmp;
    pd.bmp.hpal = pal;
    IPicture* p = nullptr;
    if (FAILED(OleCreatePictureIndirect(&pd, IID_IPicture, own ? TRUE : FALSE, reinterpret_cast<void**>(&p))))
        return {};
    return Picture(p, true);
}

Picture Picture::FromIcon(HICON icon, bool own) {
    PICTDESC pd{};
    pd.cbSizeofstruct = sizeof(PICTDESC);
    pd.picType = PICTYPE_ICON;
    pd.icon.hicon = icon;
    IPicture* p = nullptr;
    if (FAILED(OleCreatePictureIndirect(&pd, IID_IPicture, own ? TRUE : FALSE, reinterpret_cast<void**>(&p))))
        return {};
    return Picture(p, true);
}

OLE_HANDLE Picture::Handle() const {
    OLE_HANDLE h = 0;
    if (p_) p_->get_Handle(&h);
    return h;
}

HPALETTE Picture::hPal() const {
    OLE_HANDLE h = 0;
    if (p_) p_->get_hPal(&h);
    return reinterpret_cast<HPALETTE>(static_cast<uintptr_t>(h));
}

int16_t Picture::Type() const {
    SHORT t = PICTYPE_NONE;
    if (p_) p_->get_Type(&t);
    return t;
}

int32_t Picture::Width() const {
    OLE_XSIZE_HIMETRIC w = 0;
    if (p_) p_->get_Width(&w);
    return w;
}

int32_t Picture::Height() const {
    OLE_YSIZE_HIMETRIC h = 0;
    if (p_) p_->get_Height(&h);
    return h;
}

int32_t Picture::PixelWidth() const {
    if (HBITMAP b = Bitmap()) {
        BITMAP bm{};
        if (GetObjectW(b, sizeof bm, &bm)) return bm.bmWidth;
    }
    return HimetricToPixelsX(Width());
}

int32_t Picture::PixelHeight() const {
    if (HBITMAP b = Bitmap()) {
        BITMAP bm{};
        if (GetObjectW(b, sizeof bm, &bm)) return bm.bmHeight;
    }
    return HimetricToPixelsY(Height());
}

namespace {
int ScreenDpi(int index) {
    HDC dc = GetDC(nullptr);
    int v = GetDeviceCaps(dc, index);
    ReleaseDC(nullptr, dc);
    return v > 0 ? v : 96;
}
}  // namespace

int32_t HimetricToPixelsX(int32_t v) { return MulDiv(v, ScreenDpi(LOGPIXELSX), 2540); }
int32_t HimetricToPixelsY(int32_t v) { return MulDiv(v, ScreenDpi(LOGPIXELSY), 2540); }
int32_t PixelsToHimetricX(int32_t v) { return MulDiv(v, 2540, ScreenDpi(LOGPIXELSX)); }
int32_t PixelsToHimetricY(int32_t v) { return MulDiv(v, 2540, ScreenDpi(LOGPIXELSY)); }

Picture LoadPicture(const std::wstring& path) {
    if (path.empty()) return {};
    HANDLE f = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) {
        DWORD e = GetLastError();
        if (e == ERROR_FILE_NOT_FOUND || e == ERROR_PATH_NOT_FOUND) Raise(err::FileNotFound);
        Raise(err::FileAccess);
    }
    DWORD size = GetFileSize(f, nullptr);
    HGLOBAL mem = (size != INVALID_FILE_SIZE && size > 0) ? GlobalAlloc(GMEM_MOVEABLE, size) : nullptr;
    bool ok = false;
    if (mem) {
        void* data = GlobalLock(mem);
        DWORD got = 0;
        ok = ReadFile(f, data, size, &got, nullptr) && got == size;
        GlobalUnlock(mem);
    }
    CloseHandle(f);
    if (!ok) {
        if (mem) GlobalFree(mem);
        Raise(err::InvalidPicture);
    }
    IStream* stream = nullptr;
    if (FAILED(CreateStreamOnHGlobal(mem, TRUE, &stream))) {
        GlobalFree(mem);
        Raise(err::InvalidPicture);
    }
    IPicture* p = nullptr;
    HRESULT hr = OleLoadPicture(stream, static_cast<LONG>(size), FALSE, IID_IPicture, reinterpret_cast<void**>(&p));
    stream->Release();
    if (FAILED(hr) || !p) Raise(err::InvalidPicture);
    return Picture(p, true);
}

std::string BitmapFileBytes(HBITMAP bmp) {
    BITMAP bm{};
    if (!bmp || !GetObjectW(bmp, sizeof bm, &bm)) return {};
    const int w = bm.bmWidth, h = bm.bmHeight;
    const uint32_t stride = ((static_cast<uint32_t>(w) * 3 + 3) & ~3u);
    const uint32_t imageSize = stride * static_cast<uint32_t>(h);
    BITMAPFILEHEADER fh{};
    BITMAPINFOHEADER ih{};
    ih.biSize = sizeof ih;
    ih.biWidth = w;
    ih.biHeight = h;
    ih.biPlanes = 1;
    ih.biBitCount = 24;
    ih.biCompression = BI_RGB;
    ih.biSizeImage = imageSize;
    ih.biXPelsPerMeter = ih.biYPelsPerMeter = 3780;  // 96 dpi
    fh.bfType = 0x4D42;
    fh.bfOffBits = sizeof fh + sizeof ih;
    fh.bfSize = fh.bfOffBits + imageSize;
    std::string out(fh.bfSize, '\0');
    memcpy(out.data(), &fh, sizeof fh);
    memcpy(out.data() + sizeof fh, &ih, sizeof ih);
    HDC dc = GetDC(nullptr);
    BITMAPINFO bi{};
    bi.bmiHeader = ih;
    int rows = GetDIBits(dc, bmp, 0, h, out.data() + fh.bfOffBits, &bi, DIB_RGB_COLORS);
    ReleaseDC(nullptr, dc);
    if (rows != h) return {};
    return out;
}

// A device-dependent copy of a bitmap, made through its bits so that it works
// while the source is still selected into its owner's context (a canvas with
// a persistent image keeps its bitmap selected).
HBITMAP CopyBitmap(HBITMAP src) {
    BITMAP bm{};
    if (!GetObjectW(src, sizeof bm, &bm) || bm.bmWidth <= 0 || bm.bmHeight <= 0) return nullptr;
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = bm.bmWidth;
    bi.bmiHeader.biHeight = bm.bmHeight;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    std::vector<uint32_t> bits(static_cast<size_t>(bm.bmWidth) * static_cast<size_t>(bm.bmHeight));
    HDC screen = GetDC(nullptr);
    HBITMAP copy = nullptr;
    if (GetDIBits(screen, src, 0, bm.bmHeight, bits.data(), &bi, DIB_RGB_COLORS) == bm.bmHeight) {
        copy = CreateCompatibleBitmap(screen, bm.bmWidth, bm.bmHeight);
        if (copy && SetDIBits(screen, copy, 0, bm.bmHeight, bits.data(), &bi, DIB_RGB_COLORS) != bm.bmHeight) {
            DeleteObject(copy);
            copy = nullptr;
        }
    }
    ReleaseDC(nullptr, screen);
    return copy;
}

void SavePicture(const Picture& pic, const std::wstring& path) {
    if (!pic || pic.Handle() == 0) Raise(err::InvalidPicture);
    std::string bytes;
    if (pic.Type() == picBitmap) {
        bytes = BitmapFileBytes(pic.Bitmap());
    } else {
        // Icons and metafiles keep their own format.
        IStream* stream = nullptr;
        if (SUCCEEDED(CreateStreamOnHGlobal(nullptr, TRUE, &stream))) {
            LONG cb = 0;
            if (SUCCEEDED(pic.get()->SaveAsFile(stream, TRUE, &cb)) && cb > 0) {
                HGLOBAL mem = nullptr;
                GetHGlobalFromStream(stream, &mem);
                bytes.assign(static_cast<const char*>(GlobalLock(mem)), cb);
                GlobalUnlock(mem);
            }
            stream->Release();
        }
    }
    if (bytes.empty()) Raise(err::InvalidPicture);
    HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE) {
        DWORD e = GetLastError();
        Raise(e == ERROR_PATH_NOT_FOUND ? err::PathNotFound : err::FileAccess);
    }
    DWORD put = 0;
    bool ok = WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &put, nullptr) && put == bytes.size();
    CloseHandle(f);
    if (!ok) {
        DeleteFileW(path.c_str());
        Raise(err::FileAccess);
    }
}

Picture LoadResPicture(int id, int16_t kind) {
    HINSTANCE inst = GetModuleHandleW(nullptr);
    Picture pic;
    switch (kind) {
        case resBitmap: {
            HBITMAP b = static_cast<HBITMAP>(LoadImageW(inst, MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
            if (b) pic = Picture::FromBitmap(b, nullptr, true);
            break;
        }
        case resIcon: {
            HICON i = static_cast<HICON>(LoadImageW(inst, MAKEINTRESOURCEW(id), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE));
            if (i) pic = Picture::FromIcon(i, true);
            break;
        }
        case resCursor: {
            HCURSOR c = static_cast<HCURSOR>(LoadImageW(inst, MAKEINTRESOURCEW(id), IMAGE_CURSOR, 0, 0, LR_DEFAULTSIZE));
            if (c) pic = Picture::FromIcon(reinterpret_cast<HICON>(c), true);
            break;
        }
        default:
            Raise(err::InvalidCall);
    }
    if (!pic) Raise(326, {}, L"Resource with identifier '" + std::to_wstring(id) + L"' not found");
    return pic;
}

}  // namespace forms
