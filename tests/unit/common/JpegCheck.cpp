#include "unit/common/JpegCheck.h"

#include <cmath>

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
