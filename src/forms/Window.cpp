#include "forms/Window.h"

#include <windowsx.h>

#include <algorithm>

#include "forms/Error.h"
#include "forms/Form.h"
#include "forms/Runtime.h"

namespace forms {

namespace {

const wchar_t kClassName[] = L"QuorvaneFormsWindow";
const wchar_t kPropName[] = L"QuorvaneFormsObject";

int g_depth = 0;
std::vector<std::function<void()>>& Graveyard() {
    static std::vector<std::function<void()>> g;
    return g;
}

void FlushGraveyard() {
    while (g_depth == 0 && !Graveyard().empty()) {
        auto items = std::move(Graveyard());
        Graveyard().clear();
        for (auto& d : items) d();
    }
}

using DepthGuard = EventScope;

int ToPixels(float v, float unitsPerPixel) {
    return static_cast<int>(RoundHalfEven(static_cast<double>(v) / unitsPerPixel));
}

int16_t ShiftState() {
    int16_t s = 0;
    if (GetKeyState(VK_SHIFT) < 0) s |= vbShiftMask;
    if (GetKeyState(VK_CONTROL) < 0) s |= vbCtrlMask;
    if (GetKeyState(VK_MENU) < 0) s |= vbAltMask;
    return s;
}

int16_t ButtonsOf(WPARAM w) {
    int16_t b = 0;
    if (w & MK_LBUTTON) b |= vbLeftButton;
    if (w & MK_RBUTTON) b |= vbRightButton;
    if (w & MK_MBUTTON) b |= vbMiddleButton;
    return b;
}

HCURSOR StandardCursor(int16_t pointer) {
    const wchar_t* id = nullptr;
    switch (pointer) {
        case vbArrow: id = IDC_ARROW; break;
        case vbCrosshair: id = IDC_CROSS; break;
        case vbIbeam: id = IDC_IBEAM; break;
        case vbSizePointer: case vbSizeAll: id = IDC_SIZEALL; break;
        case vbSizeNESW: id = IDC_SIZENESW; break;
        case vbSizeNS: id = IDC_SIZENS; break;
        case vbSizeNWSE: id = IDC_SIZENWSE; break;
        case vbSizeWE: id = IDC_SIZEWE; break;
        case vbUpArrow: id = IDC_UPARROW; break;
        case vbHourglass: id = IDC_WAIT; break;
        case vbNoDrop: id = IDC_NO; break;
        case vbArrowHourglass: id = IDC_APPSTARTING; break;
        case vbArrowQuestion: id = IDC_HELP; break;
        default: return nullptr;
    }
    return LoadCursorW(nullptr, id);
}

}  // namespace

EventScope::EventScope() { ++g_depth; }
EventScope::~EventScope() {
    if (--g_depth == 0) FlushGraveyard();
}

LRESULT CALLBACK RouteMessage(HWND h, UINT m, WPARAM w, LPARAM l) {
    Window* self = static_cast<Window*>(GetPropW(h, kPropName));
    if (!self && m == WM_NCCREATE) {
        self = static_cast<Window*>(reinterpret_cast<CREATESTRUCTW*>(l)->lpCreateParams);
        if (self) {
            self->hwnd_ = h;
            SetPropW(h, kPropName, self);
        }
    }
    if (!self) return DefWindowProcW(h, m, w, l);
    DepthGuard guard;
    LRESULT r = 0;
    try {
        r = self->WndProc(m, w, l);
    } catch (const std::exception&) {
        // An error escaping an event has nowhere to go inside a window
        // procedure; the event ends there.
    }
    if (m == WM_NCDESTROY) {
        RemovePropW(h, kPropName);
        if (self->hwnd_ == h) self->hwnd_ = nullptr;
    }
    return r;
}

namespace {
ATOM RegisterRuntimeClass() {
    static const ATOM atom = [] {
        WNDCLASSEXW wc{sizeof wc};
        wc.style = CS_DBLCLKS | CS_OWNDC;
        wc.lpfnWndProc = RouteMessage;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.lpszClassName = kClassName;
        return RegisterClassExW(&wc);
    }();
    return atom;
}
}  // namespace

void DeleteWhenIdle(std::function<void()> deleter) {
    Graveyard().push_back(std::move(deleter));
    FlushGraveyard();
}
bool InsideEvent() { return g_depth > 0; }

float TwipsPerPixelX() { return Screen.TwipsPerPixelX(); }
float TwipsPerPixelY() { return Screen.TwipsPerPixelY(); }

COLORREF TranslateColour(int32_t colour) {
    COLORREF c = 0;
    if (FAILED(OleTranslateColor(static_cast<OLE_COLOR>(colour), nullptr, &c))) Raise(err::InvalidPropertyValue);
    return c;
}

// ---- Component ----

Component::Component(Window* container, std::wstring name) : Name(std::move(name)), container_(container) {
    if (container_) container_->children_.push_back(this);
}

Component::~Component() {
    if (container_) {
        auto& c = container_->children_;
        c.erase(std::remove(c.begin(), c.end(), this), c.end());
    }
}

Form* Component::HostForm() const {
    const Component* c = this;
    while (c->container_) c = c->container_;
    return dynamic_cast<Form*>(const_cast<Component*>(c));
}

Component& Controls::Item(size_t i) const {
    if (i >= items_.size()) Raise(err::Subscript);
    return *items_[i];
}

Component& Controls::operator[](std::wstring_view name) const {
    for (Component* c : items_)
        if (NameIs(c->Name, name)) return *c;
    Raise(err::ControlNotFound, {}, L"Control '" + std::wstring(name) + L"' not found");
}

// ---- Window ----

Window::Window(Window* container, std::wstring name) : Component(container, std::move(name)) {}

Window::~Window() {
    if (hwnd_) {
        HWND h = hwnd_;
        RemovePropW(h, kPropName);
        if (platformProc_) SetWindowLongPtrW(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(platformProc_));
        hwnd_ = nullptr;
        DestroyWindow(h);
    }
}

Window* Window::FromHandle(HWND h) { return h ? static_cast<Window*>(GetPropW(h, kPropName)) : nullptr; }

HWND Window::ParentHandle() const { return container_ ? container_->hWnd() : nullptr; }

DWORD Window::Style() const {
    DWORD s = WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
    if (visible_) s |= WS_VISIBLE;
    if (!enabled_) s |= WS_DISABLED;
    return s;
}

void Window::CreateTree() {
    if (hwnd_) return;
    HWND parent = ParentHandle();
    if (container_ && !parent) return;  // the container has no window yet
    const wchar_t* cls = PlatformClass();
    HINSTANCE inst = GetModuleHandleW(nullptr);
    std::wstring text = WindowText();
    if (!cls) {
        RegisterRuntimeClass();
        CreateWindowExW(ExStyle(), kClassName, text.c_str(), Style(), rect_.left, rect_.top,
                        rect_.right - rect_.left, rect_.bottom - rect_.top, parent, nullptr, inst, this);
    } else {
        HWND h = CreateWindowExW(ExStyle(), cls, text.c_str(), Style(), rect_.left, rect_.top,
                                 rect_.right - rect_.left, rect_.bottom - rect_.top, parent, nullptr, inst, nullptr);
        if (h) {
            hwnd_ = h;
            SetPropW(h, kPropName, this);
            platformProc_ = reinterpret_cast<WNDPROC>(
                SetWindowLongPtrW(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(RouteMessage)));
        }
    }
    if (!hwnd_) Raise(err::OutOfMemory, {}, L"The window could not be created");
    OnCreated();
    // A child may remove itself from the list while it is being made.
    std::vector<Component*> kids = children_;
    for (Component* c : kids) c->Attach();
    OnChildrenCreated();
}

void Window::DestroyTree() {
    std::vector<Component*> kids = children_;
    for (auto it = kids.rbegin(); it != kids.rend(); ++it) (*it)->Detach();
    if (!hwnd_) return;
    HWND h = hwnd_;
    DestroyWindow(h);  // OnDestroying runs on the way
    hwnd_ = nullptr;
    platformProc_ = nullptr;
}

LRESULT Window::DefaultProc(UINT m, WPARAM w, LPARAM l) {
    if (platformProc_) return CallWindowProcW(platformProc_, hwnd_, m, w, l);
    return DefWindowProcW(hwnd_, m, w, l);
}

bool Window::HandleMouse(UINT m, WPARAM w, LPARAM l) {
    const float x = static_cast<float>(GET_X_LPARAM(l)) * UnitsPerPixelX();
    const float y = static_cast<float>(GET_Y_LPARAM(l)) * UnitsPerPixelY();
    const int16_t shift = ShiftState();
    int16_t button = 0;
    bool down = false, up = false, dbl = false;
    switch (m) {
        case WM_MOUSEMOVE: OnMouseMove(ButtonsOf(w), shift, x, y); return true;
        case WM_LBUTTONDOWN: button = vbLeftButton; down = true; break;
        case WM_RBUTTONDOWN: button = vbRightButton; down = true; break;
        case WM_MBUTTONDOWN: button = vbMiddleButton; down = true; break;
        case WM_LBUTTONDBLCLK: button = vbLeftButton; dbl = true; break;
        case WM_RBUTTONDBLCLK: button = vbRightButton; down = true; break;
        case WM_MBUTTONDBLCLK: button = vbMiddleButton; down = true; break;
        case WM_LBUTTONUP: button = vbLeftButton; up = true; break;
        case WM_RBUTTONUP: button = vbRightButton; up = true; break;
        case WM_MBUTTONUP: button = vbMiddleButton; up = true; break;
        default: return false;
    }
    HWND self = hwnd_;
    if (down || dbl) {
        // The window that saw the press sees the rest of the gesture.
        if (!GetCapture()) SetCapture(self);
        if (button == vbLeftButton) clicking_ = !dbl;
        // The second press of a double click raises DblClick in place of MouseDown.
        if (dbl)
            OnDblClick();
        else
            OnMouseDown(button, shift, x, y);
    } else if (up) {
        bool wasClick = button == vbLeftButton && clicking_;
        if (button == vbLeftButton) clicking_ = false;
        if (GetCapture() == self && !(w & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON))) ReleaseCapture();
        OnMouseUp(button, shift, x, y);
        if (wasClick && IsWindow(self)) {
            POINT pt{GET_X_LPARAM(l), GET_Y_LPARAM(l)};
            RECT rc;
            GetClientRect(self, &rc);
            if (PtInRect(&rc, pt)) OnClick();
        }
    }
    return true;
}

void Window::RaiseMouse(UINT m, WPARAM w, LPARAM l) {
    const float x = static_cast<float>(GET_X_LPARAM(l)) * UnitsPerPixelX();
    const float y = static_cast<float>(GET_Y_LPARAM(l)) * UnitsPerPixelY();
    const int16_t shift = ShiftState();
    switch (m) {
        case WM_MOUSEMOVE: OnMouseMove(ButtonsOf(w), shift, x, y); break;
        case WM_LBUTTONDOWN: case WM_LBUTTONDBLCLK: OnMouseDown(vbLeftButton, shift, x, y); break;
        case WM_RBUTTONDOWN: case WM_RBUTTONDBLCLK: OnMouseDown(vbRightButton, shift, x, y); break;
        case WM_MBUTTONDOWN: case WM_MBUTTONDBLCLK: OnMouseDown(vbMiddleButton, shift, x, y); break;
        case WM_LBUTTONUP: OnMouseUp(vbLeftButton, shift, x, y); break;
        case WM_RBUTTONUP: OnMouseUp(vbRightButton, shift, x, y); break;
        case WM_MBUTTONUP: OnMouseUp(vbMiddleButton, shift, x, y); break;
        default: break;
    }
}

bool Window::HandleKeys(UINT m, WPARAM w, LPARAM l, LRESULT& result) {
    if (m != WM_KEYDOWN && m != WM_KEYUP && m != WM_CHAR && m != WM_SYSKEYDOWN && m != WM_SYSKEYUP) return false;
    // A form with KeyPreview sees its controls' keys first and may eat them.
    Form* form = HostForm();
    int16_t key = static_cast<int16_t>(w);
    const int16_t shift = ShiftState();
    auto raise = [&](Window* target) {
        switch (m) {
            case WM_KEYDOWN: case WM_SYSKEYDOWN: target->OnKeyDown(key, shift); break;
            case WM_KEYUP: case WM_SYSKEYUP: target->OnKeyUp(key, shift); break;
            case WM_CHAR: target->OnKeyPress(key); break;
        }
    };
    if (form && form != this && IsTrue(form->KeyPreview())) raise(form);
    if (key != 0) raise(this);
    if (key == 0) {
        result = 0;
        return true;  // eaten
    }
    if (m == WM_CHAR) w = static_cast<WPARAM>(static_cast<uint16_t>(key));
    result = DefaultProc(m, w, l);
    return true;
}

LRESULT Window::WndProc(UINT m, WPARAM w, LPARAM l) {
    switch (m) {
        case WM_DESTROY:
            // Also when the window goes with a parent it was moved into.
            OnDestroying();
            break;
        case WM_WINDOWPOSCHANGED: {
            RECT r;
            GetWindowRect(hwnd_, &r);
            HWND parent = GetParent(hwnd_);
            if (parent && (GetWindowLongW(hwnd_, GWL_STYLE) & WS_CHILD)) MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
            if (!IsIconic(hwnd_) && !IsZoomed(hwnd_)) rect_ = r;
            break;
        }
        case WM_SIZE: {
            LRESULT r = DefaultProc(m, w, l);
            OnResize();
            return r;
        }
        case WM_SETFOCUS: {
            LRESULT r = DefaultProc(m, w, l);
            OnGotFocus();
            return r;
        }
        case WM_KILLFOCUS: {
            LRESULT r = DefaultProc(m, w, l);
            OnLostFocus();
            return r;
        }
        case WM_SETCURSOR:
            // Only for the pointer over this window itself, not its children.
            if (reinterpret_cast<HWND>(w) == hwnd_ && LOWORD(l) == HTCLIENT) {
                if (mousePointer_ == vbCustom && mouseIcon_) {
                    SetCursor(reinterpret_cast<HCURSOR>(static_cast<uintptr_t>(mouseIcon_.Handle())));
                    return TRUE;
                }
                if (HCURSOR c = StandardCursor(mousePointer_)) {
                    SetCursor(c);
                    return TRUE;
                }
            }
            break;
        case WM_COMMAND:
        case WM_HSCROLL:
        case WM_VSCROLL:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORSCROLLBAR:
            if (l) {
                if (Window* child = FromHandle(reinterpret_cast<HWND>(l)); child && child != this) {
                    LRESULT r = 0;
                    if (child->OnReflected(m, w, l, r)) return r;
                }
            }
            break;
        case WM_KEYDOWN:
        case WM_KEYUP:
        case WM_CHAR:
        case WM_SYSKEYDOWN:
        case WM_SYSKEYUP: {
            LRESULT r = 0;
            if (HandleKeys(m, w, l, r)) return r;
            break;
        }
        default:
            break;
    }
    if (m >= WM_MOUSEFIRST && m <= WM_MBUTTONDBLCLK) {
        if (!platformProc_) {
            HandleMouse(m, w, l);
            return 0;
        }
        RaiseMouse(m, w, l);
        if (!hwnd_) return 0;  // the event destroyed the control
    }
    return DefaultProc(m, w, l);
}

float Window::ContainerUnitsPerPixelX() const { return container_ ? container_->UnitsPerPixelX() : TwipsPerPixelX(); }
float Window::ContainerUnitsPerPixelY() const { return container_ ? container_->UnitsPerPixelY() : TwipsPerPixelY(); }
float Window::UnitsPerPixelX() const { return ContainerUnitsPerPixelX(); }
float Window::UnitsPerPixelY() const { return ContainerUnitsPerPixelY(); }

float Window::Left() const { return static_cast<float>(rect_.left) * ContainerUnitsPerPixelX(); }
float Window::Top() const { return static_cast<float>(rect_.top) * ContainerUnitsPerPixelY(); }
float Window::Width() const { return static_cast<float>(rect_.right - rect_.left) * ContainerUnitsPerPixelX(); }
float Window::Height() const { return static_cast<float>(rect_.bottom - rect_.top) * ContainerUnitsPerPixelY(); }

void Window::Left(float v) { Move(v); }
void Window::Top(float v) { Move(Left(), v); }
void Window::Width(float v) { Move(Left(), Top(), v); }
void Window::Height(float v) { Move(Left(), Top(), Width(), v); }

void Window::Move(float left, std::optional<float> top, std::optional<float> width, std::optional<float> height) {
    const float ux = ContainerUnitsPerPixelX(), uy = ContainerUnitsPerPixelY();
    // A negative size is refused rather than turned into a huge window.
    if ((width && *width < 0) || (height && *height < 0)) Raise(err::InvalidPropertyValue);
    int x = ToPixels(left, ux);
    int y = top ? ToPixels(*top, uy) : rect_.top;
    int w = width ? ToPixels(*width, ux) : rect_.right - rect_.left;
    int h = height ? ToPixels(*height, uy) : rect_.bottom - rect_.top;
    SetPixelRect(x, y, w, h);
}

void Window::SetPixelRect(int x, int y, int w, int h) {
    rect_ = RECT{x, y, x + std::max(w, 0), y + std::max(h, 0)};
    ApplyRect();
}

void Window::ApplyRect() {
    if (!hwnd_) return;
    RECT r = rect_;
    SetWindowPos(hwnd_, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
    rect_ = r;  // keep the asked-for size even where the platform clamps it
}

Boolean Window::Visible() const {
    if (hwnd_) return ToBoolean(GetWindowLongW(hwnd_, GWL_STYLE) & WS_VISIBLE);
    return ToBoolean(visible_);
}

void Window::Visible(Boolean v) {
    visible_ = v != 0;
    if (hwnd_) ShowWindow(hwnd_, visible_ ? SW_SHOWNA : SW_HIDE);
}

void Window::Enabled(Boolean v) {
    enabled_ = v != 0;
    if (hwnd_) EnableWindow(hwnd_, enabled_);
}

void Window::ZOrder(int16_t position) {
    if (!hwnd_) return;
    HWND after = position == 0 ? HWND_TOP : HWND_BOTTOM;
    SetWindowPos(hwnd_, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void Window::SetFocus() {
    // A hidden or disabled window cannot take the focus (error 5).
    if (!hwnd_ || !IsWindowVisible(hwnd_) || !IsWindowEnabled(hwnd_)) Raise(err::InvalidCall);
    ::SetFocus(hwnd_);
}

void Window::Refresh() {
    if (!hwnd_) return;
    InvalidateRect(hwnd_, nullptr, TRUE);
    UpdateWindow(hwnd_);
}

namespace {
// A pointer changed while the mouse is over the window, or held by it, shows
// at once rather than at the next move (none comes during a held drag).
void ShowPointerNow(HWND h) {
    if (!h) return;
    POINT pt;
    if (GetCapture() != h && (!GetCursorPos(&pt) || WindowFromPoint(pt) != h)) return;
    SendMessageW(h, WM_SETCURSOR, reinterpret_cast<WPARAM>(h), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
}
}  // namespace

void Window::MousePointer(int16_t v) {
    if (StandardCursor(v) == nullptr && v != vbDefault && v != vbCustom) Raise(err::InvalidPropertyValue);
    mousePointer_ = v;
    ShowPointerNow(hwnd_);
}

void Window::MouseIcon(const Picture& p) {
    // Only an icon or cursor can be a pointer.
    if (p && p.Type() != picIcon) Raise(err::InvalidPropertyValue);
    mouseIcon_ = p;
    ShowPointerNow(hwnd_);
}

Controls Window::AllControls() const {
    std::vector<Component*> out;
    std::function<void(const Window&)> walk = [&](const Window& w) {
        for (Component* c : w.children_) {
            out.push_back(c);
            if (auto* cw = dynamic_cast<Window*>(c)) walk(*cw);
        }
    };
    walk(*this);
    return Controls(std::move(out));
}

namespace {
int32_t HandleValue(const void* h) { return static_cast<int32_t>(reinterpret_cast<intptr_t>(h)); }
}  // namespace

Variant Window::GetProperty(std::wstring_view n) {
    if (NameIs(n, L"hWnd")) return HandleValue(hwnd_);
    if (NameIs(n, L"Left")) return Left();
    if (NameIs(n, L"Top")) return Top();
    if (NameIs(n, L"Width")) return Width();
    if (NameIs(n, L"Height")) return Height();
    if (NameIs(n, L"Visible")) return Variant::FromBoolean(Visible());
    if (NameIs(n, L"Enabled")) return Variant::FromBoolean(Enabled());
    if (NameIs(n, L"Name")) return Name;
    if (NameIs(n, L"MousePointer")) return MousePointer();
    if (NameIs(n, L"MouseIcon")) return MouseIcon();
    if (NameIs(n, L"Container") || NameIs(n, L"Parent")) {
        Object* o = NameIs(n, L"Parent") ? static_cast<Object*>(HostForm()) : container_;
        return o ? Variant(Ref(*o)) : Variant();
    }
    return Component::GetProperty(n);
}

void Window::LetProperty(std::wstring_view n, const Variant& v) {
    if (NameIs(n, L"Left")) return Left(v.AsSingle());
    if (NameIs(n, L"Top")) return Top(v.AsSingle());
    if (NameIs(n, L"Width")) return Width(v.AsSingle());
    if (NameIs(n, L"Height")) return Height(v.AsSingle());
    if (NameIs(n, L"Visible")) return Visible(v.AsBoolean());
    if (NameIs(n, L"Enabled")) return Enabled(v.AsBoolean());
    if (NameIs(n, L"MousePointer")) return MousePointer(v.AsInteger());
    if (NameIs(n, L"MouseIcon")) return MouseIcon(v.AsPicture());
    Component::LetProperty(n, v);
}

Variant Window::CallMethod(std::wstring_view n, const std::vector<Variant>& a) {
    auto opt = [&](size_t i) -> std::optional<float> {
        return ArgAt(a, i).IsEmpty() ? std::nullopt : std::optional<float>(ArgAt(a, i).AsSingle());
    };
    if (NameIs(n, L"Move")) {
        if (a.empty()) Raise(err::InvalidCall);
        Move(a[0].AsSingle(), opt(1), opt(2), opt(3));
        return {};
    }
    if (NameIs(n, L"ZOrder")) {
        ZOrder(ArgAt(a, 0).AsInteger());
        return {};
    }
    if (NameIs(n, L"SetFocus")) {
        SetFocus();
        return {};
    }
    if (NameIs(n, L"Refresh")) {
        Refresh();
        return {};
    }
    return Component::CallMethod(n, a);
}

}  // namespace forms
