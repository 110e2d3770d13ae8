#include "capture/cCapture.h"

#include <cstring>

#include "capture/Capture.h"
#include "capture/mIntelJPEGLibrary.h"
#include "forms/Form.h"
#include "forms/PictureBox.h"
#include "forms/Runtime.h"

namespace {

HDC DcOf(forms::Object& o) {
    return reinterpret_cast<HDC>(static_cast<intptr_t>(forms::GetBy(o, L"hDC").AsLong()));
}

}  // namespace

forms::Picture cCapture::Capture_Screen() { return Capture::GrabDesktop(); }

forms::Picture cCapture::Capture_ActiveWindow(forms::Boolean& NoPictureStatus) {
    return Capture::CaptureActiveWindow(NoPictureStatus);
}

forms::Variant cCapture::Capture_Window(HWND hwnd, forms::Object& Pic) {
    if (hwnd) PrintWindow(hwnd, DcOf(Pic), 0);
    return {};
}

void cCapture::DrawCur(int32_t x, int32_t y, forms::Object& Pic) {
    CURSORINFO ci{};
    ci.cbSize = sizeof ci;
    // Preset, so that a pointer is still drawn when GetCursorInfo fails.
    ci.hCursor = GetCursor();
    GetCursorInfo(&ci);
    DrawIcon(DcOf(Pic), x - 9, y - 9, ci.hCursor);
    // Picture = Image; the runtime's picture boxes and forms do it without
    // drawing the image again into itself.
    if (auto* box = dynamic_cast<forms::PictureBox*>(&Pic))
        box->PictureFromImage();
    else if (auto* form = dynamic_cast<forms::Form*>(&Pic))
        form->PictureFromImage();
    else
        forms::LetBy(Pic, L"Picture", forms::GetBy(Pic, L"Image"));
}

forms::Boolean cCapture::CopyImageToClibpard(HWND hwnd, const forms::Picture& iPic) {
    HBITMAP bmp = iPic.Bitmap();
    if (!bmp) return forms::False;
    // The clipboard gets a copy: it deletes what it owns when it is emptied,
    // and the canvas goes on drawing into its own bitmap.
    HBITMAP copy = forms::CopyBitmap(bmp);
    if (!copy) return forms::False;
    // Another program may hold the clipboard for a moment: a capture given up
    // at once would be lost. Clipboard managers that bridge to other systems
    // have been seen holding it for about 5 s while they take a large bitmap.
    if (!forms::OpenClipboardWithin(hwnd, 6000)) {
        // Without the clipboard open, an older bitmap on it would pass for ours.
        DeleteObject(copy);
        return forms::False;
    }
    EmptyClipboard();
    if (!SetClipboardData(CF_BITMAP, copy)) DeleteObject(copy);
    forms::Boolean result = forms::ToBoolean(IsClipboardFormatAvailable(CF_BITMAP) != 0);
    CloseClipboard();
    return result;
}

forms::Picture cCapture::GetImageFromClibpoard() { return forms::Clipboard.GetData(CF_BITMAP); }

std::wstring cCapture::GetDeviceName() {
    DISPLAY_DEVICEA dd{};
    dd.cb = sizeof dd;
    if (!EnumDisplayDevicesA(nullptr, 0, &dd, 0)) return L"Error.";
    return L"Device String:" + forms::FromAnsi(std::string(dd.DeviceString, strnlen(dd.DeviceString, sizeof dd.DeviceString)));
}

std::wstring cCapture::GetEnvironmentVar(int32_t inf) {
    static const char* const names[] = {"USERNAME", "USERDOMAIN", "PROCESSOR_IDENTIFIER", "NUMBER_OF_PROCESSORS"};
    std::string buf(255, '\0');
    if (inf >= 0 && inf < 4) GetEnvironmentVariableA(names[inf], buf.data(), 255);
    return forms::FromAnsi(std::string(buf.c_str()));
}

forms::Boolean cCapture::SaveToJpg(const std::wstring& iPath, int32_t iQuality) {
    if (!ImageCdib) ImageCdib = std::make_shared<cDIBSection>();
    return mIntelJPEGLibrary::SaveJpegFile(*ImageCdib, iPath, iQuality);
}
