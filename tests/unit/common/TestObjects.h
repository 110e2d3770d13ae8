#pragma once
// Small objects reached by member name, over raw windows and memory
// contexts, for tests of code that takes forms and picture boxes by name.
#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "forms/Object.h"
#include "forms/Picture.h"

namespace testsupport {

// A window reached by name: "hwnd", "Width"/"Height"/"Left"/"Top" in twips,
// "Move" (twips), "hDC" (the window's own context, kept for the object's
// life), "DrawWidth" and "ForeColor" (select a pen of that width and colour),
// "AutoRedraw" (kept). Every Let is recorded in Lets.
class WindowObject : public forms::Object {
public:
    explicit WindowObject(HWND hwnd);
    ~WindowObject() override;
    WindowObject(const WindowObject&) = delete;
    WindowObject& operator=(const WindowObject&) = delete;

    forms::Variant GetProperty(std::wstring_view name) override;
    void LetProperty(std::wstring_view name, const forms::Variant& value) override;
    forms::Variant CallMethod(std::wstring_view name, const std::vector<forms::Variant>& args) override;

    HWND hwnd() const { return hwnd_; }
    std::map<std::wstring, forms::Variant> Lets;

private:
    void SelectPen();
    HWND hwnd_;
    HDC dc_ = nullptr;
    HPEN pen_ = nullptr;
    HGDIOBJ oldPen_ = nullptr;
    int drawWidth_ = 1;
    COLORREF foreColor_ = 0;
    forms::Boolean autoRedraw_ = forms::False;
};

// A picture box stand-in with a persistent image: "hDC" draws into a memory
// bitmap, "Image" is a picture of a copy of it, a "Picture" assigned is kept
// and also becomes the image, which takes its size.
class CanvasObject : public forms::Object {
public:
    CanvasObject(int w, int h, COLORREF fill);
    ~CanvasObject() override;
    CanvasObject(const CanvasObject&) = delete;
    CanvasObject& operator=(const CanvasObject&) = delete;

    forms::Variant GetProperty(std::wstring_view name) override;
    void LetProperty(std::wstring_view name, const forms::Variant& value) override;

    HDC dc() const { return dc_; }
    HBITMAP image() const { return bmp_; }
    const forms::Picture& picture() const { return picture_; }
    void Fill(COLORREF c);

private:
    void Resize(int w, int h);
    HDC dc_ = nullptr;
    HBITMAP bmp_ = nullptr;
    HGDIOBJ oldBmp_ = nullptr;
    int w_ = 0, h_ = 0;
    forms::Picture picture_;
};

// A colour (COLORREF) as the pixel lists below hold it, 0x00RRGGBB.
constexpr uint32_t RgbOf(COLORREF c) { return GetRValue(c) << 16 | GetGValue(c) << 8 | GetBValue(c); }

// A 32-bit copy of a bitmap's pixels, top-down, 0x00RRGGBB.
std::vector<uint32_t> PixelsOf(HBITMAP bmp, int* w = nullptr, int* h = nullptr);

// The box (inclusive) around the pixels of a bitmap, or of a part of it,
// that are not the colour (0x00RRGGBB); right below left when there are none.
RECT InkBox(HBITMAP bmp, uint32_t back, const RECT* within = nullptr);

// The ink box of the pointer image drawn at (0, 0) over a colour
// (COLORREF), where a capture's drawn pointer is measured against.
RECT PointerInk(HCURSOR cursor, COLORREF back);

// The corners picture (TestSupport.h) in a bitmap of 32 bits a pixel.
forms::Picture CornersPicture(int w, int h, uint32_t seed);
// What the primary screen shows now, top row first, 0x00RRGGBB.
std::vector<uint32_t> ScreenPixels();

// "" when got holds as many pixels as want, w to a row, and each is within
// tolerance of its own in every channel, looking only inside `only` when
// given and never inside `but`; otherwise how many are not, and the first.
std::string Differs(const std::vector<uint32_t>& got, const std::vector<uint32_t>& want, int w, int tolerance = 0,
                    const RECT* only = nullptr, const RECT* but = nullptr);
// The same for a picture file, told by its name: a ".bmp" exactly, any
// other a JPEG, written at quality 100, within 8 levels.
std::string FileDiffers(const std::wstring& path, const std::vector<uint32_t>& want, int w, const RECT* only = nullptr,
                        const RECT* but = nullptr);

// "" when the bitmap is w x h pixels of one colour (0x00RRGGBB), black in
// its first offLeft columns and offTop rows; otherwise what is wrong.
std::string FilledWith(HBITMAP bmp, int w, int h, uint32_t rgb, int offLeft = 0, int offTop = 0);

}  // namespace testsupport
