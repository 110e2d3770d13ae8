#include "forms/Variant.h"

#include <cmath>

#include "forms/Error.h"
#include "forms/Object.h"

namespace forms {

ObjectPtr Ref(Object& o) { return ObjectPtr(&o, [](Object*) {}); }

VarType Variant::Type() const {
    switch (v_.index()) {
        case 0: return VarType::Empty;
        case 1: return VarType::Boolean;
        case 2: return VarType::Integer;
        case 3: return VarType::Long;
        case 4: return VarType::Single;
        case 5: return VarType::Double;
        case 6: return VarType::String;
        case 7: return VarType::Picture;
        default: return VarType::Object;
    }
}

double Variant::AsDouble() const {
    switch (Type()) {
        case VarType::Empty: return 0;
        case VarType::Boolean: return std::get<BoolBox>(v_).b;
        case VarType::Integer: return std::get<int16_t>(v_);
        case VarType::Long: return std::get<int32_t>(v_);
        case VarType::Single: return std::get<float>(v_);
        case VarType::Double: return std::get<double>(v_);
        case VarType::String: {
            const auto& s = std::get<std::wstring>(v_);
            if (NameIs(s, L"True")) return -1;
            if (NameIs(s, L"False")) return 0;
            return CDbl(s);
        }
        case VarType::Picture: return static_cast<double>(std::get<Picture>(v_).Handle());
        case VarType::Object: break;
    }
    Raise(err::TypeMismatch);
}

int16_t Variant::AsInteger() const { return CInt(AsDouble()); }
int32_t Variant::AsLong() const { return CLng(AsDouble()); }

float Variant::AsSingle() const {
    double d = AsDouble();
    if (std::isfinite(d) && std::fabs(d) > 3.402823466e38) Raise(err::Overflow);
    return static_cast<float>(d);
}

Boolean Variant::AsBoolean() const { return ToBoolean(AsDouble() != 0); }

std::wstring Variant::AsString() const {
    switch (Type()) {
        case VarType::Empty: return L"";
        case VarType::Boolean: return std::get<BoolBox>(v_).b ? L"True" : L"False";
        case VarType::Integer: return std::to_wstring(std::get<int16_t>(v_));
        case VarType::Long: return std::to_wstring(std::get<int32_t>(v_));
        case VarType::Single: return SingleText(std::get<float>(v_));
        case VarType::Double: return CStr(std::get<double>(v_));
        case VarType::String: return std::get<std::wstring>(v_);
        case VarType::Picture: return std::to_wstring(std::get<Picture>(v_).Handle());
        case VarType::Object: break;
    }
    Raise(err::TypeMismatch);
}

Picture Variant::AsPicture() const {
    if (IsEmpty()) return {};
    if (Type() != VarType::Picture) Raise(err::TypeMismatch);
    return std::get<Picture>(v_);
}

ObjectPtr Variant::AsObject() const {
    if (IsEmpty()) return {};
    if (Type() != VarType::Object) Raise(err::TypeMismatch);
    return std::get<ObjectPtr>(v_);
}

bool Variant::operator==(const Variant& o) const {
    if (v_.index() != o.v_.index()) return false;
    if (Type() == VarType::Object) return std::get<ObjectPtr>(v_).get() == std::get<ObjectPtr>(o.v_).get();
    return v_ == o.v_;
}

}  // namespace forms
