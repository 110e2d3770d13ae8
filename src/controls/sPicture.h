#pragma once
// A picture viewer: shows one picture fitted into the control (Stretch 1) or
// at its actual size with scroll bars and panning by dragging (Stretch 0).
// A picture smaller than the control both ways is shown centred at its
// natural size in either mode. Everything inside is measured in twips.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "controls/cImage.h"
#include "forms/Forms.h"

class sPicture : public forms::UserControl {
public:
    explicit sPicture(forms::Window* container, std::wstring name = L"sPicture");
    ~sPicture() override;

    std::wstring TypeName() const override { return L"sPicture"; }

    // True when the last view update found the picture strictly smaller
    // than the control in both width and height.
    forms::Boolean StandardSize = forms::False;

    // Raised as the last step of every view update.
    std::function<void()> AfterPainting;

    // Moves and sizes DestPicture inside the control so that the natural size
    // of SrcPicture fits it, proportionally and centred.
    void ResizePicture(forms::PictureBox& SrcPicture, forms::PictureBox& DestPicture);
    // Loads a picture file and shows it; a file that cannot be read as a
    // picture raises the runtime's error and the old picture stays.
    void LoadImageFile(const std::wstring& ImgPath);

    using forms::UserControl::BackColor;
    void BackColor(int32_t New_BackColor);
    // Stored and persisted only: it enables or disables nothing.
    forms::Boolean Enabled() const { return m_Enabled; }
    void Enabled(forms::Boolean New_Enabled) override;
    // The device context of the visible box.
    HDC hDC();
    const forms::Picture& Picture() const;
    void Picture(const forms::Picture& New_Picture) override;
    // Wipes what was drawn; the picture stays, nothing is redrawn.
    void Clear();
    // 1 best fit, 0 actual size.
    int32_t Stretch() const { return m_Stretch; }
    void Stretch(int32_t New_Stretch);

    forms::Variant GetProperty(std::wstring_view name) override;
    void LetProperty(std::wstring_view name, const forms::Variant& value) override;
    forms::Variant CallMethod(std::wstring_view name, const std::vector<forms::Variant>& args) override;

    // The constituent controls, for the host's tests.
    forms::PictureBox TmpPic{this, L"TmpPic"};
    forms::PictureBox Pic{this, L"Pic"};
    forms::HScrollBar Hs{this, L"Hs"};
    forms::VScrollBar Vs{this, L"Vs"};
    forms::PictureBox PSide{this, L"PSide"};

protected:
    void UserControl_Initialize() override;
    void UserControl_InitProperties() override;
    void UserControl_ReadProperties(forms::PropertyBag& bag) override;
    void UserControl_WriteProperties(forms::PropertyBag& bag) override;
    void UserControl_Show() override;
    void UserControl_Resize() override;

private:
    void ShowPicture(int32_t& StretchMode);
    void HideScrollBars();
    void SetScrollBars();
    // The source box takes the picture; with none it shrinks to nothing, so
    // that an emptied viewer shows its background only.
    void SetSource(const forms::Picture& p);
    void Pic_MouseDown(int16_t Button, int16_t Shift, float X, float Y);
    void Pic_MouseMove(int16_t Button, int16_t Shift, float X, float Y);
    void Pic_MouseUp(int16_t Button, int16_t Shift, float X, float Y);
    void Scrolled(forms::ScrollBar& bar);
    // The open (2) or closed (3) hand, loaded once.
    const forms::Picture& Hand(bool closed);

    int32_t m_Stretch = 1;
    forms::Boolean m_Enabled = forms::True;
    forms::Boolean m_PanEnabled = forms::False;
    forms::Boolean m_Dragging = forms::False;
    float m_DragX = 0;
    float m_DragY = 0;
    std::unique_ptr<cImage> m_Image;
    // Twips of picture movement per scroll-bar step: 1 unless the range
    // would not fit a 16-bit bar.
    double m_UnitH = 1;
    double m_UnitV = 1;
    forms::Picture m_OpenHand;
    forms::Picture m_ClosedHand;
};
