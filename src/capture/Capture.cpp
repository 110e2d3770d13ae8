#include "capture/Capture.h"

#include <vector>

#include "forms/Runtime.h"

namespace Capture {

namespace {

// The platform's picture deletes its bitmap when it goes but leaves its
// palette behind. This thin picture forwards everything to the platform's and
// deletes the palette when its own last reference goes. Interfaces other than
// the picture's and IDispatch are the inner object's own.
class PaletteOwningPicture final : public IPicture, public IDispatch {
public:
    PaletteOwningPicture(IPicture* inner, HPALETTE pal) : inner_(inner), pal_(pal) {}

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
    ~PaletteOwningPicture() {
        inner_->Release();
        DeleteObject(pal_);
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
    HPALETTE pal_;
};

}  // namespace

forms::Picture PictureFromBitmap(HBITMAP bmp, HPALETTE pal) {
    forms::Picture pic = forms::Picture::FromBitmap(bmp, pal, true);
    if (!pic || !pal) return pic;
    IPicture* inner = pic.get();
    inner->AddRef();
    return forms::Picture(new PaletteOwningPicture(inner, pal), true);
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

forms::Picture GrabWindowArea(HWND hWnd, forms::Boolean ClientOnly, int32_t Left, int32_t Top, int32_t Width,
                              int32_t Height) {
    HDC source = forms::IsTrue(ClientOnly) ? GetDC(hWnd) : GetWindowDC(hWnd);
    HDC memory = CreateCompatibleDC(source);
    HBITMAP bmp = CreateCompatibleBitmap(source, Width, Height);
    HGDIOBJ oldBmp = SelectObject(memory, bmp);
    HPALETTE pal = SystemPaletteCopy(source);
    HPALETTE oldPal = nullptr;
    if (pal) {
        oldPal = SelectPalette(memory, pal, FALSE);
        RealizePalette(memory);
    }
    BitBlt(memory, 0, 0, Width, Height, source, Left, Top, SRCCOPY);
    if (oldBmp) SelectObject(memory, oldBmp);
    if (pal) SelectPalette(memory, oldPal, FALSE);
    DeleteDC(memory);
    ReleaseDC(hWnd, source);
    forms::Picture pic = PictureFromBitmap(bmp, pal);
    if (!pic) {
        // Nobody took the handles over.
        if (bmp) DeleteObject(bmp);
        if (pal) DeleteObject(pal);
    }
    return pic;
}

forms::Picture GrabDesktop() {
    int32_t w = forms::IntDiv(forms::Screen.Width(), forms::Screen.TwipsPerPixelX());
    int32_t h = forms::IntDiv(forms::Screen.Height(), forms::Screen.TwipsPerPixelY());
    return GrabWindowArea(GetDesktopWindow(), forms::False, 0, 0, w, h);
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
