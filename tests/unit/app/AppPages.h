#pragma once
// Shared by the page tests: the settings file beside the test program and a
// fresh start of the three page forms.
#include <windows.h>

#include <string>

#include "app/FrmGeneral.h"
#include "app/FrmSave.h"
#include "app/FrmTemp.h"
#include "app/ModGeneral.h"
#include "forms/Runtime.h"
#include "forms/Values.h"

namespace apptest {

inline std::wstring ConfigPath() { return forms::App.Path() + L"\\Config.ini"; }

inline std::string ReadConfig(const char* section, const char* key) {
    char buf[256] = {};
    std::string path = forms::ToAnsi(ConfigPath());
    GetPrivateProfileStringA(section, key, "<missing>", buf, sizeof buf, path.c_str());
    return buf;
}

inline void WriteConfig(const char* section, const char* key, const std::string& value) {
    std::string path = forms::ToAnsi(ConfigPath());
    WritePrivateProfileStringA(section, key, value.c_str(), path.c_str());
}

// Ends the page forms (they write their settings as they go), then removes
// the settings file, so that the next touch loads them from nothing.
inline void ReleasePages() {
    app::FrmGeneral.Release();
    app::FrmSave.Release();
    app::FrmTemp.Release();
    forms::DoEvents();
}

// The value of key as it stands in the file, blanks and quotes included
// (the platform's reader takes them off); "<missing>" when there is none.
inline std::string WrittenValue(const std::string& key) {
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, forms::ToAnsi(ConfigPath()).c_str());  // flush
    HANDLE h = CreateFileW(ConfigPath().c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return "<missing>";
    std::string text(GetFileSize(h, nullptr), '\0');
    DWORD got = 0;
    ReadFile(h, text.data(), static_cast<DWORD>(text.size()), &got, nullptr);
    CloseHandle(h);
    size_t at = 0;
    while ((at = text.find(key + "=", at)) != std::string::npos) {
        if (at == 0 || text[at - 1] == '\n') {
            size_t end = text.find_first_of("\r\n", at);
            return text.substr(at + key.size() + 1, end == std::string::npos ? end : end - at - key.size() - 1);
        }
        ++at;
    }
    return "<missing>";
}

// Sections go through the platform, which caches the file, then the file.
inline void ForgetSettings() {
    std::string path = forms::ToAnsi(ConfigPath());
    for (const char* section : {"main", "hkeys", "sav"}) WritePrivateProfileStringA(section, nullptr, nullptr, path.c_str());
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, path.c_str());
    DeleteFileW(ConfigPath().c_str());
}

inline void FreshPages() {
    ReleasePages();
    ForgetSettings();
    ModGeneral::g_LastKey = 0;
}

}  // namespace apptest
