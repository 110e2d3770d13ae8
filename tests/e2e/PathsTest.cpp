// The program in a folder whose name the system's code page cannot hold:
// its settings are read and written there, and its captures, BMP and JPEG,
// go to the images folder beside it under a prefix in the same characters.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "e2e/ProgramDriver.h"
#include "forms/Values.h"
#include "unit/common/TestSupport.h"

using namespace e2e;
using namespace testsupport;

namespace {

const std::wstring kFolderName = L"Bilder-\u00e4\u00f6\u00fc-\u65e5\u672c";
const std::wstring kPrefix = L"\u65e5\u672c-";

std::wstring Setting(const std::wstring& config, const wchar_t* section, const wchar_t* key) {
    wchar_t buf[256] = {};
    GetPrivateProfileStringW(section, key, L"<missing>", buf, 256, config.c_str());
    return buf;
}

}  // namespace

TEST(Paths, AFolderOutsideTheCodePageHoldsTheSettingsAndTheCaptures) {
    // A copy of the program there, beside a Config.ini that an earlier
    // version wrote in the code page.
    const std::wstring images = TempDir(kFolderName + L"\\Images");
    RemoveDirectoryW(images.c_str());
    const std::wstring folder = TempDir(kFolderName);
    const std::wstring exe = folder + ProgramPath().substr(ProgramPath().find_last_of(L'\\'));
    ASSERT_TRUE(CopyFileW(ProgramPath().c_str(), exe.c_str(), FALSE));
    const std::wstring config = folder + L"\\Config.ini";
    WriteFileBytes(config, "[main]\r\nmb=1\r\ncm=0\r\n[sav]\r\nmsl=2\r\ncn=0\r\nct=0\r\ntp=" +
                               forms::ToAnsi(L"Bild \u00e9-") + "\r\n");

    {
        Program program(exe);
        HWND main = MainWindowOf(program);
        ASSERT_NE(main, nullptr);
        HWND prefix = FindChild(main, L"Edit", L"Bild \u00e9-");
        ASSERT_NE(prefix, nullptr) << "the earlier file is read";
        EXPECT_NE(FindChild(main, L"Edit", images), nullptr);
        EXPECT_TRUE(Exists(images)) << "made beside the program";
        SendMessageW(prefix, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(kPrefix.c_str()));

        ClickAt(ExitButton(main));
        ASSERT_TRUE(program.WaitExit(8000));
    }
    EXPECT_EQ(Setting(config, L"sav", L"tp"), kPrefix);
    EXPECT_EQ(Setting(config, L"sav", L"tpa"), images);
    EXPECT_EQ(Setting(config, L"main", L"cm"), L"0") << "the earlier values stay";

    // Started again, it reads what it wrote: automatic names, BMP, the
    // prefix, the folder.
    Program program(exe);
    HWND main = MainWindowOf(program);
    ASSERT_NE(main, nullptr);
    ASSERT_TRUE(HideMainWindow(main));
    const std::wstring bmp = images + L"\\" + kPrefix + L"1.Bmp";
    ASSERT_TRUE(HotkeyWrites(bmp, 5000));
    EXPECT_EQ(ReadFileBytes(bmp).substr(0, 2), "BM");

    // The Settings page's "Jpeg", and the hotkey again.
    SendMessageW(FindChild(main, L"Button", L"Jpeg"), BM_CLICK, 0, 0);
    const std::wstring jpg = images + L"\\" + kPrefix + L"1.Jpg";
    ASSERT_TRUE(HotkeyWrites(jpg, 8000));
    EXPECT_EQ(ReadFileBytes(jpg).substr(0, 2), "\xFF\xD8");
    WIN32_FIND_DATAW fd;
    HANDLE temp = FindFirstFileW((images + L"\\*.tmp").c_str(), &fd);
    EXPECT_EQ(temp, INVALID_HANDLE_VALUE) << "no temporary file stays";
    if (temp != INVALID_HANDLE_VALUE) FindClose(temp);
    EXPECT_EQ(Setting(config, L"Main", L"an"), L"1");
}
