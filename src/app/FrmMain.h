#pragma once
// The main window: the start-up form, the program's shell and the owner of
// the hidden capture canvas.
#include "forms/Forms.h"

namespace app {

class CFrmMain : public forms::Form {
public:
    CFrmMain();

    // The capture canvas: hidden, sized by each picture assigned, drawn on
    // in pixels into its persistent image.
    forms::PictureBox Pic{this, L"Pic"};

    void ShowForm();

protected:
    void Form_Initialize() override;
    void Form_Unload(int16_t& Cancel) override;
};

inline forms::FormRef<CFrmMain> FrmMain;

}  // namespace app
