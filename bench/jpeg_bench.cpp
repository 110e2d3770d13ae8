// JPEG encoder throughput in process: a 1920 x 1080 screenshot-like and a
// photo-like picture, bottom-up BGR as in a cDIBSection, encoded to memory.
//   --runs=<n>      runs per picture (default 11); prints one line a picture:
//                   ours-<picture> <ms> <ms> ... size=<bytes>
//   --quality=<q>   quality of the timed runs (default 90)
//   --ppm-dir=<d>   also writes <d>\screenshot.ppm and <d>\photo.ppm (for libjpeg-turbo)
//   --sse2          uses the encoder's SSE2 build even where AVX2 is there
//   --check-dir=<d> instead writes <d>\<picture>-q<q>.jpg at q 50, 75, 90 and 100 and
//                   prints size, PSNR and an FNV-1a hash of each file, and whether the
//                   SSE2 build writes the same bytes
// See bench/README.md and bench/jpeg_bench.sh.
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_STATIC
#define STBI_ONLY_JPEG
#include <stb_image.h>

#include "../tests/unit/common/ScreenshotImage.h"
#include "BenchClock.h"
#include "jpeglib/JpegEncoderCore.h"

namespace {

constexpr int kWidth = 1920, kHeight = 1080;
using testsupport::Rgb;

std::string ArgValue(int argc, char** argv, const std::string& name) {
    const std::string prefix = "--" + name + "=";
    for (int i = 1; i < argc; ++i)
        if (std::string(argv[i]).rfind(prefix, 0) == 0) return std::string(argv[i]).substr(prefix.size());
    return {};
}

// A camera-like picture: smooth shapes at several scales, sharp edges between
// regions and sensor noise, so that most coefficients are not zero.
Rgb PhotoPixel(int x, int y) {
    const double u = x / 97.0, v = y / 71.0;
    const double region = std::sin(u * 0.9 + std::cos(v * 0.8)) + std::cos(v * 1.3 - u * 0.4);
    const double base = region > 0.3 ? 60.0 : 0.0;
    const int noise = static_cast<int>(testsupport::ScreenshotHash(x, y, 11) % 17) - 8;
    auto ch = [&](double a, double offset) {
        return static_cast<uint8_t>(std::clamp(std::lround(offset + base + 55.0 * a) + noise, 0L, 255L));
    };
    return {ch(std::sin(u * 2.1) * std::cos(v * 1.7 + x / 13.0), 110.0),
            ch(std::sin(u + v * 2.3) + 0.3 * std::sin(x / 5.0 + y / 7.0), 100.0),
            ch(std::cos(u * 1.3 - v * 0.5) * std::sin(y / 9.0), 90.0)};
}

struct Picture {
    const char* name;
    std::function<Rgb(int, int)> pixel;
    std::vector<uint8_t> bgr;  // bottom row first, rows padded to 4 bytes
    int stride = (kWidth * 3 + 3) & ~3;
    void Paint() {
        bgr.assign(static_cast<size_t>(stride) * kHeight, 0);
        for (int y = 0; y < kHeight; ++y) {
            uint8_t* row = bgr.data() + static_cast<size_t>(kHeight - 1 - y) * stride;
            for (int x = 0; x < kWidth; ++x) {
                const Rgb c = pixel(x, y);
                row[3 * x] = c.b;
                row[3 * x + 1] = c.g;
                row[3 * x + 2] = c.r;
            }
        }
    }
    jpeglib::BgrPicture View() const {
        return {bgr.data() + static_cast<size_t>(kHeight - 1) * stride, -stride, kWidth, kHeight};
    }
    void WritePpm(const std::string& path) const {
        std::ofstream out(path, std::ios::binary);
        out << "P6\n" << kWidth << " " << kHeight << "\n255\n";
        std::vector<char> row(kWidth * 3);
        for (int y = 0; y < kHeight; ++y) {
            for (int x = 0; x < kWidth; ++x) {
                const Rgb c = pixel(x, y);
                row[3 * x] = static_cast<char>(c.r);
                row[3 * x + 1] = static_cast<char>(c.g);
                row[3 * x + 2] = static_cast<char>(c.b);
            }
            out.write(row.data(), static_cast<std::streamsize>(row.size()));
        }
    }
    double Psnr(const std::vector<uint8_t>& jpeg) const {
        int w = 0, h = 0, comp = 0;
        stbi_uc* px = stbi_load_from_memory(jpeg.data(), static_cast<int>(jpeg.size()), &w, &h, &comp, 3);
        if (!px || w != kWidth || h != kHeight) return 0;
        double sum = 0;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const Rgb c = pixel(x, y);
                const stbi_uc* p = px + (static_cast<size_t>(y) * w + x) * 3;
                sum += std::pow(p[0] - c.r, 2) + std::pow(p[1] - c.g, 2) + std::pow(p[2] - c.b, 2);
            }
        stbi_image_free(px);
        return 10 * std::log10(255.0 * 255.0 / (sum / (3.0 * w * h)));
    }
};

uint64_t Fnv1a(const std::vector<uint8_t>& bytes) {
    uint64_t h = 0xcbf29ce484222325ull;
    for (uint8_t b : bytes) h = (h ^ b) * 0x100000001b3ull;
    return h;
}

}  // namespace

int main(int argc, char** argv) {
    const int asked = std::atoi(ArgValue(argc, argv, "runs").c_str());
    const int runs = asked > 0 ? asked : 11;
    const int quality = ArgValue(argc, argv, "quality").empty() ? 90 : std::atoi(ArgValue(argc, argv, "quality").c_str());
    Picture pictures[] = {{"screenshot", [](int x, int y) { return testsupport::ScreenshotPixel(x, y, kWidth, kHeight); }},
                          {"photo", PhotoPixel}};
    for (Picture& p : pictures) p.Paint();
    if (const std::string dir = ArgValue(argc, argv, "ppm-dir"); !dir.empty())
        for (const Picture& p : pictures) p.WritePpm(dir + "\\" + p.name + ".ppm");

    std::vector<uint8_t> out;
    out.reserve(4 << 20);
    if (const std::string dir = ArgValue(argc, argv, "check-dir"); !dir.empty()) {
        for (const Picture& p : pictures)
            for (int q : {50, 75, 90, 100}) {
                out.clear();
                jpeglib::EncodeJpeg(p.View(), q, out);
                const std::string file = dir + "\\" + p.name + "-q" + std::to_string(q) + ".jpg";
                std::ofstream(file, std::ios::binary).write(reinterpret_cast<const char*>(out.data()),
                                                             static_cast<std::streamsize>(out.size()));
                std::vector<uint8_t> plain;
                jpeglib::detail::EncodeJpegWith(jpeglib::detail::ScanBuild::Sse2, p.View(), q, plain);
                std::printf("check %s q%d size=%zu psnr=%.3f fnv=%016llx sse2-build=%s\n", p.name, q, out.size(),
                            p.Psnr(out), static_cast<unsigned long long>(Fnv1a(out)),
                            plain == out ? "same" : "DIFFERENT");
            }
        return 0;
    }
    bool sse2 = false;
    for (int i = 1; i < argc; ++i) sse2 |= std::string(argv[i]) == "--sse2";
    const auto build = sse2 ? jpeglib::detail::ScanBuild::Sse2 : jpeglib::detail::ScanBuild::Best;
    for (const Picture& p : pictures) {
        std::printf("ours%s-%s", sse2 ? "-sse2" : "", p.name);
        for (int i = 0; i < runs; ++i) {
            out.clear();
            const double t0 = bench::NowMs();
            jpeglib::detail::EncodeJpegWith(build, p.View(), quality, out);
            std::printf(" %.3f", bench::NowMs() - t0);
        }
        std::printf(" size=%zu\n", out.size());
    }
    return 0;
}
