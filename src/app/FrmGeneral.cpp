#include "app/FrmGeneral.h"

#include "app/FrmMain.h"
#include "capture/cCapture.h"
#include "controls/cGraphics.h"
#include "support/cIniSettings.h"
#include "support/cPressedKey.h"

namespace app {

CFrmGeneral::CFrmGeneral() {}
CFrmGeneral::~CFrmGeneral() = default;

forms::Boolean CFrmGeneral::CanCapture() { return forms::False; }
void CFrmGeneral::DoCapture() {}
void CFrmGeneral::DoSave() {}
void CFrmGeneral::StartRegionCapture() {}
void CFrmGeneral::StartObjectCapture() {}
void CFrmGeneral::BtnFullScreen_Click() {}
void CFrmGeneral::BtnActiveWindow_Click() {}
void CFrmGeneral::BtnRegion_Click() {}
void CFrmGeneral::BtnObject_Click() {}
void CFrmGeneral::BtnCap_Click() {}
void CFrmGeneral::BtnCapture_Click() {}
void CFrmGeneral::BtnMin_Click() {}
void CFrmGeneral::BtnMinimize_Click() {}
void CFrmGeneral::BtnEx_Click() {}
void CFrmGeneral::TmFastCapture_Timer() {}
void CFrmGeneral::Form_Load() {}
void CFrmGeneral::Form_Unload(int16_t&) {}

}  // namespace app
