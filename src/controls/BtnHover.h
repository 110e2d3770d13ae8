#pragma once
// An image button: shows its normal picture, switches to the hover picture
// while the pointer is over it, frames its face, can be held selected, and
// raises Click (the public Click member) after a left-button click.
#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

#include "controls/cGraphics.h"
#include "forms/PictureBox.h"
#include "forms/UserControl.h"

class BtnHover : public forms::UserControl {
public:
    BtnHover(forms::Window* container, std::wstring name = {});

    // The visible face (pixels) and the two hidden holders of the pictures.
    forms::PictureBox Pic{this, L"Pic"};
    forms::PictureBox Normal{this, L"Normal"};
    forms::PictureBox Over{this, L"Over"};

    // True while the pointer is over the face; holds the mouse capture while
    // it is, releases it when it is not.
    forms::Boolean Hover();
    int32_t BackColor() const { return Pic.BackColor(); }
    void BackColor(int32_t v);
    HWND hwnd() const { return hWnd(); }
    const forms::Picture& NormalPic() const { return Normal.Picture(); }
    void NormalPic(const forms::Picture& p);
    const forms::Picture& OverPic() const { return Over.Picture(); }
    void OverPic(const forms::Picture& p);
    forms::Boolean AutoSize() const { return m_AutoSize; }
    void AutoSize(forms::Boolean v);
    const std::wstring& ToolTips() const { return m_ToolTips; }
    void ToolTips(const std::wstring& v);
    int32_t FrameColor() const { return m_FrameColor; }
    void FrameColor(int32_t v);
    int32_t FrameOverColor() const { return m_FrameOverColor; }
    void FrameOverColor(int32_t v);
    forms::Boolean Selected() const { return m_Selected; }
    void Selected(forms::Boolean v);
    int16_t PicTop() const { return m_PicTop; }
    void PicTop(int16_t v);
    int16_t PicLeft() const { return m_PicLeft; }
    void PicLeft(int16_t v);

protected:
    void UserControl_InitProperties() override;
    void UserControl_ReadProperties(forms::PropertyBag& bag) override;
    void UserControl_WriteProperties(forms::PropertyBag& bag) override;
    void UserControl_Resize() override;
    void UserControl_Show() override;

private:
    void DrawButton();
    // Paints a picture at the offsets and the frame over the current face.
    void PaintLook(forms::PictureBox& source, int32_t frameColour, int16_t penWidth);
    cGraphics& Graphics();
    template <class T>
    void Let(T& field, T v, const wchar_t* name) {
        field = v;
        DrawButton();
        PropertyChanged(name);
    }

    int16_t m_LastButton = 0;
    int16_t m_PicTop = 0;
    int16_t m_PicLeft = 0;
    forms::Boolean m_Selected = forms::False;
    int32_t m_FrameColor = 0;
    int32_t m_FrameOverColor = 0;
    std::wstring m_ToolTips;
    forms::Boolean m_AutoSize = forms::False;
    std::unique_ptr<cGraphics> m_Graphics;
};
