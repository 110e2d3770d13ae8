#include "forms/Object.h"

#include <cwctype>

#include "forms/Error.h"

namespace forms {

bool NameIs(std::wstring_view name, std::wstring_view member) {
    if (name.size() != member.size()) return false;
    for (size_t i = 0; i < name.size(); ++i)
        if (std::towlower(name[i]) != std::towlower(member[i])) return false;
    return true;
}

Variant Object::GetProperty(std::wstring_view) { Raise(err::NoSuchMember); }
void Object::LetProperty(std::wstring_view, const Variant&) { Raise(err::NoSuchMember); }
Variant Object::CallMethod(std::wstring_view, const std::vector<Variant>&) { Raise(err::NoSuchMember); }

}  // namespace forms
