#pragma once
// The base of the custom controls: a drawing surface that hosts child
// controls, keeps its properties in its host's property bag, and sees its
// container through Extender, Ambient and ParentControls.
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "forms/PropertyBag.h"
#include "forms/Surface.h"

namespace forms {

// What the container offers its controls.
struct AmbientProperties {
    std::shared_ptr<StdFont> Font;  // a copy of the container's font
    int32_t BackColor = vbButtonFace;
    int32_t ForeColor = vbButtonText;
    Boolean UserMode = True;
    std::wstring DisplayName;
};

class UserControl : public Surface {
public:
    explicit UserControl(Window* container, std::wstring name = {});
    ~UserControl() override;
    std::wstring TypeName() const override { return L"UserControl"; }

    // The host's saved properties for this control, read at each load
    // (ReadProperties); with none, InitProperties runs.
    void DesignProperties(PropertyBag bag) { saved_ = std::move(bag); }
    const std::optional<PropertyBag>& SavedProperties() const { return saved_; }
    // Saves the properties (WriteProperties) as the host's saved ones; they
    // are then up to date.
    PropertyBag SaveProperties();

    // The control's place in its container: its position, size, name and
    // visibility as the container sees them.
    Window& Extender() { return *this; }
    AmbientProperties Ambient() const;
    // The host form's controls.
    forms::Controls ParentControls() const;

    // Marks the host's saved properties as out of date.
    void PropertyChanged(std::wstring_view name = {});
    bool PropertiesOutOfDate() const { return outOfDate_; }
    const std::vector<std::wstring>& ChangedProperties() const { return changed_; }

    void Visible(Boolean v) override;
    using Window::Visible;

protected:
    // The control's own events; override what the control needs.
    virtual void UserControl_Initialize() {}
    virtual void UserControl_InitProperties() {}
    virtual void UserControl_ReadProperties(PropertyBag& bag) {}
    virtual void UserControl_WriteProperties(PropertyBag& bag) {}
    virtual void UserControl_Show() {}
    virtual void UserControl_Hide() {}
    virtual void UserControl_Resize() {}
    virtual void UserControl_Paint() {}
    virtual void UserControl_Terminate() {}
    virtual void UserControl_MouseDown(int16_t Button, int16_t Shift, float X, float Y) {}
    virtual void UserControl_MouseMove(int16_t Button, int16_t Shift, float X, float Y) {}
    virtual void UserControl_MouseUp(int16_t Button, int16_t Shift, float X, float Y) {}
    virtual void UserControl_Click() {}
    virtual void UserControl_DblClick() {}
    virtual void UserControl_KeyDown(int16_t& KeyCode, int16_t Shift) {}
    virtual void UserControl_KeyUp(int16_t& KeyCode, int16_t Shift) {}
    virtual void UserControl_KeyPress(int16_t& KeyAscii) {}
    virtual void UserControl_GotFocus() {}
    virtual void UserControl_LostFocus() {}

    void OnChildrenCreated() override;
    LRESULT WndProc(UINT m, WPARAM w, LPARAM l) override;
    void OnDestroying() override;
    void OnHostShown(bool shown) override;
    void OnMouseDown(int16_t b, int16_t s, float x, float y) override { UserControl_MouseDown(b, s, x, y); }
    void OnMouseMove(int16_t b, int16_t s, float x, float y) override { UserControl_MouseMove(b, s, x, y); }
    void OnMouseUp(int16_t b, int16_t s, float x, float y) override { UserControl_MouseUp(b, s, x, y); }
    void OnClick() override { UserControl_Click(); }
    void OnDblClick() override { UserControl_DblClick(); }
    void OnResize() override {
        if (live_) UserControl_Resize();
    }
    void OnPaint() override { UserControl_Paint(); }
    void OnGotFocus() override { UserControl_GotFocus(); }
    void OnLostFocus() override { UserControl_LostFocus(); }
    void OnKeyDown(int16_t& k, int16_t s) override { UserControl_KeyDown(k, s); }
    void OnKeyUp(int16_t& k, int16_t s) override { UserControl_KeyUp(k, s); }
    void OnKeyPress(int16_t& k) override { UserControl_KeyPress(k); }

private:
    std::optional<PropertyBag> saved_;
    std::vector<std::wstring> changed_;
    bool outOfDate_ = false;
    bool live_ = false;   // between Initialize and Terminate
    bool shown_ = false;  // Show has run
};

}  // namespace forms
