#include "forms/Picture.h"

#include <fstream>
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
