#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <vector>

#include "jpeglib/JpegEncoderCore.h"
#include "unit/common/ScreenshotImage.h"

namespace {

using jpeglib::detail::ScanBuild;

// Bytes that end where an unreadable page begins: a read past them faults.
class GuardedBytes {
public:
    explicit GuardedBytes(size_t n) {
        const size_t pages = (n + 4095) / 4096;
        base_ = static_cast<uint8_t*>(VirtualAlloc(nullptr, (pages + 1) * 4096, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
        DWORD old = 0;
        VirtualProtect(base_ + pages * 4096, 4096, PAGE_NOACCESS, &old);
        data_ = base_ + pages * 4096 - n;
    }
    ~GuardedBytes() { VirtualFree(base_, 0, MEM_RELEASE); }
    uint8_t* data() { return data_; }

private:
    uint8_t* base_;
    uint8_t* data_;
};

// The AVX2 build of the scan loop must write the same bytes as the SSE2 one,
// at the edges of a picture (partial blocks, the last columns, a part chunk)
// as well as inside it, and read no byte past the picture.
TEST(JpegEncoder, BothInstructionSetBuildsWriteTheSameBytes) {
    if (!jpeglib::detail::HasAvx2()) GTEST_SKIP() << "this processor has no AVX2";
    for (const int w : {1, 7, 9, 10, 11, 70, 131}) {
        for (const int h : {1, 13}) {
            // Bottom-up, as a DIB section holds it, with the top row last in
            // memory and nothing after it: screen-like on the left, noise on
            // the right.
            const int stride = 3 * w;
            GuardedBytes bytes(static_cast<size_t>(stride) * h);
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x) {
                    const testsupport::Rgb c = testsupport::ScreenshotPixel(x * 7, y * 5, w * 7, h * 5);
                    const uint32_t n = testsupport::ScreenshotHash(x, y, 5);
                    uint8_t* p = bytes.data() + static_cast<size_t>(h - 1 - y) * stride + 3 * x;
                    p[0] = x < w / 2 ? c.b : static_cast<uint8_t>(n);
                    p[1] = x < w / 2 ? c.g : static_cast<uint8_t>(n >> 8);
                    p[2] = x < w / 2 ? c.r : static_cast<uint8_t>(n >> 16);
                }
            const jpeglib::BgrPicture pic{bytes.data() + static_cast<size_t>(h - 1) * stride, -stride, w, h};
            for (const int q : {1, 50, 100}) {
                std::vector<uint8_t> best, plain;
                jpeglib::detail::EncodeJpegWith(ScanBuild::Best, pic, q, best);
                jpeglib::detail::EncodeJpegWith(ScanBuild::Sse2, pic, q, plain);
                EXPECT_EQ(best, plain) << w << " x " << h << " at quality " << q;
            }
        }
    }
}

}  // namespace
