#pragma once
// A one-line caption, optionally after a small picture, that behaves like a
// hyperlink: the pointing hand over it, a hover colour (and underline), Click
// on a left click, a caption too long for the control cut with "...", sizing
// to its caption up to a maximum width, a tooltip of its own, and mail links
// and paths handed to the shell. Geometry is in twips.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "controls/cGraphics.h"
#include "controls/cToolTips.h"
#include "forms/Forms.h"

class Link : public forms::UserControl {
public:
    explicit Link(forms::Window* container, std::wstring name = L"Link");
    ~Link() override;

    std::wstring TypeName() const override { return L"Link"; }

    // Hands "mailto:" + Address to the shell.
    forms::Variant SendEmail(const std::wstring& Address);
    // Opens Path with the shell, its window shown as State says.
    forms::Variant OpenPath(const std::wstring& Path, int32_t State);

    int32_t BackColor() const { return forms::UserControl::BackColor(); }
    void BackColor(int32_t c);
    forms::Boolean Enabled() const { return forms::UserControl::Enabled(); }
    void Enabled(forms::Boolean v) override;
    using forms::UserControl::Font;
    // The control keeps a font of its own: its hover underline never reaches
    // the object it was given.
    void Font(std::shared_ptr<forms::StdFont> f) override;
    int32_t ForeColor() const { return forms::UserControl::ForeColor(); }
    void ForeColor(int32_t c);
    const std::wstring& Caption() const { return caption_; }
    void Caption(const std::wstring& v);
    int32_t OverColor() const { return overColor_; }
    void OverColor(int32_t v);
    forms::Boolean OverUnderline() const { return overUnderline_; }
    void OverUnderline(forms::Boolean v);
    forms::Boolean AutoSize() const { return autoSize_; }
    void AutoSize(forms::Boolean v);
    HWND hwnd() const { return hWnd(); }
    const std::wstring& ToolTip() const { return toolTip_; }
    void ToolTip(const std::wstring& v);
    const std::wstring& ToolTipTitle() const { return toolTipTitle_; }
    void ToolTipTitle(const std::wstring& v);
    int16_t MaxWidth() const { return maxWidth_; }
    void MaxWidth(int16_t v);
    const forms::Picture& Picture() const { return P1.Picture(); }
    void Picture(const forms::Picture& p) override;
    const forms::Picture& DisabledPicture() const { return P2.Picture(); }
    void DisabledPicture(const forms::Picture& p);

    // The events are the inherited Click, MouseMove, MouseUp and MouseDown.

    // The shell call behind SendEmail and OpenPath (ShellExecuteA's
    // arguments); an empty one puts the platform's back.
    using ShellExecuteFn = std::function<HINSTANCE(HWND, LPCSTR, LPCSTR, LPCSTR, LPCSTR, INT)>;
    static void ShellExecuteWith(ShellExecuteFn fn);

    forms::Variant GetProperty(std::wstring_view name) override;
    void LetProperty(std::wstring_view name, const forms::Variant& value) override;
    forms::Variant CallMethod(std::wstring_view name, const std::vector<forms::Variant>& args) override;

protected:
    void UserControl_Initialize() override;
    void UserControl_InitProperties() override;
    void UserControl_ReadProperties(forms::PropertyBag& bag) override;
    void UserControl_WriteProperties(forms::PropertyBag& bag) override;
    void UserControl_Show() override;
    void UserControl_Resize() override;
    void UserControl_Terminate() override;
    void UserControl_MouseDown(int16_t Button, int16_t Shift, float X, float Y) override;
    void UserControl_MouseMove(int16_t Button, int16_t Shift, float X, float Y) override;
    void UserControl_MouseUp(int16_t Button, int16_t Shift, float X, float Y) override;

private:
    // After a Let or Set: the drawing where the property asks for it, then
    // the host's notice.
    void Stored(std::wstring_view name, bool redraw = true);
    forms::Boolean IsMouseOver();
    void Redraw();
    // One drawing; false when it changed the control's size, which asks for
    // a drawing at the new size.
    bool DrawOnce();
    void ShowToolTip();
    cToolTips& ToolTips();

    forms::PictureBox P1;
    forms::PictureBox P2;

    std::wstring caption_;
    int32_t overColor_ = 0;
    std::wstring tipText_;
    forms::Boolean overUnderline_ = forms::True;
    forms::Boolean autoSize_ = forms::False;
    std::wstring toolTip_;
    int16_t maxWidth_ = 0;
    std::wstring toolTipTitle_;
    int32_t normalColor_ = 0;
    forms::Boolean pressed_ = forms::False;
    forms::Picture current_;
    std::unique_ptr<cToolTips> tooltip_;
    cGraphics graphics_;

    bool drawing_ = false;
    bool resizedWhileDrawing_ = false;
};
