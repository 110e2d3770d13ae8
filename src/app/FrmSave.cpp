#include "app/FrmSave.h"

#include "support/cFilesFolders.h"
#include "support/cIniSettings.h"

namespace app {

CFrmSave::CFrmSave() {}
CFrmSave::~CFrmSave() = default;
void CFrmSave::BtnCopy_Click() {}
void CFrmSave::BtnSave_Click() {}
void CFrmSave::SaveImageToFile() {}
void CFrmSave::SaveFinalImage(std::wstring) {}
std::wstring CFrmSave::GetExt() { return {}; }
void CFrmSave::CmbName_Click() {}
void CFrmSave::BtnBrowse_Click() {}
void CFrmSave::Form_Load() {}
void CFrmSave::Form_Unload(int16_t&) {}

}  // namespace app
