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

namespace {

// The boxes MsgBox shows now, innermost last, and the hook that finds the
// next one as it comes up.
std::vector<HWND> g_boxes;
HHOOK g_boxHook = nullptr;

// The platform sizes a box to its longest line, and a long path is one word:
// a box wider than three quarters of the screen is narrowed to that and its
// text wrapped, words cut where they must be.
void FitToScreen(HWND box) {
    RECT work{}, r{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    GetWindowRect(box, &r);
    const int limit = (work.right - work.left) * 3 / 4;
    const int excess = (r.right - r.left) - limit;
    if (excess <= 0) return;
    HWND text = nullptr;
    for (HWND c = GetWindow(box, GW_CHILD); c && !text; c = GetWindow(c, GW_HWNDNEXT)) {
        wchar_t cls[16] = {};
        GetClassNameW(c, cls, 16);
        if (lstrcmpiW(cls, L"Static") == 0 && (GetWindowLongW(c, GWL_STYLE) & SS_TYPEMASK) != SS_ICON &&
            GetWindowTextLengthW(c) > 0)
            text = c;
    }
    if (!text) return;
    RECT tr{};
    GetWindowRect(text, &tr);
    MapWindowPoints(nullptr, box, reinterpret_cast<POINT*>(&tr), 2);
    const int width = (tr.right - tr.left) - excess;
    if (width < 100) return;
    std::vector<wchar_t> words(GetWindowTextLengthW(text) + 1);
    GetWindowTextW(text, words.data(), static_cast<int>(words.size()));
    RECT need{0, 0, width, 0};
    HDC dc = GetDC(text);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(text, WM_GETFONT, 0, 0)));
    DrawTextW(dc, words.data(), -1, &need,
              DT_CALCRECT | DT_WORDBREAK | DT_EDITCONTROL | DT_EXPANDTABS | DT_NOPREFIX);
    SelectObject(dc, old);
    ReleaseDC(text, dc);
    const int taller = std::max<int>(0, need.bottom - (tr.bottom - tr.top));

    SetWindowLongW(text, GWL_STYLE, GetWindowLongW(text, GWL_STYLE) | SS_EDITCONTROL);
    SetWindowPos(text, nullptr, 0, 0, width, (tr.bottom - tr.top) + taller, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    // The buttons stay centred under the text.
    for (HWND c = GetWindow(box, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        wchar_t cls[16] = {};
        GetClassNameW(c, cls, 16);
        if (lstrcmpiW(cls, L"Button") != 0) continue;
        RECT b{};
        GetWindowRect(c, &b);
        MapWindowPoints(nullptr, box, reinterpret_cast<POINT*>(&b), 2);
        SetWindowPos(c, nullptr, b.left - excess / 2, b.top + taller, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    const int w = limit, h = (r.bottom - r.top) + taller;
    const int top = std::max<int>(work.top, work.top + ((work.bottom - work.top) - h) / 2);
    SetWindowPos(box, nullptr, work.left + ((work.right - work.left) - w) / 2, top, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
}

// Follows the next box from the end of its own layout to its showing.
LRESULT CALLBACK FollowBox(int code, WPARAM w, LPARAM l) {
    if (code == HC_ACTION) {
        const auto* m = reinterpret_cast<const CWPRETSTRUCT*>(l);
        wchar_t cls[16] = {};
        if (m->message == WM_INITDIALOG && GetClassNameW(m->hwnd, cls, 16) && lstrcmpW(cls, L"#32770") == 0 &&
            std::find(g_boxes.begin(), g_boxes.end(), m->hwnd) == g_boxes.end()) {
            g_boxes.push_back(m->hwnd);
            FitToScreen(m->hwnd);
        } else if (m->message == WM_WINDOWPOSCHANGED && !g_boxes.empty() && m->hwnd == g_boxes.back() &&
                   (reinterpret_cast<const WINDOWPOS*>(m->lParam)->flags & SWP_SHOWWINDOW)) {
            UnhookWindowsHookEx(g_boxHook);
            g_boxHook = nullptr;
            // Showing does not raise it above the other topmost windows.
            SetWindowPos(m->hwnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        }
    }
    return CallNextHookEx(nullptr, code, w, l);
}

}  // namespace

int32_t MsgBox(const std::wstring& prompt, int32_t buttons, const std::wstring& title) {
    std::wstring t = title.empty() ? App.Title() : title;
    HWND owner = GetActiveWindow();
    const size_t open = g_boxes.size();
    if (g_boxHook) UnhookWindowsHookEx(g_boxHook);
    g_boxHook = SetWindowsHookExW(WH_CALLWNDPROCRET, FollowBox, nullptr, GetCurrentThreadId());
    const int32_t chosen =
        MessageBoxW(owner, prompt.c_str(), t.c_str(), static_cast<UINT>(buttons) | MB_SETFOREGROUND | MB_TOPMOST);
    if (g_boxHook) UnhookWindowsHookEx(g_boxHook);
    g_boxHook = nullptr;
    g_boxes.resize(std::min(open, g_boxes.size()));
    return chosen;
}

HWND ShownMsgBox() {
    for (auto it = g_boxes.rbegin(); it != g_boxes.rend(); ++it)
        if (IsWindow(*it)) return *it;
    return nullptr;
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
