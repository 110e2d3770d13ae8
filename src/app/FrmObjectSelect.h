#pragma once
// The object selection overlay (stand-in until its own header lands).
#include "forms/Forms.h"

namespace app {

class CFrmObjectSelect : public forms::Form {};

inline forms::FormRef<CFrmObjectSelect> FrmObjectSelect;

}  // namespace app
