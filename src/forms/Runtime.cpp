#include "forms/Runtime.h"

#include <algorithm>
#include <vector>

#include "forms/Error.h"

namespace forms {

AppObject App;
ScreenObject Screen;
ClipboardObject Clipboard;

namespace {

std::wstring ModuleFile() {
    std::vector<wchar_t> buf(MAX_PATH);
    for (;;) {
        DWORD n = GetModuleFileNameW(nullptr, buf.data(), static_cast<DWORD>(buf.size()));
        if (n < buf.size()) return std::wstring(buf.data(), n);
        buf.resize(buf.size() * 2);
    }
}

std::function<void()>& EndHandler() {
    static std::function<void()> h;
    return h;
}

PreTranslateHook g_preTranslate = nullptr;

}  // namespace

std::wstring AppObject::Path() const {
    std::wstring f = ModuleFile();
    size_t slash = f.find_last_of(L"\\/");
    if (slash == std::wstring::npos) return L"";
    std::wstring dir = f.substr(0, slash);
    if (dir.size() == 2 && dir[1] == L':') dir += L'\\';  // a drive's root keeps its "\"
    return dir;
}

std::wstring AppObject::EXEName() const {
    std::wstring f = ModuleFile();
    size_t slash = f.find_last_of(L"\\/");
    std::wstring name = slash == std::wstring::npos ? f : f.substr(slash + 1);
    size_t dot = name.find_last_of(L'.');
    if (dot != std::wstring::npos) name.erase(dot);
    return name;
}

Boolean AppObject::PrevInstance() const {
    static const Boolean found = [] {
        std::wstring name = L"Local\\Quorvane.PrevInstance." + App.EXEName();
        HANDLE m = CreateMutexW(nullptr, FALSE, name.c_str());
        // The mutex is kept open for the life of the process on purpose.
        return ToBoolean(m != nullptr && GetLastError() == ERROR_ALREADY_EXISTS);
    }();
    return found;
}

HINSTANCE AppObject::hInstance() const { return GetModuleHandleW(nullptr); }

namespace {
float TwipsPerPixel(int index) {
    HDC dc = GetDC(nullptr);
    int dpi = GetDeviceCaps(dc, index);
    ReleaseDC(nullptr, dc);
    if (dpi <= 0) dpi = 96;
    // Whole twips only (7 at 192 dpi, not 7.5): callers divide the screen's
    // size in twips by this factor and must get its pixel size back exactly.
    return static_cast<float>(std::max(1, 1440 / dpi));
}
}  // namespace

float ScreenObject::TwipsPerPixelX() const { return TwipsPerPixel(LOGPIXELSX); }
float ScreenObject::TwipsPerPixelY() const { return TwipsPerPixel(LOGPIXELSY); }
int32_t ScreenObject::Width() const {
    return CLng(GetSystemMetrics(SM_CXSCREEN) * static_cast<double>(TwipsPerPixelX()));
}
int32_t ScreenObject::Height() const {
    return CLng(GetSystemMetrics(SM_CYSCREEN) * static_cast<double>(TwipsPerPixelY()));
}

bool OpenClipboardWithin(HWND owner, DWORD patienceMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        if (OpenClipboard(owner)) return true;
        const DWORD spent = GetTickCount() - start;
        if (spent >= patienceMs) return false;
        // The wait can last seconds: messages sent to our windows and their
        // repaints are served meanwhile, so that they keep answering. Input
        // and timers wait for the end, so no other capture starts inside this.
        MsgWaitForMultipleObjects(0, nullptr, FALSE, std::min<DWORD>(10, patienceMs - spent),
                                  QS_SENDMESSAGE | QS_PAINT);
        MSG msg;
        for (int n = 0; n < 16 && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE | PM_QS_PAINT | PM_QS_SENDMESSAGE); ++n)
            DispatchMessageW(&msg);
    }
}

Picture ClipboardObject::GetData(int16_t format) const {
    if (format != CF_BITMAP && format != CF_DIB) Raise(err::InvalidCall);
    Picture pic;
    if (!OpenClipboardWithin(nullptr, 100)) return pic;
    if (HBITMAP b = static_cast<HBITMAP>(GetClipboardData(CF_BITMAP))) {
        // The clipboard keeps its bitmap; the picture owns a copy.
        if (HBITMAP copy = CopyBitmap(b)) pic = Picture::FromBitmap(copy, nullptr, true);
    }
    CloseClipboard();
    return pic;
}

void ClipboardObject::Clear() const {
    if (OpenClipboardWithin(nullptr, 0)) {
        EmptyClipboard();
        CloseClipboard();
    }
}

int32_t MsgBox(const std::wstring& prompt, int32_t buttons, const std::wstring& title) {
    std::wstring t = title.empty() ? App.Title() : title;
    HWND owner = GetActiveWindow();
    return MessageBoxW(owner, prompt.c_str(), t.c_str(), static_cast<UINT>(buttons) | MB_SETFOREGROUND);
}

int32_t DoEvents() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (PreTranslate(msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}

void Kill(const std::wstring& path) {
    if (DeleteFileW(path.c_str())) return;
    DWORD e = GetLastError();
    if (e == ERROR_FILE_NOT_FOUND || e == ERROR_PATH_NOT_FOUND) Raise(err::FileNotFound);
    Raise(err::FileAccess);
}

void SetEndHandler(std::function<void()> handler) { EndHandler() = std::move(handler); }

void End() {
    if (EndHandler()) EndHandler()();
    ExitProcess(0);
}

void SetPreTranslateHook(PreTranslateHook hook) { g_preTranslate = hook; }
bool PreTranslate(MSG& msg) { return g_preTranslate && g_preTranslate(msg); }

int RunMessageLoop() {
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (PreTranslate(msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}

}  // namespace forms
