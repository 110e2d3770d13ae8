#pragma once
// Values and conversions of the forms runtime: the 16-bit Boolean, rounding,
// range-checked integer conversions and the runtime's number texts.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace forms {

using Boolean = int16_t;
inline constexpr Boolean True = -1;
inline constexpr Boolean False = 0;

constexpr Boolean ToBoolean(bool b) { return b ? True : False; }
// A test for True compares with -1: any other non-zero value is not True.
constexpr bool IsTrue(Boolean b) { return b == True; }

// Nearest whole number, halves to the even neighbour (2.5 -> 2, 3.5 -> 4).
double RoundHalfEven(double v);

// Round, then range-check; out of range (or not a number) raises error 6.
int16_t CInt(double v);
int32_t CLng(double v);
// Text conversions go through the runtime's number parser; text that is not
// numeric raises error 13 (type mismatch).
int16_t CInt(std::wstring_view text);
int32_t CLng(std::wstring_view text);
double CDbl(std::wstring_view text);

// Integer division: both operands rounded to 32-bit first, quotient truncated.
// Division by zero raises 11, an overflowing quotient raises 6.
int32_t IntDiv(double a, double b);

// The runtime's judgement of text as a number: surrounding blanks, a sign,
// digits with thousands separators, a decimal point, an exponent (E or D),
// and &H / &O literals.
std::optional<double> ParseNumber(std::wstring_view text);
bool IsNumeric(std::wstring_view text);

// Sign-position text: one leading blank when not negative (" 1", "-1").
std::wstring Str(double v);
// Shortest text of a single (at most 7 significant digits): 120, 33.33333.
std::wstring SingleText(float v);
// Shortest text of a double (at most 15 significant digits), no leading blank.
std::wstring CStr(double v);

// Narrow <-> wide text in the system's code page (the settings file and the
// platform's single-byte calls use it).
std::string ToAnsi(std::wstring_view text);
std::wstring FromAnsi(std::string_view text);
// The same in UTF-8, which holds any text.
std::string ToUtf8(std::wstring_view text);
std::wstring FromUtf8(std::string_view text);

}  // namespace forms
