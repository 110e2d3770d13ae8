#pragma once
// Reading back a JPEG file in tests: the decoded RGB pixels and how close
// they are to the picture they came from.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "unit/common/ScreenshotImage.h"

namespace testsupport {

struct DecodedImage {
    int width = 0, height = 0;
    std::vector<uint8_t> rgb;  // top row first, 3 bytes a pixel
    Rgb At(int x, int y) const {
        const uint8_t* p = &rgb[(static_cast<size_t>(y) * width + x) * 3];
        return {p[0], p[1], p[2]};
    }
    // Top row first, 0x00RRGGBB.
    std::vector<uint32_t> Pixels() const {
        std::vector<uint32_t> px(rgb.size() / 3);
        for (size_t i = 0; i < px.size(); ++i) px[i] = rgb[3 * i] << 16 | rgb[3 * i + 1] << 8 | rgb[3 * i + 2];
        return px;
    }
};

// Decodes a JPEG file; width 0 when the file is missing or not a JPEG.
DecodedImage DecodeJpegFile(const std::wstring& path);

// Peak signal-to-noise ratio in dB over all three channels of the decoded
// image against the colours expected at each pixel.
double Psnr(const DecodedImage& img, const std::function<Rgb(int x, int y)>& expected);

// The quality (1 to 100, the usual scale over the JPEG standard's example
// tables) whose luminance and chrominance tables the file carries; 0 when
// its tables are those of no quality.
int QualityOfJpeg(const std::string& bytes);

// Writes the screenshot-like picture into 24-bit BGR rows, bottom row first.
void PaintScreenshotBottomUp(uint8_t* bits, int w, int h, int stride);

}  // namespace testsupport
