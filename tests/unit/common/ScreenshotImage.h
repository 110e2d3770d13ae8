#pragma once
// A deterministic picture that looks like a desktop screenshot: a title bar
// gradient, flat panels, lines of dark text strokes, buttons with 1-pixel
// frames, a smooth photo-like area and a taskbar. Header-only so that the
// benchmarks can share it.
#include <cmath>
#include <cstdint>

namespace testsupport {

struct Rgb {
    uint8_t r, g, b;
};

inline uint32_t ScreenshotHash(uint32_t a, uint32_t b, uint32_t c = 0) {
    uint32_t h = a * 0x9E3779B1u ^ (b + 0x7F4A7C15u) * 0x85EBCA77u ^ (c + 0x165667B1u) * 0xC2B2AE3Du;
    h ^= h >> 15;
    h *= 0x2C1B3C6Du;
    h ^= h >> 12;
    return h;
}

// Whether pixel (px, py) of a 7 x 12 text cell is inked: stems and bars
// chosen per cell, with word gaps.
inline bool ScreenshotGlyphInk(uint32_t cell, uint32_t line, int px, int py) {
    const uint32_t h = ScreenshotHash(cell, line, 17);
    if (h % 6 == 0 || px == 0 || px == 6 || py < 2 || py > 10) return false;
    const bool stem = (px == 1 && (h & 2)) || (px == 3 && (h & 4)) || (px == 5 && (h & 8));
    const bool bar = (py == 2 && (h & 16)) || (py == 6 && (h & 32)) || (py == 10 && (h & 64));
    return stem || bar;
}

// The colour at (x, y), y = 0 being the top row of a w x h picture.
inline Rgb ScreenshotPixel(int x, int y, int w, int h) {
    if (y < 30) {  // title bar
        const int t = x * 255 / (w > 1 ? w - 1 : 1);
        if (y >= 9 && y < 21 && x >= 10 && x < 10 + 7 * 30 && ScreenshotGlyphInk(x / 7, 999, x % 7, y - 9))
            return {255, 255, 255};
        return {static_cast<uint8_t>(t * 166 / 255), static_cast<uint8_t>(84 + t * 118 / 255),
                static_cast<uint8_t>(147 + t * 93 / 255)};
    }
    if (y >= h - 40) {  // taskbar with icons
        const int slot = x / 48, ix = x % 48, iy = y - (h - 40);
        if (slot < 12 && ix >= 8 && ix < 40 && iy >= 4 && iy < 36) {
            const uint32_t c = ScreenshotHash(slot, 5);
            return {static_cast<uint8_t>(c), static_cast<uint8_t>(c >> 8), static_cast<uint8_t>(c >> 16)};
        }
        return {40, 40, 48};
    }
    const int photoLeft = w * 55 / 100, photoRight = w * 90 / 100, photoTop = h * 15 / 100, photoBottom = h * 50 / 100;
    if (x >= photoLeft && x < photoRight && y >= photoTop && y < photoBottom) {
        const double u = static_cast<double>(x - photoLeft) / 60.0, v = static_cast<double>(y - photoTop) / 45.0;
        const int noise = static_cast<int>(ScreenshotHash(x, y, 3) % 7) - 3;
        auto ch = [&](double a) { return static_cast<uint8_t>(std::lround(127.0 + 100.0 * a) + noise); };
        return {ch(std::sin(u) * std::cos(v * 0.7)), ch(std::sin(u * 0.5 + v)), ch(std::cos(u * 0.3 - v * 0.4))};
    }
    const bool sidebar = x < 220;
    // Buttons down the sidebar: a frame and a face.
    if (sidebar && y > 60 && (y - 60) % 50 < 30 && x >= 20 && x < 200) {
        const int by = (y - 60) % 50;
        if (by == 0 || by == 29 || x == 20 || x == 199) return {112, 112, 112};
        if (by >= 9 && by < 21 && x >= 30 && x < 30 + 7 * 12 && ScreenshotGlyphInk(x / 7, y / 50 + 500, x % 7, by - 9))
            return {0, 0, 0};
        return {225, 225, 225};
    }
    const int line = (y - 40) / 18, ly = (y - 40) % 18;
    const int left = sidebar ? 10 : 240;
    const int length = static_cast<int>(ScreenshotHash(line, sidebar) % 600) + 200;
    if (y >= 40 && ly < 12 && x >= left && x < left + (sidebar ? 200 : length) &&
        ScreenshotGlyphInk((x - left) / 7, line * 2 + sidebar, (x - left) % 7, ly)) {
        if (!sidebar && line % 7 == 3) return {0, 102, 204};  // a link
        return {20, 20, 20};
    }
    return sidebar ? Rgb{230, 230, 235} : Rgb{255, 255, 255};
}

}  // namespace testsupport
