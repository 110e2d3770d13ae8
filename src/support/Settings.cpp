#include "support/Settings.h"

#include "forms/Runtime.h"
#include "forms/Values.h"
#include "support/cFilesFolders.h"

namespace Settings {

std::wstring DefaultText(const Key& key, const std::wstring& programFolder) {
    if (key.Type != Kind::Folder) return key.Default;
    cFilesFolders files;
    return files.AddSlash(programFolder.empty() ? forms::App.Path() : programFolder) + key.Default;
}

std::wstring ValueText(const Key& key, int32_t value) {
    switch (key.Form) {
        case Written::SignPosition: return forms::Str(value);
        case Written::ZeroOrOne: return value == 0 ? L"0" : L"1";
        case Written::Plain:
        case Written::AsIs: break;
    }
    return std::to_wstring(value);
}

std::wstring ReadText(cIniSettings& ini, const Key& key) {
    return ini.ReadIni(cIniSettings::ConfigFile, key.Section, key.Name, DefaultText(key, ini.Folder()));
}

int16_t ReadNumber(cIniSettings& ini, const Key& key) {
    return ini.GetIniVal(ReadText(ini, key), key.Min, key.Max, key.OutOfRange);
}

void Write(cIniSettings& ini, const Key& key, int32_t value) { Write(ini, key, ValueText(key, value)); }

void Write(cIniSettings& ini, const Key& key, const std::wstring& text) {
    ini.WriteIni(cIniSettings::ConfigFile, key.Section, key.Name, text);
}

}  // namespace Settings
