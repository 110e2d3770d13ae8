// The shell members that delete or restart, run only against this test's own
// files and a recycle bin of its own inside the Wine prefix.
#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include "forms/Runtime.h"
#include "support/cFilesFolders.h"
#include "unit/common/DialogDriver.h"
#include "unit/common/TestSupport.h"

using testsupport::TempDir;
using testsupport::WriteFileBytes;

namespace {

// Wine keeps its recycle bin under XDG_DATA_HOME; the test is run with it
// pointing into the build folder (see tests/CMakeLists.txt).
// The bin's folder as a DOS path, or "" unless it lies in the build folder
// of this test program (the folder above its own).
std::wstring DataHome() {
    wchar_t buf[MAX_PATH] = {};
    GetEnvironmentVariableW(L"XDG_DATA_HOME", buf, MAX_PATH);
    std::wstring home = buf;
    if (home.empty() || home[0] != L'/' || home.find(L"..") != std::wstring::npos) return {};
    for (auto& c : home)
        if (c == L'/') c = L'\\';
    home = L"Z:" + home;
    std::wstring build = forms::App.Path();
    build.erase(build.find_last_of(L'\\') + 1);
    if (_wcsnicmp(home.c_str(), build.c_str(), build.size()) != 0) return {};
    return home;
}

bool Exists(const std::wstring& p) { return GetFileAttributesW(p.c_str()) != INVALID_FILE_ATTRIBUTES; }

int64_t BinItems() {
    SHQUERYRBINFO info{};
    info.cbSize = sizeof info;
    if (FAILED(SHQueryRecycleBinW(nullptr, &info))) return -1;
    return info.i64NumItems;
}

}  // namespace

TEST(FilesFoldersRecycleBin, DeleteToTheBinThenEmptyIt) {
    std::wstring home = DataHome();
    if (home.empty())
        GTEST_SKIP() << "XDG_DATA_HOME does not point into the build folder: the bin would be the user's";
    std::wstring dir = TempDir(L"recycle");
    std::wstring file = dir + L"\\gone.txt";
    WriteFileBytes(file, "recycle me");
    cFilesFolders f;
    int64_t before = BinItems();
    f.DelToRecycBin(file);
    EXPECT_FALSE(Exists(file));
    ASSERT_EQ(BinItems(), before + 1);
    // Only ever empty a bin that is the test's own.
    ASSERT_TRUE(Exists(home + L"\\Trash\\files\\gone.txt")) << "the bin is not the test's own";

    {
        testsupport::DialogDriver no(IDNO);
        f.EmptyRecycleBin(nullptr);
        ASSERT_TRUE(no.Done()) << "the shell asks first";
    }
    EXPECT_EQ(BinItems(), before + 1) << "declined: nothing goes";
    {
        testsupport::DialogDriver yes(IDYES);
        f.EmptyRecycleBin(nullptr);
        ASSERT_TRUE(yes.Done());
    }
    EXPECT_EQ(BinItems(), 0);

    f.DelToRecycBin(dir + L"\\missing.txt");  // no question, no failure
}

TEST(FilesFoldersRecycleBin, RestartDialogDeclined) {
    cFilesFolders f;
    testsupport::DialogDriver no(IDNO);
    f.ShowRestartDialog(nullptr);
    EXPECT_TRUE(no.Done());
    EXPECT_FALSE(no.Title().empty());
}
