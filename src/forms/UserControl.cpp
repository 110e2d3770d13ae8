#include "forms/UserControl.h"

#include <algorithm>

#include "forms/Form.h"

namespace forms {

UserControl::UserControl(Window* container, std::wstring name) : Surface(container, std::move(name)) {}

UserControl::~UserControl() = default;

void UserControl::OnChildrenCreated() {
    Surface::OnChildrenCreated();
    // A control is made anew at each load of its form: Initialize, then its
    // saved properties (or the initial ones), then its size.
    UserControl_Initialize();
    live_ = true;
    if (saved_) {
        PropertyBag bag = *saved_;
        UserControl_ReadProperties(bag);
    } else {
        UserControl_InitProperties();
    }
    outOfDate_ = false;
    changed_.clear();
    UserControl_Resize();
    Form* host = HostForm();
    if (host && host->hWnd() && IsWindowVisible(host->hWnd())) OnHostShown(true);
}

void UserControl::OnDestroying() {
    if (live_) {
        live_ = false;
        shown_ = false;
        UserControl_Terminate();
    }
    Surface::OnDestroying();
}

void UserControl::OnHostShown(bool shown) {
    if (!live_) return;
    if (shown && visible_ && !shown_) {
        shown_ = true;
        UserControl_Show();
    } else if (!shown && shown_) {
        shown_ = false;
        UserControl_Hide();
    }
}

LRESULT UserControl::WndProc(UINT m, WPARAM w, LPARAM l) {
    // A control whose window reaches the screen by another road than its
    // form's Show (moved into another form's window) shows before it paints.
    if (m == WM_PAINT && live_ && !shown_ && visible_) {
        shown_ = true;
        UserControl_Show();
    }
    return Surface::WndProc(m, w, l);
}

void UserControl::Visible(Boolean v) {
    Surface::Visible(v);
    Form* host = HostForm();
    OnHostShown(v != 0 && host && host->hWnd() && IsWindowVisible(host->hWnd()));
}

PropertyBag UserControl::SaveProperties() {
    PropertyBag bag;
    UserControl_WriteProperties(bag);
    saved_ = bag;
    outOfDate_ = false;
    changed_.clear();
    return bag;
}

AmbientProperties UserControl::Ambient() const {
    AmbientProperties a;
    a.DisplayName = Name;
    if (auto* s = dynamic_cast<Surface*>(container_)) {
        a.Font = s->Font()->Clone();
        a.BackColor = s->BackColor();
        a.ForeColor = s->ForeColor();
    } else {
        a.Font = StdFont::Default();
    }
    return a;
}

forms::Controls UserControl::ParentControls() const {
    if (Form* f = HostForm()) return f->Controls();
    return container_ ? container_->AllControls() : forms::Controls({});
}

void UserControl::PropertyChanged(std::wstring_view name) {
    outOfDate_ = true;
    if (!name.empty() && std::none_of(changed_.begin(), changed_.end(), [&](const std::wstring& n) { return NameIs(n, name); }))
        changed_.emplace_back(name);
}

}  // namespace forms
