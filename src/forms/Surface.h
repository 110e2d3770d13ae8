#pragma once
// The drawing surface of forms, picture boxes and user controls: colours,
// font, scale, the persistent image (AutoRedraw), the background picture and
// the drawing methods.
#include <windows.h>

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "forms/Picture.h"
#include "forms/StdFont.h"
#include "forms/Window.h"

namespace forms {

enum ScaleModeConstants : int16_t { vbTwips = 1, vbPixels = 3 };
enum class LineKind { Plain, Box, BoxFilled };

// Colours the runtime starts with: the button face and the window text.
inline constexpr int32_t vbButtonFace = static_cast<int32_t>(0x8000000F);
inline constexpr int32_t vbButtonText = static_cast<int32_t>(0x80000012);
inline constexpr int32_t vbWindowText = static_cast<int32_t>(0x80000008);
inline constexpr int32_t vbWindowBackground = static_cast<int32_t>(0x80000005);

class Surface : public Window {
public:
    explicit Surface(Window* container, std::wstring name = {});
    ~Surface() override;

    int32_t BackColor() const { return backColor_; }
    // Setting the back colour also clears what was drawn (as Cls).
    void BackColor(int32_t c);
    int32_t ForeColor() const { return foreColor_; }
    void ForeColor(int32_t c);
    // The font object itself: changes made to it show in the next drawing.
    const std::shared_ptr<StdFont>& Font() const { return font_; }
    virtual void Font(std::shared_ptr<StdFont> f);
    Boolean FontBold() const { return font_->Bold(); }
    void FontBold(Boolean v);

    // 1 twips, 3 pixels; other modes raise 380.
    int16_t ScaleMode() const { return scaleMode_; }
    void ScaleMode(int16_t v);
    // The client area in this object's scale.
    float ScaleWidth() const;
    float ScaleHeight() const;
    float UnitsPerPixelX() const override;
    float UnitsPerPixelY() const override;

    Boolean AutoRedraw() const { return ToBoolean(autoRedraw_); }
    void AutoRedraw(Boolean v);
    // The memory device context of the persistent image when AutoRedraw is
    // on, otherwise the window's own; 0 before the window exists.
    HDC hDC();

    const forms::Picture& Picture() const { return picture_; }
    // The picture becomes the background: the persistent image starts again
    // from it (and a picture box with AutoSize takes its size).
    virtual void Picture(const forms::Picture& p);
    // A new picture of the persistent image (the background picture and all
    // that was drawn), the size of the client area.
    forms::Picture Image();
    // Picture = Image, for drawing made permanent. The persistent image
    // already shows the new picture and is not drawn again.
    void PictureFromImage();

    int16_t BorderStyle() const { return borderStyle_; }
    virtual void BorderStyle(int16_t v);

    int16_t DrawWidth() const { return drawWidth_; }
    void DrawWidth(int16_t v);  // below 1 raises 380

    float CurrentX = 0;
    float CurrentY = 0;

    // Clears the drawing to the background and sets CurrentX/Y to 0.
    void Cls();
    void Refresh() override;
    // Positions and sizes in this object's scale; the source rectangle is
    // the whole picture when left out. An empty picture raises 481.
    void PaintPicture(const forms::Picture& pic, float x1, float y1, std::optional<float> width1 = {},
                      std::optional<float> height1 = {}, std::optional<float> x2 = {}, std::optional<float> y2 = {},
                      std::optional<float> width2 = {}, std::optional<float> height2 = {},
                      int32_t opcode = SRCCOPY);
    // Text at CurrentX/CurrentY in ForeColor; with newline CurrentX returns
    // to 0 and CurrentY moves down a line, otherwise CurrentX moves on.
    void Print(std::wstring_view text, bool newline = true);
    float TextWidth(std::wstring_view text);
    float TextHeight(std::wstring_view text);
    // A line, or a box (B) or filled box (BF), in ForeColor unless a colour
    // is given; CurrentX/Y end at (x2, y2).
    void Line(float x1, float y1, float x2, float y2, std::optional<int32_t> colour = {},
              LineKind kind = LineKind::Plain);

    Variant GetProperty(std::wstring_view name) override;
    void LetProperty(std::wstring_view name, const Variant& value) override;
    Variant CallMethod(std::wstring_view name, const std::vector<Variant>& args) override;

protected:
    DWORD ExStyle() const override { return WS_EX_CONTROLPARENT | (borderStyle_ == 1 ? WS_EX_CLIENTEDGE : 0); }
    void OnCreated() override;
    void OnDestroying() override;
    LRESULT WndProc(UINT m, WPARAM w, LPARAM l) override;

    SIZE ClientSize() const;
    // The frame around the client area for the current styles, in pixels.
    SIZE FrameSize() const;
    void DrawBackground(HDC dc, int w, int h);
    // The windowless controls above the background.
    void DrawGraphics(HDC dc);
    // Pen, brush, font and text colours of a DC as this object's properties say.
    void PrepareDC(HDC dc);
    void UseFont(HDC dc);
    void MakeImage(bool keepOld);
    void DropImage();
    void ReleaseOwnDC();
    void ResetImage();
    // After drawing into the persistent image: show it when next painted.
    void Drawn();
    int ToPixelX(float v) const;
    int ToPixelY(float v) const;

    int32_t backColor_ = vbButtonFace;
    int32_t foreColor_ = vbButtonText;
    std::shared_ptr<StdFont> font_ = StdFont::Default();
    int16_t scaleMode_ = vbTwips;
    bool autoRedraw_ = false;
    int16_t borderStyle_ = 0;
    int16_t drawWidth_ = 1;
    forms::Picture picture_;

    HDC memDC_ = nullptr;
    HBITMAP memBmp_ = nullptr;
    HGDIOBJ memOld_ = nullptr;
    HPEN pen_ = nullptr;
    HFONT ownFont_ = nullptr;  // the font last selected into the window's DC
    HFONT memFont_ = nullptr;  // ... and into the persistent image's
    // The bitmap of a picture just taken from the persistent image, while
    // nothing can have drawn into either since.
    HBITMAP imageCopy_ = nullptr;
};

// Draws a picture (bitmap, icon or metafile) into a DC, stretched when the
// sizes differ; sizes in pixels of the picture.
void DrawPictureTo(HDC dc, const Picture& pic, int dx, int dy, int dw, int dh, int sx, int sy, int sw, int sh,
                   DWORD rop = SRCCOPY);

}  // namespace forms
