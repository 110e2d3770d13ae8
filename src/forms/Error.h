#pragma once
// The runtime's error: a number, a source and a description, raised as an
// exception and passed over by handlers that are told to go on.
#include <cstdint>
#include <stdexcept>
#include <string>
#include <utility>

namespace forms {

// Runtime error numbers used by the system.
namespace err {
inline constexpr int32_t InvalidCall = 5;
inline constexpr int32_t Overflow = 6;
inline constexpr int32_t OutOfMemory = 7;
inline constexpr int32_t Subscript = 9;
inline constexpr int32_t DivisionByZero = 11;
inline constexpr int32_t TypeMismatch = 13;
inline constexpr int32_t FileNotFound = 53;
inline constexpr int32_t FileAccess = 75;
inline constexpr int32_t PathNotFound = 76;
inline constexpr int32_t ObjectNotSet = 91;
inline constexpr int32_t NoSuchMember = 438;
inline constexpr int32_t InvalidPicture = 481;
}  // namespace err

class Error : public std::runtime_error {
public:
    Error(int32_t number, std::wstring source, std::wstring description);
    int32_t Number;
    std::wstring Source;
    std::wstring Description;
};

// The runtime's own text for a standard error number ("Overflow", ...).
std::wstring StandardDescription(int32_t number);

// Raises an error; an empty source is the program's name (App.EXEName), an
// empty description the standard text of the number.
[[noreturn]] void Raise(int32_t number, std::wstring source = {}, std::wstring description = {});

// Runs one step and passes over a runtime error it raises, so that a handler
// which goes on after failures reads one guarded statement per line.
// Returns false when the step failed.
template <class F>
bool PassOver(F&& step) noexcept {
    try {
        std::forward<F>(step)();
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

}  // namespace forms
