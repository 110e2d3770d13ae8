#pragma once
// A property bag: the saved properties of one control, by name.
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "forms/Object.h"

namespace forms {

class PropertyBag : public Object {
public:
    std::wstring TypeName() const override { return L"PropertyBag"; }

    // The stored value, or the default when the name is missing.
    Variant ReadProperty(std::wstring_view name, const Variant& defaultValue = {}) const;
    // Stores the value; a value equal to the default is not stored (and
    // takes the place of an older stored one by removing it).
    void WriteProperty(std::wstring_view name, const Variant& value, const Variant& defaultValue = {});

    bool Contains(std::wstring_view name) const;
    size_t Count() const { return items_.size(); }
    const std::vector<std::pair<std::wstring, Variant>>& Items() const { return items_; }

    Variant CallMethod(std::wstring_view name, const std::vector<Variant>& args) override;

private:
    std::vector<std::pair<std::wstring, Variant>> items_;
};

// Equality as the runtime judges a value against its default: numbers by
// value whatever their kind, text by its characters, pictures and objects by
// identity (fonts by their description).
bool SameValue(const Variant& a, const Variant& b);

}  // namespace forms
