#pragma once
// Windowless controls: drawn by their container above its background and
// below its windowed controls. Label, Shape (rectangle) and Image.
#include <memory>
#include <string>

#include "forms/StdFont.h"
#include "forms/Surface.h"

namespace forms {

class Graphic : public Window {
public:
    using Window::Window;
    using Window::Visible;
    void Visible(Boolean v) override;
    using Window::Enabled;
    void Enabled(Boolean v) override;
    void Refresh() override { Invalidate(); }
    bool Shown() const { return visible_; }
    // Draws the control into its container's DC (coordinates of the container).
    virtual void Draw(HDC dc) = 0;

protected:
    void Attach() override { Invalidate(); }
    void Detach() override {}
    void ApplyRect() override;
    // The container repaints where the control lies (and lay before).
    void Invalidate();
    virtual void InvalidateArea(const RECT& r) const;

    RECT painted_{0, 0, 0, 0};
};

enum ShapeBorderStyle : int16_t {
    vbTransparent = 0, vbBSSolid = 1, vbBSDash = 2, vbBSDot = 3, vbBSDashDot = 4, vbBSDashDotDot = 5, vbBSInsideSolid = 6
};
enum FillStyleConstants : int16_t { vbFSSolid = 0, vbFSTransparent = 1 };  // 2..7: hatches

// A rectangle with a border (solid, dashed or dotted; wider borders are
// solid) and an optional fill.
class Shape : public Graphic {
public:
    explicit Shape(Window* container, std::wstring name = {});
    std::wstring TypeName() const override { return L"Shape"; }

    int16_t BorderStyle() const { return borderStyle_; }
    void BorderStyle(int16_t v);  // 0 to 6
    int16_t BorderWidth() const { return borderWidth_; }
    void BorderWidth(int16_t v);  // 1 to 8192
    int32_t BorderColor() const { return borderColor_; }
    void BorderColor(int32_t c);
    int16_t FillStyle() const { return fillStyle_; }
    void FillStyle(int16_t v);  // 0 solid, 1 transparent, 2 to 7 hatched
    int32_t FillColor() const { return fillColor_; }
    void FillColor(int32_t c);
    int16_t BackStyle() const { return backStyle_; }
    void BackStyle(int16_t v);  // 0 transparent, 1 opaque
    int32_t BackColor() const { return backColor_; }
    void BackColor(int32_t c);

    void Draw(HDC dc) override;
    Variant GetProperty(std::wstring_view name) override;
    void LetProperty(std::wstring_view name, const Variant& value) override;

protected:
    void InvalidateArea(const RECT& r) const override;

private:
    int16_t borderStyle_ = vbBSSolid;
    int16_t borderWidth_ = 1;
    int32_t borderColor_ = vbWindowText;
    int16_t fillStyle_ = vbFSTransparent;
    int32_t fillColor_ = 0;
    int16_t backStyle_ = 0;
    int32_t backColor_ = vbWindowBackground;
};

class Label : public Graphic {
public:
    explicit Label(Window* container, std::wstring name = {}, std::wstring caption = {});
    std::wstring TypeName() const override { return L"Label"; }

    const std::wstring& Caption() const { return caption_; }
    void Caption(const std::wstring& v);
    int16_t Alignment() const { return alignment_; }
    void Alignment(int16_t v);  // 0 left, 1 right, 2 centre
    Boolean AutoSize() const { return ToBoolean(autoSize_); }
    void AutoSize(Boolean v);
    Boolean WordWrap() const { return ToBoolean(wordWrap_); }
    void WordWrap(Boolean v);
    int16_t BackStyle() const { return backStyle_; }
    void BackStyle(int16_t v);  // 0 transparent, 1 opaque
    int32_t BackColor() const { return backColor_; }
    void BackColor(int32_t c);
    int32_t ForeColor() const { return foreColor_; }
    void ForeColor(int32_t c);
    const std::shared_ptr<StdFont>& Font() const { return font_; }
    void Font(std::shared_ptr<StdFont> f);

    void Draw(HDC dc) override;
    Variant GetProperty(std::wstring_view name) override;
    void LetProperty(std::wstring_view name, const Variant& value) override;

private:
    void Fit();
    std::wstring caption_;
    int16_t alignment_ = 0;
    bool autoSize_ = false;
    bool wordWrap_ = false;
    int16_t backStyle_ = 1;
    int32_t backColor_ = vbButtonFace;
    int32_t foreColor_ = vbButtonText;
    std::shared_ptr<StdFont> font_ = StdFont::Default();
};

// A picture at its own size (the control takes that size) or stretched to
// the control's size.
class Image : public Graphic {
public:
    explicit Image(Window* container, std::wstring name = {});
    std::wstring TypeName() const override { return L"Image"; }

    const forms::Picture& Picture() const { return picture_; }
    void Picture(const forms::Picture& p);
    Boolean Stretch() const { return ToBoolean(stretch_); }
    void Stretch(Boolean v);
    int16_t BorderStyle() const { return borderStyle_; }
    void BorderStyle(int16_t v);  // 0 none, 1 fixed single

    void Draw(HDC dc) override;
    Variant GetProperty(std::wstring_view name) override;
    void LetProperty(std::wstring_view name, const Variant& value) override;

private:
    void Fit();
    forms::Picture picture_;
    bool stretch_ = false;
    int16_t borderStyle_ = 0;
};

}  // namespace forms
