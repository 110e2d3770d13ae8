#pragma once
// A tagged value of any kind, possibly empty: what members reached by name
// and property bags pass around.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <variant>

#include "forms/Picture.h"
#include "forms/Values.h"

namespace forms {

class Object;
// Objects are held by shared pointers; forms and controls that live for the
// program are handed out as non-owning ones (see Ref).
using ObjectPtr = std::shared_ptr<Object>;
// A non-owning reference to an object whose life is managed elsewhere.
ObjectPtr Ref(Object& o);

enum class VarType { Empty, Boolean, Integer, Long, Single, Double, String, Picture, Object };

class Variant {
public:
    Variant() = default;
    Variant(int16_t v) : v_(v) {}
    Variant(int32_t v) : v_(v) {}
    Variant(float v) : v_(v) {}
    Variant(double v) : v_(v) {}
    Variant(std::wstring v) : v_(std::move(v)) {}
    Variant(const wchar_t* v) : v_(std::wstring(v)) {}
    Variant(Picture v) : v_(std::move(v)) {}
    Variant(ObjectPtr v) : v_(std::move(v)) {}
    static Variant FromBoolean(Boolean b) { Variant x; x.v_ = BoolBox{b}; return x; }
    static Variant FromBool(bool b) { return FromBoolean(ToBoolean(b)); }

    VarType Type() const;
    bool IsEmpty() const { return v_.index() == 0; }
    bool IsObject() const { return Type() == VarType::Object; }

    // Conversions as the runtime makes them: numbers round half to even and
    // overflow with error 6, text that is not numeric raises 13, Empty reads
    // as 0 or "", Booleans as -1 and 0.
    int16_t AsInteger() const;
    int32_t AsLong() const;
    float AsSingle() const;
    double AsDouble() const;
    Boolean AsBoolean() const;
    std::wstring AsString() const;
    Picture AsPicture() const;    // raises 13 unless a picture or empty
    ObjectPtr AsObject() const;   // raises 13 unless an object or empty

    // Same kind and same value (pictures and objects: the same object).
    bool operator==(const Variant& o) const;

private:
    struct BoolBox {
        Boolean b;
        bool operator==(const BoolBox& o) const { return b == o.b; }
    };
    std::variant<std::monostate, BoolBox, int16_t, int32_t, float, double, std::wstring, Picture, ObjectPtr> v_;
};

}  // namespace forms
