// Entry point: the runtime starts the program with its start-up form.
#include <windows.h>

#include "app/Program.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) { return app::RunProgram(); }
