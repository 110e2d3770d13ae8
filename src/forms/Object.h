#pragma once
// The common base of the runtime's objects: members that callers reach by
// name at run time. A member the object does not have raises error 438.
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "forms/Variant.h"

namespace forms {

// Member names compare without regard to case, as the runtime's do.
bool NameIs(std::wstring_view name, std::wstring_view member);

class Object {
public:
    virtual ~Object() = default;
    // The class name the runtime reports (TypeName).
    virtual std::wstring TypeName() const { return L"Object"; }

    // Property get and let/set by name. Overrides handle their own names and
    // hand the rest to their base; the base raises 438.
    virtual Variant GetProperty(std::wstring_view name);
    virtual void LetProperty(std::wstring_view name, const Variant& value);
    // Method call by name, arguments by value.
    virtual Variant CallMethod(std::wstring_view name, const std::vector<Variant>& args);
};

// A companion object of its owner, made on first use and kept in its slot.
template <class T>
T& OnFirstUse(std::unique_ptr<T>& slot) {
    if (!slot) slot = std::make_unique<T>();
    return *slot;
}
template <class T>
T& OnFirstUse(std::shared_ptr<T>& slot) {
    if (!slot) slot = std::make_shared<T>();
    return *slot;
}

// Shorthands for callers that reach members by name.
inline Variant GetBy(Object& o, std::wstring_view name) { return o.GetProperty(name); }
inline void LetBy(Object& o, std::wstring_view name, const Variant& v) { o.LetProperty(name, v); }
inline Variant CallBy(Object& o, std::wstring_view name, const std::vector<Variant>& args = {}) {
    return o.CallMethod(name, args);
}

// An argument of a by-name call, or Empty when the caller left it out.
inline const Variant& ArgAt(const std::vector<Variant>& args, size_t i) {
    static const Variant empty;
    return i < args.size() ? args[i] : empty;
}

}  // namespace forms
