#pragma once
// The region overlay: a borderless form over the whole screen showing a
// frozen picture of it, on which the user drags out the rectangle to capture.
// A read-out panel along the top or bottom edge shows the pointer position
// and the size of the rectangle.
#include <cstdint>
#include <memory>

#include "controls/GradientLine.h"
#include "controls/mListButton.h"
#include "forms/Forms.h"

class cGraphics;

namespace app {

class CFrmSelect : public forms::Form {
public:
    CFrmSelect();
    ~CFrmSelect() override;

    forms::CommandButton Btn{this, L"Btn", L"Capture"};
    // Where the chosen rectangle is cut out of the frozen picture.
    forms::PictureBox Pic{this, L"Pic"};
    mListButton BtnOld{this, L"BtnOld"};
    forms::Timer Tm{this, L"Tm"};
    forms::PictureBox Panel{this, L"Panel"};
    GradientLine Ln1{&Panel, L"Ln1"};
    // The rubber band.
    forms::Shape Sh{this, L"Sh"};

    // Copies the band's part of the frozen picture into the capture canvas,
    // hides the overlay and saves the canvas.
    void SaveRegion();
    // Pos other than 0: the panel goes to the bottom edge, 0: to the top.
    void SetPanel(int32_t& Pos);

    void Form_KeyDown(int16_t& KeyCode, int16_t Shift);
    void Form_MouseDown(int16_t Button, int16_t Shift, float X, float Y);
    void Form_MouseMove(int16_t Button, int16_t Shift, float X, float Y);
    void Form_MouseUp(int16_t Button, int16_t Shift, float X, float Y);
    void Panel_Click();
    void Panel_MouseMove(int16_t Button, int16_t Shift, float X, float Y);
    void Tm_Timer();
    void Btn_Click();
    void Btn_MouseMove(int16_t Button, int16_t Shift, float X, float Y);

    forms::Boolean Dragging() const { return m_Dragging; }
    int16_t PanelAtBottom() const { return m_PanelAtBottom; }

protected:
    void Form_Load() override;
    void Form_Unload(int16_t& Cancel) override;

private:
    cGraphics& Graphics();

    forms::Boolean m_Dragging = forms::False;
    int32_t m_StartX = 0;
    int32_t m_StartY = 0;
    int16_t m_PanelAtBottom = 0;
    std::unique_ptr<cGraphics> m_Graphics;
};

inline forms::FormRef<CFrmSelect> FrmSelect;

// The cut-out both overlays make: the band's rectangle of the frozen picture
// drawn 1:1 at the top-left corner of Work (twips) and put into the capture
// canvas. Each step that fails is passed over.
void CutOutToCanvas(forms::PictureBox& Work, const forms::Shape& Band, const forms::Picture& Frozen);

}  // namespace app
