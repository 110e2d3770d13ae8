#include "app/Skin.h"

#include "forms/Error.h"
#include "forms/Runtime.h"
#include "res/resource_ids.h"

namespace Skin {

namespace {
// The pictures are drawn for 96 dpi, where a pixel is 15 twips.
constexpr float kDrawnTwipsPerPixel = 15;

int ScreenPixels(int drawn, float twipsPerPixel) {
    return static_cast<int>(forms::RoundHalfEven(drawn * kDrawnTwipsPerPixel / twipsPerPixel));
}

// The picture stretched over the twips it covers at 96 dpi, so that at any
// scaling it fills the place laid out for it as the captions beside it do;
// the picture itself where nothing changes or the stretch cannot be made.
forms::Picture ToScreenScale(const forms::Picture& drawn) {
    HBITMAP source = drawn.Bitmap();
    const int w = drawn.PixelWidth(), h = drawn.PixelHeight();
    const int sw = ScreenPixels(w, forms::Screen.TwipsPerPixelX()), sh = ScreenPixels(h, forms::Screen.TwipsPerPixelY());
    if (!source || (sw == w && sh == h)) return drawn;
    HDC screen = GetDC(nullptr);
    HBITMAP bmp = CreateCompatibleBitmap(screen, sw, sh);
    HDC from = CreateCompatibleDC(screen), to = CreateCompatibleDC(screen);
    ReleaseDC(nullptr, screen);
    HGDIOBJ oldFrom = from ? SelectObject(from, source) : nullptr;
    HGDIOBJ oldTo = to && bmp ? SelectObject(to, bmp) : nullptr;
    bool stretched = false;
    if (oldFrom && oldTo) {
        SetStretchBltMode(to, HALFTONE);
        SetBrushOrgEx(to, 0, 0, nullptr);
        stretched = StretchBlt(to, 0, 0, sw, sh, from, 0, 0, w, h, SRCCOPY) != FALSE;
    }
    if (oldFrom) SelectObject(from, oldFrom);
    if (oldTo) SelectObject(to, oldTo);
    if (from) DeleteDC(from);
    if (to) DeleteDC(to);
    forms::Picture scaled = stretched ? forms::Picture::FromBitmap(bmp) : forms::Picture();
    if (scaled) return scaled;
    if (bmp) DeleteObject(bmp);
    return drawn;
}

forms::Picture Resource(int id) {
    forms::Picture p;
    forms::PassOver([&] { p = ToScreenScale(forms::LoadResPicture(id, forms::resBitmap)); });
    return p;
}
}  // namespace

forms::Picture PageButton(int index, bool hover) { return Resource(IDB_PAGE_FIRST + index * 2 + (hover ? 1 : 0)); }
forms::Picture ModeButton(int index, bool hover) { return Resource(IDB_MODE_FIRST + index * 2 + (hover ? 1 : 0)); }
forms::Picture ActionButton(int index, bool hover) { return Resource(IDB_ACTION_FIRST + index * 2 + (hover ? 1 : 0)); }
forms::Picture AboutPicture() { return Resource(IDB_ABOUT); }

void PagePanel(forms::PictureBox& pic) {
    pic.BorderStyle(0);
    pic.Move(0, 0, PageWidth, PageHeight);
    pic.BackColor(PageColour);
}

void Heading(forms::Label& label, const std::wstring& text) {
    Caption(label, text, 420, 300, 6000, HeadingColour, 16, true);
}

void Caption(forms::Label& label, const std::wstring& text, float left, float top, float width, int32_t colour,
             float size, bool bold) {
    label.BackStyle(0);
    label.ForeColor(colour);
    label.Font(std::make_shared<forms::StdFont>(L"Verdana", size, bold));
    label.Caption(text);
    label.Move(left, top, width, size * 20 * 1.6f);
}

void ImageButton(BtnHover& button, const forms::Picture& normal, const forms::Picture& over, const std::wstring& tip,
                 int32_t back, float left, float top, float width, float height, int16_t offset) {
    forms::PropertyBag bag;
    bag.WriteProperty(L"BackColor", back, 0);
    bag.WriteProperty(L"FrameColor", back, 0);
    bag.WriteProperty(L"FrameOverColor", back, 0);
    bag.WriteProperty(L"NormalPic", normal, forms::Picture());
    bag.WriteProperty(L"OverPic", over, forms::Picture());
    bag.WriteProperty(L"ToolTips", tip, L"");
    // The offset keeps its share of the picture's stretch.
    const auto offTop = static_cast<int16_t>(ScreenPixels(offset, forms::Screen.TwipsPerPixelY()));
    const auto offLeft = static_cast<int16_t>(ScreenPixels(offset, forms::Screen.TwipsPerPixelX()));
    bag.WriteProperty(L"PicTop", offTop, int16_t{0});
    bag.WriteProperty(L"PicLeft", offLeft, int16_t{0});
    button.DesignProperties(bag);
    button.Move(left, top, width, height);
}

}  // namespace Skin
