#pragma once
// The about page (stand-in until its own header lands).
#include "forms/Forms.h"

namespace app {

class CFrmAbout : public forms::Form {};

inline forms::FormRef<CFrmAbout> FrmAbout;

}  // namespace app
