#include "forms/PropertyBag.h"

#include <algorithm>

#include "forms/StdFont.h"

namespace forms {

namespace {
bool IsNumber(VarType t) {
    return t == VarType::Boolean || t == VarType::Integer || t == VarType::Long || t == VarType::Single ||
           t == VarType::Double;
}
}  // namespace

bool SameValue(const Variant& a, const Variant& b) {
    const VarType ta = a.Type(), tb = b.Type();
    if (IsNumber(ta) && IsNumber(tb)) return a.AsDouble() == b.AsDouble();
    if (ta != tb) return false;
    if (ta == VarType::Object) {
        auto fa = std::dynamic_pointer_cast<StdFont>(a.AsObject());
        auto fb = std::dynamic_pointer_cast<StdFont>(b.AsObject());
        if (fa && fb) return fa->SameAs(*fb);
    }
    return a == b;
}

Variant PropertyBag::ReadProperty(std::wstring_view name, const Variant& defaultValue) const {
    for (const auto& [k, v] : items_)
        if (NameIs(k, name)) return v;
    return defaultValue;
}

void PropertyBag::WriteProperty(std::wstring_view name, const Variant& value, const Variant& defaultValue) {
    auto it = std::find_if(items_.begin(), items_.end(), [&](const auto& p) { return NameIs(p.first, name); });
    if (SameValue(value, defaultValue)) {
        if (it != items_.end()) items_.erase(it);
        return;
    }
    // A font is stored as a copy: later changes to the control's font are not saved by accident.
    Variant stored = value;
    if (auto f = value.Type() == VarType::Object ? std::dynamic_pointer_cast<StdFont>(value.AsObject()) : nullptr)
        stored = Variant(ObjectPtr(f->Clone()));
    if (it != items_.end())
        it->second = stored;
    else
        items_.emplace_back(std::wstring(name), stored);
}

bool PropertyBag::Contains(std::wstring_view name) const {
    return std::any_of(items_.begin(), items_.end(), [&](const auto& p) { return NameIs(p.first, name); });
}

Variant PropertyBag::CallMethod(std::wstring_view n, const std::vector<Variant>& a) {
    if (NameIs(n, L"ReadProperty")) return ReadProperty(ArgAt(a, 0).AsString(), ArgAt(a, 1));
    if (NameIs(n, L"WriteProperty")) {
        WriteProperty(ArgAt(a, 0).AsString(), ArgAt(a, 1), ArgAt(a, 2));
        return {};
    }
    return Object::CallMethod(n, a);
}

}  // namespace forms
