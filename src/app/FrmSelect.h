#pragma once
// The region selection overlay (stand-in until its own header lands).
#include "forms/Forms.h"

namespace app {

class CFrmSelect : public forms::Form {};

inline forms::FormRef<CFrmSelect> FrmSelect;

}  // namespace app
