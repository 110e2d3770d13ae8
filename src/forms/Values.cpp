#include "forms/Values.h"

#include <windows.h>

#include <cfenv>
#include <cmath>
#include <cstdio>
#include <cwchar>

#include "forms/Error.h"

namespace forms {

double RoundHalfEven(double v) {
    if (!std::isfinite(v)) return v;
    double r = std::floor(v);
    double diff = v - r;
    if (diff > 0.5 || (diff == 0.5 && std::fmod(r, 2.0) != 0.0)) r += 1.0;
    return r;
}

int16_t CInt(double v) {
    double r = RoundHalfEven(v);
    if (!(r >= -32768.0 && r <= 32767.0)) Raise(err::Overflow);
    return static_cast<int16_t>(r);
}

int32_t CLng(double v) {
    double r = RoundHalfEven(v);
    if (!(r >= -2147483648.0 && r <= 2147483647.0)) Raise(err::Overflow);
    return static_cast<int32_t>(r);
}

double CDbl(std::wstring_view text) {
    auto n = ParseNumber(text);
    if (!n) Raise(err::TypeMismatch);
    return *n;
}

int16_t CInt(std::wstring_view text) { return CInt(CDbl(text)); }
int32_t CLng(std::wstring_view text) { return CLng(CDbl(text)); }

int32_t IntDiv(double a, double b) {
    int64_t x = CLng(a);
    int64_t y = CLng(b);
    if (y == 0) Raise(err::DivisionByZero);
    int64_t q = x / y;  // C++ truncates toward zero, as the runtime does
    if (q > INT32_MAX || q < INT32_MIN) Raise(err::Overflow);
    return static_cast<int32_t>(q);
}

namespace {

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

std::optional<double> ParseRadix(std::wstring_view s, int radix) {
    if (s.empty()) return std::nullopt;
    uint64_t v = 0;
    for (wchar_t c : s) {
        int d;
        if (c >= L'0' && c <= L'9') d = c - L'0';
        else if (radix == 16 && c >= L'a' && c <= L'f') d = c - L'a' + 10;
        else if (radix == 16 && c >= L'A' && c <= L'F') d = c - L'A' + 10;
        else return std::nullopt;
        if (d >= radix) return std::nullopt;
        v = v * radix + d;
        if (v > 0xFFFFFFFFull) return std::nullopt;
    }
    // Literals of up to 16 bits read as a 16-bit integer, wider ones as 32-bit,
    // so &HFFFF is -1 and &HFFFFFFFF is -1.
    if (v <= 0xFFFF) return static_cast<double>(static_cast<int16_t>(v));
    return static_cast<double>(static_cast<int32_t>(static_cast<uint32_t>(v)));
}

}  // namespace

std::optional<double> ParseNumber(std::wstring_view text) {
    size_t b = 0, e = text.size();
    while (b < e && IsBlank(text[b])) ++b;
    while (e > b && IsBlank(text[e - 1])) --e;
    std::wstring_view s = text.substr(b, e - b);
    if (s.empty()) return std::nullopt;

    if (s.size() >= 2 && s[0] == L'&') {
        wchar_t k = s[1];
        if (k == L'H' || k == L'h') return ParseRadix(s.substr(2), 16);
        if (k == L'O' || k == L'o') return ParseRadix(s.substr(2), 8);
        return ParseRadix(s.substr(1), 8);
    }

    std::string digits;  // a clean copy for strtod
    size_t i = 0;
    if (s[i] == L'+' || s[i] == L'-') {
        if (s[i] == L'-') digits += '-';
        ++i;
        while (i < s.size() && IsBlank(s[i])) ++i;
    }
    bool anyDigit = false;
    bool lastWasDigit = false;
    for (; i < s.size(); ++i) {
        wchar_t c = s[i];
        if (c >= L'0' && c <= L'9') {
            digits += static_cast<char>(c);
            anyDigit = lastWasDigit = true;
        } else if (c == L',' && lastWasDigit) {
            // thousands separator between digits of the whole part
            lastWasDigit = false;
        } else {
            break;
        }
    }
    if (i < s.size() && s[i] == L'.') {
        digits += '.';
        ++i;
        for (; i < s.size() && s[i] >= L'0' && s[i] <= L'9'; ++i) {
            digits += static_cast<char>(s[i]);
            anyDigit = true;
        }
    }
    if (!anyDigit) return std::nullopt;
    if (i < s.size() && (s[i] == L'E' || s[i] == L'e' || s[i] == L'D' || s[i] == L'd')) {
        ++i;
        std::string exp = "e";
        if (i < s.size() && (s[i] == L'+' || s[i] == L'-')) exp += static_cast<char>(s[i++]);
        bool expDigit = false;
        for (; i < s.size() && s[i] >= L'0' && s[i] <= L'9'; ++i) {
            exp += static_cast<char>(s[i]);
            expDigit = true;
        }
        if (!expDigit) return std::nullopt;
        digits += exp;
    }
    if (i != s.size()) return std::nullopt;
    double v = std::strtod(digits.c_str(), nullptr);
    if (!std::isfinite(v)) return std::nullopt;
    return v;
}

bool IsNumeric(std::wstring_view text) { return ParseNumber(text).has_value(); }

namespace {

// Shortest decimal text with at most `digits` significant digits, in the
// runtime's style: no trailing zeros, exponent as E+nn beyond the fixed range.
std::wstring Shortest(double v, int digits) {
    if (v == 0) return L"0";
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*E", digits - 1, v);
    // buf: [-]d.dddddE[+-]xx
    std::string s(buf);
    size_t epos = s.find('E');
    std::string mant = s.substr(0, epos);
    int exp = std::atoi(s.c_str() + epos + 1);
    bool neg = mant[0] == '-';
    if (neg) mant.erase(0, 1);
    std::string m;  // the significant digits without the point
    for (char c : mant)
        if (c != '.') m += c;
    while (m.size() > 1 && m.back() == '0') m.pop_back();

    std::string out;
    if (exp >= digits || exp < -4) {
        out = m.substr(0, 1);
        if (m.size() > 1) out += "." + m.substr(1);
        char e[16];
        std::snprintf(e, sizeof e, "E%c%02d", exp < 0 ? '-' : '+', exp < 0 ? -exp : exp);
        out += e;
    } else if (exp >= 0) {
        if (static_cast<int>(m.size()) <= exp + 1) {
            out = m + std::string(exp + 1 - m.size(), '0');
        } else {
            out = m.substr(0, exp + 1) + "." + m.substr(exp + 1);
        }
    } else {
        out = "." + std::string(-exp - 1, '0') + m;
        out = "0" + out;
    }
    if (neg) out = "-" + out;
    return std::wstring(out.begin(), out.end());
}

}  // namespace

std::wstring Str(double v) {
    std::wstring t = Shortest(v, 15);
    // The runtime drops the leading zero of a fraction: Str(0.5) = " .5".
    if (t.rfind(L"0.", 0) == 0) t.erase(0, 1);
    else if (t.rfind(L"-0.", 0) == 0) t.erase(1, 1);
    return v < 0 ? t : L" " + t;
}

std::wstring SingleText(float v) { return Shortest(static_cast<double>(v), 7); }

std::wstring CStr(double v) { return Shortest(v, 15); }

namespace {

std::string Narrow(std::wstring_view text, UINT codePage) {
    if (text.empty()) return {};
    int n = WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(n, '\0');
    WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
    return out;
}

std::wstring Widen(std::string_view text, UINT codePage) {
    if (text.empty()) return {};
    int n = MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(n, L'\0');
    MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), out.data(), n);
    return out;
}

}  // namespace

std::string ToAnsi(std::wstring_view text) { return Narrow(text, CP_ACP); }
std::wstring FromAnsi(std::string_view text) { return Widen(text, CP_ACP); }
std::string ToUtf8(std::wstring_view text) { return Narrow(text, CP_UTF8); }
std::wstring FromUtf8(std::string_view text) { return Widen(text, CP_UTF8); }

}  // namespace forms
