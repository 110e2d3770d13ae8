#include "controls/mListButton.h"

using forms::Boolean;
using forms::NameIs;
using forms::Variant;
using pushbutton::Placement;
using pushbutton::PlacementInput;
using pushbutton::R;

mListButton::mListButton(forms::Window* container, std::wstring name) : PushButtonCore(container, std::move(name)) {}

// The picture is centred across the top; the caption is centred below it and
// sits one pixel lower in classic drawing.
Placement mListButton::PlaceContent(const PlacementInput& in) const {
    const int32_t x0 = R(in.sw / 2 - in.pw / 2);
    Placement at{};
    at.picture = in.pushed ? POINT{x0 + 1, 7} : POINT{x0, 6};
    const double below = in.ph + (in.themed ? 8 : 9) + (in.pushed ? 1 : 0);
    at.captionOffset = POINT{in.pushed ? 0 : -1, R(below)};
    at.textFormat = DT_CENTER | DT_WORDBREAK;
    return at;
}

void mListButton::SelectButton(Boolean& Selection) {
    if (!forms::IsTrue(Selection)) return PushButtonCore::SelectButton(Selection);
    for (forms::Component* c : ParentControls()) {
        if (!dynamic_cast<mListButton*>(c)) continue;
        forms::CallBy(*c, L"SelectButton", {Variant::FromBoolean(forms::False)});
    }
    SetButtonState(pushbutton::LookSelected);
    m_Selected = forms::True;
}

void mListButton::MousePointer(int32_t v) {
    PushButtonCore::MousePointer(forms::CInt(v));
    PropertyChanged(L"MousePointer");
}

void mListButton::MouseIcon(const forms::Picture& p) {
    PushButtonCore::MouseIcon(p);
    PropertyChanged(L"MouseIcon");
}

void mListButton::UserControl_ReadProperties(forms::PropertyBag& bag) {
    PushButtonCore::UserControl_ReadProperties(bag);
    PushButtonCore::MousePointer(bag.ReadProperty(L"MousePointer", int16_t{0}).AsInteger());
    MouseIcon(bag.ReadProperty(L"MouseIcon", forms::Picture()).AsPicture());
}

void mListButton::UserControl_WriteProperties(forms::PropertyBag& bag) {
    PushButtonCore::UserControl_WriteProperties(bag);
    bag.WriteProperty(L"MousePointer", PushButtonCore::MousePointer(), int16_t{0});
    bag.WriteProperty(L"MouseIcon", MouseIcon(), forms::Picture());
}

Variant mListButton::GetProperty(std::wstring_view name) {
    if (NameIs(name, L"MousePointer")) return MousePointer();
    if (NameIs(name, L"MouseIcon")) return MouseIcon();
    return PushButtonCore::GetProperty(name);
}

void mListButton::LetProperty(std::wstring_view name, const Variant& value) {
    if (NameIs(name, L"MousePointer")) return MousePointer(value.AsLong());
    if (NameIs(name, L"MouseIcon")) return MouseIcon(value.AsPicture());
    PushButtonCore::LetProperty(name, value);
}
