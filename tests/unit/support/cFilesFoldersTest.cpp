#include "support/cFilesFolders.h"

#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <algorithm>

#include "forms/Error.h"
#include "forms/Runtime.h"
#include "unit/common/DialogDriver.h"
#include "unit/common/TestSupport.h"

using forms::False;
using forms::True;
using testsupport::ReadFileBytes;
using testsupport::TempDir;
using testsupport::WriteFileBytes;

namespace {

bool Exists(const std::wstring& p) { return GetFileAttributesW(p.c_str()) != INVALID_FILE_ATTRIBUTES; }

// Removes everything below dir (TempDir empties one level only).
void ClearTree(const std::wstring& dir) {
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW((dir + L"\\*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return;
    do {
        std::wstring n = fd.cFileName;
        if (n == L"." || n == L"..") continue;
        std::wstring p = dir + L"\\" + n;
        SetFileAttributesW(p.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            ClearTree(p);
            RemoveDirectoryW(p.c_str());
        } else {
            DeleteFileW(p.c_str());
        }
    } while (FindNextFileW(h, &fd));
    FindClose(h);
}

std::vector<std::wstring> Sorted(std::vector<std::wstring> v) {
    std::sort(v.begin(), v.end());
    return v;
}

}  // namespace

TEST(FilesFoldersText, AddSlashAddsOneBackslashWhenMissing) {
    cFilesFolders f;
    EXPECT_EQ(f.AddSlash(L""), L"\\");
    EXPECT_EQ(f.AddSlash(L"C:\\x"), L"C:\\x\\");
    EXPECT_EQ(f.AddSlash(L"C:\\x\\"), L"C:\\x\\");
    EXPECT_EQ(f.AddSlash(L"C:/x/"), L"C:/x/\\") << "only a backslash counts";
}

TEST(FilesFoldersText, IsTextNeedsACharacterOtherThanBlanks) {
    cFilesFolders f;
    EXPECT_EQ(f.IsText(L""), False);
    EXPECT_EQ(f.IsText(L"   "), False);
    EXPECT_EQ(f.IsText(std::wstring(1, L'\0')), False);
    EXPECT_EQ(f.IsText(L" a "), True);
    EXPECT_EQ(f.IsText(L"\t"), True);
    EXPECT_EQ(f.IsText(std::wstring(2, L'\0')), True) << "only a single NUL is empty";
}

TEST(FilesFoldersText, CheckPathNameGivesTheLastBadCharacter) {
    cFilesFolders f;
    EXPECT_EQ(f.CheckPathName(L"a:b*c"), 4);
    EXPECT_EQ(f.CheckPathName(L"plain name.txt"), 0);
    EXPECT_EQ(f.CheckPathName(L""), 0);
    EXPECT_EQ(f.CheckPathName(L"\"ab"), 1);
    EXPECT_EQ(f.CheckPathName(L"a|b>c<d?e"), 8);
    EXPECT_EQ(f.CheckPathName(L"a/b\\c"), 4);
}

TEST(FilesFoldersText, CleanPathNameReplacesInPlace) {
    cFilesFolders f;
    std::wstring name = L"a/b:c";
    EXPECT_EQ(f.CleanPathName(name), L"a-b-c");
    EXPECT_EQ(name, L"a-b-c");
    std::wstring all = L"\\/:*?<>|\"x";
    EXPECT_EQ(f.CleanPathName(all), L"---------x");
    std::wstring clean = L"fine.txt";
    EXPECT_EQ(f.CleanPathName(clean), L"fine.txt");
}

TEST(FilesFoldersText, GetDrvNameOfADriveListEntry) {
    cFilesFolders f;
    EXPECT_EQ(f.GetDrvName(L"c: [System]"), L"System (C:) ");
    EXPECT_EQ(f.GetDrvName(L"c: []"), L" (C:) ");
    EXPECT_EQ(f.GetDrvName(L"c:"), L"C:\\");
    EXPECT_EQ(f.GetDrvName(L"d: ["), L"D:\\");
    EXPECT_EQ(f.GetDrvName(L""), L"\\");
}

TEST(FilesFoldersSizes, CalcSizeSteps) {
    cFilesFolders f;
    EXPECT_EQ(f.CalcSize(0), L"0 Byte");
    EXPECT_EQ(f.CalcSize(1023), L"1023 Byte");
    EXPECT_EQ(f.CalcSize(1024), L"1 KB");
    EXPECT_EQ(f.CalcSize(1536), L"1.5 KB");
    EXPECT_EQ(f.CalcSize(1048575), L"1024 KB") << "rounded to two decimals";
    EXPECT_EQ(f.CalcSize(1048576), L"1 MB");
    EXPECT_EQ(f.CalcSize(1073741824.0 * 3.25), L"3.25 GB");
    EXPECT_EQ(f.CalcSize(1099511627776.0 - 1), L"1024 GB");
    EXPECT_EQ(f.CalcSize(1099511627776.0), L"");
    // 1.125 KB and 1.375 KB are exact halves: to the even neighbour.
    EXPECT_EQ(f.CalcSize(1152), L"1.12 KB");
    EXPECT_EQ(f.CalcSize(1408), L"1.38 KB");
}

TEST(FilesFoldersSizes, CalcTimeCountsFromOne) {
    cFilesFolders f;
    EXPECT_EQ(f.CalcTime(0), L"1 Second");
    EXPECT_EQ(f.CalcTime(58), L"59 Second");
    EXPECT_EQ(f.CalcTime(59), L"1 Minute");
    EXPECT_EQ(f.CalcTime(89), L"1.5 Minute");
    EXPECT_EQ(f.CalcTime(3598), L"59.98 Minute");
    EXPECT_EQ(f.CalcTime(3599), L"");
    EXPECT_EQ(f.CalcTime(INT32_MAX), L"") << "no overflow at the largest time";
}

class FilesFoldersDisk : public ::testing::Test {
protected:
    void SetUp() override {
        const char* name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        dir = TempDir(L"files_" + forms::FromAnsi(name));
        ClearTree(dir);
    }
    void TearDown() override { ClearTree(dir); }
    std::wstring Path(const std::wstring& rel) const { return dir + L"\\" + rel; }
    void MakeFile(const std::wstring& rel, size_t bytes) { WriteFileBytes(Path(rel), std::string(bytes, 'x')); }
    void MakeFolder(const std::wstring& rel) { ASSERT_TRUE(CreateDirectoryW(Path(rel).c_str(), nullptr)); }

    std::wstring dir;
    cFilesFolders f;
};

TEST_F(FilesFoldersDisk, FileExistsOnlyForFiles) {
    MakeFile(L"a.txt", 3);
    MakeFolder(L"sub");
    EXPECT_EQ(f.FileExists(Path(L"a.txt")), True);
    EXPECT_EQ(f.FileExists(Path(L"sub")), False);
    EXPECT_EQ(f.FileExists(Path(L"missing.txt")), False);
    EXPECT_EQ(f.FileExists(L""), False);
    EXPECT_EQ(f.FileExists(L"\x01<>|?*"), False);
}

TEST_F(FilesFoldersDisk, FsoFolderExistsAndCreateFolder) {
    auto fso = f.Fso();
    std::wstring images = Path(L"Images");
    EXPECT_EQ(fso.FolderExists(images), False);
    fso.CreateFolder(images);
    EXPECT_EQ(fso.FolderExists(images), True);
    EXPECT_EQ(fso.FolderExists(images + L"\\"), True);
    try {
        fso.CreateFolder(images);
        FAIL() << "an existing folder must raise";
    } catch (const forms::Error& e) {
        EXPECT_EQ(e.Number, 58);
    }
    EXPECT_THROW(fso.CreateFolder(Path(L"no\\such\\parent")), forms::Error);
    MakeFile(L"file", 1);
    EXPECT_EQ(fso.FolderExists(Path(L"file")), False);
}

TEST_F(FilesFoldersDisk, NamesDatesAndSizesOfFiles) {
    MakeFile(L"report.txt", 1536);
    EXPECT_EQ(f.GetFileName(Path(L"report.txt")), L"report.txt");
    EXPECT_EQ(f.GetFileName(Path(L"missing.txt")), L"");
    EXPECT_EQ(f.GetFolderName(Path(L"report.txt")), dir);
    EXPECT_EQ(f.GetFileSize(Path(L"report.txt")), L"1.5 KB");
    EXPECT_EQ(f.GetFileSize(Path(L"missing.txt")), L"");
    forms::Variant n = f.GetLngFileSize(Path(L"report.txt"));
    EXPECT_EQ(n.Type(), forms::VarType::Double);
    EXPECT_EQ(n.AsDouble(), 1536);
    forms::Variant bad = f.GetLngFileSize(Path(L"missing.txt"));
    EXPECT_EQ(bad.Type(), forms::VarType::String);
    EXPECT_EQ(bad.AsString(), L"Error");

    // The date is the file's last write time in the runtime's default form.
    HANDLE h = CreateFileW(Path(L"report.txt").c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    SYSTEMTIME st{2021, 3, 0, 4, 5, 6, 7, 0};
    FILETIME local, utc;
    SystemTimeToFileTime(&st, &local);
    LocalFileTimeToFileTime(&local, &utc);
    SetFileTime(h, nullptr, nullptr, &utc);
    CloseHandle(h);
    std::wstring date = f.GetFileDate(Path(L"report.txt"));
    EXPECT_NE(date.find(L"2021"), std::wstring::npos) << testing::PrintToString(date);
    EXPECT_NE(date.find(L"5:06:07"), std::wstring::npos) << testing::PrintToString(date);
    EXPECT_EQ(f.GetFileDate(Path(L"missing.txt")), L"");
}

TEST_F(FilesFoldersDisk, FolderSizeCountsEverythingBelow) {
    MakeFile(L"a", 1000);
    MakeFolder(L"sub");
    MakeFile(L"sub\\b", 1048);
    MakeFolder(L"sub\\deeper");
    MakeFile(L"sub\\deeper\\c", 1024);
    SetFileAttributesW(Path(L"sub\\b").c_str(), FILE_ATTRIBUTE_HIDDEN);
    EXPECT_EQ(f.GetFolderSize(dir), L"3 KB");
    EXPECT_EQ(f.GetFolderSize(Path(L"sub")), L"2.02 KB");
    EXPECT_EQ(f.GetFolderSize(Path(L"missing")), L"");
}

TEST_F(FilesFoldersDisk, DeleteFileForcedOrNot) {
    MakeFile(L"ro.txt", 1);
    SetFileAttributesW(Path(L"ro.txt").c_str(), FILE_ATTRIBUTE_READONLY);
    f.DeleteFile(Path(L"ro.txt"));
    EXPECT_TRUE(Exists(Path(L"ro.txt"))) << "a read-only file needs force";
    f.DeleteFile(Path(L"ro.txt"), True);
    EXPECT_FALSE(Exists(Path(L"ro.txt")));
    f.DeleteFile(Path(L"missing.txt"));  // passed over
}

TEST_F(FilesFoldersDisk, MoveFileEndsQuietlyOnError) {
    MakeFile(L"a.txt", 5);
    MakeFolder(L"to");
    f.MoveFile(Path(L"a.txt"), Path(L"to\\b.txt"));
    EXPECT_FALSE(Exists(Path(L"a.txt")));
    EXPECT_EQ(ReadFileBytes(Path(L"to\\b.txt")), "xxxxx");
    f.MoveFile(Path(L"missing.txt"), Path(L"to\\c.txt"));
    EXPECT_FALSE(Exists(Path(L"to\\c.txt")));
    MakeFile(L"d.txt", 2);
    f.MoveFile(Path(L"d.txt"), Path(L"to\\b.txt"));  // the target exists: nothing moves
    EXPECT_TRUE(Exists(Path(L"d.txt")));
    EXPECT_EQ(ReadFileBytes(Path(L"to\\b.txt")), "xxxxx");
}

TEST_F(FilesFoldersDisk, DeleteFolderEmptiesAndRemovesOnlyWhenAsked) {
    MakeFolder(L"main");
    MakeFile(L"main\\plain", 1);
    MakeFile(L"main\\ro", 1);
    MakeFile(L"main\\hidden", 1);
    MakeFolder(L"main\\sub");
    MakeFile(L"main\\sub\\x", 1);
    MakeFolder(L"main\\sub\\deeper");
    MakeFile(L"main\\sub\\deeper\\y", 1);
    SetFileAttributesW(Path(L"main\\ro").c_str(), FILE_ATTRIBUTE_READONLY);
    SetFileAttributesW(Path(L"main\\hidden").c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    MakeFile(L"beside", 1);

    f.DeleteFolder(Path(L"main"));
    EXPECT_TRUE(Exists(Path(L"main")));
    EXPECT_EQ(f.IsFolderEmpty(Path(L"main")), True);
    EXPECT_TRUE(Exists(Path(L"beside"))) << "nothing outside the folder";

    MakeFile(L"main\\again", 1);
    f.DeleteFolder(Path(L"main\\"), True);
    EXPECT_FALSE(Exists(Path(L"main")));
    EXPECT_TRUE(Exists(Path(L"beside")));

    f.DeleteFolder(Path(L"missing"), True);  // passed over
}

TEST_F(FilesFoldersDisk, ListDirsGivesPlainSubFolders) {
    MakeFolder(L"alpha");
    MakeFolder(L"(old)");
    MakeFolder(L"-dash");
    MakeFolder(L"hidden");
    SetFileAttributesW(Path(L"hidden").c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_DIRECTORY);
    MakeFile(L"file.txt", 1);
    std::vector<std::wstring> col{L"kept"};
    f.ListDirs(dir + L"\\", col);
    EXPECT_EQ(Sorted(col), Sorted({L"kept", L"alpha", L"(old)", L"-dash"}));

    std::vector<std::wstring> none;
    f.ListDirs(Path(L"missing\\"), none);
    EXPECT_TRUE(none.empty());
}

TEST_F(FilesFoldersDisk, IsFolderEmpty) {
    MakeFolder(L"empty");
    MakeFolder(L"full");
    MakeFile(L"full\\a", 1);
    MakeFolder(L"onlyfolder");
    MakeFolder(L"onlyfolder\\x");
    EXPECT_EQ(f.IsFolderEmpty(Path(L"empty")), True);
    EXPECT_EQ(f.IsFolderEmpty(Path(L"full")), False);
    EXPECT_EQ(f.IsFolderEmpty(Path(L"onlyfolder")), False);
    EXPECT_EQ(f.IsFolderEmpty(Path(L"missing")), False);
    EXPECT_EQ(f.IsFolderEmpty(Path(L"full\\a")), False);
}

TEST_F(FilesFoldersDisk, GetLongFilenameOfShortNames) {
    MakeFolder(L"A long folder name");
    MakeFile(L"A long folder name\\a long file name.text", 1);
    std::wstring longName = Path(L"A long folder name\\a long file name.text");
    wchar_t shortBuf[MAX_PATH] = {};
    ASSERT_GT(GetShortPathNameW(longName.c_str(), shortBuf, MAX_PATH), 0u);
    std::wstring shortName = shortBuf;
    ASSERT_NE(shortName, longName) << "the platform gives no short names";
    EXPECT_EQ(_wcsicmp(f.GetLongFilename(shortName).c_str(), longName.c_str()), 0)
        << testing::PrintToString(f.GetLongFilename(shortName));
    std::wstring arg = shortName;
    f.GetLongFilename(arg);
    EXPECT_EQ(arg, shortName) << "the argument is not changed";

    std::wstring missing = Path(L"NOSUCH~1\\X");
    EXPECT_EQ(f.GetLongFilename(missing), missing);
}

TEST_F(FilesFoldersDisk, LoadResDataIntoFileWritesOnlyANewFile) {
    f.LoadResDataIntoFile(300, Path(L"new.bin"));
    EXPECT_EQ(ReadFileBytes(Path(L"new.bin")), std::string("QC\x01\x02\x03", 5));

    WriteFileBytes(Path(L"old.bin"), "mine");
    f.LoadResDataIntoFile(300, Path(L"old.bin"));
    EXPECT_EQ(ReadFileBytes(Path(L"old.bin")), "mine");

    WriteFileBytes(Path(L"hidden.bin"), "mine");
    SetFileAttributesW(Path(L"hidden.bin").c_str(), FILE_ATTRIBUTE_HIDDEN);
    f.LoadResDataIntoFile(300, Path(L"hidden.bin"));
    EXPECT_EQ(ReadFileBytes(Path(L"hidden.bin")), "mine") << "a file hidden from the listing is still left alone";

    f.LoadResDataIntoFile(301, Path(L"nothing.bin"));
    EXPECT_FALSE(Exists(Path(L"nothing.bin"))) << "a missing resource writes no file";
    f.LoadResDataIntoFile(300, Path(L"no\\folder\\x.bin"));  // passed over
}

TEST_F(FilesFoldersDisk, ShortcutsMadeAndReadBack) {
    MakeFile(L"target.txt", 1);
    std::wstring link = Path(L"to target");
    f.CreateShortcut(Path(L"target.txt"), link);
    EXPECT_EQ(link, Path(L"to target")) << "kept on success";
    ASSERT_TRUE(Exists(link + L".lnk"));

    std::wstring lnk = link + L".lnk";
    EXPECT_EQ(_wcsicmp(f.GetShortCutPath(lnk).c_str(), Path(L"target.txt").c_str()), 0);
    EXPECT_EQ(lnk, link + L".lnk");

    // A blank target makes nothing and is not a failure.
    std::wstring blank = Path(L"blank");
    f.CreateShortcut(L"   ", blank);
    EXPECT_EQ(blank, Path(L"blank"));
    EXPECT_FALSE(Exists(blank + L".lnk"));

    // A shortcut that cannot be saved clears the name.
    std::wstring nowhere = Path(L"no\\such\\folder\\x");
    f.CreateShortcut(Path(L"target.txt"), nowhere);
    EXPECT_EQ(nowhere, L"");

    // A file that is not a shortcut clears the name.
    WriteFileBytes(Path(L"junk.lnk"), "this is not a shortcut");
    std::wstring junk = Path(L"junk.lnk");
    EXPECT_EQ(f.GetShortCutPath(junk), L"");
    EXPECT_EQ(junk, L"");

    // A missing shortcut is a new, empty one.
    std::wstring missing = Path(L"missing.lnk");
    EXPECT_EQ(f.GetShortCutPath(missing), L"");
}

TEST(FilesFoldersDrives, DriveTypesVolumesAndSpace) {
    cFilesFolders f;
    EXPECT_EQ(f.GetDrvType(L"C:\\"), 3);
    EXPECT_EQ(f.GetDrvType(L"Q:\\"), 1);
    EXPECT_EQ(f.GetDrvType(L"no root"), 1);

    EXPECT_FALSE(f.GetVolumeInfo(L"C:\\", 2).empty());
    std::wstring serial = f.GetVolumeInfo(L"C:\\", 1);
    EXPECT_TRUE(forms::IsNumeric(serial)) << testing::PrintToString(serial);
    EXPECT_EQ(f.GetVolumeInfo(L"C:\\", 3), L"");
    EXPECT_EQ(f.GetVolumeInfo(L"Q:\\", 2), L"") << "a missing drive has no facts";

    std::wstring total = f.GetDiskSpace(L"C:\\", 0);
    EXPECT_FALSE(total.empty());
    EXPECT_FALSE(f.GetDiskSpace(L"C:\\", 1).empty());
    EXPECT_FALSE(f.GetDiskSpace(L"C:\\", 2).empty());
    EXPECT_EQ(f.GetDiskSpace(L"C:\\", 3), L"");
    EXPECT_EQ(f.GetDiskSpace(L"Q:\\", 0), L"") << "not a size of nothing";
}

TEST(FilesFoldersDrives, SpecialFolders) {
    cFilesFolders f;
    wchar_t windows[MAX_PATH] = {};
    GetWindowsDirectoryW(windows, MAX_PATH);
    EXPECT_EQ(_wcsicmp(f.GetSpecialFolder(CSIDL_WINDOWS).c_str(), windows), 0);
    EXPECT_EQ(f.GetSpecialFolder(0x7777), L"");
    EXPECT_EQ(f.GetSpecialFolder(CSIDL_DRIVES), L"") << "a virtual folder has no path";
}

TEST(FilesFoldersPaths, CompactPathFitsTheWidth) {
    cFilesFolders f;
    HDC dc = GetDC(nullptr);
    std::wstring path = L"C:\\a rather long folder name\\and another long one\\the file name.txt";
    float tpp = forms::Screen.TwipsPerPixelX();
    std::wstring shortText = f.CompactPath(path, 150 * tpp, dc);
    EXPECT_NE(shortText, path);
    EXPECT_NE(shortText.find(L"..."), std::wstring::npos) << testing::PrintToString(shortText);
    SIZE sz{};
    GetTextExtentPoint32W(dc, shortText.c_str(), static_cast<int>(shortText.size()), &sz);
    EXPECT_LE(sz.cx, 150);
    EXPECT_EQ(f.CompactPath(path, 5000 * tpp, dc), path) << "a path that fits is unchanged";
    std::wstring longer(400, L'a');
    EXPECT_FALSE(f.CompactPath(L"C:\\" + longer, 100 * tpp, dc).empty()) << "longer than MAX_PATH";
    ReleaseDC(nullptr, dc);
}

TEST(FilesFoldersShell, EmptyWinClipBoard) {
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, 4);
    memcpy(GlobalLock(mem), "abc", 4);
    GlobalUnlock(mem);
    SetClipboardData(CF_TEXT, mem);
    CloseClipboard();
    ASSERT_TRUE(IsClipboardFormatAvailable(CF_TEXT));
    cFilesFolders f;
    f.EmptyWinClipBoard(nullptr);
    EXPECT_FALSE(IsClipboardFormatAvailable(CF_TEXT));
}

TEST(FilesFoldersShell, ShowPropertiesGivesTheShellsValue) {
    cFilesFolders f;
    EXPECT_LE(f.ShowProperties(L"C:\\no such file.txt", nullptr), 32);
}

TEST(FilesFoldersShell, OpenFileFolderOpensInTheProgramsFolder) {
    std::wstring dir = TempDir(L"open");
    std::wstring marker = dir + L"\\marker.txt";
    WriteFileBytes(dir + L"\\run.bat", "@cd > \"" + forms::ToAnsi(marker) + "\"\r\n");
    cFilesFolders f;
    forms::Form owner;
    f.OpenFileFolder(owner, dir + L"\\run.bat");
    std::string got;
    for (int i = 0; i < 300 && got.find('\n') == std::string::npos; ++i) {
        Sleep(50);
        got = ReadFileBytes(marker);
    }
    while (!got.empty() && (got.back() == '\n' || got.back() == '\r' || got.back() == ' ')) got.pop_back();
    EXPECT_EQ(_stricmp(got.c_str(), forms::ToAnsi(forms::App.Path()).c_str()), 0) << got;
}

TEST(FilesFoldersBrowse, CancelGivesEmptyText) {
    cFilesFolders f;
    forms::Form owner;
    owner.Load();
    HWND ownerOfDialog = nullptr;
    testsupport::DialogDriver cancel(IDCANCEL, [&](HWND dlg) { ownerOfDialog = GetWindow(dlg, GW_OWNER); });
    EXPECT_EQ(f.BrowseForFolder(owner, L"Images Folder", False, False, True), L"");
    EXPECT_TRUE(cancel.Done());
    EXPECT_EQ(cancel.Title(), L"Browse for Folder");
    EXPECT_EQ(ownerOfDialog, owner.hWnd()) << "the form owns the dialog";
}

TEST(FilesFoldersBrowse, TheLastOptionGivenWins) {
    cFilesFolders f;
    forms::Form owner;
    // EditBox and NewStyle: 67, the new style without the edit box.
    bool newStyle = false, editBox = true, title = false;
    {
        testsupport::DialogDriver cancel(IDCANCEL, [&](HWND dlg) {
            newStyle = testsupport::DialogDriver::Child(dlg, L"Button", L"&Make New Folder") != nullptr;
            editBox = testsupport::DialogDriver::Child(dlg, L"Edit") != nullptr;
            title = testsupport::DialogDriver::Child(dlg, L"Static", L"Pick one") != nullptr;
        });
        f.BrowseForFolder(owner, L"Pick one", True, False, True);
        ASSERT_TRUE(cancel.Done());
    }
    EXPECT_TRUE(newStyle);
    EXPECT_FALSE(editBox);
    EXPECT_TRUE(title);

    // EditBox alone keeps the old style.
    newStyle = true;
    {
        testsupport::DialogDriver cancel(IDCANCEL, [&](HWND dlg) {
            newStyle = testsupport::DialogDriver::Child(dlg, L"Button", L"&Make New Folder") != nullptr;
        });
        f.BrowseForFolder(owner, L"Pick one", True, False, False);
        ASSERT_TRUE(cancel.Done());
    }
    EXPECT_FALSE(newStyle);
}

TEST(FilesFoldersBrowse, ChosenFolderComesBackAsAPath) {
    std::wstring dir = TempDir(L"browse");
    cFilesFolders f;
    forms::Form owner;
    testsupport::DialogDriver ok(IDOK, [&](HWND dlg) {
        // A new prefix fills the folder tree slowly: select until it has settled.
        for (int i = 0; i < 6; ++i) {
            Sleep(250);
            SendMessageW(dlg, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(dir.c_str()));
        }
    });
    std::wstring got = f.BrowseForFolder(owner, L"Images Folder", False, False, True);
    ASSERT_TRUE(ok.Done());
    EXPECT_EQ(_wcsicmp(got.c_str(), dir.c_str()), 0) << testing::PrintToString(got);
}
