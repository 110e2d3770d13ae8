#pragma once
// The preview window (stand-in until its own header lands).
#include "forms/Forms.h"

namespace app {

class CFrmExport : public forms::Form {};

inline forms::FormRef<CFrmExport> FrmExport;

}  // namespace app
