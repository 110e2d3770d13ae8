#pragma once

namespace app {
// Starts the program: refuses a second copy, loads and shows the main window
// and runs the message loop until the program ends.
int RunProgram();
}  // namespace app
