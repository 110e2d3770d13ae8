#include "forms/Error.h"

#include "forms/Runtime.h"
#include "forms/Values.h"

namespace forms {

Error::Error(int32_t number, std::wstring source, std::wstring description)
    : std::runtime_error(ToAnsi(description)),
      Number(number),
      Source(std::move(source)),
      Description(std::move(description)) {}

std::wstring StandardDescription(int32_t number) {
    switch (number) {
        case err::InvalidCall: return L"Invalid procedure call or argument";
        case err::Overflow: return L"Overflow";
        case err::OutOfMemory: return L"Out of memory";
        case err::Subscript: return L"Subscript out of range";
        case err::DivisionByZero: return L"Division by zero";
        case err::TypeMismatch: return L"Type mismatch";
        case err::FileNotFound: return L"File not found";
        case err::FileAccess: return L"Path/File access error";
        case err::PathNotFound: return L"Path not found";
        case err::ObjectNotSet: return L"Object variable or With block variable not set";
        case err::NoSuchMember: return L"Object doesn't support this property or method";
        case err::InvalidPicture: return L"Invalid picture";
        default: return L"Application-defined or object-defined error";
    }
}

void Raise(int32_t number, std::wstring source, std::wstring description) {
    if (source.empty()) source = App.EXEName();
    if (description.empty()) description = StandardDescription(number);
    throw Error(number, std::move(source), std::move(description));
}

}  // namespace forms
