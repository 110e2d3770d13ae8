#pragma once
// The grabber object of the capture page: screen and window pictures, the
// pointer drawn into a picture, and the clipboard.
#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

#include "capture/cDIBSection.h"
#include "forms/Object.h"
#include "forms/Picture.h"
#include "forms/Values.h"

class cCapture {
public:
    forms::Picture Capture_Screen();
    forms::Picture Capture_ActiveWindow(forms::Boolean& NoPictureStatus);
    // Has the window draw itself into the picture box's context (hwnd 0: nothing).
    forms::Variant Capture_Window(HWND hwnd, forms::Object& Pic);
    // Draws the current pointer with its image's top-left corner at
    // (x - 9, y - 9) of Pic ("hDC"), then sets Pic's "Picture" to its "Image".
    void DrawCur(int32_t x, int32_t y, forms::Object& Pic);
    // Puts a copy of iPic's bitmap on the clipboard, owned by hwnd; True when
    // the clipboard then offers a bitmap. A picture without a bitmap changes
    // nothing and gives False.
    forms::Boolean CopyImageToClibpard(HWND hwnd, const forms::Picture& iPic);
    forms::Picture GetImageFromClibpoard();
    std::wstring GetDeviceName();
    // 0 USERNAME, 1 USERDOMAIN, 2 PROCESSOR_IDENTIFIER, 3 NUMBER_OF_PROCESSORS;
    // anything else gives "".
    std::wstring GetEnvironmentVar(int32_t inf);

    // The bitmap SaveToJpg writes; the caller fills it (empty until then).
    std::shared_ptr<cDIBSection> ImageCdib;
    // Writes ImageCdib as a JPEG file; failures raise the JPEG writer's errors.
    forms::Boolean SaveToJpg(const std::wstring& iPath, int32_t iQuality = 0);
};
