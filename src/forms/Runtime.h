#pragma once
// The runtime's global objects and statements: App, Screen, Clipboard,
// MsgBox, DoEvents, Kill and End.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

#include "forms/Picture.h"
#include "forms/Values.h"

namespace forms {

class AppObject {
public:
    // The program's folder, without a trailing "\" (except at a drive's root).
    std::wstring Path() const;
    // The program's file name without its extension.
    std::wstring EXEName() const;
    std::wstring Title() const { return EXEName(); }
    // True when another copy of this program is already running. The first
    // query claims the program's instance name for the life of the process.
    Boolean PrevInstance() const;
    HINSTANCE hInstance() const;
};

class ScreenObject {
public:
    // Size of the primary screen in twips: its pixels times twips per pixel.
    int32_t Width() const;
    int32_t Height() const;
    // Twips per pixel, a whole number: the whole part of 1440 / the screen's
    // dots per inch (15 at 96 dpi, 7 at 192).
    float TwipsPerPixelX() const;
    float TwipsPerPixelY() const;
};

class ClipboardObject {
public:
    // A copy of the clipboard's bitmap (format 2, CF_BITMAP) as a picture of
    // our own; an empty picture when the clipboard holds none.
    Picture GetData(int16_t format = CF_BITMAP) const;
    void Clear() const;
};

// Opens the clipboard for owner, asking again for up to patienceMs while
// another program holds it; false when it stayed closed. Meanwhile the
// thread's windows answer messages sent to them and repaint; posted input
// and timers stay queued.
bool OpenClipboardWithin(HWND owner, DWORD patienceMs);

extern AppObject App;
extern ScreenObject Screen;
extern ClipboardObject Clipboard;

enum MsgBoxStyle : int32_t {
    vbOKOnly = 0, vbOKCancel = 1, vbYesNo = 4, vbCritical = 16, vbQuestion = 32, vbExclamation = 48,
    vbInformation = 64
};
// Shows a message box owned by the active window, in front of every window
// and with the focus; returns the button chosen. An empty title is the
// program's title. Text too wide for the screen wraps, long words too.
int32_t MsgBox(const std::wstring& prompt, int32_t buttons = vbOKOnly, const std::wstring& title = {});
// The innermost box MsgBox shows now; null when none is open.
HWND ShownMsgBox();

// Lets pending window messages and timers run once.
int32_t DoEvents();

// Deletes a file: a missing file raises 53, one that cannot be deleted 75.
void Kill(const std::wstring& path);

// Ends the program at once. Tests replace the ending with a handler of their own.
[[noreturn]] void End();
void SetEndHandler(std::function<void()> handler);

// Hooks for the windowing part of the runtime: a pre-translation step for the
// message loop (dialog navigation, accelerators), and the hook End runs
// before the process goes (destroys the forms' windows).
using PreTranslateHook = bool (*)(MSG&);
void SetPreTranslateHook(PreTranslateHook hook);
bool PreTranslate(MSG& msg);
// Runs the message loop until WM_QUIT; returns its exit code.
int RunMessageLoop();

}  // namespace forms
