// Automatic file names: the running number in "Config.ini", the files that
// exist, the prefix, folder and format; the BMP and JPEG files written.
#include <gtest/gtest.h>

#include "app/FrmExport.h"
#include "app/FrmMain.h"
#include "unit/app/AppPages.h"
#include "unit/common/JpegCheck.h"
#include "unit/common/TestObjects.h"
#include "unit/common/TestSupport.h"

using namespace apptest;
using app::FrmMain;
using app::FrmSave;
using app::FrmTemp;

namespace {
class FileNaming : public ::testing::Test {
protected:
    void SetUp() override {
        FreshPages();
        dir_ = testsupport::TempDir(L"qc_naming");
        FrmSave->TxtPath.Text(dir_);
        FrmSave->TxtPrefix.Text(L"Image - ");
        FrmSave->CmbName.ListIndex(0);
        FrmTemp->OBitMap.Value(forms::True);
        FrmMain->Pic.Picture(testsupport::CornersPicture(40, 30, 0));  // a small capture in the canvas
    }
    void TearDown() override { FreshPages(); }

    std::wstring File(const std::wstring& name) const { return dir_ + L"\\" + name; }
    bool Exists(const std::wstring& name) const {
        return GetFileAttributesW(File(name).c_str()) != INVALID_FILE_ATTRIBUTES;
    }
    void Touch(const std::wstring& name) const { testsupport::WriteFileBytes(File(name), "x"); }

    std::wstring dir_;
};
}  // namespace

TEST_F(FileNaming, SuccessiveSavesCountUpFromOne) {
    FrmSave->SaveImageToFile();
    ASSERT_TRUE(Exists(L"Image - 1.Bmp"));
    EXPECT_EQ(ReadConfig("Main", "an"), "1");
    FrmSave->SaveImageToFile();
    EXPECT_TRUE(Exists(L"Image - 2.Bmp"));
    EXPECT_EQ(ReadConfig("Main", "an"), "2");
}

TEST_F(FileNaming, NumberingGoesOnAboveAStoredNumberWhoseFileExists) {
    WriteConfig("Main", "an", " 5");
    Touch(L"Image - 5.Bmp");
    Touch(L"Image - 6.Bmp");
    FrmSave->SaveImageToFile();
    EXPECT_TRUE(Exists(L"Image - 7.Bmp"));
    EXPECT_EQ(ReadConfig("Main", "an"), "7");
}

TEST_F(FileNaming, AGoneStoredFileGivesTheLowestFreeNumber) {
    WriteConfig("Main", "an", " 5");
    Touch(L"Image - 1.Bmp");
    Touch(L"Image - 2.Bmp");
    FrmSave->SaveImageToFile();
    EXPECT_TRUE(Exists(L"Image - 3.Bmp"));
    EXPECT_EQ(ReadConfig("Main", "an"), "3");
    EXPECT_EQ(testsupport::ReadFileBytes(File(L"Image - 1.Bmp")), "x") << "an existing file is never chosen";
}

TEST_F(FileNaming, ARunningNumberThatIsNotANumberStartsFromOne) {
    WriteConfig("Main", "an", "many");
    FrmSave->SaveImageToFile();
    EXPECT_TRUE(Exists(L"Image - 1.Bmp"));
}

TEST_F(FileNaming, AnEmptyPrefixAndAFolderWithItsSlashStillMakeOneName) {
    FrmSave->TxtPrefix.Text(L"");
    FrmSave->TxtPath.Text(dir_ + L"\\");
    FrmSave->SaveImageToFile();
    EXPECT_TRUE(Exists(L"1.Bmp"));
}

TEST_F(FileNaming, JpegFilesCarryTheQualityChosenInTheList) {
    FrmTemp->OJpg.Value(forms::True);
    for (int16_t index = 0; index < 10; ++index) {
        FrmTemp->CmbQ.ListIndex(index);
        FrmSave->SaveImageToFile();
        const std::wstring name = L"Image - " + std::to_wstring(index + 1) + L".Jpg";
        ASSERT_TRUE(Exists(name));
        EXPECT_EQ(testsupport::QualityOfJpeg(testsupport::ReadFileBytes(File(name))), 10 * (index + 1)) << index;
    }
}

TEST_F(FileNaming, AFolderThatIsGoneIsMadeAgainWithTheFoldersAboveIt) {
    FrmSave->TxtPath.Text(dir_ + L"\\gone\\deeper\\");
    FrmSave->SaveImageToFile();
    EXPECT_TRUE(Exists(L"gone\\deeper\\Image - 1.Bmp"));
    EXPECT_EQ(ReadConfig("Main", "an"), "1");
    DeleteFileW(File(L"gone\\deeper\\Image - 1.Bmp").c_str());
    RemoveDirectoryW(File(L"gone\\deeper").c_str());
    RemoveDirectoryW(File(L"gone").c_str());
}

TEST_F(FileNaming, AskingForTheNameWritesNothingAndKeepsTheNumber) {
    FrmSave->CmbName.ListIndex(1);
    FrmSave->SaveImageToFile();
    EXPECT_FALSE(Exists(L"Image - 1.Bmp"));
    EXPECT_EQ(WrittenValue("an"), "<missing>");
    app::FrmExport.Release();
}
