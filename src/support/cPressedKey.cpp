#include "support/cPressedKey.h"

#include <windows.h>

#include <initializer_list>

namespace {

constexpr int kShift = 16, kCtrl = 17, kAlt = 18;

bool Down(int key) { return cPressedKey::KeyState(key) != 0; }

// Every key is queried, in the order given, before deciding: each query also
// clears that key's pressed-since report, so none may be skipped.
forms::Boolean AllDown(std::initializer_list<int> keys) {
    bool all = true;
    for (int k : keys) all = Down(k) && all;
    return forms::ToBoolean(all);
}

}  // namespace

short(__stdcall* cPressedKey::KeyState)(int) = GetAsyncKeyState;

// The scan stops at the first key found: keys above it are not queried.
int32_t cPressedKey::GetPressedKey() {
    for (int code = 0; code <= 255; ++code)
        if (Down(code)) return code;
    return 0;
}

forms::Boolean cPressedKey::IsPressed(int32_t Ky) { return forms::ToBoolean(Down(Ky)); }
forms::Boolean cPressedKey::Alt_Key() { return AllDown({kAlt}); }
forms::Boolean cPressedKey::Ctrl_Key() { return AllDown({kCtrl}); }
forms::Boolean cPressedKey::Shift_Key() { return AllDown({kShift}); }
forms::Boolean cPressedKey::Alt_Ctrl_Key() { return AllDown({kAlt, kCtrl}); }
forms::Boolean cPressedKey::Alt_Ctrl_Shift_Key() { return AllDown({kAlt, kCtrl, kShift}); }
forms::Boolean cPressedKey::Alt_Shift_Key() { return AllDown({kAlt, kShift}); }
forms::Boolean cPressedKey::Ctrl_Shift_Key() { return AllDown({kCtrl, kShift}); }
