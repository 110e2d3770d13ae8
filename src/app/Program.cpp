#include "app/Program.h"

#include <windows.h>

#include "app/FrmMain.h"
#include "forms/Runtime.h"

namespace app {

int RunProgram() {
    OleInitialize(nullptr);
    // The start-up form: touching it creates it (Form_Initialize refuses a
    // second copy) and loads it; then the runtime shows it.
    FrmMain->Show();
    int rc = forms::RunMessageLoop();
    OleUninitialize();
    return rc;
}

}  // namespace app
