#include "app/Program.h"

#include <windows.h>
#include <commctrl.h>

#include "forms/Runtime.h"

namespace app {

namespace {

const wchar_t kMainClass[] = L"QuorvaneCaptureMain";

LRESULT CALLBACK MainProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    if (m == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(h, m, w, l);
}

}  // namespace

int RunProgram() {
    OleInitialize(nullptr);
    InitCommonControls();
    if (forms::App.PrevInstance() == forms::True) {
        forms::MsgBox(L"Can,t open another copy of Quorvane Capture", forms::vbExclamation, L"Quorvane Capture");
        forms::End();
    }
    WNDCLASSEXW wc{sizeof wc};
    wc.lpfnWndProc = MainProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kMainClass;
    wc.hIcon = LoadIconW(wc.hInstance, MAKEINTRESOURCEW(101));
    RegisterClassExW(&wc);
    RECT r{0, 0, 560, 400};
    DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    AdjustWindowRect(&r, style, FALSE);
    int w = r.right - r.left, h = r.bottom - r.top;
    HWND hwnd = CreateWindowExW(0, kMainClass, L"Quorvane Capture 1.0", style,
                                (GetSystemMetrics(SM_CXSCREEN) - w) / 2, (GetSystemMetrics(SM_CYSCREEN) - h) / 2, w, h,
                                nullptr, nullptr, wc.hInstance, nullptr);
    SendMessageW(hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(wc.hIcon));
    ShowWindow(hwnd, SW_SHOW);
    int rc = forms::RunMessageLoop();
    OleUninitialize();
    return rc;
}

}  // namespace app
