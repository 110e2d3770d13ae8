#include "capture/cCapture.h"

#include <cstring>
#include <vector>

#include "capture/Capture.h"
#include "capture/mIntelJPEGLibrary.h"
#include "forms/Runtime.h"

namespace {

HDC DcOf(forms::Object& o) {
    return reinterpret_cast<HDC>(static_cast<intptr_t>(forms::GetBy(o, L"hDC").AsLong()));
}

// A device-dependent copy of a bitmap, made through its bits so that it works
// while the source is still selected into its owner's context (a canvas with
// a persistent image keeps its bitmap selected).
HBITMAP CopyBitmap(HBITMAP src) {
    BITMAP bm{};
    if (!GetObjectW(src, sizeof bm, &bm) || bm.bmWidth <= 0 || bm.bmHeight <= 0) return nullptr;
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = bm.bmWidth;
    bi.bmiHeader.biHeight = bm.bmHeight;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    std::vector<uint32_t> bits(static_cast<size_t>(bm.bmWidth) * static_cast<size_t>(bm.bmHeight));
    HDC screen = GetDC(nullptr);
    HBITMAP copy = nullptr;
    if (GetDIBits(screen, src, 0, bm.bmHeight, bits.data(), &bi, DIB_RGB_COLORS) == bm.bmHeight) {
        copy = CreateCompatibleBitmap(screen, bm.bmWidth, bm.bmHeight);
        if (copy && SetDIBits(screen, copy, 0, bm.bmHeight, bits.data(), &bi, DIB_RGB_COLORS) != bm.bmHeight) {
            DeleteObject(copy);
            copy = nullptr;
        }
    }
    ReleaseDC(nullptr, screen);
    return copy;
}

// Another program may hold the clipboard for a moment: a capture given up at
// once would be lost, so keep asking for a while. Clipboard managers that
// bridge to other systems have been seen holding it for about 5 s while they
// take a large bitmap over.
bool OpenClipboardPatiently(HWND owner) {
    constexpr DWORD kPatienceMs = 6000;
    const DWORD start = GetTickCount();
    for (;;) {
        if (OpenClipboard(owner)) return true;
        if (GetTickCount() - start >= kPatienceMs) return false;
        Sleep(10);
    }
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
    forms::LetBy(Pic, L"Picture", forms::GetBy(Pic, L"Image"));
}

forms::Boolean cCapture::CopyImageToClibpard(HWND hwnd, const forms::Picture& iPic) {
    HBITMAP bmp = iPic.Bitmap();
    if (!bmp) return forms::False;
    // The clipboard gets a copy: it deletes what it owns when it is emptied,
    // and the canvas goes on drawing into its own bitmap.
    HBITMAP copy = CopyBitmap(bmp);
    if (!copy) return forms::False;
    if (!OpenClipboardPatiently(hwnd)) {
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
