#pragma once
// A decorative strip filled with a colour gradient: in one piece from the
// start colour to the end colour, or in two pieces that rise to the end
// colour over the first fifth and fall back over the rest.
#include <cstdint>
#include <memory>

#include "controls/cGraphics.h"
#include "forms/PictureBox.h"
#include "forms/UserControl.h"

class GradientLine : public forms::UserControl {
public:
    GradientLine(forms::Window* container, std::wstring name = {});

    // The whole gradient or its first piece, and the second piece (twips).
    forms::PictureBox Pic1{this, L"Pic1"};
    forms::PictureBox Pic2{this, L"Pic2"};

    int32_t StartColor() const { return m_StartColor; }
    void StartColor(int32_t v);
    int32_t EndColor() const { return m_EndColor; }
    void EndColor(int32_t v);
    // 0 one piece, anything else two pieces.
    int32_t GType() const { return m_GType; }
    void GType(int32_t v);
    // 0 along the width, anything else along the height.
    int32_t Orientation() const { return m_Orientation; }
    void Orientation(int32_t v);
    void Draw();

protected:
    void UserControl_InitProperties() override;
    void UserControl_ReadProperties(forms::PropertyBag& bag) override;
    void UserControl_WriteProperties(forms::PropertyBag& bag) override;
    void UserControl_Resize() override;
    void UserControl_Show() override;

private:
    void Let(int32_t& field, int32_t v, const wchar_t* name);

    int32_t m_StartColor = 0xFFFFFF;
    int32_t m_EndColor = 0xFFFFFF;
    int32_t m_GType = 0;
    int32_t m_Orientation = 0;
    std::unique_ptr<cGraphics> m_Graphics;
};
