#include "support/cIniSettings.h"

#include <windows.h>

#include "forms/Error.h"
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
    if (!m_Files) m_Files = std::make_unique<cFilesFolders>();
    return m_Files->AddSlash(m_Folder.empty() ? forms::App.Path() : m_Folder) + name;
}

std::wstring cIniSettings::ReadIni(int32_t FileName, const std::wstring& Section, const std::wstring& Key,
                                   const std::wstring& Default) {
    std::string path = forms::ToAnsi(FilePath(FileName));
    std::string buffer(255, ' ');
    DWORD n = GetPrivateProfileStringA(forms::ToAnsi(Section).c_str(), forms::ToAnsi(Key).c_str(),
                                       forms::ToAnsi(Default).c_str(), buffer.data(), 255, path.c_str());
    return forms::FromAnsi(std::string_view(buffer.data(), n));
}

void cIniSettings::WriteIni(int32_t FileName, const std::wstring& Section, const std::wstring& Key,
                            const std::wstring& Value) {
    std::string path = forms::ToAnsi(FilePath(FileName));
    WritePrivateProfileStringA(forms::ToAnsi(Section).c_str(), forms::ToAnsi(Key).c_str(), forms::ToAnsi(Value).c_str(),
                               path.c_str());
}

int16_t cIniSettings::GetIniVal(const std::wstring& StrValue, int16_t Min, int16_t Max, int16_t Default) {
    auto d = forms::ParseNumber(StrValue);
    if (!d) return Default;
    int16_t i = forms::CInt(*d);
    if (i < Min || *d > Max) return Default;
    return i;
}
