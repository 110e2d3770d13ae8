// The capture, Settings and Options pages read and write "Config.ini" and
// grey their controls by the output destination.
#include <gtest/gtest.h>

#include <cstdlib>

#include "app/FrmGeneral.h"
#include "app/FrmSave.h"
#include "app/FrmTemp.h"
#include "forms/Runtime.h"
#include "support/Settings.h"
#include "support/cFilesFolders.h"
#include "unit/app/AppPages.h"

using namespace apptest;
using app::FrmGeneral;
using app::FrmSave;
using app::FrmTemp;

namespace {
class SettingsPages : public ::testing::Test {
protected:
    void SetUp() override { FreshPages(); }
    void TearDown() override { FreshPages(); }
};

std::wstring ImagesBeside() { return forms::App.Path() + L"\\Images"; }
}  // namespace

// The one place where every key's default is checked, as the pages read it.
TEST_F(SettingsPages, AFreshStartRunsOnTheDefaultsAndWritesThemAtExit) {
    RemoveDirectoryW(ImagesBeside().c_str());
    EXPECT_EQ(FrmGeneral->CaptureMode(), 1);
    EXPECT_EQ(FrmTemp->ChkMouse.Value(), 1);
    EXPECT_EQ(FrmSave->HKey.GetHotKey(), 83);
    EXPECT_EQ(FrmSave->HKey.HotKeyModifier(), 2);
    EXPECT_EQ(FrmSave->Mselection, 2);
    EXPECT_EQ(FrmSave->CmbName.Text(), L"Ask for File Name");
    EXPECT_TRUE(forms::IsTrue(FrmTemp->OJpg.Value()));
    EXPECT_TRUE(forms::IsTrue(FrmTemp->OFile.Value()));
    EXPECT_EQ(FrmTemp->CmbQ.Text(), L" 90");
    EXPECT_EQ(FrmTemp->CmbQ.ListCount(), 10);
    EXPECT_EQ(FrmTemp->CmbQ.List(9), L" 100");
    EXPECT_EQ(FrmSave->TxtPrefix.Text(), L"Image - ");
    EXPECT_EQ(FrmSave->TxtPath.Text(), ImagesBeside());
    EXPECT_NE(GetFileAttributesW(ImagesBeside().c_str()), INVALID_FILE_ATTRIBUTES) << "the folder is made";
    cIniSettings ini;  // the running number, read at each automatic save
    EXPECT_EQ(forms::CLng(Settings::ReadText(ini, Settings::RunningNumber)), 0);
    EXPECT_EQ(GetFileAttributesW(ConfigPath().c_str()), INVALID_FILE_ATTRIBUTES) << "reading makes no file";

    ReleasePages();
    EXPECT_EQ(ReadConfig("main", "mb"), "1");
    EXPECT_EQ(ReadConfig("main", "cm"), "1");
    EXPECT_EQ(ReadConfig("hkeys", "hk"), "83");
    EXPECT_EQ(ReadConfig("hkeys", "mdf"), "2");
    EXPECT_EQ(ReadConfig("sav", "msl"), "2");
    EXPECT_EQ(ReadConfig("sav", "cn"), "1");
    EXPECT_EQ(ReadConfig("sav", "ct"), "1");
    EXPECT_EQ(ReadConfig("sav", "cq"), "8");
    EXPECT_EQ(ReadConfig("sav", "tp"), "Image - ");
    EXPECT_EQ(ReadConfig("sav", "tpa"), forms::ToAnsi(ImagesBeside()));
    EXPECT_EQ(WrittenValue("an"), "<missing>") << "the running number is written by saves only";
}

TEST_F(SettingsPages, WhatTheProgramWroteReadsBackUnchanged) {
    std::wstring folder = forms::App.Path();
    WriteConfig("main", "mb", " 3");
    WriteConfig("main", "cm", " 0");
    WriteConfig("hkeys", "hk", "80");
    WriteConfig("hkeys", "mdf", "5");
    WriteConfig("sav", "msl", " 1");
    WriteConfig("sav", "cn", " 0");
    WriteConfig("sav", "ct", "0");
    WriteConfig("sav", "cq", " 9");
    WriteConfig("sav", "tp", "Shot");
    WriteConfig("sav", "tpa", forms::ToAnsi(folder));

    EXPECT_EQ(FrmGeneral->CaptureMode(), 3);
    EXPECT_TRUE(forms::IsTrue(FrmGeneral->BtnRegion.Selected()));
    EXPECT_FALSE(forms::IsTrue(FrmGeneral->BtnFullScreen.Selected()));
    EXPECT_EQ(FrmTemp->ChkMouse.Value(), 0);
    EXPECT_EQ(FrmSave->HKey.GetHotKey(), 80);
    EXPECT_EQ(FrmSave->HKey.HotKeyModifier(), 5);
    EXPECT_EQ(FrmSave->Mselection, 1);
    EXPECT_TRUE(forms::IsTrue(FrmTemp->OClibpoard.Value()));
    EXPECT_EQ(FrmSave->CmbName.ListIndex(), 0);
    EXPECT_TRUE(forms::IsTrue(FrmTemp->OBitMap.Value()));
    EXPECT_EQ(FrmTemp->CmbQ.Text(), L" 100");
    EXPECT_EQ(FrmSave->TxtPrefix.Text(), L"Shot");
    EXPECT_EQ(FrmSave->TxtPath.Text(), folder);

    ForgetSettings();  // what is read back now is what exit wrote
    ReleasePages();
    EXPECT_EQ(ReadConfig("main", "mb"), "3");
    EXPECT_EQ(ReadConfig("main", "cm"), "0");
    EXPECT_EQ(ReadConfig("hkeys", "hk"), "80");
    EXPECT_EQ(ReadConfig("hkeys", "mdf"), "5");
    EXPECT_EQ(ReadConfig("sav", "msl"), "1");
    EXPECT_EQ(ReadConfig("sav", "cn"), "0");
    EXPECT_EQ(ReadConfig("sav", "ct"), "0");
    EXPECT_EQ(ReadConfig("sav", "cq"), "9");
    EXPECT_EQ(ReadConfig("sav", "tp"), "Shot");

    // A key alone, F9, and a cleared field, as exit writes them: no
    // modifier creeps in.
    for (const char* key : {"120", "0"}) {
        SCOPED_TRACE(key);
        WriteConfig("hkeys", "hk", key);
        WriteConfig("hkeys", "mdf", "0");
        FrmGeneral.Get();  // its load reads the hotkey
        EXPECT_EQ(FrmSave->HKey.GetHotKey(), std::atoi(key));
        EXPECT_EQ(FrmSave->HKey.HotKeyModifier(), 0);
        ForgetSettings();
        ReleasePages();
        EXPECT_EQ(ReadConfig("hkeys", "hk"), key);
        EXPECT_EQ(ReadConfig("hkeys", "mdf"), "0");
    }
}

// Each round of odd values gives every control its default, and exit writes
// the defaults back.
TEST_F(SettingsPages, OddValuesFallBackToTheirDefaults) {
    const char* rounds[][8] = {
        {"7", "abc", "not a key", "0", "9", "-1", "5", ""},  // out of range, not numeric, 0 after no key
        {"99999999", "99999999", "300", "-70000", "1e9", "32768", "-99999", "&H10000"},  // beyond 16 bits, a byte
        {"-1e6", "-32769", "-5", "8", "3", "2", "8", "10"},
    };
    for (auto& r : rounds) {
        SCOPED_TRACE(r[0]);
        WriteConfig("main", "mb", r[0]);
        WriteConfig("main", "cm", r[1]);
        WriteConfig("hkeys", "hk", r[2]);
        WriteConfig("hkeys", "mdf", r[3]);
        WriteConfig("sav", "msl", r[4]);
        WriteConfig("sav", "cn", r[5]);
        WriteConfig("sav", "ct", r[6]);
        WriteConfig("sav", "cq", r[7]);
        WriteConfig("sav", "tpa", "C:\\no such folder here\\at all");

        EXPECT_EQ(FrmGeneral->CaptureMode(), 1);
        EXPECT_TRUE(forms::IsTrue(FrmGeneral->BtnFullScreen.Selected()));
        EXPECT_EQ(FrmTemp->ChkMouse.Value(), 1);
        EXPECT_EQ(FrmSave->HKey.GetHotKey(), 83) << "300 would be another key, -5 one that never comes";
        EXPECT_EQ(FrmSave->HKey.HotKeyModifier(), 2);
        EXPECT_EQ(FrmSave->Mselection, 2);
        EXPECT_EQ(FrmSave->CmbName.ListIndex(), 1);
        EXPECT_TRUE(forms::IsTrue(FrmTemp->OJpg.Value()));
        EXPECT_EQ(FrmTemp->CmbQ.ListIndex(), 8);
        EXPECT_EQ(FrmSave->TxtPath.Text(), ImagesBeside()) << "a missing folder gives the Images folder";
        ReleasePages();
        EXPECT_EQ(ReadConfig("main", "mb"), "1");
        EXPECT_EQ(ReadConfig("main", "cm"), "1");
        EXPECT_EQ(ReadConfig("hkeys", "hk"), "83");
        EXPECT_EQ(ReadConfig("hkeys", "mdf"), "2");
    }
}

TEST_F(SettingsPages, TheClipboardDestinationGreysTheFileControlsButNotThePointerBox) {
    FrmTemp->OClibpoard.Value(forms::True);
    EXPECT_EQ(FrmSave->Mselection, 1);
    EXPECT_FALSE(forms::IsTrue(FrmSave->CmbName.Enabled()));
    EXPECT_FALSE(forms::IsTrue(FrmTemp->OBitMap.Enabled()));
    EXPECT_FALSE(forms::IsTrue(FrmTemp->OJpg.Enabled()));
    EXPECT_FALSE(forms::IsTrue(FrmTemp->CmbQ.Enabled()));
    EXPECT_FALSE(forms::IsTrue(FrmSave->TxtPrefix.Enabled()));
    EXPECT_FALSE(forms::IsTrue(FrmSave->BtnBrowse.Enabled()));
    EXPECT_FALSE(forms::IsTrue(FrmSave->TxtPath.Enabled()));
    EXPECT_EQ(FrmSave->L4.ForeColor(), static_cast<int32_t>(0x80000010));
    EXPECT_TRUE(forms::IsTrue(FrmTemp->ChkMouse.Enabled()));

    // Back to a file with automatic names: all enabled, the prefix too.
    FrmSave->CmbName.ListIndex(0);
    FrmTemp->OFile.Value(forms::True);
    EXPECT_EQ(FrmSave->Mselection, 2);
    EXPECT_TRUE(forms::IsTrue(FrmSave->CmbName.Enabled()));
    EXPECT_TRUE(forms::IsTrue(FrmTemp->CmbQ.Enabled()));
    EXPECT_TRUE(forms::IsTrue(FrmSave->TxtPrefix.Enabled()));
    EXPECT_TRUE(forms::IsTrue(FrmSave->TxtPath.Enabled()));
    EXPECT_EQ(FrmSave->L4.ForeColor(), static_cast<int32_t>(0x80000012));

    // Asking for names greys the prefix only.
    FrmSave->CmbName.ListIndex(1);
    EXPECT_FALSE(forms::IsTrue(FrmSave->TxtPrefix.Enabled()));
    EXPECT_EQ(FrmSave->L4.ForeColor(), static_cast<int32_t>(0x80000010));
    EXPECT_TRUE(forms::IsTrue(FrmSave->TxtPath.Enabled()));
}

TEST_F(SettingsPages, TheExtensionFollowsTheFormat) {
    FrmSave->Show();  // loaded first: its settings set the format
    FrmSave->Hide();
    FrmTemp->OBitMap.Value(forms::True);
    EXPECT_EQ(FrmSave->GetExt(), L".Bmp");
    FrmTemp->OJpg.Value(forms::True);
    EXPECT_EQ(FrmSave->GetExt(), L".Jpg");
}

TEST_F(SettingsPages, ThePrefixBoxRefusesWhatWouldLeaveTheImagesFolderButKeepsAStoredPrefix) {
    WriteConfig("sav", "tp", "..\\up-");
    EXPECT_EQ(FrmSave->TxtPrefix.Text(), L"..\\up-") << "kept for the save to explain";

    FrmSave->CmbName.ListIndex(0);
    FrmTemp->OFile.Value(forms::True);
    FrmSave->Show();
    HWND box = FrmSave->TxtPrefix.hWnd();
    SetFocus(box);
    ASSERT_EQ(GetFocus(), box);
    SendMessageW(box, EM_SETSEL, 0, -1);
    for (wchar_t ch : std::wstring(L"a\\b/c:d*e?f\"g<h>i|j.k"))
        SendMessageW(box, WM_CHAR, ch, 0);
    EXPECT_EQ(FrmSave->TxtPrefix.Text(), L"abcdefghij.k");
    // A pasted text loses the same characters and the caret stays at its end.
    SendMessageW(box, EM_SETSEL, 1, 1);
    SendMessageW(box, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L"..\\..\\x-"));
    EXPECT_EQ(FrmSave->TxtPrefix.Text(), L"a....x-bcdefghij.k");
    DWORD caret = 0;
    SendMessageW(box, EM_GETSEL, reinterpret_cast<WPARAM>(&caret), 0);
    EXPECT_EQ(caret, 7u);
    FrmSave->Hide();
}

// The hotkey field keeps the page's font through its form's load, so that it
// grows with the scaling as the fields beside it do.
TEST_F(SettingsPages, TheHotkeyFieldShowsTheFontOfTheFieldsBesideIt) {
    auto fontOf = [](HWND h) {
        LOGFONTW lf{};
        GetObjectW(reinterpret_cast<HFONT>(SendMessageW(h, WM_GETFONT, 0, 0)), sizeof lf, &lf);
        return std::wstring(lf.lfFaceName) + L" " + std::to_wstring(lf.lfHeight);
    };
    ASSERT_NE(FrmSave->HKey.FieldWindow(), nullptr);
    EXPECT_EQ(fontOf(FrmSave->HKey.FieldWindow()), fontOf(FrmSave->TxtPath.hWnd()));
}
