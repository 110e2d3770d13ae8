#pragma once
// What the two toolbar-style push buttons (cTButton, mListButton) share: the
// looks and their theme states, the frame and text rectangles, the classic
// edges and the themed background. Where the picture and the caption go is
// each button's own (see PlaceContent in cTButton.cpp and mListButton.cpp).
#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "forms/Forms.h"

namespace pushbutton {

enum ButtonLook : int { LookNormal = 0, LookHover = 1, LookPressed = 2, LookSelected = 3 };

// Toolbar class, part 1 (TP_BUTTON) states.
enum ThemeState : int { TsNormal = 1, TsHot = 2, TsPressed = 3, TsChecked = 5, TsHotChecked = 6 };

struct VisualState {
    int themeState;
    int pushed;  // 0 or 1
};

// A look outside 0 to 3 has no state: it draws nothing.
std::optional<VisualState> StateForLook(int look, bool showFrame, bool selected);

struct ClassicEdge {
    UINT edge;
    UINT flags;
};
// The edge drawn along the frame in classic drawing; none for a pair with no row.
std::optional<ClassicEdge> ClassicEdgeFor(int pushed, int themeState);

// Whole pixels, halves to even.
int32_t R(double v);

// SW, SH: the surface's scale size in pixels.
RECT FrameRect(double sw, double sh);
RECT TextRect(double sw, double sh);

// Where one paint puts the picture and the caption.
struct Placement {
    POINT picture;
    POINT captionOffset;  // added to the text rectangle
    UINT textFormat;      // DrawTextA flags
};

// What the placement depends on. PW, PH: the picture holder's scale size;
// TH: the caption's text height (pixels).
struct PlacementInput {
    bool themed;
    int pushed;
    bool disabledPicture;  // the control is disabled: its disabled picture is the one drawn
    double sw, sh, pw, ph, th;
};

// Draws the classic edge for a state along frame; false when the pair has no edge.
bool DrawClassicEdge(HDC dc, const RECT& frame, int pushed, int themeState);

// Whether "Toolbar" theme data opens on the window (closes what it opened).
bool ThemeAvailable(HWND probe);
// Opens "Toolbar" theme data on owner and draws the button background for the
// state on frame, clipped to frame. False when the theme could not be opened
// or the drawing failed; the theme data is closed in every case.
bool DrawThemedBackground(HWND owner, HDC dc, const RECT& frame, int themeState);

// The first virtual-key code from 0 to 128 that the platform reports down now
// or pressed since the last query, or 0 when none is.
int GetPressedKey();

}  // namespace pushbutton

// The button itself; a derived button says where its picture and caption go
// and may widen the selection.
class PushButtonCore : public forms::UserControl {
public:
    PushButtonCore(forms::Window* container, std::wstring name);
    ~PushButtonCore() override;

    // True draws the selected look; any other value the normal look.
    virtual void SelectButton(forms::Boolean& Selection);
    // Pointer test and look update on a mouse move; True while inside.
    forms::Boolean Hover();
    forms::Boolean Enabled() const { return forms::UserControl::Enabled(); }
    void Enabled(forms::Boolean v);
    using forms::UserControl::Font;
    void Font(std::shared_ptr<forms::StdFont> f) override;
    const forms::Picture& Picture() const { return Tmp.Picture(); }
    void Picture(const forms::Picture& p) override;
    const forms::Picture& PictureDisabled() const { return TmpPic.Picture(); }
    void PictureDisabled(const forms::Picture& p);
    forms::Boolean ShowFrame() const { return m_ShowFrame; }
    void ShowFrame(forms::Boolean v);
    const std::wstring& Caption() const { return m_Caption; }
    void Caption(const std::wstring& v);
    HWND hwnd() const { return hWnd(); }
    void Refresh() override;
    int32_t BackColor() const { return forms::UserControl::BackColor(); }
    void BackColor(int32_t c);

    // The button's own events; the mouse arguments are read back after the
    // handler returns.
    std::function<void()> Click;
    std::function<void(int16_t& Button, int16_t& Shift, float& X, float& Y)> MouseDown, MouseMove, MouseUp;

    forms::Variant GetProperty(std::wstring_view name) override;
    void LetProperty(std::wstring_view name, const forms::Variant& value) override;
    forms::Variant CallMethod(std::wstring_view name, const std::vector<forms::Variant>& args) override;

protected:
    // Where this button puts its picture and caption in one paint.
    virtual pushbutton::Placement PlaceContent(const pushbutton::PlacementInput& in) const = 0;

    void SetButtonState(int look);
    void DrawButton(int themeState, int pushed);
    void RedrawButton();

    void UserControl_Initialize() override;
    void UserControl_InitProperties() override;
    void UserControl_ReadProperties(forms::PropertyBag& bag) override;
    void UserControl_WriteProperties(forms::PropertyBag& bag) override;
    void UserControl_Resize() override;
    void UserControl_Show() override;
    void UserControl_MouseDown(int16_t b, int16_t s, float x, float y) override;
    void UserControl_MouseMove(int16_t b, int16_t s, float x, float y) override;
    void UserControl_MouseUp(int16_t b, int16_t s, float x, float y) override;
    void UserControl_Click() override {}

    forms::PictureBox Tmp;
    forms::PictureBox TmpPic;
    forms::Timer TmMKey;

    forms::Boolean m_Selected = forms::False;
    int16_t m_MouseDown = 0;
    forms::Boolean m_ShowFrame = forms::False;
    std::wstring m_Caption;

private:
    // Draws the picture and the caption; every step on its own when guarded.
    void DrawPicture(const pushbutton::Placement& at);
    void DrawCaption(const pushbutton::Placement& at, const RECT& textRect);
    pushbutton::PlacementInput PlacementFor(bool themed, int pushed);
    bool DrawThemed(int themeState, int pushed);
    void DrawClassic(int themeState, int pushed);
};
