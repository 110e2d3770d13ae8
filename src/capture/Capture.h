#pragma once
// The device-context work of the grabbers: pictures of a window's area, of
// the primary screen and of the foreground window.
#include <windows.h>

#include <cstdint>

#include "forms/Picture.h"
#include "forms/Values.h"

namespace Capture {

// A picture that owns the bitmap and palette (pal may be 0); empty when the
// platform cannot make one.
forms::Picture PictureFromBitmap(HBITMAP bmp, HPALETTE pal);

// Width x Height pixels of the window's context from (Left, Top): the client
// area's context when ClientOnly is True, else the whole window's with frame.
// On a 256-colour palette display the picture carries the system palette.
forms::Picture GrabWindowArea(HWND hWnd, forms::Boolean ClientOnly, int32_t Left, int32_t Top, int32_t Width,
                              int32_t Height);

// The primary screen from its top-left corner, sized from the runtime's Screen.
forms::Picture GrabDesktop();

// The foreground window with its frame. Sets NoPictureStatus to True when
// there is none or its rectangle's right and bottom edges are 0; never clears it.
forms::Picture CaptureActiveWindow(forms::Boolean& NoPictureStatus);

}  // namespace Capture
