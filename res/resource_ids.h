#pragma once
// Resource ids shared by the .rc script and the code.
#define IDI_APP 101
#define IDC_HAND_POINT 1
#define IDC_HAND_OPEN 2
#define IDC_HAND_CLOSED 3
