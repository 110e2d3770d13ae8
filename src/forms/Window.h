#pragma once
// The base of every object that lives in a container (controls, timers) and
// of every windowed object: geometry in the container's scale, visibility,
// focus, the mouse pointer and the mouse and key events.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "forms/Object.h"
#include "forms/Picture.h"
#include "forms/Values.h"

namespace forms {

class Window;
class Form;

// Runtime error for a value a property refuses.
namespace err {
inline constexpr int32_t InvalidPropertyValue = 380;
inline constexpr int32_t ControlNotFound = 730;
}  // namespace err

// A colour value as the platform draws it: &H80000000 + n is system colour n.
COLORREF TranslateColour(int32_t colour);

// Anything placed in a container: windowed controls and timers.
class Component : public Object {
public:
    explicit Component(Window* container, std::wstring name = {});
    ~Component() override;
    Component(const Component&) = delete;
    Component& operator=(const Component&) = delete;

    std::wstring Name;
    Window* Container() const { return container_; }
    // The form at the root of the containers, or null.
    Form* HostForm() const;

protected:
    friend class Window;
    // The container's window has been made / is about to go.
    virtual void Attach() {}
    virtual void Detach() {}

    Window* container_;
};

// All components below a container, depth first, reachable by index or name.
class Controls {
public:
    explicit Controls(std::vector<Component*> items) : items_(std::move(items)) {}
    size_t Count() const { return items_.size(); }
    Component& Item(size_t i) const;
    // A missing name raises 730.
    Component& operator[](std::wstring_view name) const;
    auto begin() const { return items_.begin(); }
    auto end() const { return items_.end(); }

private:
    std::vector<Component*> items_;
};

enum MousePointerConstants : int16_t {
    vbDefault = 0, vbArrow = 1, vbCrosshair = 2, vbIbeam = 3, vbSizePointer = 5, vbSizeNESW = 6, vbSizeNS = 7,
    vbSizeNWSE = 8, vbSizeWE = 9, vbUpArrow = 10, vbHourglass = 11, vbNoDrop = 12, vbArrowHourglass = 13,
    vbArrowQuestion = 14, vbSizeAll = 15, vbCustom = 99
};

// Mouse buttons and shift states as the events report them.
enum : int16_t { vbLeftButton = 1, vbRightButton = 2, vbMiddleButton = 4 };
enum : int16_t { vbShiftMask = 1, vbCtrlMask = 2, vbAltMask = 4 };

class Window : public Component {
public:
    explicit Window(Window* container, std::wstring name = {});
    ~Window() override;

    std::wstring TypeName() const override { return L"Window"; }

    HWND hWnd() const { return hwnd_; }
    static Window* FromHandle(HWND h);

    // Geometry in the container's scale (twips for a form on the screen).
    float Left() const;
    float Top() const;
    float Width() const;
    float Height() const;
    void Left(float v);
    void Top(float v);
    void Width(float v);
    void Height(float v);
    void Move(float left, std::optional<float> top = {}, std::optional<float> width = {},
              std::optional<float> height = {});
    // The same in pixels, relative to the container's client area.
    RECT PixelRect() const { return rect_; }
    void SetPixelRect(int x, int y, int w, int h);

    Boolean Visible() const;
    virtual void Visible(Boolean v);
    Boolean Enabled() const { return ToBoolean(enabled_); }
    virtual void Enabled(Boolean v);
    // 0 brings the window to the front of its siblings, 1 sends it to the back.
    void ZOrder(int16_t position = 0);
    void SetFocus();
    virtual void Refresh();

    int16_t MousePointer() const { return mousePointer_; }
    void MousePointer(int16_t v);
    const Picture& MouseIcon() const { return mouseIcon_; }
    void MouseIcon(const Picture& p);

    // Units of this object's own scale per pixel (a plain control uses its
    // container's scale).
    virtual float UnitsPerPixelX() const;
    virtual float UnitsPerPixelY() const;
    float ContainerUnitsPerPixelX() const;
    float ContainerUnitsPerPixelY() const;

    const std::vector<Component*>& Children() const { return children_; }
    // Everything below this window, depth first.
    Controls AllControls() const;

    // Events, with X and Y in the object's own scale.
    std::function<void(int16_t Button, int16_t Shift, float X, float Y)> MouseDown, MouseMove, MouseUp;
    std::function<void()> Click, DblClick, Resize, Paint, GotFocus, LostFocus;
    std::function<void(int16_t& KeyCode, int16_t Shift)> KeyDown, KeyUp;
    std::function<void(int16_t& KeyAscii)> KeyPress;

    Variant GetProperty(std::wstring_view name) override;
    void LetProperty(std::wstring_view name, const Variant& value) override;
    Variant CallMethod(std::wstring_view name, const std::vector<Variant>& args) override;

protected:
    friend class Component;
    friend LRESULT CALLBACK RouteMessage(HWND, UINT, WPARAM, LPARAM);

    // Makes this window (and then its children's) inside the container's.
    void CreateTree();
    // Destroys the children's windows and then this one.
    void DestroyTree();

    // Window creation: the platform class (null for the runtime's own),
    // styles, and what follows once the handle exists.
    virtual const wchar_t* PlatformClass() const { return nullptr; }
    virtual DWORD Style() const;
    virtual DWORD ExStyle() const { return 0; }
    virtual std::wstring WindowText() const { return {}; }
    virtual HWND ParentHandle() const;
    virtual void OnCreated() {}
    // After the children's windows have been made.
    virtual void OnChildrenCreated() {}
    virtual void OnDestroying() {}
    // The host form has been shown or hidden.
    virtual void OnHostShown(bool shown) {}
    friend class Form;

    // Message handling; the default runs the platform's own procedure.
    virtual LRESULT WndProc(UINT m, WPARAM w, LPARAM l);
    LRESULT DefaultProc(UINT m, WPARAM w, LPARAM l);
    // Notifications a container passes on to the child control that sent them.
    virtual bool OnReflected(UINT m, WPARAM w, LPARAM l, LRESULT& result) { return false; }

    // Event raisers: forms and controls raise the public events; user
    // controls turn them into their own handlers.
    virtual void OnMouseDown(int16_t b, int16_t s, float x, float y) { if (MouseDown) MouseDown(b, s, x, y); }
    virtual void OnMouseMove(int16_t b, int16_t s, float x, float y) { if (MouseMove) MouseMove(b, s, x, y); }
    virtual void OnMouseUp(int16_t b, int16_t s, float x, float y) { if (MouseUp) MouseUp(b, s, x, y); }
    virtual void OnClick() { if (Click) Click(); }
    virtual void OnDblClick() { if (DblClick) DblClick(); }
    virtual void OnResize() { if (Resize) Resize(); }
    virtual void OnPaint() { if (Paint) Paint(); }
    virtual void OnGotFocus() { if (GotFocus) GotFocus(); }
    virtual void OnLostFocus() { if (LostFocus) LostFocus(); }
    virtual void OnKeyDown(int16_t& k, int16_t s) { if (KeyDown) KeyDown(k, s); }
    virtual void OnKeyUp(int16_t& k, int16_t s) { if (KeyUp) KeyUp(k, s); }
    virtual void OnKeyPress(int16_t& k) { if (KeyPress) KeyPress(k); }
    // Raises the mouse events of the runtime's own windows (not the
    // platform's controls, which raise theirs through their notifications).
    bool HandleMouse(UINT m, WPARAM w, LPARAM l);
    // The platform's controls: the mouse events only, the control does the rest.
    void RaiseMouse(UINT m, WPARAM w, LPARAM l);
    bool HandleKeys(UINT m, WPARAM w, LPARAM l, LRESULT& result);

    // Puts the window where rect_ says (windowless controls repaint instead).
    virtual void ApplyRect();
    void Attach() override { CreateTree(); }
    void Detach() override { DestroyTree(); }

    HWND hwnd_ = nullptr;
    WNDPROC platformProc_ = nullptr;
    RECT rect_{0, 0, 0, 0};  // left, top, right, bottom in pixels
    bool visible_ = true;
    bool enabled_ = true;
    int16_t mousePointer_ = vbDefault;
    Picture mouseIcon_;
    std::vector<Component*> children_;
    bool clicking_ = false;
};

// Deletion that waits until no window procedure is running: an object may
// release itself (or its form) from inside one of its own events.
void DeleteWhenIdle(std::function<void()> deleter);
bool InsideEvent();
// Marks a stretch of code that runs an event outside a window procedure
// (timers), so that deletions wait until it ends.
class EventScope {
public:
    EventScope();
    ~EventScope();
    EventScope(const EventScope&) = delete;
    EventScope& operator=(const EventScope&) = delete;
};

// The twips-per-pixel factors of the screen.
float TwipsPerPixelX();
float TwipsPerPixelY();

}  // namespace forms
