#include "app/FrmMain.h"

#include <commctrl.h>

#include "forms/Error.h"
#include "forms/Runtime.h"
#include "res/resource_ids.h"

namespace app {

CFrmMain::CFrmMain() {
    Caption(L"Quorvane Capture 1.0");
    BorderStyle(forms::vbFixedSingle);
    MinButton = true;
    StartUpPosition(forms::vbStartUpScreen);
    ClientSize(8535, 5540);
    forms::PassOver([this] { Icon(forms::LoadResPicture(IDI_APP, forms::resIcon)); });

    Pic.Visible(forms::False);
    Pic.AutoSize(forms::True);
    Pic.AutoRedraw(forms::True);
    Pic.ScaleMode(forms::vbPixels);
    Pic.BorderStyle(0);
}

void CFrmMain::Form_Initialize() {
    InitCommonControls();
    if (forms::App.PrevInstance() == forms::True) {
        forms::MsgBox(L"Can,t open another copy of Quorvane Capture", forms::vbExclamation, L"Quorvane Capture");
        forms::End();
    }
}

void CFrmMain::ShowForm() {
    forms::PassOver([this] { Show(); });
}

void CFrmMain::Form_Unload(int16_t&) { PostQuitMessage(0); }

}  // namespace app
