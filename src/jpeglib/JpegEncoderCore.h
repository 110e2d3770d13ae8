#pragma once
// What the encoder's scan loop shares between its instruction-set builds:
// the tables made once per picture, the output buffer and the bit state.
// Everything here is defined before any target pragma, so it compiles for
// the plainest processor in every file that includes it.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "jpeglib/JpegEncoder.h"

namespace jpeglib::detail {

// Natural (row-major) index of each position in zig-zag order.
inline constexpr uint8_t kZigZag[64] = {0,  1,  8,  16, 9,  2,  3,  10, 17, 24, 32, 25, 18, 11, 4,  5,
                                        12, 19, 26, 33, 40, 48, 41, 34, 27, 20, 13, 6,  7,  14, 21, 28,
                                        35, 42, 49, 56, 57, 50, 43, 36, 29, 22, 15, 23, 30, 37, 44, 51,
                                        58, 59, 52, 45, 38, 31, 39, 46, 53, 60, 61, 54, 47, 55, 62, 63};

// Where each zig-zag position lies among the transposed coefficients.
struct ZigZagTransposedTable {
    uint8_t at[64];
};
inline constexpr ZigZagTransposedTable kZigZagTransposed = [] {
    ZigZagTransposedTable t{};
    for (int k = 0; k < 64; ++k) t.at[k] = static_cast<uint8_t>((kZigZag[k] % 8) * 8 + kZigZag[k] / 8);
    return t;
}();

struct HuffmanTableData {
    const uint8_t* counts;  // codes per length 1..16
    const uint8_t* symbols;
    int symbolCount;
};

struct HuffmanCodes {
    uint32_t codeAndLength[256];  // code << 8 | length, per symbol
    // Symbol and value bits in one look-up for the small values: at
    // 64 * run + 32 + value, for |value| < 32, (code << size | value bits) << 5 | their length.
    uint32_t withValue[16 * 64];
    explicit HuffmanCodes(const HuffmanTableData& data);
};

struct QuantTable {
    uint8_t table[64];                 // row-major, as written to the file (in zig-zag order)
    alignas(32) float reciprocal[64];  // 1 / divisor, transposed like the coefficients
    QuantTable(const uint8_t* base, int32_t quality);
};

// Zig-zag order of the non-zero flags: entry [j][byte] has, for each bit i
// of byte j of a mask in transposed coefficient order, the bit of that
// coefficient's zig-zag position; low and high 32 bits.
struct ZigZagMasks {
    uint32_t low[8][256], high[8][256];
    ZigZagMasks();
};

struct ScanTables {
    const QuantTable& lumaQuant;
    const QuantTable& chromaQuant;
    const HuffmanCodes& dcLuma;
    const HuffmanCodes& acLuma;
    const HuffmanCodes& dcChroma;
    const HuffmanCodes& acChroma;
    const ZigZagMasks& zigZag;
};

// Output with room checked once per run of blocks, not per byte.
class ByteSink {
public:
    explicit ByteSink(std::vector<uint8_t>& out) : out_(out), used_(out.size()) {}
    // Makes room for n more bytes; pointers from Cursor() are invalid after it.
    void Reserve(size_t n) {
        if (out_.size() - used_ < n) Grow(n);
    }
    uint8_t* Cursor() { return out_.data() + used_; }
    void Advance(uint8_t* cursor) { used_ = static_cast<size_t>(cursor - out_.data()); }
    void Put(uint8_t b) { out_[used_++] = b; }
    void Put16(uint32_t v) {
        Put(static_cast<uint8_t>(v >> 8));
        Put(static_cast<uint8_t>(v));
    }
    void PutBytes(const uint8_t* p, size_t n) {
        Reserve(n);
        for (size_t i = 0; i < n; ++i) Put(p[i]);
    }
    void Finish() { out_.resize(used_); }

private:
    void Grow(size_t n);  // out of line: the AVX2 build must not make its own copy of the vector's code
    std::vector<uint8_t>& out_;
    size_t used_;
};

// The entropy coder's pending bits between runs of blocks: the low
// 32 - freeBits bits of acc.
struct BitState {
    uint32_t acc = 0;
    int freeBits = 32;
};

// Codes the whole scan; the two builds write the same bytes.
void EncodeScanSse2(const BgrPicture& pic, const ScanTables& tables, ByteSink& sink, BitState& state);
void EncodeScanAvx2(const BgrPicture& pic, const ScanTables& tables, ByteSink& sink, BitState& state);

// Whether this processor and system run the AVX2 build.
bool HasAvx2();

// Which build EncodeJpeg uses: the best one the processor has, or for tests
// the SSE2 one everywhere.
enum class ScanBuild { Best, Sse2 };
void EncodeJpegWith(ScanBuild build, const BgrPicture& pic, int32_t quality, std::vector<uint8_t>& out);

}  // namespace jpeglib::detail
