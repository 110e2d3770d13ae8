#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "forms/Values.h"
#include "jpeglib/ijl.h"
#include "unit/common/JpegCheck.h"
#include "unit/common/TestSupport.h"

using testsupport::DecodedImage;
using testsupport::Rgb;

namespace {

// A bitmap in memory: 24-bit BGR rows padded to 4 bytes, bottom row first.
struct Bitmap {
    int w, h, stride;
    std::vector<uint8_t> bytes;
    Bitmap(int width, int height) : w(width), h(height), stride((width * 3 + 3) & ~3) {
        bytes.assign(static_cast<size_t>(stride) * height, 0);
    }
    // (x, y) counted from the top.
    void Set(int x, int y, Rgb c) {
        uint8_t* p = &bytes[static_cast<size_t>(h - 1 - y) * stride + 3 * x];
        p[0] = c.b;
        p[1] = c.g;
        p[2] = c.r;
    }
    void Fill(Rgb c) {
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) Set(x, y, c);
    }
};

class JpegLibrary : public testing::Test {
protected:
    void SetUp() override {
        dir_ = testsupport::TempDir(L"ijl");
        ASSERT_EQ(ijlInit(&props_), IJL_OK);
    }
    void TearDown() override {
        ijlFree(&props_);
        EXPECT_EQ(ijlLiveRecords(), 0);
    }
    std::wstring Path(const wchar_t* name) { return dir_ + L"\\" + name; }
    // Points the record at a bitmap kept bottom-up, as a DIB section is.
    void Describe(Bitmap& bmp, const std::wstring& file, int quality = 90) {
        file_ = forms::ToAnsi(file);
        props_.DIBWidth = bmp.w;
        props_.DIBHeight = -bmp.h;
        props_.DIBBytes = bmp.bytes.data();
        props_.DIBPadBytes = bmp.stride - bmp.w * 3;
        props_.JPGFile = file_.c_str();
        props_.JPGWidth = bmp.w;
        props_.JPGHeight = bmp.h;
        props_.jquality = quality;
    }
    static bool Near(Rgb a, Rgb b, int tolerance = 8) {
        return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance &&
               std::abs(a.b - b.b) <= tolerance;
    }

    std::wstring dir_;
    std::string file_;
    JPEG_CORE_PROPERTIES props_;
};

}  // namespace

TEST_F(JpegLibrary, InitGivesTheDefaultsAndFreeReleasesOnce) {
    EXPECT_EQ(props_.DIBChannels, 3);
    EXPECT_EQ(props_.DIBColor, IJL_COLOUR_BGR);
    EXPECT_EQ(props_.JPGColor, IJL_COLOUR_YCBCR);
    EXPECT_EQ(props_.DIBBytes, nullptr);
    EXPECT_EQ(props_.JPGFile, nullptr);
    EXPECT_EQ(ijlLiveRecords(), 1);
    JPEG_CORE_PROPERTIES copy = props_;
    EXPECT_EQ(ijlFree(&props_), IJL_OK);
    EXPECT_EQ(ijlLiveRecords(), 0);
    EXPECT_EQ(ijlFree(&props_), IJL_ERR_NOT_INITIALISED);
    EXPECT_EQ(ijlFree(&copy), IJL_ERR_NOT_INITIALISED) << "a stale copy of a freed record";
    EXPECT_EQ(ijlWrite(&copy, IJL_JFILE_WRITEWHOLEIMAGE), IJL_ERR_NOT_INITIALISED);
    EXPECT_EQ(ijlInit(nullptr), IJL_ERR_NO_RECORD);
    EXPECT_EQ(ijlWrite(nullptr, IJL_JFILE_WRITEWHOLEIMAGE), IJL_ERR_NO_RECORD);
}

TEST_F(JpegLibrary, RefusesARecordThatWasNeverInitialised) {
    JPEG_CORE_PROPERTIES garbage;
    std::memset(&garbage, 0x5A, sizeof garbage);
    EXPECT_EQ(ijlWrite(&garbage, IJL_JFILE_WRITEWHOLEIMAGE), IJL_ERR_NOT_INITIALISED);
    EXPECT_EQ(ijlFree(&garbage), IJL_ERR_NOT_INITIALISED);
}

TEST_F(JpegLibrary, BottomUpRowsWithPadBytesComeOutUpright) {
    for (int w : {1, 2, 3, 4, 5, 17}) {
        Bitmap bmp(w, 19);
        bmp.Fill({255, 255, 255});
        for (int x = 0; x < w; ++x)
            for (int y = 0; y < 8; ++y) bmp.Set(x, y, {200, 30, 40});  // red band on top
        // Black pad bytes would show against the white if they were read as pixels.
        for (int r = 0; r < bmp.h; ++r)
            for (int c = w * 3; c < bmp.stride; ++c) bmp.bytes[static_cast<size_t>(r) * bmp.stride + c] = 0;
        const std::wstring file = Path((L"up" + std::to_wstring(w) + L".jpg").c_str());
        Describe(bmp, file);
        ASSERT_EQ(ijlWrite(&props_, IJL_JFILE_WRITEWHOLEIMAGE), IJL_OK) << w;
        DecodedImage img = testsupport::DecodeJpegFile(file);
        ASSERT_EQ(img.width, w);
        ASSERT_EQ(img.height, 19);
        EXPECT_TRUE(Near(img.At(0, 2), {200, 30, 40}, 24)) << "width " << w;
        EXPECT_TRUE(Near(img.At(w - 1, 17), {255, 255, 255}, 24)) << "width " << w;
    }
}

TEST_F(JpegLibrary, PositiveHeightMeansRowsFromTheTop) {
    Bitmap bmp(16, 16);
    bmp.Fill({0, 0, 0});
    for (int x = 0; x < 16; ++x)
        for (int y = 8; y < 16; ++y) bmp.Set(x, y, {250, 250, 250});  // white lower half
    const std::wstring file = Path(L"topdown.jpg");
    Describe(bmp, file);
    props_.DIBHeight = 16;  // memory's first row is now the top: the white half lands on top
    ASSERT_EQ(ijlWrite(&props_, IJL_JFILE_WRITEWHOLEIMAGE), IJL_OK);
    DecodedImage img = testsupport::DecodeJpegFile(file);
    ASSERT_EQ(img.height, 16);
    EXPECT_TRUE(Near(img.At(5, 2), {250, 250, 250}));
    EXPECT_TRUE(Near(img.At(5, 13), {0, 0, 0}));
}

TEST_F(JpegLibrary, ScreenshotAtQuality90IsFaithful) {
    const int w = 800, h = 500;
    Bitmap bmp(w, h);
    testsupport::PaintScreenshotBottomUp(bmp.bytes.data(), w, h, bmp.stride);
    const std::wstring file = Path(L"shot.jpg");
    Describe(bmp, file, 90);
    ASSERT_EQ(ijlWrite(&props_, IJL_JFILE_WRITEWHOLEIMAGE), IJL_OK);
    DecodedImage img = testsupport::DecodeJpegFile(file);
    ASSERT_EQ(img.width, w);
    ASSERT_EQ(img.height, h);
    const double psnr =
        testsupport::Psnr(img, [&](int x, int y) { return testsupport::ScreenshotPixel(x, y, w, h); });
    EXPECT_GE(psnr, 35.0);
    RecordProperty("psnr_q90", std::to_string(psnr));
}

TEST_F(JpegLibrary, LowerQualityGivesASmallerFile) {
    const int w = 320, h = 240;
    Bitmap bmp(w, h);
    testsupport::PaintScreenshotBottomUp(bmp.bytes.data(), w, h, bmp.stride);
    size_t sizes[2] = {};
    const int qualities[2] = {10, 100};
    for (int i = 0; i < 2; ++i) {
        const std::wstring file = Path((L"q" + std::to_wstring(qualities[i]) + L".jpg").c_str());
        Describe(bmp, file, qualities[i]);
        ASSERT_EQ(ijlWrite(&props_, IJL_JFILE_WRITEWHOLEIMAGE), IJL_OK);
        sizes[i] = testsupport::ReadFileBytes(file).size();
        EXPECT_EQ(testsupport::DecodeJpegFile(file).width, w);
    }
    EXPECT_LT(sizes[0] * 2, sizes[1]);
}

TEST_F(JpegLibrary, RefusesWhatItCannotWrite) {
    Bitmap bmp(8, 8);
    const std::wstring file = Path(L"bad.jpg");
    struct Case {
        const char* what;
        void (*spoil)(JPEG_CORE_PROPERTIES&);
        int32_t code;
    };
    const Case cases[] = {
        {"no pixels", [](JPEG_CORE_PROPERTIES& p) { p.DIBBytes = nullptr; }, IJL_ERR_BAD_IMAGE},
        {"no width", [](JPEG_CORE_PROPERTIES& p) { p.DIBWidth = 0; }, IJL_ERR_BAD_IMAGE},
        {"no height", [](JPEG_CORE_PROPERTIES& p) { p.DIBHeight = 0; }, IJL_ERR_BAD_IMAGE},
        {"scaling", [](JPEG_CORE_PROPERTIES& p) { p.JPGWidth = 4; }, IJL_ERR_BAD_IMAGE},
        {"negative pad", [](JPEG_CORE_PROPERTIES& p) { p.DIBPadBytes = -1; }, IJL_ERR_BAD_IMAGE},
        {"pad of a whole pixel", [](JPEG_CORE_PROPERTIES& p) { p.DIBPadBytes = 4; }, IJL_ERR_BAD_IMAGE},
        {"four channels", [](JPEG_CORE_PROPERTIES& p) { p.DIBChannels = 4; }, IJL_ERR_BAD_IMAGE},
        {"too wide", [](JPEG_CORE_PROPERTIES& p) { p.DIBWidth = p.JPGWidth = 70000; }, IJL_ERR_BAD_IMAGE},
        {"quality 0", [](JPEG_CORE_PROPERTIES& p) { p.jquality = 0; }, IJL_ERR_BAD_QUALITY},
        {"quality 101", [](JPEG_CORE_PROPERTIES& p) { p.jquality = 101; }, IJL_ERR_BAD_QUALITY},
        {"no file", [](JPEG_CORE_PROPERTIES& p) { p.JPGFile = nullptr; }, IJL_ERR_NO_FILE_NAME},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(ijlFree(&props_), IJL_OK);
        ASSERT_EQ(ijlInit(&props_), IJL_OK);
        Describe(bmp, file);
        c.spoil(props_);
        EXPECT_EQ(ijlWrite(&props_, IJL_JFILE_WRITEWHOLEIMAGE), c.code) << c.what;
        EXPECT_EQ(GetFileAttributesW(file.c_str()), INVALID_FILE_ATTRIBUTES) << c.what;
    }
    ASSERT_EQ(ijlFree(&props_), IJL_OK);
    ASSERT_EQ(ijlInit(&props_), IJL_OK);
    Describe(bmp, file);
    EXPECT_EQ(ijlWrite(&props_, 1), IJL_ERR_UNSUPPORTED_MODE);
    EXPECT_EQ(ijlWrite(&props_, IJL_JFILE_WRITEWHOLEIMAGE), IJL_OK) << "the record is still good";
}

TEST_F(JpegLibrary, AMissingFolderFailsWithoutAFile) {
    Bitmap bmp(8, 8);
    const std::wstring file = Path(L"no such folder\\x.jpg");
    Describe(bmp, file);
    EXPECT_EQ(ijlWrite(&props_, IJL_JFILE_WRITEWHOLEIMAGE), IJL_ERR_FILE_CREATE);
    EXPECT_EQ(GetFileAttributesW(file.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(JpegLibrary, OverwritesAnExistingFile) {
    const std::wstring file = Path(L"over.jpg");
    testsupport::WriteFileBytes(file, std::string(100000, 'x'));
    Bitmap bmp(8, 8);
    Describe(bmp, file);
    ASSERT_EQ(ijlWrite(&props_, IJL_JFILE_WRITEWHOLEIMAGE), IJL_OK);
    EXPECT_EQ(testsupport::DecodeJpegFile(file).width, 8);
    EXPECT_LT(testsupport::ReadFileBytes(file).size(), 100000u) << "truncated, not written into";
}

TEST_F(JpegLibrary, OneColourBlocksKeepTheirColour) {
    const Rgb colours[] = {{255, 255, 255}, {0, 0, 0}, {0, 102, 204}, {255, 0, 0}, {37, 201, 90}};
    for (const Rgb& c : colours) {
        Bitmap bmp(21, 13);  // blocks cut by both edges
        bmp.Fill(c);
        const std::wstring file = Path(L"flat.jpg");
        Describe(bmp, file, 90);
        ASSERT_EQ(ijlWrite(&props_, IJL_JFILE_WRITEWHOLEIMAGE), IJL_OK);
        DecodedImage img = testsupport::DecodeJpegFile(file);
        ASSERT_EQ(img.width, 21);
        EXPECT_TRUE(Near(img.At(0, 0), c, 2)) << int(c.r) << "," << int(c.g) << "," << int(c.b);
        EXPECT_TRUE(Near(img.At(20, 12), c, 2));
    }
}

TEST_F(JpegLibrary, NoiseAtEveryQualityStaysDecodable) {
    // Noise makes the largest coefficients; at quality 100 they must still
    // fit the standard code tables.
    Bitmap bmp(64, 48);
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x) {
            const uint32_t h = testsupport::ScreenshotHash(x, y, 77);
            bmp.Set(x, y, {static_cast<uint8_t>(h), static_cast<uint8_t>((x + y) & 1 ? 255 : 0),
                           static_cast<uint8_t>(h >> 8)});
        }
    double previous = 0;
    for (int q : {1, 10, 50, 90, 100}) {
        const std::wstring file = Path(L"noise.jpg");
        Describe(bmp, file, q);
        ASSERT_EQ(ijlWrite(&props_, IJL_JFILE_WRITEWHOLEIMAGE), IJL_OK) << q;
        DecodedImage img = testsupport::DecodeJpegFile(file);
        ASSERT_EQ(img.width, 64) << q;
        const double psnr = testsupport::Psnr(img, [&](int x, int y) {
            const uint8_t* p = &bmp.bytes[static_cast<size_t>(47 - y) * bmp.stride + 3 * x];
            return Rgb{p[2], p[1], p[0]};
        });
        EXPECT_GT(psnr, previous) << "quality " << q << " is better than the one below";
        previous = psnr;
    }
    EXPECT_GT(previous, 40.0) << "quality 100";
}
