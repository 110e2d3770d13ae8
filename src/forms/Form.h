#pragma once
// Forms: top-level windows with a caption, icon, border, start-up position,
// window state and key preview; their life cycle (one global instance per
// form class, loaded on first reference, unloaded, released) and pop-up menus.
#include <memory>
#include <optional>
#include <string>

#include "forms/Menu.h"
#include "forms/Surface.h"

namespace forms {

enum FormBorderStyle : int16_t {
    vbBSNone = 0, vbFixedSingle = 1, vbSizable = 2, vbFixedDialog = 3, vbFixedToolWindow = 4, vbSizableToolWindow = 5
};
enum StartUpPositionConstants : int16_t {
    vbStartUpManual = 0, vbStartUpOwner = 1, vbStartUpScreen = 2, vbStartUpWindowsDefault = 3
};
enum WindowStateConstants : int16_t { vbNormal = 0, vbMinimized = 1, vbMaximized = 2 };
enum QueryUnloadConstants : int16_t { vbFormControlMenu = 0, vbFormCode = 1, vbAppWindows = 2, vbAppTaskManager = 3 };

class Form : public Surface {
public:
    Form();
    ~Form() override;
    std::wstring TypeName() const override { return L"Form"; }

    const std::wstring& Caption() const { return caption_; }
    void Caption(const std::wstring& v);
    const forms::Picture& Icon() const { return icon_; }
    void Icon(const forms::Picture& p);
    using Surface::BorderStyle;
    void BorderStyle(int16_t v) override;  // 0 to 5
    int16_t StartUpPosition() const { return startUp_; }
    void StartUpPosition(int16_t v);
    int16_t WindowState() const;
    void WindowState(int16_t v);
    Boolean KeyPreview() const { return ToBoolean(keyPreview_); }
    void KeyPreview(Boolean v) { keyPreview_ = v != 0; }
    // Design values of the frame, read when the window is made.
    bool ControlBox = true;
    std::optional<bool> MinButton;  // unset: only a sizable form has one
    std::optional<bool> MaxButton;
    bool ShowInTaskbar = true;
    // Sets the outer size so that the client area has this size (twips).
    void ClientSize(float width, float height);

    // Makes the windows (form and controls) and runs Form_Load; nothing when
    // already loaded.
    void Load();
    bool Loaded() const { return loaded_; }
    // Loads when needed, then shows the window (centred on the screen at its
    // first showing when StartUpPosition says so).
    void Show();
    void Hide();
    void Visible(Boolean v) override;
    using Window::Visible;

    // Shows the menu's visible items at the pointer (or at x, y in the form's
    // scale) and runs the Click of the item chosen before returning.
    void PopupMenu(Menu& menu, int32_t flags = 0, std::optional<float> x = {}, std::optional<float> y = {});

    // The form's controls, depth first, by index or name.
    forms::Controls Controls() const { return AllControls(); }

    Variant GetProperty(std::wstring_view name) override;
    void LetProperty(std::wstring_view name, const Variant& value) override;
    Variant CallMethod(std::wstring_view name, const std::vector<Variant>& args) override;

    // Life-cycle events.
    virtual void Form_Initialize() {}
    virtual void Form_Load() {}
    virtual void Form_QueryUnload(int16_t& Cancel, int16_t UnloadMode) {}
    virtual void Form_Unload(int16_t& Cancel) {}
    virtual void Form_Terminate() {}

    // Runs Form_Initialize once (FormRef does this on creation).
    void Initialize();
    // Runs Form_Terminate once.
    void Terminate();

protected:
    friend bool Unload(Form& form, int16_t mode);
    DWORD Style() const override;
    DWORD ExStyle() const override;
    HWND ParentHandle() const override;
    std::wstring WindowText() const override { return caption_; }
    void OnCreated() override;
    LRESULT WndProc(UINT m, WPARAM w, LPARAM l) override;

private:
    void ApplyFrame();
    void Centre();

    std::wstring caption_;
    forms::Picture icon_;
    int16_t startUp_ = vbStartUpManual;
    int16_t windowState_ = vbNormal;
    bool keyPreview_ = false;
    bool loaded_ = false;
    bool initialized_ = false;
    bool terminated_ = false;
    bool unloading_ = false;
    bool shownOnce_ = false;
};

// Unloads a loaded form: Form_QueryUnload, then Form_Unload, either of which
// may cancel; then the windows go. Returns false when cancelled.
bool Unload(Form& form, int16_t mode = vbFormCode);

// Readies an instance for its end: unloads it when loaded (returns false
// when that is cancelled) and runs Form_Terminate.
bool EndInstance(Form& form);

// The global reference of a form class: the instance is created on first
// touch (Form_Initialize) and loaded (Form_Load) whenever it is touched
// while not loaded.
template <class T>
class FormRef {
public:
    FormRef() = default;
    FormRef(const FormRef&) = delete;
    FormRef& operator=(const FormRef&) = delete;

    T* operator->() { return &Get(); }
    T& operator*() { return Get(); }
    operator T&() { return Get(); }
    T& Get() {
        if (!p_) {
            p_ = std::make_unique<T>();
            p_->Initialize();
        }
        T& f = *p_;  // Form_Load may release the instance; this one lives on until idle
        if (!f.Loaded()) f.Load();
        return f;
    }
    // The instance if there is one, without creating or loading it.
    T* Instance() const { return p_.get(); }
    bool Loaded() const { return p_ && p_->Loaded(); }
    // Set FrmX = Nothing: the next touch makes a fresh instance.
    bool Release() {
        if (!p_) return true;
        if (!EndInstance(*p_)) return false;  // the unload was cancelled: the instance stays
        T* f = p_.release();
        // An instance may release itself from inside its own events.
        DeleteWhenIdle([f] { delete f; });
        return true;
    }

private:
    std::unique_ptr<T> p_;
};

template <class T>
bool Unload(FormRef<T>& ref, int16_t mode = vbFormCode) {
    T* f = ref.Instance();
    return f ? Unload(*f, mode) : true;
}

}  // namespace forms
