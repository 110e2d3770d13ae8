#pragma once
// Keyboard state for the hotkey poll, read from the platform's asynchronous
// key state. A key counts as down when it is down now or was pressed since
// that key's previous query, so a short tap is reported once.
#include <cstdint>

#include "forms/Values.h"

class cPressedKey {
public:
    // The lowest virtual-key code 0..255 that counts as down, 0 when none.
    int32_t GetPressedKey();
    forms::Boolean IsPressed(int32_t Ky);
    forms::Boolean Alt_Key();
    forms::Boolean Ctrl_Key();
    forms::Boolean Shift_Key();
    // Combinations ask only for their own keys: more keys may be held.
    forms::Boolean Alt_Ctrl_Key();
    forms::Boolean Alt_Ctrl_Shift_Key();
    forms::Boolean Alt_Shift_Key();
    forms::Boolean Ctrl_Shift_Key();

    // The platform's key-state query; tests put their own in its place to
    // see which keys are asked for.
    static short(__stdcall* KeyState)(int);
};
