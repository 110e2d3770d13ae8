#pragma once
// A baseline JPEG encoder for 24-bit BGR pictures: YCbCr without chroma
// subsampling (sharp coloured edges of screen pictures survive), standard
// Huffman tables, quality 1 to 100 on the usual scale.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace jpeglib {

struct BgrPicture {
    const uint8_t* top;  // first byte of the picture's top row
    ptrdiff_t stride;    // bytes from one row to the one below it; negative for bottom-up storage
    int32_t width;       // 1 to 65535
    int32_t height;      // 1 to 65535
};

// Appends the whole JPEG file (JFIF) to out. Throws std::bad_alloc.
void EncodeJpeg(const BgrPicture& pic, int32_t quality, std::vector<uint8_t>& out);

}  // namespace jpeglib
