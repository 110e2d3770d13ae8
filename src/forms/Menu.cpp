#include "forms/Menu.h"

#include <algorithm>

namespace forms {

Menu::Menu(Menu* parent, std::wstring caption, std::wstring name)
    : Name(std::move(name)), Caption(std::move(caption)), parent_(parent) {
    if (parent_) parent_->items_.push_back(this);
}

Menu::~Menu() {
    for (Menu* m : items_) m->parent_ = nullptr;
    if (parent_) {
        auto& v = parent_->items_;
        v.erase(std::remove(v.begin(), v.end(), this), v.end());
    }
}

Variant Menu::GetProperty(std::wstring_view n) {
    if (NameIs(n, L"Caption")) return Caption;
    if (NameIs(n, L"Visible")) return Variant::FromBoolean(Visible);
    if (NameIs(n, L"Enabled")) return Variant::FromBoolean(Enabled);
    if (NameIs(n, L"Checked")) return Variant::FromBoolean(Checked);
    if (NameIs(n, L"Name")) return Name;
    return Object::GetProperty(n);
}

void Menu::LetProperty(std::wstring_view n, const Variant& v) {
    if (NameIs(n, L"Caption")) { Caption = v.AsString(); return; }
    if (NameIs(n, L"Visible")) { Visible = v.AsBoolean(); return; }
    if (NameIs(n, L"Enabled")) { Enabled = v.AsBoolean(); return; }
    if (NameIs(n, L"Checked")) { Checked = v.AsBoolean(); return; }
    Object::LetProperty(n, v);
}

}  // namespace forms
