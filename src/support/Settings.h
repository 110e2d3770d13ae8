#pragma once
// Every section and key of "Config.ini": the one place where the program's
// settings are named, with the default read when a key is missing, the
// range a number must fall in (and what replaces it outside), and the form
// in which the value is written back. The pages read and write their keys
// through it.
#include <cstdint>
#include <string>

#include "support/cIniSettings.h"

namespace Settings {

enum class Kind {
    Ranged,     // a number tested with GetIniVal (Min, Max, OutOfRange)
    Integer32,  // a number converted to a 32-bit integer, no range
    Text,       // text taken as it is
    Folder,     // a folder; one that does not exist gives the default
};

enum class Written {
    SignPosition,  // " 1", "-1"
    Plain,         // "83"
    ZeroOrOne,     // "0" for 0, else "1"
    AsIs,          // the text unchanged
};

struct Key {
    const wchar_t* Section;
    const wchar_t* Name;
    const wchar_t* Default;  // for Kind::Folder: a folder beside the program
    Kind Type;
    int16_t Min;
    int16_t Max;
    int16_t OutOfRange;
    Written Form;
};

inline constexpr Key CaptureMode{L"main", L"mb", L"1", Kind::Ranged, 1, 4, 1, Written::SignPosition};
inline constexpr Key DrawPointer{L"main", L"cm", L"1", Kind::Ranged, 0, 1, 1, Written::SignPosition};
// A virtual-key code; outside a byte the field keeps its design key, S.
inline constexpr Key HotKey{L"hkeys", L"hk", L"83", Kind::Ranged, 0, 255, 83, Written::Plain};
// Applied when 1 or more; 0 only after a key stored in "hk" (0 included: a
// cleared field), as a key alone.
inline constexpr Key HotKeyModifier{L"hkeys", L"mdf", L"2", Kind::Ranged, 0, 7, 2, Written::Plain};
// 1 clipboard, any other value the file.
inline constexpr Key Destination{L"sav", L"msl", L"2", Kind::Ranged, 1, 2, 2, Written::SignPosition};
// The naming list's index: 0 automatic, 1 asked for.
inline constexpr Key Naming{L"sav", L"cn", L"1", Kind::Ranged, 0, 1, 1, Written::SignPosition};
// 0 BMP, any other value JPEG.
inline constexpr Key Format{L"sav", L"ct", L"1", Kind::Ranged, 0, 7, 1, Written::ZeroOrOne};
// The quality list's index: 0 = 10 ... 9 = 100.
inline constexpr Key Quality{L"sav", L"cq", L"8", Kind::Ranged, 0, 9, 8, Written::SignPosition};
inline constexpr Key Prefix{L"sav", L"tp", L"Image - ", Kind::Text, 0, 0, 0, Written::AsIs};
inline constexpr Key ImagesFolder{L"sav", L"tpa", L"Images", Kind::Folder, 0, 0, 0, Written::AsIs};
// Written at each automatic save.
inline constexpr Key RunningNumber{L"Main", L"an", L"0", Kind::Integer32, 0, 0, 0, Written::SignPosition};

// In the order of the table.
inline constexpr const Key* All[] = {&CaptureMode, &DrawPointer, &HotKey,  &HotKeyModifier, &Destination, &Naming,
                                     &Format,      &Quality,     &Prefix,  &ImagesFolder,   &RunningNumber};

// The text read when the key is missing: for the images folder the program
// folder (programFolder, empty for App.Path) with "\" added, then "Images".
std::wstring DefaultText(const Key& key, const std::wstring& programFolder = {});

// A number in the key's written form.
std::wstring ValueText(const Key& key, int32_t value);

// The key's text in the settings file, or DefaultText when it is missing.
std::wstring ReadText(cIniSettings& ini, const Key& key);
// A ranged key's number: the stored one when numeric and in range, else
// OutOfRange.
int16_t ReadNumber(cIniSettings& ini, const Key& key);
// Writes a number in the key's written form, or a text as it is.
void Write(cIniSettings& ini, const Key& key, int32_t value);
void Write(cIniSettings& ini, const Key& key, const std::wstring& text);

}  // namespace Settings
