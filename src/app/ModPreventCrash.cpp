#include "app/ModPreventCrash.h"

#include <windows.h>

namespace ModPreventCrash {

void PreventCrashOnExit() { SetErrorMode(SEM_NOGPFAULTERRORBOX); }

}  // namespace ModPreventCrash
