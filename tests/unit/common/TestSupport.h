#pragma once
// Helpers the test programs share: a window of known pixels on the screen,
// reading pixels back, GDI counts, input sent as a user's would be.
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "forms/Error.h"

namespace testsupport {

// The number of the runtime error a step raises, 0 when it raises none.
template <class F>
int32_t ErrorNumberOf(F&& step) {
    try {
        step();
    } catch (const forms::Error& e) {
        return e.Number;
    }
    return 0;
}

// Thrown by the runtime's End() inside tests.
struct EndCalled {};

void ParseArgs(int argc, char** argv);
// A --name=value argument given to the test program, or "".
std::wstring Arg(const std::string& name);

// Lets pending messages run for about ms milliseconds.
void Pump(int ms);

// The colour (0x00BBGGRR) of one pixel of a bitmap.
COLORREF PixelOf(HBITMAP bmp, int x, int y);
// The colour of one pixel of the screen.
COLORREF ScreenPixel(int x, int y);
// The process's GDI object count.
DWORD GdiCount();

// A folder of the test's own under the temp folder, emptied on creation.
std::wstring TempDir(const std::wstring& name);
std::string ReadFileBytes(const std::wstring& path);
// Anything at the path: a file, a folder.
bool Exists(const std::wstring& path);
// The names of everything in a folder, in the order the folder gives.
std::vector<std::wstring> FilesIn(const std::wstring& dir);
void WriteFileBytes(const std::wstring& path, const std::string& bytes);

// Keys and mouse through SendInput.
void KeyDown(WORD vk);
void KeyUp(WORD vk);
void MoveMouse(int x, int y);
void MouseButton(bool left, bool down);

// A picture that no flip, mirror or shift by a pixel leaves as it was, nor a
// lost edge row or column, nor a picture of another seed, even through a
// JPEG: 8 x 8 blocks of colours the seed picks (each channel 64, 128 or 192)
// in a one-pixel frame whose sides fade from corner to corner, each corner of
// its own colour (0 or 255 in every channel). Top row first, 0x00RRGGBB.
std::vector<uint32_t> CornersPixels(int w, int h, uint32_t seed);
// In place of a window's colour: that picture, the size of the window.
constexpr COLORREF CornersFill(uint32_t seed) { return 0x80000000u | seed; }

// The clipboard's text, what another program may have left there.
std::wstring ClipboardText();
bool PutClipboardText(const std::wstring& text);

// A top-level popup window filled with a colour (or CornersFill), shown at a
// place on the screen; destroyed with the object.
class ColourWindow {
public:
    ColourWindow(int x, int y, int w, int h, COLORREF colour, DWORD style = WS_POPUP, DWORD exStyle = WS_EX_TOPMOST);
    ~ColourWindow();
    ColourWindow(const ColourWindow&) = delete;
    ColourWindow& operator=(const ColourWindow&) = delete;
    HWND hwnd() const { return hwnd_; }

private:
    HWND hwnd_ = nullptr;
};

// A white window of ours in front with the arrow pointer at (500, 400) over
// it: the pointer drawn into captures is the foreground window's.
class ArrowInFront {
public:
    ArrowInFront();
    HWND hwnd() const { return window_.hwnd(); }
    HCURSOR arrow() const { return arrow_; }

private:
    ColourWindow window_;
    HCURSOR arrow_;
};

}  // namespace testsupport
