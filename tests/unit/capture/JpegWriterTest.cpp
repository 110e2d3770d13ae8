#include <gtest/gtest.h>

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "capture/cCapture.h"
#include "capture/cDIBSection.h"
#include "capture/mIntelJPEGLibrary.h"
#include "forms/Error.h"
#include "forms/Runtime.h"
#include "jpeglib/ijl.h"
#include "unit/common/JpegCheck.h"
#include "unit/common/TestSupport.h"

using mIntelJPEGLibrary::SaveJpegFile;
using testsupport::FilesIn;

namespace {

void PaintScreenshot(cDIBSection& d) {
    testsupport::PaintScreenshotBottomUp(d.DIBSectionBitsPtr(), d.Width(), d.Height(), d.BytesPerScanLine());
}

std::optional<forms::Error> ErrorOf(auto&& step) {
    try {
        step();
    } catch (const forms::Error& e) {
        return e;
    }
    return std::nullopt;
}

WIN32_FILE_ATTRIBUTE_DATA InfoOf(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA info{};
    GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &info);
    return info;
}

FILETIME TimeOf(WORD year, WORD month, WORD day) {
    SYSTEMTIME st{};
    st.wYear = year;
    st.wMonth = month;
    st.wDay = day;
    st.wHour = 10;
    FILETIME ft{};
    SystemTimeToFileTime(&st, &ft);
    return ft;
}

// Within the last ten minutes: dated by this write, not by an older file.
bool WrittenJustNow(const std::wstring& path) {
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    const auto ticks = [](const FILETIME& t) { return (uint64_t{t.dwHighDateTime} << 32) | t.dwLowDateTime; };
    return ticks(now) - ticks(InfoOf(path).ftLastWriteTime) < uint64_t{600} * 10000000;
}

// An old file with its own times, standing where the JPEG is to go.
void MakeOldFile(const std::wstring& path, const std::string& content, DWORD attributes) {
    testsupport::WriteFileBytes(path, content);
    HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(f, INVALID_HANDLE_VALUE);
    const FILETIME created = TimeOf(2001, 2, 3), accessed = TimeOf(2002, 4, 5), written = TimeOf(2003, 6, 7);
    ASSERT_TRUE(SetFileTime(f, &created, &accessed, &written));
    CloseHandle(f);
    ASSERT_TRUE(SetFileAttributesW(path.c_str(), attributes));
}

class JpegWriter : public testing::Test {
protected:
    void SetUp() override { dir_ = testsupport::TempDir(L"jpegwriter"); }
    void TearDown() override { EXPECT_EQ(ijlLiveRecords(), 0) << "every record is freed"; }
    std::wstring Path(const std::wstring& name) const { return dir_ + L"\\" + name; }
    void ExpectSaveFailure(const std::optional<forms::Error>& e, const std::wstring& description) {
        ASSERT_TRUE(e.has_value());
        EXPECT_EQ(e->Number, 26001);
        EXPECT_EQ(e->Source, forms::App.EXEName() + L".mIntelJPEGLibrary");
        EXPECT_EQ(e->Description, description);
    }

    std::wstring dir_;
};

}  // namespace

TEST_F(JpegWriter, WritesAnUprightFaithfulPicture) {
    cDIBSection d;
    ASSERT_EQ(d.Create(640, 400), forms::True);
    PaintScreenshot(d);
    const std::wstring file = Path(L"shot.jpg");
    EXPECT_EQ(SaveJpegFile(d, file, 90), forms::True);
    testsupport::DecodedImage img = testsupport::DecodeJpegFile(file);
    ASSERT_EQ(img.width, 640);
    ASSERT_EQ(img.height, 400);
    const double psnr =
        testsupport::Psnr(img, [](int x, int y) { return testsupport::ScreenshotPixel(x, y, 640, 400); });
    EXPECT_GE(psnr, 35.0);
    const double flipped =
        testsupport::Psnr(img, [](int x, int y) { return testsupport::ScreenshotPixel(x, 399 - y, 640, 400); });
    EXPECT_LT(flipped, 20.0) << "upside down would match this instead";
    EXPECT_EQ(FilesIn(dir_), std::vector<std::wstring>{L"shot.jpg"}) << "no temporary file stays";
}

TEST_F(JpegWriter, EveryRowPaddingReadsTheSame) {
    // Widths 1 to 4 leave 1, 2, 3 and 0 pad bytes at the end of each row;
    // reading them wrongly would shear the picture.
    for (int w = 1; w <= 4; ++w) {
        cDIBSection d;
        ASSERT_EQ(d.Create(w, 24), forms::True);
        EXPECT_EQ(d.BytesPerScanLine() - 3 * w, (4 - 3 * w % 4) % 4);
        for (int y = 0; y < 24; ++y)
            for (int x = 0; x < w; ++x) SetPixelV(d.hDC(), x, y, y < 12 ? RGB(0, 0, 255) : RGB(255, 255, 0));
        const std::wstring file = Path(L"w" + std::to_wstring(w) + L".jpg");
        ASSERT_EQ(SaveJpegFile(d, file, 100), forms::True);
        testsupport::DecodedImage img = testsupport::DecodeJpegFile(file);
        ASSERT_EQ(img.width, w);
        ASSERT_EQ(img.height, 24);
        for (int x = 0; x < w; ++x) {
            EXPECT_GT(img.At(x, 3).b, 200) << "blue on top, width " << w;
            EXPECT_LT(img.At(x, 3).r, 60) << "width " << w;
            EXPECT_GT(img.At(x, 20).r, 200) << "yellow below, width " << w;
            EXPECT_LT(img.At(x, 20).b, 60) << "width " << w;
        }
    }
}

TEST_F(JpegWriter, TheFileCarriesTheTablesOfTheQualityGiven) {
    cDIBSection d;
    ASSERT_EQ(d.Create(64, 48), forms::True);
    PaintScreenshot(d);
    for (int q = 10; q <= 100; q += 10) {
        const std::wstring file = Path(L"q" + std::to_wstring(q) + L".jpg");
        ASSERT_EQ(SaveJpegFile(d, file, q), forms::True);
        EXPECT_EQ(testsupport::QualityOfJpeg(testsupport::ReadFileBytes(file)), q);
    }
}

TEST_F(JpegWriter, ReplacingKeepsTheAttributesButIsDatedNow) {
    const std::wstring file = Path(L"old.jpg");
    MakeOldFile(file, "old picture", FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_HIDDEN);
    const WIN32_FILE_ATTRIBUTE_DATA before = InfoOf(file);
    cDIBSection d;
    ASSERT_EQ(d.Create(50, 30), forms::True);
    PaintScreenshot(d);
    ASSERT_EQ(SaveJpegFile(d, file, 80), forms::True);
    const WIN32_FILE_ATTRIBUTE_DATA after = InfoOf(file);  // before reading it changes the access time
    // (The creation time is handed on too, but Wine's files here hold none
    // apart from their write time.)
    EXPECT_TRUE(WrittenJustNow(file)) << "a changed picture must not keep the old date";
    EXPECT_EQ(after.dwFileAttributes, before.dwFileAttributes);
    EXPECT_EQ(FilesIn(dir_).size(), 1u);
    EXPECT_EQ(testsupport::DecodeJpegFile(file).width, 50) << "the new picture is there";
}

TEST_F(JpegWriter, ANewNameKeepsTheTimesOfItsWrite) {
    MakeOldFile(Path(L"other.jpg"), "x", FILE_ATTRIBUTE_ARCHIVE);
    cDIBSection d;
    ASSERT_EQ(d.Create(20, 20), forms::True);
    const std::wstring file = Path(L"new.jpg");
    ASSERT_EQ(SaveJpegFile(d, file, 50), forms::True);
    EXPECT_TRUE(WrittenJustNow(file)) << "not dated like a neighbour";
}

TEST_F(JpegWriter, AMissingFolderRaisesAndLeavesNothing) {
    cDIBSection d;
    ASSERT_EQ(d.Create(20, 20), forms::True);
    const std::wstring file = Path(L"missing\\x.jpg");
    ExpectSaveFailure(ErrorOf([&] { SaveJpegFile(d, file, 90); }),
                      L"Failed to save to JPG " + std::to_wstring(IJL_ERR_FILE_CREATE));
    EXPECT_TRUE(FilesIn(dir_).empty());
}

TEST_F(JpegWriter, AFileHeldOpenStaysAsItWas) {
    const std::wstring file = Path(L"held.jpg");
    MakeOldFile(file, "old picture", FILE_ATTRIBUTE_ARCHIVE);
    HANDLE held = CreateFileW(file.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    cDIBSection d;
    ASSERT_EQ(d.Create(20, 20), forms::True);
    ExpectSaveFailure(ErrorOf([&] { SaveJpegFile(d, file, 90); }),
                      L"Failed to save to JPG " + std::to_wstring(IJL_ERR_FILE_CREATE));
    CloseHandle(held);
    EXPECT_EQ(testsupport::ReadFileBytes(file), "old picture");
    EXPECT_EQ(FilesIn(dir_), std::vector<std::wstring>{L"held.jpg"}) << "no partial or temporary file";
}

TEST_F(JpegWriter, AReadOnlyFileStaysAsItWas) {
    const std::wstring file = Path(L"locked.jpg");
    MakeOldFile(file, "old picture", FILE_ATTRIBUTE_READONLY);
    cDIBSection d;
    ASSERT_EQ(d.Create(20, 20), forms::True);
    ExpectSaveFailure(ErrorOf([&] { SaveJpegFile(d, file, 90); }),
                      L"Failed to save to JPG " + std::to_wstring(IJL_ERR_FILE_CREATE));
    EXPECT_EQ(testsupport::ReadFileBytes(file), "old picture");
    EXPECT_EQ(FilesIn(dir_).size(), 1u);
    SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(JpegWriter, AnEncodingFailureKeepsTheOldFile) {
    const std::wstring file = Path(L"keep.jpg");
    MakeOldFile(file, "old picture", FILE_ATTRIBUTE_ARCHIVE);
    cDIBSection empty;  // no bitmap: nothing to encode
    ExpectSaveFailure(ErrorOf([&] { SaveJpegFile(empty, file, 90); }),
                      L"Failed to save to JPG " + std::to_wstring(IJL_ERR_BAD_IMAGE));
    cDIBSection d;
    ASSERT_EQ(d.Create(20, 20), forms::True);
    ExpectSaveFailure(ErrorOf([&] { SaveJpegFile(d, file, 0); }),
                      L"Failed to save to JPG " + std::to_wstring(IJL_ERR_BAD_QUALITY));
    EXPECT_EQ(testsupport::ReadFileBytes(file), "old picture");
    EXPECT_EQ(FilesIn(dir_).size(), 1u);
}

TEST_F(JpegWriter, AFileBesideTheTargetIsNeverTakenForTheTemporaryOne) {
    const std::wstring file = Path(L"pic.jpg");
    const std::wstring neighbour = Path(L"qc" + std::to_wstring(GetCurrentProcessId()) + L".0.tmp");
    testsupport::WriteFileBytes(neighbour, "someone else's");
    cDIBSection d;
    ASSERT_EQ(d.Create(16, 16), forms::True);
    ASSERT_EQ(SaveJpegFile(d, file, 90), forms::True);
    EXPECT_EQ(testsupport::ReadFileBytes(neighbour), "someone else's");
    EXPECT_EQ(testsupport::DecodeJpegFile(file).width, 16);
    EXPECT_EQ(FilesIn(dir_).size(), 2u);
}

TEST_F(JpegWriter, AnyNameThePlatformTakesIsWritten) {
    // Characters outside the code page; targets of 250 to 259 characters
    // and a name of the longest kind, beside which a temporary name made
    // from theirs would be too long.
    struct Target {
        std::wstring folder, name;
    };
    std::vector<Target> targets{{Path(L"Bilder-\u00e4\u00f6\u00fc-\u65e5\u672c"), L"\u65e5\u672c - 1.Jpg"},
                                {L"C:", std::wstring(251, L'n') + L".Jpg"}};
    for (size_t length : {250u, 259u}) {
        targets.push_back({Path(std::wstring(length - dir_.size() - 15, L'd')), L"Image - 1.Jpg"});
        targets.push_back({dir_, std::wstring(length - dir_.size() - 5, L'n') + L".Jpg"});
    }
    cDIBSection d;
    ASSERT_EQ(d.Create(16, 16), forms::True);
    for (const Target& t : targets) {
        CreateDirectoryW(t.folder.c_str(), nullptr);
        const std::wstring file = t.folder + L"\\" + t.name;
        SCOPED_TRACE(file.size());
        const std::optional<forms::Error> e = ErrorOf([&] { SaveJpegFile(d, file, 90); });
        EXPECT_FALSE(e) << forms::ToAnsi(e->Description);
        EXPECT_EQ(testsupport::DecodeJpegFile(file).width, 16);
        WIN32_FIND_DATAW fd;
        HANDLE temp = FindFirstFileW((t.folder + L"\\*.tmp").c_str(), &fd);
        EXPECT_EQ(temp, INVALID_HANDLE_VALUE) << "no temporary file stays";
        if (temp != INVALID_HANDLE_VALUE) FindClose(temp);
        DeleteFileW(file.c_str());
    }
}

TEST_F(JpegWriter, CaptureSavesItsBitmap) {
    cCapture capture;
    EXPECT_FALSE(capture.ImageCdib);
    const std::wstring file = Path(L"capture.jpg");
    ExpectSaveFailure(ErrorOf([&] { capture.SaveToJpg(file, 90); }),
                      L"Failed to save to JPG " + std::to_wstring(IJL_ERR_BAD_IMAGE));
    ASSERT_TRUE(capture.ImageCdib) << "made on first use, still empty";
    ASSERT_EQ(capture.ImageCdib->Create(24, 10), forms::True);
    EXPECT_EQ(capture.SaveToJpg(file, 90), forms::True);
    EXPECT_EQ(testsupport::DecodeJpegFile(file).width, 24);
    ExpectSaveFailure(ErrorOf([&] { capture.SaveToJpg(file); }),
                      L"Failed to save to JPG " + std::to_wstring(IJL_ERR_BAD_QUALITY));
}
