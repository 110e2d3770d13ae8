// JPEG writer throughput: a 1920 x 1080 screenshot-like picture in a
// cDIBSection, written at quality 90 several times; prints the median time,
// megapixels per second, the file size and the PSNR of the result.
// --ppm=<path> also writes the same pixels as a PPM file (for cjpeg),
// --runs=<n> sets the number of runs. See bench/README.md.
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_STATIC
#define STBI_ONLY_JPEG
#include <stb_image.h>

#include "../tests/unit/common/ScreenshotImage.h"
#include "capture/cDIBSection.h"
#include "capture/mIntelJPEGLibrary.h"
#include "forms/Error.h"
#include "forms/Values.h"

namespace {

constexpr int kWidth = 1920, kHeight = 1080;

std::string ArgValue(int argc, char** argv, const std::string& name) {
    const std::string prefix = "--" + name + "=";
    for (int i = 1; i < argc; ++i)
        if (std::string(argv[i]).rfind(prefix, 0) == 0) return std::string(argv[i]).substr(prefix.size());
    return {};
}

double Seconds() {
    LARGE_INTEGER t, f;
    QueryPerformanceCounter(&t);
    QueryPerformanceFrequency(&f);
    return static_cast<double>(t.QuadPart) / static_cast<double>(f.QuadPart);
}

void WritePpm(const std::string& path) {
    std::ofstream out(path, std::ios::binary);
    out << "P6\n" << kWidth << " " << kHeight << "\n255\n";
    std::vector<char> row(kWidth * 3);
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            const testsupport::Rgb c = testsupport::ScreenshotPixel(x, y, kWidth, kHeight);
            row[3 * x] = static_cast<char>(c.r);
            row[3 * x + 1] = static_cast<char>(c.g);
            row[3 * x + 2] = static_cast<char>(c.b);
        }
        out.write(row.data(), static_cast<std::streamsize>(row.size()));
    }
}

double PsnrOf(const std::string& file) {
    int w = 0, h = 0, comp = 0;
    stbi_uc* px = stbi_load(file.c_str(), &w, &h, &comp, 3);
    if (!px || w != kWidth || h != kHeight) return 0;
    double sum = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const testsupport::Rgb c = testsupport::ScreenshotPixel(x, y, w, h);
            const stbi_uc* p = px + (static_cast<size_t>(y) * w + x) * 3;
            sum += std::pow(p[0] - c.r, 2) + std::pow(p[1] - c.g, 2) + std::pow(p[2] - c.b, 2);
        }
    stbi_image_free(px);
    return 10 * std::log10(255.0 * 255.0 / (sum / (3.0 * w * h)));
}

}  // namespace

int main(int argc, char** argv) {
    const int asked = std::atoi(ArgValue(argc, argv, "runs").c_str());
    const int runs = asked > 0 ? asked : 11;
    cDIBSection dib;
    if (!forms::IsTrue(dib.Create(kWidth, kHeight))) {
        std::puts("cannot make the bitmap");
        return 1;
    }
    for (int y = 0; y < kHeight; ++y) {
        uint8_t* row = dib.DIBSectionBitsPtr() + static_cast<size_t>(kHeight - 1 - y) * dib.BytesPerScanLine();
        for (int x = 0; x < kWidth; ++x) {
            const testsupport::Rgb c = testsupport::ScreenshotPixel(x, y, kWidth, kHeight);
            row[3 * x] = c.b;
            row[3 * x + 1] = c.g;
            row[3 * x + 2] = c.r;
        }
    }
    if (std::string ppm = ArgValue(argc, argv, "ppm"); !ppm.empty()) WritePpm(ppm);

    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    const std::string file = std::string(temp) + "qc_jpeg_bench.jpg";
    std::vector<double> times;
    try {
        for (int i = 0; i < runs; ++i) {
            const double t0 = Seconds();
            mIntelJPEGLibrary::SaveJpegFile(dib, forms::FromAnsi(file), 90);
            times.push_back(Seconds() - t0);
        }
    } catch (const forms::Error& e) {
        std::printf("save failed: %d %s\n", e.Number, forms::ToAnsi(e.Description).c_str());
        return 1;
    }
    std::sort(times.begin(), times.end());
    const double median = times[times.size() / 2];
    WIN32_FILE_ATTRIBUTE_DATA info{};
    GetFileAttributesExA(file.c_str(), GetFileExInfoStandard, &info);
    std::printf("picture: %dx%d screenshot-like, quality 90, %d runs\n", kWidth, kHeight, runs);
    std::printf("size: %lu bytes, psnr %.2f dB\n", static_cast<unsigned long>(info.nFileSizeLow), PsnrOf(file));
    std::printf("ours: median %.2f ms, MP/s %.1f\n", median * 1000, kWidth * kHeight / 1e6 / median);
    DeleteFileA(file.c_str());
    return 0;
}
