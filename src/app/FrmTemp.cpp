#include "app/FrmTemp.h"

namespace app {

CFrmTemp::CFrmTemp() {}
void CFrmTemp::OClibpoard_Click() {}
void CFrmTemp::OFile_Click() {}
void CFrmTemp::Form_Load() {}

}  // namespace app
