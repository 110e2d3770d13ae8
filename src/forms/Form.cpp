#include "forms/Form.h"

#include <algorithm>
#include <vector>

#include "forms/Controls.h"
#include "forms/Error.h"
#include "forms/Runtime.h"

namespace forms {

namespace {

// Owner of the forms that stay out of the taskbar.
HWND HiddenOwner() {
    static HWND h = [] {
        WNDCLASSEXW wc{sizeof wc};
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"QuorvaneFormsOwner";
        RegisterClassExW(&wc);
        return CreateWindowExW(0, wc.lpszClassName, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, wc.hInstance, nullptr);
    }();
    return h;
}

struct Flag {
    bool& f;
    explicit Flag(bool& x) : f(x) { f = true; }
    ~Flag() { f = false; }
};

}  // namespace

Form::Form() : Surface(nullptr) {
    borderStyle_ = vbSizable;
    // 4800 x 3600 twips until the form's design says otherwise.
    rect_ = RECT{0, 0, 320, 240};
    visible_ = false;
}

Form::~Form() = default;

void Form::Initialize() {
    if (initialized_) return;
    initialized_ = true;
    Form_Initialize();
}

void Form::Terminate() {
    if (terminated_ || !initialized_) return;
    terminated_ = true;
    Form_Terminate();
}

DWORD Form::Style() const {
    DWORD s = WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
    const bool sizable = borderStyle_ == vbSizable || borderStyle_ == vbSizableToolWindow;
    const bool box = ControlBox && borderStyle_ != vbBSNone;
    switch (borderStyle_) {
        case vbBSNone: s |= WS_POPUP; break;
        case vbFixedSingle: s |= WS_OVERLAPPED | WS_CAPTION; break;
        case vbSizable: s |= WS_OVERLAPPED | WS_CAPTION | WS_THICKFRAME; break;
        case vbFixedDialog: s |= WS_POPUP | WS_CAPTION | DS_MODALFRAME; break;
        case vbFixedToolWindow: s |= WS_POPUP | WS_CAPTION; break;
        case vbSizableToolWindow: s |= WS_POPUP | WS_CAPTION | WS_THICKFRAME; break;
    }
    if (box) s |= WS_SYSMENU;
    if (box && borderStyle_ <= vbSizable && MinButton.value_or(sizable)) s |= WS_MINIMIZEBOX;
    if (box && borderStyle_ <= vbSizable && MaxButton.value_or(sizable)) s |= WS_MAXIMIZEBOX;
    if (!enabled_) s |= WS_DISABLED;
    return s;
}

DWORD Form::ExStyle() const {
    switch (borderStyle_) {
        case vbFixedDialog: return WS_EX_CONTROLPARENT | WS_EX_DLGMODALFRAME;
        case vbFixedToolWindow:
        case vbSizableToolWindow: return WS_EX_CONTROLPARENT | WS_EX_TOOLWINDOW;
        default: return WS_EX_CONTROLPARENT | (ShowInTaskbar ? WS_EX_APPWINDOW : 0);
    }
}

HWND Form::ParentHandle() const { return ShowInTaskbar ? nullptr : HiddenOwner(); }

void Form::OnCreated() {
    Surface::OnCreated();
    if (icon_) Icon(icon_);
    if (startUp_ == vbStartUpOwner || startUp_ == vbStartUpScreen) Centre();
}

void Form::Centre() {
    const int w = rect_.right - rect_.left, h = rect_.bottom - rect_.top;
    int x = (GetSystemMetrics(SM_CXSCREEN) - w) / 2, y = (GetSystemMetrics(SM_CYSCREEN) - h) / 2;
    // A window larger than the screen keeps its caption on the screen, where
    // it can still be taken and moved.
    RECT work{};
    if (SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0)) {
        x = std::max(x, static_cast<int>(work.left));
        y = std::max(y, static_cast<int>(work.top));
    }
    SetPixelRect(x, y, w, h);
}

void Form::Caption(const std::wstring& v) {
    caption_ = v;
    if (hwnd_) SetWindowTextW(hwnd_, v.c_str());
}

void Form::Icon(const forms::Picture& p) {
    if (p && p.Type() != picIcon) Raise(err::InvalidPropertyValue);
    icon_ = p;
    if (!hwnd_) return;
    LPARAM h = static_cast<LPARAM>(p ? p.Handle() : 0);
    SendMessageW(hwnd_, WM_SETICON, ICON_BIG, h);
    SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, h);
}

void Form::BorderStyle(int16_t v) {
    if (v < vbBSNone || v > vbSizableToolWindow) Raise(err::InvalidPropertyValue);
    borderStyle_ = v;
    ApplyFrame();
}

void Form::ApplyFrame() {
    if (!hwnd_) return;
    DWORD vis = GetWindowLongW(hwnd_, GWL_STYLE) & (WS_VISIBLE | WS_MINIMIZE | WS_MAXIMIZE);
    SetWindowLongW(hwnd_, GWL_STYLE, static_cast<LONG>(Style() | vis));
    SetWindowLongW(hwnd_, GWL_EXSTYLE, static_cast<LONG>(ExStyle()));
    SetWindowPos(hwnd_, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void Form::StartUpPosition(int16_t v) {
    if (v < vbStartUpManual || v > vbStartUpWindowsDefault) Raise(err::InvalidPropertyValue);
    startUp_ = v;
}

int16_t Form::WindowState() const {
    if (hwnd_ && IsWindowVisible(hwnd_)) {
        if (IsIconic(hwnd_)) return vbMinimized;
        if (IsZoomed(hwnd_)) return vbMaximized;
        return vbNormal;
    }
    return windowState_;
}

void Form::WindowState(int16_t v) {
    if (v < vbNormal || v > vbMaximized) Raise(err::InvalidPropertyValue);
    windowState_ = v;
    if (hwnd_ && IsWindowVisible(hwnd_))
        ShowWindow(hwnd_, v == vbMinimized ? SW_MINIMIZE : v == vbMaximized ? SW_MAXIMIZE : SW_RESTORE);
}

void Form::ClientSize(float width, float height) {
    RECT r{0, 0, static_cast<LONG>(RoundHalfEven(width / TwipsPerPixelX())),
           static_cast<LONG>(RoundHalfEven(height / TwipsPerPixelY()))};
    AdjustWindowRectEx(&r, hwnd_ ? static_cast<DWORD>(GetWindowLongW(hwnd_, GWL_STYLE)) : Style(), FALSE,
                       hwnd_ ? static_cast<DWORD>(GetWindowLongW(hwnd_, GWL_EXSTYLE)) : ExStyle());
    SetPixelRect(rect_.left, rect_.top, r.right - r.left, r.bottom - r.top);
}

void Form::Load() {
    if (loaded_) return;
    static const bool keysHooked = (SetPreTranslateHook(&DialogKeys), true);
    (void)keysHooked;
    Initialize();
    loaded_ = true;
    try {
        CreateTree();
    } catch (...) {
        loaded_ = false;
        DestroyTree();
        throw;
    }
    Form_Load();
}

void Form::Show() {
    Load();
    if (!hwnd_) return;
    visible_ = true;
    if (!shownOnce_) {
        shownOnce_ = true;
        ShowWindow(hwnd_, windowState_ == vbMinimized   ? SW_SHOWMINIMIZED
                          : windowState_ == vbMaximized ? SW_SHOWMAXIMIZED
                                                        : SW_SHOWNORMAL);
    } else {
        ShowWindow(hwnd_, SW_SHOW);
    }
    for (Component* c : AllControls())
        if (auto* w = dynamic_cast<Window*>(c)) w->OnHostShown(true);
}

void Form::Hide() {
    Load();
    visible_ = false;
    if (hwnd_) ShowWindow(hwnd_, SW_HIDE);
    for (Component* c : AllControls())
        if (auto* w = dynamic_cast<Window*>(c)) w->OnHostShown(false);
}

void Form::Visible(Boolean v) {
    if (v)
        Show();
    else
        Hide();
}

LRESULT Form::WndProc(UINT m, WPARAM w, LPARAM l) {
    if (m == WM_CLOSE) {
        Unload(*this, vbFormControlMenu);
        return 0;
    }
    return Surface::WndProc(m, w, l);
}

void Form::PopupMenu(Menu& menu, int32_t flags, std::optional<float> x, std::optional<float> y) {
    if (!hwnd_) Raise(err::InvalidCall);
    std::vector<Menu*> ids;
    std::function<HMENU(Menu&)> build = [&](Menu& m) {
        HMENU h = CreatePopupMenu();
        for (Menu* it : m.Items()) {
            if (!it->Visible) continue;
            UINT state = (it->Enabled ? 0 : MF_GRAYED) | (it->Checked ? MF_CHECKED : 0);
            if (it->Caption == L"-") {
                AppendMenuW(h, MF_SEPARATOR, 0, nullptr);
            } else if (!it->Items().empty()) {
                AppendMenuW(h, MF_POPUP | state, reinterpret_cast<UINT_PTR>(build(*it)), it->Caption.c_str());
            } else {
                ids.push_back(it);
                AppendMenuW(h, MF_STRING | state, ids.size(), it->Caption.c_str());
            }
        }
        return h;
    };
    HMENU h = build(menu);
    POINT pt;
    GetCursorPos(&pt);
    if (x || y) {
        POINT c{x ? static_cast<LONG>(RoundHalfEven(*x / UnitsPerPixelX())) : 0,
                y ? static_cast<LONG>(RoundHalfEven(*y / UnitsPerPixelY())) : 0};
        ClientToScreen(hwnd_, &c);
        if (x) pt.x = c.x;
        if (y) pt.y = c.y;
    }
    const UINT align = static_cast<UINT>(flags) & (TPM_CENTERALIGN | TPM_RIGHTALIGN | TPM_RIGHTBUTTON);
    UINT cmd = GetMenuItemCount(h) > 0
                   ? static_cast<UINT>(TrackPopupMenu(h, TPM_RETURNCMD | TPM_NONOTIFY | align, pt.x, pt.y, 0, hwnd_, nullptr))
                   : 0;
    DestroyMenu(h);
    if (cmd > 0 && cmd <= ids.size() && ids[cmd - 1]->Click) ids[cmd - 1]->Click();
}

bool Unload(Form& form, int16_t mode) {
    if (!form.loaded_ || form.unloading_) return true;
    {
        Flag busy(form.unloading_);
        int16_t cancel = 0;
        form.Form_QueryUnload(cancel, mode);
        if (cancel) return false;
        form.Form_Unload(cancel);
        if (cancel) return false;
    }
    form.DestroyTree();
    form.loaded_ = false;
    form.shownOnce_ = false;
    form.visible_ = false;
    return true;
}

bool EndInstance(Form& form) {
    if (!Unload(form, vbFormCode)) return false;
    form.Terminate();
    return true;
}

Variant Form::GetProperty(std::wstring_view n) {
    if (NameIs(n, L"Caption")) return Caption();
    if (NameIs(n, L"Icon")) return Icon();
    if (NameIs(n, L"WindowState")) return WindowState();
    if (NameIs(n, L"KeyPreview")) return Variant::FromBoolean(KeyPreview());
    if (NameIs(n, L"StartUpPosition")) return StartUpPosition();
    return Surface::GetProperty(n);
}

void Form::LetProperty(std::wstring_view n, const Variant& v) {
    if (NameIs(n, L"Caption")) return Caption(v.AsString());
    if (NameIs(n, L"Icon")) return Icon(v.AsPicture());
    if (NameIs(n, L"WindowState")) return WindowState(v.AsInteger());
    if (NameIs(n, L"KeyPreview")) return KeyPreview(v.AsBoolean());
    if (NameIs(n, L"StartUpPosition")) return StartUpPosition(v.AsInteger());
    Surface::LetProperty(n, v);
}

Variant Form::CallMethod(std::wstring_view n, const std::vector<Variant>& a) {
    if (NameIs(n, L"Show")) {
        Show();
        return {};
    }
    if (NameIs(n, L"Hide")) {
        Hide();
        return {};
    }
    return Surface::CallMethod(n, a);
}

}  // namespace forms
