#include "support/cIniSettings.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "forms/Error.h"
#include "forms/Runtime.h"
#include "support/FileReplace.h"
#include "support/Settings.h"
#include "unit/common/TestSupport.h"

using testsupport::ReadFileBytes;
using testsupport::TempDir;
using testsupport::WriteFileBytes;

namespace {

class IniFile : public ::testing::Test {
protected:
    void SetUp() override {
        const char* name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        dir = TempDir(L"ini_" + forms::FromAnsi(name));
        ini = std::make_unique<cIniSettings>(dir);
    }
    std::wstring Config() const { return dir + L"\\Config.ini"; }
    void WriteConfig(const std::string& text) { WriteFileBytes(Config(), text); }
    std::wstring Read(const Settings::Key& k) { return Settings::ReadText(*ini, k); }
    int16_t ReadRanged(const Settings::Key& k) { return Settings::ReadNumber(*ini, k); }

    // What a rewrite may have left beside the file.
    bool TempLeft() const {
        WIN32_FIND_DATAW fd;
        HANDLE h = FindFirstFileW((dir + L"\\*.tmp").c_str(), &fd);
        if (h != INVALID_HANDLE_VALUE) FindClose(h);
        return h != INVALID_HANDLE_VALUE;
    }

    std::wstring dir;
    std::unique_ptr<cIniSettings> ini;
};

std::string Utf16(const std::wstring& text) {
    return std::string(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t));
}

}  // namespace

TEST_F(IniFile, EveryKeyHasOneHomeAndAnInRangeDefault) {
    using namespace Settings;
    ASSERT_EQ(std::size(All), 11u);
    for (size_t i = 0; i < std::size(All); ++i) {
        for (size_t j = i + 1; j < std::size(All); ++j)
            EXPECT_NE(std::wstring(All[i]->Name), All[j]->Name);
        if (All[i]->Type == Kind::Ranged) {
            EXPECT_EQ(ini->GetIniVal(All[i]->Default, All[i]->Min, All[i]->Max, -99), All[i]->OutOfRange)
                << forms::ToAnsi(All[i]->Name);
        }
    }
    EXPECT_EQ(DefaultText(ImagesFolder, L"C:\\"), L"C:\\Images");
}

TEST_F(IniFile, WhatTheProgramWritesReadsBackUnchanged) {
    using namespace Settings;
    struct {
        const Key& key;
        int32_t value;
        const wchar_t* text;
    } numbers[] = {{CaptureMode, 3, L" 3"},  {DrawPointer, 0, L" 0"}, {HotKey, 120, L"120"},
                   {HotKeyModifier, 5, L"5"}, {Destination, 1, L" 1"}, {Naming, 0, L" 0"},
                   {Format, 0, L"0"},         {Quality, 9, L" 9"},     {RunningNumber, 70000, L" 70000"}};
    for (auto& n : numbers) {
        EXPECT_EQ(ValueText(n.key, n.value), n.text);
        Write(*ini, n.key, n.value);
    }
    EXPECT_EQ(ValueText(Format, 5), L"1");
    Write(*ini, Prefix, L" Shot - ");
    Write(*ini, ImagesFolder, L"C:\\Pictures");

    ini->WriteIni(0, L"sav", L"quoted", L"\"as is\"");

    cIniSettings again(dir);
    for (auto& n : numbers) {
        std::wstring text = ReadText(again, n.key);
        EXPECT_EQ(forms::CLng(text), n.value) << forms::ToAnsi(text);
        if (n.key.Type == Kind::Ranged) {
            EXPECT_EQ(ReadNumber(again, n.key), n.value);
        }
    }
    EXPECT_EQ(Read(Prefix), L" Shot - ") << "blanks at the ends of text survive";
    EXPECT_EQ(Read(ImagesFolder), L"C:\\Pictures");
    EXPECT_EQ(ini->ReadIni(0, L"sav", L"quoted", L""), L"\"as is\"");

    // "Main" and "main" are one section.
    std::string file = ReadFileBytes(Config());
    EXPECT_EQ(file.find("[Main]"), std::string::npos) << file;
    EXPECT_NE(file.find("an="), std::string::npos) << file;
}

TEST_F(IniFile, GetIniValTestsBothBounds) {
    // Mode: 1..4, default 1.
    EXPECT_EQ(ini->GetIniVal(L" 3", 1, 4, 1), 3);
    EXPECT_EQ(ini->GetIniVal(L" 3 ", 1, 4, 1), 3);
    EXPECT_EQ(ini->GetIniVal(L"9", 1, 4, 1), 1);
    EXPECT_EQ(ini->GetIniVal(L"abc", 1, 4, 1), 1);
    EXPECT_EQ(ini->GetIniVal(L"", 1, 4, 1), 1);
    EXPECT_EQ(ini->GetIniVal(L"0.6", 1, 4, 3), 1) << "the lower bound sees the rounded number";
    EXPECT_EQ(ini->GetIniVal(L"4.4", 1, 4, 3), 3) << "the upper bound sees the exact number";
    EXPECT_EQ(ini->GetIniVal(L"0.5", 1, 4, 3), 3) << "0.5 rounds to 0";
    EXPECT_EQ(ini->GetIniVal(L"1.5", 1, 4, 3), 2);
    EXPECT_EQ(ini->GetIniVal(L"2.5", 1, 4, 3), 2);
    EXPECT_EQ(ini->GetIniVal(L"&H3", 1, 4, 1), 3);
    EXPECT_EQ(ini->GetIniVal(L"&H10", 1, 4, 1), 1);
    EXPECT_EQ(ini->GetIniVal(L"&H10", 0, 100, 1), 16);
    EXPECT_EQ(ini->GetIniVal(L"3e0", 1, 4, 1), 3);
    EXPECT_EQ(ini->GetIniVal(L"-2", -5, 4, 1), -2);
    EXPECT_EQ(ini->GetIniVal(L"- 2", -5, 4, 1), -2);
    EXPECT_EQ(ini->GetIniVal(L"2-", -5, 4, 1), 1);
    EXPECT_EQ(ini->GetIniVal(std::wstring(L"2\0", 2), 1, 4, 1), 1);
    EXPECT_EQ(ini->GetIniVal(L"\x01\xff\x80", 1, 4, 1), 1);
}

TEST_F(IniFile, GetIniValGivesTheDefaultOutsideSixteenBits) {
    for (const wchar_t* big : {L"1e9", L"99999999", L"32768", L"32767.5", L"-32768.6", L"&H10000", L"1e999"})
        EXPECT_EQ(ini->GetIniVal(big, -32768, 32767, 7), 7) << forms::ToAnsi(big);
    EXPECT_EQ(ini->GetIniVal(L"32767", 1, 32767, 1), 32767);
    EXPECT_EQ(ini->GetIniVal(L"-32768.4", -32768, 4, 1), -32768);
    EXPECT_EQ(ini->GetIniVal(L"-32768.5", -32768, 4, 1), -32768) << "rounds to the even -32768";
}

TEST_F(IniFile, ReadIniGivesAtMost254Characters) {
    std::string longValue(300, 'v');
    WriteConfig("[sav]\r\ntp=" + longValue + "\r\n");
    EXPECT_EQ(ini->ReadIni(0, L"sav", L"tp", L""), std::wstring(254, L'v'));
    EXPECT_EQ(ini->ReadIni(0, L"sav", L"missing", std::wstring(300, L'd')), std::wstring(254, L'd'));
    ini->WriteIni(0, L"sav", L"tp", std::wstring(254, L'w'));
    EXPECT_EQ(ini->ReadIni(0, L"sav", L"tp", L""), std::wstring(254, L'w'));
}

TEST_F(IniFile, OddFilesGiveAnswersOrDefaults) {
    WriteConfig(
        "junk line without equals\r\n"
        "[MAIN]\r\n"
        "MB=3\r\n"
        "no equals here\r\n"
        "cm\r\n"
        "[main]\r\n"
        "mb=4\r\n"
        "[sav]\r\n"
        "cq=\r\n"
        "ct= 5\r\n"
        "msl=0.6\r\n");
    EXPECT_EQ(ReadRanged(Settings::CaptureMode), 3) << "sections and keys match without regard to case";
    EXPECT_EQ(ReadRanged(Settings::DrawPointer), 1);
    EXPECT_EQ(ReadRanged(Settings::Quality), 8) << "an empty value is not numeric";
    EXPECT_EQ(ReadRanged(Settings::Format), 5) << "5 is JPEG";
    EXPECT_EQ(ReadRanged(Settings::Destination), 1);
}

TEST_F(IniFile, EmptyOrBinaryFilesNeverCrash) {
    WriteConfig("");
    for (const Settings::Key* k : Settings::All) EXPECT_EQ(Read(*k), Settings::DefaultText(*k, dir));

    std::string junk;
    for (int i = 0; i < 4096; ++i) junk += static_cast<char>((i * 7919 + 13) % 256);
    WriteConfig(junk + "\r\n[main]\r\nmb=\x01\x02\xff\r\n");
    for (const Settings::Key* k : Settings::All) {
        EXPECT_LE(Read(*k).size(), 254u);
        if (k->Type == Settings::Kind::Ranged) {
            int16_t n = ReadRanged(*k);
            EXPECT_TRUE(n >= k->Min && n <= k->Max) << forms::ToAnsi(k->Name);
        }
    }
}

TEST_F(IniFile, MissingOrLockedFilesGiveDefaults) {
    cIniSettings nowhere(dir + L"\\no\\such\\folder");
    EXPECT_EQ(nowhere.ReadIni(0, L"main", L"mb", L"1"), L"1");
    nowhere.WriteIni(0, L"main", L"mb", L" 3");  // not reported
    EXPECT_EQ(GetFileAttributesW((dir + L"\\no").c_str()), INVALID_FILE_ATTRIBUTES);

    WriteConfig("[main]\r\nmb= 3\r\n");
    HANDLE lock = CreateFileW(Config().c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    EXPECT_EQ(ini->ReadIni(0, L"main", L"mb", L"1"), L"1") << "an unreadable file gives the default";
    CloseHandle(lock);
}

TEST_F(IniFile, FileNumbers) {
    ini->WriteIni(1, L"log", L"k", L"v");
    EXPECT_NE(GetFileAttributesW((dir + L"\\HisLog.ini").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetFileAttributesW(Config().c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(ini->ReadIni(1, L"log", L"k", L""), L"v");
    EXPECT_EQ(ini->ReadIni(0, L"log", L"k", L"none"), L"none");
    EXPECT_EQ(testsupport::ErrorNumberOf([&] { ini->ReadIni(2, L"log", L"k", L""); }), forms::err::InvalidCall);
    EXPECT_EQ(testsupport::ErrorNumberOf([&] { ini->WriteIni(-1, L"log", L"k", L""); }), forms::err::InvalidCall);
}

TEST_F(IniFile, TextStaysInTheCodePageUntilItMustHoldMore) {
    // A folder with characters outside the code page, and a file of an
    // earlier version in it.
    const std::wstring folder = dir + L"\\Bilder-\u00e4\u00f6\u00fc-\u65e5\u672c";
    CreateDirectoryW(folder.c_str(), nullptr);
    ASSERT_NE(GetFileAttributesW(folder.c_str()), INVALID_FILE_ATTRIBUTES);
    const std::wstring config = folder + L"\\Config.ini";
    WriteFileBytes(config, "[sav]\r\ntp=" + forms::ToAnsi(L"Bild \u00e9") + "\r\n");
    cIniSettings there(folder);
    EXPECT_EQ(Settings::ReadText(there, Settings::Prefix), L"Bild \u00e9");
    EXPECT_EQ(Settings::ReadText(there, Settings::ImagesFolder), folder + L"\\Images");

    Settings::Write(there, Settings::CaptureMode, 3);
    there.WriteIni(0, L"sav", L"tp", L"Bild \u00e9 - ");
    std::string file = ReadFileBytes(config);
    EXPECT_NE(file.find("tp=\"" + forms::ToAnsi(L"Bild \u00e9 - ") + "\""), std::string::npos) << file;
    EXPECT_EQ(file.find("\xc3\xa9"), std::string::npos) << "not UTF-8";

    Settings::Write(there, Settings::ImagesFolder, folder + L"\\Images");
    EXPECT_EQ(ReadFileBytes(config).substr(0, 2), "\xff\xfe") << "UTF-16, marked";
    Settings::Write(there, Settings::Naming, 0);
    Settings::Write(there, Settings::Quality, 9);
    cIniSettings again(folder);
    EXPECT_EQ(Settings::ReadText(again, Settings::ImagesFolder), folder + L"\\Images");
    EXPECT_EQ(Settings::ReadText(again, Settings::Prefix), L"Bild \u00e9 - ") << "what was there stays";
    EXPECT_EQ(Settings::ReadNumber(again, Settings::CaptureMode), 3);
    EXPECT_EQ(Settings::ReadNumber(again, Settings::Naming), 0);
    EXPECT_EQ(Settings::ReadNumber(again, Settings::Quality), 9);
    EXPECT_EQ(ReadFileBytes(config).find("\xff\xfe", 2), std::string::npos) << "marked once";
}

TEST_F(IniFile, ARefusedOrFailedWriteLeavesTheOldFile) {
    WriteConfig("[sav]\r\ntp=Shot\r\n[main]\r\nmb= 3\r\nan= 41\r\n");
    const std::string before = ReadFileBytes(Config());
    const std::wstring unicode = L"C:\\\u65e5\u672c";

    // Held open by a reader: neither the profile write nor the rewrite into
    // UTF-16 may take the file.
    HANDLE reader = CreateFileW(Config().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(reader, INVALID_HANDLE_VALUE);
    ini->WriteIni(0, L"main", L"mb", L" 4");
    Settings::Write(*ini, Settings::ImagesFolder, unicode);
    CloseHandle(reader);
    EXPECT_EQ(ReadFileBytes(Config()), before);
    EXPECT_FALSE(TempLeft());

    // Cut short between the write and the replacement.
    EXPECT_FALSE(FileReplace::Replace(Config(), [](const std::wstring& temp) {
        WriteFileBytes(temp, "\xFF\xFE[");
        return false;
    }));
    EXPECT_EQ(ReadFileBytes(Config()), before);
    EXPECT_FALSE(TempLeft());

    Settings::Write(*ini, Settings::ImagesFolder, unicode);
    EXPECT_EQ(Read(Settings::ImagesFolder), unicode);
    EXPECT_EQ(ReadRanged(Settings::CaptureMode), 3);
    EXPECT_EQ(Read(Settings::RunningNumber), L"41");
}

TEST_F(IniFile, AMarkedFileKeepsEverySectionWhenItTurnsUnicode) {
    const std::wstring lines = L"[sav]\r\ntp=Bild \u00e9\r\ncq= 3\r\n[main]\r\nmb= 2\r\n";
    std::string bigEndian = "\xFE\xFF";
    for (wchar_t c : lines) bigEndian += {static_cast<char>(c >> 8), static_cast<char>(c & 0xFF)};
    const std::string utf8 = "\xEF\xBB\xBF[sav]\r\ntp=Bild \xC3\xA9\r\ncq= 3\r\n[main]\r\nmb= 2\r\n";
    for (const std::string& file : {utf8, bigEndian}) {
        SCOPED_TRACE(file.substr(0, 2));
        WriteConfig(file);
        cIniSettings fresh(dir);
        Settings::Write(fresh, Settings::ImagesFolder, L"C:\\\u65e5\u672c");
        EXPECT_EQ(ReadFileBytes(Config()).substr(0, 8), Utf16(L"\xFEFF[sa"));
        EXPECT_EQ(Read(Settings::Prefix), L"Bild \u00e9");
        EXPECT_EQ(ReadRanged(Settings::Quality), 3);
        EXPECT_EQ(ReadRanged(Settings::CaptureMode), 2);
        EXPECT_EQ(Read(Settings::ImagesFolder), L"C:\\\u65e5\u672c");
    }
}

TEST_F(IniFile, UnicodeWithoutItsMarkIsReadAndKept) {
    WriteConfig(Utf16(L"[sav]\r\ntp=\u65e5\u672c\r\n[mine]\r\nnote=kept\r\n[main]\r\nmb= 3\r\n"));
    // What the program does at exit.
    const auto exit = [&] {
        for (const Settings::Key* k : Settings::All) Settings::Write(*ini, *k, Read(*k));
    };
    // Read-only, it cannot be marked, and what could not be read is not
    // written over.
    const std::string unmarked = ReadFileBytes(Config());
    SetFileAttributesW(Config().c_str(), FILE_ATTRIBUTE_READONLY);
    exit();
    SetFileAttributesW(Config().c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(ReadFileBytes(Config()), unmarked);

    EXPECT_EQ(ReadRanged(Settings::CaptureMode), 3);
    EXPECT_EQ(Read(Settings::Prefix), L"\u65e5\u672c");
    exit();

    const std::string file = ReadFileBytes(Config());
    EXPECT_EQ(file.substr(0, 2), "\xFF\xFE");
    EXPECT_NE(file.find(Utf16(L"note=kept")), std::string::npos);
    EXPECT_NE(file.find(Utf16(L"tp=\u65e5\u672c")), std::string::npos);
    cIniSettings again(dir);
    EXPECT_EQ(Settings::ReadNumber(again, Settings::CaptureMode), 3);
}

TEST(IniSettingsProgram, TheProgramsFilesLiveBesideIt) {
    cIniSettings ini;
    std::wstring config = forms::App.Path() + L"\\Config.ini";
    if (GetFileAttributesW(config.c_str()) != INVALID_FILE_ATTRIBUTES) GTEST_SKIP() << "a Config.ini is already there";
    EXPECT_EQ(ini.ReadIni(0, L"main", L"mb", L"default"), L"default");
    ini.WriteIni(0, L"main", L"mb", L" 4");
    EXPECT_NE(ReadFileBytes(config).find("mb="), std::string::npos);
    EXPECT_EQ(ini.GetIniVal(ini.ReadIni(0, L"main", L"mb", L"1"), 1, 4, 1), 4);
    DeleteFileW(config.c_str());
}
