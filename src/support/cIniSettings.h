#pragma once
// Single values of the settings files beside the program, read and written
// through the platform's profile functions, and numbers tested against a
// range. A file stays in the system's code page until it must hold text
// outside it; it is then kept in UTF-16, which the same functions read. A
// file in UTF-16 without its mark is given the mark before it is used.
#include <cstdint>
#include <memory>
#include <string>

#include "support/cFilesFolders.h"

class cIniSettings {
public:
    // File numbers.
    static constexpr int32_t ConfigFile = 0;   // "Config.ini"
    static constexpr int32_t HistoryFile = 1;  // "HisLog.ini"

    // The files live in folder; empty means the program's folder (App.Path),
    // which is what the program always uses.
    explicit cIniSettings(std::wstring folder = {});
    const std::wstring& Folder() const { return m_Folder; }

    // The value of Key in Section, or Default when the key or the file is
    // missing; at most 254 characters. Another file number raises 5.
    std::wstring ReadIni(int32_t FileName, const std::wstring& Section, const std::wstring& Key,
                         const std::wstring& Default);
    // Writes Key=Value, making the file and the section as needed. A write
    // the platform refuses is not reported.
    void WriteIni(int32_t FileName, const std::wstring& Section, const std::wstring& Key, const std::wstring& Value);
    // The number in StrValue when numeric and inside Min..Max, else Default
    // (also for a number outside -32768..32767). The lower bound is tested
    // on the rounded 16-bit integer, the upper on the exact number.
    int16_t GetIniVal(const std::wstring& StrValue, int16_t Min, int16_t Max, int16_t Default);

private:
    std::wstring FilePath(int32_t FileName);

    std::wstring m_Folder;
    std::unique_ptr<cFilesFolders> m_Files;
};
