#include "unit/common/JpegCheck.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <map>

#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_STATIC
#define STBI_ONLY_JPEG
#include <stb_image.h>

#include "unit/common/TestSupport.h"

namespace testsupport {

DecodedImage DecodeJpegFile(const std::wstring& path) {
    DecodedImage img;
    const std::string bytes = ReadFileBytes(path);
    if (bytes.empty()) return img;
    int comp = 0;
    stbi_uc* data = stbi_load_from_memory(reinterpret_cast<const stbi_uc*>(bytes.data()),
                                          static_cast<int>(bytes.size()), &img.width, &img.height, &comp, 3);
    if (!data) {
        img.width = img.height = 0;
        return img;
    }
    img.rgb.assign(data, data + static_cast<size_t>(img.width) * img.height * 3);
    stbi_image_free(data);
    return img;
}

double Psnr(const DecodedImage& img, const std::function<Rgb(int x, int y)>& expected) {
    double sum = 0;
    for (int y = 0; y < img.height; ++y)
        for (int x = 0; x < img.width; ++x) {
            const Rgb got = img.At(x, y), want = expected(x, y);
            const double dr = got.r - want.r, dg = got.g - want.g, db = got.b - want.b;
            sum += dr * dr + dg * dg + db * db;
        }
    const double mse = sum / (3.0 * img.width * img.height);
    return mse == 0 ? 99.0 : 10.0 * std::log10(255.0 * 255.0 / mse);
}

namespace {

// The JPEG standard's example tables, in the zig-zag order of a file.
constexpr uint8_t kLumaExample[64] = {16, 11, 12,  14,  12, 10,  16,  14,  13,  14,  18,  17,  16, 19, 24, 40,
                                      26, 24, 22,  22,  24, 49,  35,  37,  29,  40,  58,  51,  61, 60, 57, 51,
                                      56, 55, 64,  72,  92, 78,  64,  68,  87,  69,  55,  56,  80, 109, 81, 87,
                                      95, 98, 103, 104, 103, 62, 77, 113, 121, 112, 100, 120, 92, 101, 103, 99};
constexpr uint8_t kChromaStart[14] = {17, 18, 18, 24, 21, 24, 47, 26, 26, 47, 99, 66, 56, 66};  // then 99s

using Table = std::array<int, 64>;

Table Scaled(int quality, bool chroma) {
    const int scale = quality < 50 ? 5000 / quality : 200 - 2 * quality;
    Table t{};
    for (int k = 0; k < 64; ++k) {
        const int base = chroma ? (k < 14 ? kChromaStart[k] : 99) : kLumaExample[k];
        t[k] = std::clamp((base * scale + 50) / 100, 1, 255);
    }
    return t;
}

}  // namespace

int QualityOfJpeg(const std::string& bytes) {
    // The tables of every DQT segment before the scan, by their number.
    std::map<int, Table> tables;
    size_t at = 2;
    while (at + 4 <= bytes.size() && static_cast<uint8_t>(bytes[at]) == 0xFF) {
        const uint8_t marker = static_cast<uint8_t>(bytes[at + 1]);
        const size_t length = static_cast<uint8_t>(bytes[at + 2]) * 256u + static_cast<uint8_t>(bytes[at + 3]);
        if (marker == 0xDA || at + 2 + length > bytes.size()) break;
        if (marker == 0xDB)
            for (size_t p = at + 4; p + 65 <= at + 2 + length; p += 65) {
                if (static_cast<uint8_t>(bytes[p]) >> 4) return 0;  // 16-bit tables are none of ours
                Table& t = tables[bytes[p] & 15];
                for (int k = 0; k < 64; ++k) t[k] = static_cast<uint8_t>(bytes[p + 1 + k]);
            }
        at += 2 + length;
    }
    if (tables.size() != 2 || !tables.count(0) || !tables.count(1)) return 0;
    for (int q = 1; q <= 100; ++q)
        if (tables[0] == Scaled(q, false) && tables[1] == Scaled(q, true)) return q;
    return 0;
}

void PaintScreenshotBottomUp(uint8_t* bits, int w, int h, int stride) {
    for (int y = 0; y < h; ++y) {
        uint8_t* row = bits + static_cast<size_t>(h - 1 - y) * stride;
        for (int x = 0; x < w; ++x) {
            const Rgb c = ScreenshotPixel(x, y, w, h);
            row[3 * x] = c.b;
            row[3 * x + 1] = c.g;
            row[3 * x + 2] = c.r;
        }
    }
}

}  // namespace testsupport
