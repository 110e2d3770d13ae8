#include "support/cIniSettings.h"

#include <windows.h>

#include "forms/Error.h"
#include "forms/Object.h"
#include "forms/Runtime.h"
#include "forms/Values.h"

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

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// What the platform gives for the key, with a default of our own choosing.
std::string Profile(const std::string& section, const std::string& key, const char* fallback, const std::string& path) {
    std::string buffer(255, ' ');
    DWORD n = GetPrivateProfileStringA(section.c_str(), key.c_str(), fallback, buffer.data(), 255, path.c_str());
    return buffer.substr(0, n);
}

}  // namespace

std::wstring cIniSettings::ReadIni(int32_t FileName, const std::wstring& Section, const std::wstring& Key,
                                   const std::wstring& Default) {
    std::string path = forms::ToAnsi(FilePath(FileName));
    std::string section = forms::ToAnsi(Section), key = forms::ToAnsi(Key);
    // The platform cuts the trailing blanks of a default ("Image - "), so a
    // missing key is told by two marks that no value can be at once, and
    // the default comes back as it is.
    std::string value = Profile(section, key, "\x01", path);
    if (value == "\x01" && Profile(section, key, "\x02", path) == "\x02") {
        std::string d = forms::ToAnsi(Default);
        if (d.size() > 254) d.resize(254);
        return forms::FromAnsi(d);
    }
    return forms::FromAnsi(value);
}

void cIniSettings::WriteIni(int32_t FileName, const std::wstring& Section, const std::wstring& Key,
                            const std::wstring& Value) {
    std::string path = forms::ToAnsi(FilePath(FileName));
    std::string value = forms::ToAnsi(Value);
    // The platform trims a value's blanks and strips one pair of quotes when
    // it reads: text it would change so is written in quotes. Numbers are
    // left as they are, blanks do not change them.
    if (!value.empty() && !forms::IsNumeric(Value)) {
        bool edgeBlank = IsBlank(value.front()) || IsBlank(value.back());
        bool quoted = value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front();
        if (edgeBlank || quoted) value = '"' + value + '"';
    }
    WritePrivateProfileStringA(forms::ToAnsi(Section).c_str(), forms::ToAnsi(Key).c_str(), value.c_str(), path.c_str());
}

int16_t cIniSettings::GetIniVal(const std::wstring& StrValue, int16_t Min, int16_t Max, int16_t Default) {
    auto d = forms::ParseNumber(StrValue);
    if (!d) return Default;
    int16_t i = forms::CInt(*d);
    if (i < Min || *d > Max) return Default;
    return i;
}
