#include "support/cIniSettings.h"

#include <windows.h>

#include <cstring>
#include <optional>
#include <utility>

#include "forms/Error.h"
#include "forms/Object.h"
#include "forms/Runtime.h"
#include "forms/Values.h"
#include "support/FileReplace.h"

cIniSettings::cIniSettings(std::wstring folder) : m_Folder(std::move(folder)) {}

std::wstring cIniSettings::FilePath(int32_t FileName) {
    const wchar_t* name = nullptr;
    switch (FileName) {
        case ConfigFile: name = L"Config.ini"; break;
        case HistoryFile: name = L"HisLog.ini"; break;
        default: forms::Raise(forms::err::InvalidCall);
    }
    return forms::OnFirstUse(m_Files).AddSlash(m_Folder.empty() ? forms::App.Path() : m_Folder) + name;
}

namespace {

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

// What the platform gives for the key, with a default of our own choosing.
std::wstring Profile(const std::wstring& section, const std::wstring& key, const wchar_t* fallback,
                     const std::wstring& path) {
    std::wstring buffer(255, L' ');
    DWORD n = GetPrivateProfileStringW(section.c_str(), key.c_str(), fallback, buffer.data(), 255, path.c_str());
    return buffer.substr(0, n);
}

bool FitsCodePage(const std::wstring& text) { return forms::FromAnsi(forms::ToAnsi(text)) == text; }

// The whole file: empty when there is none, nothing when it cannot be read.
std::optional<std::string> FileBytes(const std::wstring& path) {
    HANDLE f = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) {
        if (GetLastError() == ERROR_FILE_NOT_FOUND) return std::string();
        return std::nullopt;
    }
    std::string bytes(GetFileSize(f, nullptr), '\0');
    DWORD got = 0;
    bool ok = bytes.empty() ||
              (ReadFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr) && got == bytes.size());
    CloseHandle(f);
    if (!ok) return std::nullopt;
    return bytes;
}

bool StartsWith(const std::string& bytes, const char* mark) { return bytes.compare(0, strlen(mark), mark) == 0; }

// Puts UTF-16 text, given as its bytes, in path's place behind the mark.
// A failure leaves the old file whole: it holds every setting.
bool WriteMarkedUnicode(const std::wstring& path, const std::string& utf16) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return FileReplace::Replace(path, [&](const std::wstring& temp) {
        HANDLE f = CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (f == INVALID_HANDLE_VALUE) return false;
        const std::string bytes = "\xFF\xFE" + utf16;
        DWORD put = 0;
        bool ok = WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &put, nullptr) && put == bytes.size();
        ok = CloseHandle(f) && ok;
        // A hidden file stays hidden.
        if (ok && attributes != INVALID_FILE_ATTRIBUTES) SetFileAttributesW(temp.c_str(), attributes);
        return ok;
    });
}

// Some editors write UTF-16 without its mark. The profile functions take
// such a file for the code page, find nothing in it and write defaults over
// it; with the mark they read and keep it. Text in the code page holds no
// NUL byte, so a NUL second byte tells it. False when such a file stays
// without the mark: it must not be written then.
bool MarkUnmarkedUnicode(const std::wstring& path) {
    const std::optional<std::string> bytes = FileBytes(path);
    if (bytes && bytes->size() >= 2 && bytes->size() % 2 == 0 && (*bytes)[0] != 0 && (*bytes)[1] == 0)
        return WriteMarkedUnicode(path, *bytes);
    return true;
}

// The profile functions keep a file in the system's code page unless it
// starts with the UTF-16 mark, and a new file gets the code page. A file
// that must hold a character outside it is turned into UTF-16 first, its
// lines unchanged; false when it cannot be.
bool MakeUnicode(const std::wstring& path) {
    const std::optional<std::string> bytes = FileBytes(path);
    if (!bytes) return false;
    if (StartsWith(*bytes, "\xFF\xFE")) return true;
    // The platform reads the big-endian form but writes it wrongly.
    if (StartsWith(*bytes, "\xFE\xFF")) {
        std::string swapped = bytes->substr(2);
        for (size_t i = 0; i + 1 < swapped.size(); i += 2) std::swap(swapped[i], swapped[i + 1]);
        return WriteMarkedUnicode(path, swapped);
    }
    // A file saved as UTF-8 with its mark, as editors offer.
    const std::wstring text =
        StartsWith(*bytes, "\xEF\xBB\xBF") ? forms::FromUtf8(std::string_view(*bytes).substr(3))
                                             : forms::FromAnsi(*bytes);
    return WriteMarkedUnicode(path, std::string(reinterpret_cast<const char*>(text.data()), text.size() * 2));
}

}  // namespace

std::wstring cIniSettings::ReadIni(int32_t FileName, const std::wstring& Section, const std::wstring& Key,
                                   const std::wstring& Default) {
    std::wstring path = FilePath(FileName);
    MarkUnmarkedUnicode(path);
    // The platform cuts the trailing blanks of a default ("Image - "), so a
    // missing key is told by two marks that no value can be at once, and
    // the default comes back as it is.
    std::wstring value = Profile(Section, Key, L"\x01", path);
    if (value == L"\x01" && Profile(Section, Key, L"\x02", path) == L"\x02") return Default.substr(0, 254);
    return value;
}

void cIniSettings::WriteIni(int32_t FileName, const std::wstring& Section, const std::wstring& Key,
                            const std::wstring& Value) {
    std::wstring path = FilePath(FileName);
    if (!MarkUnmarkedUnicode(path)) return;
    std::wstring value = Value;
    // The platform trims a value's blanks and strips one pair of quotes when
    // it reads: text it would change so is written in quotes. Numbers are
    // left as they are, blanks do not change them.
    if (!value.empty() && !forms::IsNumeric(Value)) {
        bool edgeBlank = IsBlank(value.front()) || IsBlank(value.back());
        bool quoted =
            value.size() >= 2 && (value.front() == L'"' || value.front() == L'\'') && value.back() == value.front();
        if (edgeBlank || quoted) value = L'"' + value + L'"';
    }
    // Written into the code page, such text would come back as other text.
    if (!FitsCodePage(Section + Key + value) && !MakeUnicode(path)) return;
    WritePrivateProfileStringW(Section.c_str(), Key.c_str(), value.c_str(), path.c_str());
}

int16_t cIniSettings::GetIniVal(const std::wstring& StrValue, int16_t Min, int16_t Max, int16_t Default) {
    auto d = forms::ParseNumber(StrValue);
    if (!d) return Default;
    // A number beyond 16 bits is as far out of range as any other.
    int16_t i = Default;
    if (!forms::PassOver([&] { i = forms::CInt(*d); })) return Default;
    if (i < Min || *d > Max) return Default;
    return i;
}
