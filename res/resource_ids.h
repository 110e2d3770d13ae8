#pragma once
// Resource ids shared by the .rc script and the code.
#define IDI_APP 101
#define IDC_HAND_POINT 1
#define IDC_HAND_OPEN 2
#define IDC_HAND_CLOSED 3
// Skin bitmaps, normal and hover picture of each button in turn.
#define IDB_PAGE_FIRST 200    /* 4 page buttons */
#define IDB_MODE_FIRST 220    /* 4 capture modes */
#define IDB_ACTION_FIRST 240  /* capture, hide, exit */
#define IDB_ABOUT 260         /* the about page's picture */
