#pragma once
// Pictures are the platform's reference-counted OLE picture objects; this is
// the one smart pointer through which the system holds them.
#include <windows.h>
#include <ole2.h>
#include <olectl.h>

#include <cstdint>
#include <functional>
#include <string>

namespace forms {

enum PictureType : int16_t { picNone = 0, picBitmap = 1, picMetafile = 2, picIcon = 3, picEnhMetafile = 4 };

class Picture {
public:
    Picture() = default;
    // Takes a reference of its own to p (unless adopt is true: the caller's
    // reference is handed over).
    explicit Picture(IPicture* p, bool adopt = false);
    Picture(const Picture& o);
    Picture(Picture&& o) noexcept;
    Picture& operator=(const Picture& o);
    Picture& operator=(Picture&& o) noexcept;
    ~Picture();

    // Makes a picture that owns the bitmap and palette (when own is true).
    // Returns an empty picture when the platform cannot make one.
    static Picture FromBitmap(HBITMAP bmp, HPALETTE pal = nullptr, bool own = true);
    static Picture FromIcon(HICON icon, bool own = true);
    // The same picture, which runs atEnd when its last reference goes.
    static Picture EndingWith(const Picture& inner, std::function<void()> atEnd);
    // A picture of a new screen-compatible bitmap of w x h pixels, which fill
    // must draw completely. The bitmap of the last such picture to go is
    // used again where the size allows.
    static Picture FromScreenBitmap(int w, int h, const std::function<void(HBITMAP)>& fill);

    explicit operator bool() const { return p_ != nullptr; }
    IPicture* get() const { return p_; }
    void Reset();

    // The picture's default value: its bitmap (or icon) handle, 0 when empty.
    OLE_HANDLE Handle() const;
    HBITMAP Bitmap() const { return Type() == picBitmap ? reinterpret_cast<HBITMAP>(static_cast<uintptr_t>(Handle())) : nullptr; }
    HPALETTE hPal() const;
    int16_t Type() const;
    // Size in HIMETRIC (the runtime's picture units) and in pixels.
    int32_t Width() const;
    int32_t Height() const;
    int32_t PixelWidth() const;
    int32_t PixelHeight() const;

    bool operator==(const Picture& o) const { return p_ == o.p_; }

private:
    IPicture* p_ = nullptr;
};

// Loads a picture file (BMP, ICO, CUR, GIF, JPEG, WMF); "" gives an empty
// picture. A missing file raises 53, unreadable picture data 481.
Picture LoadPicture(const std::wstring& path = {});
// Writes the picture's bitmap as a Windows BMP file (icons as .ico data).
// A picture without a bitmap raises 481; a file that cannot be written 75.
void SavePicture(const Picture& pic, const std::wstring& path);

enum ResType : int16_t { resBitmap = 0, resIcon = 1, resCursor = 2 };
// Loads a bitmap, icon or cursor resource of the program; a missing one
// raises 326 (resource not found).
Picture LoadResPicture(int id, int16_t kind);

// A 24-bit copy of a bitmap in BMP file layout (file header, info header,
// bottom-up rows padded to 4 bytes).
std::string BitmapFileBytes(HBITMAP bmp);

// A device-dependent copy of a bitmap, made through its bits so that it works
// while the source is still selected into its owner's context; null when the
// copy cannot be made. The caller owns the copy.
HBITMAP CopyBitmap(HBITMAP src);

// HIMETRIC <-> pixels at the screen's resolution.
int32_t HimetricToPixelsX(int32_t v);
int32_t HimetricToPixelsY(int32_t v);
int32_t PixelsToHimetricX(int32_t v);
int32_t PixelsToHimetricY(int32_t v);

}  // namespace forms
