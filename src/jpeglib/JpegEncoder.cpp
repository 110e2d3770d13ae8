#include "jpeglib/JpegEncoder.h"

#include <emmintrin.h>

#include <algorithm>

// The transform and the colour conversion work on four lanes at once. Every
// processor that runs this system's Windows has SSE2.
#pragma GCC target("sse2")

namespace jpeglib {

namespace {

// Natural (row-major) index of each position in zig-zag order.
constexpr uint8_t kZigZag[64] = {0,  1,  8,  16, 9,  2,  3,  10, 17, 24, 32, 25, 18, 11, 4,  5,
                                 12, 19, 26, 33, 40, 48, 41, 34, 27, 20, 13, 6,  7,  14, 21, 28,
                                 35, 42, 49, 56, 57, 50, 43, 36, 29, 22, 15, 23, 30, 37, 44, 51,
                                 58, 59, 52, 45, 38, 31, 39, 46, 53, 60, 61, 54, 47, 55, 62, 63};

// Where each zig-zag position lies among the transposed coefficients.
struct ZigZagTransposedTable {
    uint8_t at[64];
    constexpr ZigZagTransposedTable() : at{} {
        for (int k = 0; k < 64; ++k) at[k] = static_cast<uint8_t>((kZigZag[k] % 8) * 8 + kZigZag[k] / 8);
    }
    constexpr uint8_t operator[](int k) const { return at[k]; }
};
constexpr ZigZagTransposedTable kZigZagTransposed;

// The JPEG standard's example quantisation tables (quality 50), row-major.
constexpr uint8_t kLumaQuant[64] = {16, 11, 10, 16, 24,  40,  51,  61,  12, 12, 14, 19, 26,  58,  60,  55,
                                    14, 13, 16, 24, 40,  57,  69,  56,  14, 17, 22, 29, 51,  87,  80,  62,
                                    18, 22, 37, 56, 68,  109, 103, 77,  24, 35, 55, 64, 81,  104, 113, 92,
                                    49, 64, 78, 87, 103, 121, 120, 101, 72, 92, 95, 98, 112, 100, 103, 99};
constexpr uint8_t kChromaQuant[64] = {17, 18, 24, 47, 99, 99, 99, 99, 18, 21, 26, 66, 99, 99, 99, 99,
                                      24, 26, 56, 99, 99, 99, 99, 99, 47, 66, 99, 99, 99, 99, 99, 99,
                                      99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99,
                                      99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99};

// The standard's example Huffman tables: code counts per length 1..16, then symbols.
constexpr uint8_t kDcLumaCounts[16] = {0, 1, 5, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0};
constexpr uint8_t kDcChromaCounts[16] = {0, 3, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0};
constexpr uint8_t kDcSymbols[12] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11};
constexpr uint8_t kAcLumaCounts[16] = {0, 2, 1, 3, 3, 2, 4, 3, 5, 5, 4, 4, 0, 0, 1, 0x7d};
constexpr uint8_t kAcLumaSymbols[162] = {
    0x01, 0x02, 0x03, 0x00, 0x04, 0x11, 0x05, 0x12, 0x21, 0x31, 0x41, 0x06, 0x13, 0x51, 0x61, 0x07, 0x22, 0x71,
    0x14, 0x32, 0x81, 0x91, 0xa1, 0x08, 0x23, 0x42, 0xb1, 0xc1, 0x15, 0x52, 0xd1, 0xf0, 0x24, 0x33, 0x62, 0x72,
    0x82, 0x09, 0x0a, 0x16, 0x17, 0x18, 0x19, 0x1a, 0x25, 0x26, 0x27, 0x28, 0x29, 0x2a, 0x34, 0x35, 0x36, 0x37,
    0x38, 0x39, 0x3a, 0x43, 0x44, 0x45, 0x46, 0x47, 0x48, 0x49, 0x4a, 0x53, 0x54, 0x55, 0x56, 0x57, 0x58, 0x59,
    0x5a, 0x63, 0x64, 0x65, 0x66, 0x67, 0x68, 0x69, 0x6a, 0x73, 0x74, 0x75, 0x76, 0x77, 0x78, 0x79, 0x7a, 0x83,
    0x84, 0x85, 0x86, 0x87, 0x88, 0x89, 0x8a, 0x92, 0x93, 0x94, 0x95, 0x96, 0x97, 0x98, 0x99, 0x9a, 0xa2, 0xa3,
    0xa4, 0xa5, 0xa6, 0xa7, 0xa8, 0xa9, 0xaa, 0xb2, 0xb3, 0xb4, 0xb5, 0xb6, 0xb7, 0xb8, 0xb9, 0xba, 0xc2, 0xc3,
    0xc4, 0xc5, 0xc6, 0xc7, 0xc8, 0xc9, 0xca, 0xd2, 0xd3, 0xd4, 0xd5, 0xd6, 0xd7, 0xd8, 0xd9, 0xda, 0xe1, 0xe2,
    0xe3, 0xe4, 0xe5, 0xe6, 0xe7, 0xe8, 0xe9, 0xea, 0xf1, 0xf2, 0xf3, 0xf4, 0xf5, 0xf6, 0xf7, 0xf8, 0xf9, 0xfa};
constexpr uint8_t kAcChromaCounts[16] = {0, 2, 1, 2, 4, 4, 3, 4, 7, 5, 4, 4, 0, 1, 2, 0x77};
constexpr uint8_t kAcChromaSymbols[162] = {
    0x00, 0x01, 0x02, 0x03, 0x11, 0x04, 0x05, 0x21, 0x31, 0x06, 0x12, 0x41, 0x51, 0x07, 0x61, 0x71, 0x13, 0x22,
    0x32, 0x81, 0x08, 0x14, 0x42, 0x91, 0xa1, 0xb1, 0xc1, 0x09, 0x23, 0x33, 0x52, 0xf0, 0x15, 0x62, 0x72, 0xd1,
    0x0a, 0x16, 0x24, 0x34, 0xe1, 0x25, 0xf1, 0x17, 0x18, 0x19, 0x1a, 0x26, 0x27, 0x28, 0x29, 0x2a, 0x35, 0x36,
    0x37, 0x38, 0x39, 0x3a, 0x43, 0x44, 0x45, 0x46, 0x47, 0x48, 0x49, 0x4a, 0x53, 0x54, 0x55, 0x56, 0x57, 0x58,
    0x59, 0x5a, 0x63, 0x64, 0x65, 0x66, 0x67, 0x68, 0x69, 0x6a, 0x73, 0x74, 0x75, 0x76, 0x77, 0x78, 0x79, 0x7a,
    0x82, 0x83, 0x84, 0x85, 0x86, 0x87, 0x88, 0x89, 0x8a, 0x92, 0x93, 0x94, 0x95, 0x96, 0x97, 0x98, 0x99, 0x9a,
    0xa2, 0xa3, 0xa4, 0xa5, 0xa6, 0xa7, 0xa8, 0xa9, 0xaa, 0xb2, 0xb3, 0xb4, 0xb5, 0xb6, 0xb7, 0xb8, 0xb9, 0xba,
    0xc2, 0xc3, 0xc4, 0xc5, 0xc6, 0xc7, 0xc8, 0xc9, 0xca, 0xd2, 0xd3, 0xd4, 0xd5, 0xd6, 0xd7, 0xd8, 0xd9, 0xda,
    0xe2, 0xe3, 0xe4, 0xe5, 0xe6, 0xe7, 0xe8, 0xe9, 0xea, 0xf2, 0xf3, 0xf4, 0xf5, 0xf6, 0xf7, 0xf8, 0xf9, 0xfa};

struct HuffmanTableData {
    const uint8_t* counts;
    const uint8_t* symbols;
    int symbolCount;
};
constexpr HuffmanTableData kDcLuma{kDcLumaCounts, kDcSymbols, 12};
constexpr HuffmanTableData kAcLuma{kAcLumaCounts, kAcLumaSymbols, 162};
constexpr HuffmanTableData kDcChroma{kDcChromaCounts, kDcSymbols, 12};
constexpr HuffmanTableData kAcChroma{kAcChromaCounts, kAcChromaSymbols, 162};

// Code and length of every symbol, from the canonical assignment.
struct HuffmanCodes {
    uint16_t code[256] = {};
    uint8_t size[256] = {};
    explicit HuffmanCodes(const HuffmanTableData& data) {
        uint16_t next = 0;
        int k = 0;
        for (int len = 1; len <= 16; ++len) {
            for (int i = 0; i < data.counts[len - 1]; ++i, ++k) {
                code[data.symbols[k]] = next++;
                size[data.symbols[k]] = static_cast<uint8_t>(len);
            }
            next = static_cast<uint16_t>(next << 1);
        }
    }
};

// The scaled transform below leaves 8 * s(u) * s(v) on coefficient (u, v);
// the divisors take that out again.
constexpr double kAanScale[8] = {1.0, 1.387039845, 1.306562965, 1.175875602, 1.0, 0.785694958, 0.541196100, 0.275899379};

// The transform leaves its coefficients transposed: (u, v) at 8 * v + u.
constexpr int Transposed(int natural) { return (natural % 8) * 8 + natural / 8; }

struct QuantTable {
    uint8_t table[64];                  // row-major, as written to the file (in zig-zag order)
    alignas(16) float reciprocal[64];   // 1 / divisor, transposed like the coefficients
    QuantTable(const uint8_t* base, int32_t quality) {
        const int32_t scale = quality < 50 ? 5000 / quality : 200 - 2 * quality;
        for (int i = 0; i < 64; ++i) {
            const int32_t q = std::clamp((base[i] * scale + 50) / 100, 1, 255);
            table[i] = static_cast<uint8_t>(q);
            reciprocal[Transposed(i)] = static_cast<float>(1.0 / (q * kAanScale[i / 8] * kAanScale[i % 8] * 8.0));
        }
    }
};

// Output with room checked once per block, not per byte.
class ByteSink {
public:
    explicit ByteSink(std::vector<uint8_t>& out) : out_(out), used_(out.size()) {}
    // Makes room for n more bytes; pointers from Cursor() are invalid after it.
    void Reserve(size_t n) {
        if (out_.size() - used_ < n) out_.resize(std::max(out_.size() * 2, used_ + n + 65536));
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
    std::vector<uint8_t>& out_;
    size_t used_;
};

// The entropy coder's bit accumulator. Its state lives in locals of the
// caller while a block is coded, so the byte stores cannot force it back to
// memory after every byte.
struct BitState {
    uint64_t acc = 0;  // the low count bits are pending
    int count = 0;     // below 32 between calls
};

class BitWriter {
public:
    BitWriter(BitState& state, uint8_t* cursor) : acc_(state.acc), count_(state.count), cursor_(cursor) {}
    // Up to 32 bits at a time.
    void Put(uint32_t bits, int count) {
        acc_ = (acc_ << count) | bits;
        count_ += count;
        if (count_ >= 32) {
            count_ -= 32;
            const uint32_t word = static_cast<uint32_t>(acc_ >> count_);
            const uint32_t inverted = ~word;
            if (((inverted - 0x01010101u) & ~inverted & 0x80808080u) == 0) {  // no 0xFF byte
                cursor_[0] = static_cast<uint8_t>(word >> 24);
                cursor_[1] = static_cast<uint8_t>(word >> 16);
                cursor_[2] = static_cast<uint8_t>(word >> 8);
                cursor_[3] = static_cast<uint8_t>(word);
                cursor_ += 4;
            } else {
                for (int shift = 24; shift >= 0; shift -= 8) Emit(static_cast<uint8_t>(word >> shift));
            }
        }
    }
    // Pads the last byte with one bits and writes out everything pending.
    void Flush() {
        if (count_ % 8) Put((1u << (8 - count_ % 8)) - 1, 8 - count_ % 8);
        while (count_ >= 8) {
            count_ -= 8;
            Emit(static_cast<uint8_t>(acc_ >> count_));
        }
    }
    uint8_t* Save(BitState& state) const {
        state.acc = acc_;
        state.count = count_;
        return cursor_;
    }

private:
    void Emit(uint8_t b) {
        *cursor_++ = b;
        if (b == 0xFF) *cursor_++ = 0;  // a data 0xFF is stuffed so it reads as no marker
    }
    uint64_t acc_;
    int count_;
    uint8_t* cursor_;
};

int BitLength(uint32_t v) { return v ? 32 - __builtin_clz(v) : 0; }

// One scaled 8-point forward DCT on four lanes at once, d[0..7] in place.
inline void Fdct8(__m128* d) {
    const __m128 c0707 = _mm_set1_ps(0.707106781f), c0382 = _mm_set1_ps(0.382683433f);
    const __m128 c0541 = _mm_set1_ps(0.541196100f), c1306 = _mm_set1_ps(1.306562965f);
    const __m128 t0 = _mm_add_ps(d[0], d[7]), t7 = _mm_sub_ps(d[0], d[7]);
    const __m128 t1 = _mm_add_ps(d[1], d[6]), t6 = _mm_sub_ps(d[1], d[6]);
    const __m128 t2 = _mm_add_ps(d[2], d[5]), t5 = _mm_sub_ps(d[2], d[5]);
    const __m128 t3 = _mm_add_ps(d[3], d[4]), t4 = _mm_sub_ps(d[3], d[4]);

    const __m128 e0 = _mm_add_ps(t0, t3), e3 = _mm_sub_ps(t0, t3);
    const __m128 e1 = _mm_add_ps(t1, t2), e2 = _mm_sub_ps(t1, t2);
    d[0] = _mm_add_ps(e0, e1);
    d[4] = _mm_sub_ps(e0, e1);
    const __m128 z1 = _mm_mul_ps(_mm_add_ps(e2, e3), c0707);
    d[2] = _mm_add_ps(e3, z1);
    d[6] = _mm_sub_ps(e3, z1);

    const __m128 o0 = _mm_add_ps(t4, t5), o1 = _mm_add_ps(t5, t6), o2 = _mm_add_ps(t6, t7);
    const __m128 z5 = _mm_mul_ps(_mm_sub_ps(o0, o2), c0382);
    const __m128 z2 = _mm_add_ps(_mm_mul_ps(o0, c0541), z5);
    const __m128 z4 = _mm_add_ps(_mm_mul_ps(o2, c1306), z5);
    const __m128 z3 = _mm_mul_ps(o1, c0707);
    const __m128 z11 = _mm_add_ps(t7, z3), z13 = _mm_sub_ps(t7, z3);
    d[5] = _mm_add_ps(z13, z2);
    d[3] = _mm_sub_ps(z13, z2);
    d[1] = _mm_add_ps(z11, z4);
    d[7] = _mm_sub_ps(z11, z4);
}

// Transposes the 4 x 4 block a[0..3] into b[0..3].
inline void Transpose4(const __m128* a, __m128* b) {
    const __m128 t0 = _mm_unpacklo_ps(a[0], a[1]), t1 = _mm_unpacklo_ps(a[2], a[3]);
    const __m128 t2 = _mm_unpackhi_ps(a[0], a[1]), t3 = _mm_unpackhi_ps(a[2], a[3]);
    b[0] = _mm_movelh_ps(t0, t1);
    b[1] = _mm_movehl_ps(t1, t0);
    b[2] = _mm_movelh_ps(t2, t3);
    b[3] = _mm_movehl_ps(t3, t2);
}

// Transform and quantisation of 64 centred samples (row-major); the
// quantised coefficients come out transposed, limited to +-1023, the
// largest that baseline coding holds.
void FdctQuantise(const float* samples, const float* reciprocal, int16_t* out) {
    __m128 left[8], right[8];  // columns 0-3 and 4-7 of each row
    for (int r = 0; r < 8; ++r) {
        left[r] = _mm_load_ps(samples + 8 * r);
        right[r] = _mm_load_ps(samples + 8 * r + 4);
    }
    Fdct8(left);  // down the columns
    Fdct8(right);
    __m128 cols[16];  // row c: the column-c values of all eight rows
    Transpose4(left, cols);
    Transpose4(right, cols + 4);
    Transpose4(left + 4, cols + 8);
    Transpose4(right + 4, cols + 12);
    __m128 upper[8] = {cols[0], cols[1], cols[2], cols[3], cols[4], cols[5], cols[6], cols[7]};
    __m128 lower[8] = {cols[8], cols[9], cols[10], cols[11], cols[12], cols[13], cols[14], cols[15]};
    Fdct8(upper);  // along the rows
    Fdct8(lower);
    const __m128i limit = _mm_set1_epi16(1023), negativeLimit = _mm_set1_epi16(-1023);
    for (int v = 0; v < 8; ++v) {
        // upper[v]: coefficients (0..3, v); lower[v]: (4..7, v)
        const __m128i a = _mm_cvtps_epi32(_mm_mul_ps(upper[v], _mm_load_ps(reciprocal + 8 * v)));
        const __m128i b = _mm_cvtps_epi32(_mm_mul_ps(lower[v], _mm_load_ps(reciprocal + 8 * v + 4)));
        const __m128i q = _mm_max_epi16(_mm_min_epi16(_mm_packs_epi32(a, b), limit), negativeLimit);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 8 * v), q);
    }
}

class BlockCoder {
public:
    BlockCoder(const HuffmanCodes& dc, const HuffmanCodes& ac, const QuantTable& quant)
        : dc_(dc), ac_(ac), quant_(quant) {}

    // block: 64 centred samples, row-major; flat when all are equal.
    void Encode(BitWriter& bits, const float* block, bool flat) {
        if (flat) {
            const float dc = block[0] * 64.0f * quant_.reciprocal[0];
            PutDc(bits, std::clamp(_mm_cvtss_si32(_mm_set_ss(dc)), -1023, 1023));
            PutEndOfBlock(bits);
            return;
        }
        alignas(16) int16_t coefficients[64];
        FdctQuantise(block, quant_.reciprocal, coefficients);
        alignas(16) int16_t zz[64];
        for (int k = 0; k < 64; ++k) zz[k] = coefficients[kZigZagTransposed[k]];
        PutDc(bits, zz[0]);
        // One bit for each coefficient that is not zero, in zig-zag order: the
        // coder jumps from one to the next instead of testing every zero.
        uint32_t nonZero[2];
        const __m128i zero = _mm_setzero_si128();
        for (int half = 0; half < 2; ++half) {
            const __m128i* p = reinterpret_cast<const __m128i*>(zz + 32 * half);
            const uint32_t low = static_cast<uint32_t>(_mm_movemask_epi8(
                _mm_packs_epi16(_mm_cmpeq_epi16(_mm_load_si128(p), zero), _mm_cmpeq_epi16(_mm_load_si128(p + 1), zero))));
            const uint32_t high = static_cast<uint32_t>(_mm_movemask_epi8(
                _mm_packs_epi16(_mm_cmpeq_epi16(_mm_load_si128(p + 2), zero), _mm_cmpeq_epi16(_mm_load_si128(p + 3), zero))));
            nonZero[half] = ~(low | (high << 16));
        }
        nonZero[0] &= ~1u;  // the DC is coded already
        int last = 0;
        for (int half = 0; half < 2; ++half) {
            for (uint32_t m = nonZero[half]; m; m &= m - 1) {
                const int k = 32 * half + __builtin_ctz(m);
                int run = k - last - 1;
                while (run > 15) {
                    bits.Put(ac_.code[0xF0], ac_.size[0xF0]);
                    run -= 16;
                }
                PutValue(bits, ac_, run << 4, zz[k]);
                last = k;
            }
        }
        if (last < 63) PutEndOfBlock(bits);
    }

private:
    void PutDc(BitWriter& bits, int32_t dc) {
        PutValue(bits, dc_, 0, dc - prevDc_);
        prevDc_ = dc;
    }
    void PutEndOfBlock(BitWriter& bits) { bits.Put(ac_.code[0], ac_.size[0]); }
    // The symbol (run and size) then the value's bits, negative values as
    // their ones' complement.
    static void PutValue(BitWriter& bits, const HuffmanCodes& table, int runBits, int32_t v) {
        const uint32_t magnitude = static_cast<uint32_t>(v < 0 ? -v : v);
        const int size = BitLength(magnitude);
        const int symbol = runBits | size;
        const uint32_t valueBits = (v < 0 ? static_cast<uint32_t>(v - 1) : magnitude) & ((1u << size) - 1);
        bits.Put((uint32_t{table.code[symbol]} << size) | valueBits, table.size[symbol] + size);
    }

    const HuffmanCodes& dc_;
    const HuffmanCodes& ac_;
    const QuantTable& quant_;
    int32_t prevDc_ = 0;
};

void PutMarker(ByteSink& s, uint8_t marker) {
    s.Put(0xFF);
    s.Put(marker);
}

void PutHuffmanTable(ByteSink& s, uint8_t classAndId, const HuffmanTableData& data) {
    s.Put(classAndId);
    s.PutBytes(data.counts, 16);
    s.PutBytes(data.symbols, static_cast<size_t>(data.symbolCount));
}

void PutHeaders(ByteSink& s, const BgrPicture& pic, const QuantTable& luma, const QuantTable& chroma) {
    s.Reserve(1024);
    PutMarker(s, 0xD8);  // start of image
    static const uint8_t jfif[] = {0xFF, 0xE0, 0, 16, 'J', 'F', 'I', 'F', 0, 1, 1, 0, 0, 1, 0, 1, 0, 0};
    s.PutBytes(jfif, sizeof jfif);

    PutMarker(s, 0xDB);  // quantisation tables, zig-zag order
    s.Put16(2 + 2 * 65);
    for (const QuantTable* q : {&luma, &chroma}) {
        s.Put(q == &luma ? 0 : 1);
        for (int k = 0; k < 64; ++k) s.Put(q->table[kZigZag[k]]);
    }

    PutMarker(s, 0xC0);  // baseline frame, three components sampled 1x1
    s.Put16(8 + 3 * 3);
    s.Put(8);
    s.Put16(static_cast<uint32_t>(pic.height));
    s.Put16(static_cast<uint32_t>(pic.width));
    s.Put(3);
    for (uint8_t id = 1; id <= 3; ++id) {
        s.Put(id);
        s.Put(0x11);
        s.Put(id == 1 ? 0 : 1);
    }

    PutMarker(s, 0xC4);
    s.Put16(2 + 4 * 17 + 2 * 12 + 2 * 162);
    PutHuffmanTable(s, 0x00, kDcLuma);
    PutHuffmanTable(s, 0x10, kAcLuma);
    PutHuffmanTable(s, 0x01, kDcChroma);
    PutHuffmanTable(s, 0x11, kAcChroma);

    PutMarker(s, 0xDA);  // start of scan
    s.Put16(6 + 2 * 3);
    s.Put(3);
    s.Put(1);
    s.Put(0x00);
    s.Put(2);
    s.Put(0x11);
    s.Put(3);
    s.Put(0x11);
    s.Put(0);
    s.Put(63);
    s.Put(0);
}

// Whether the 8 x 8 pixels addressed by rows and columns all have one colour.
bool UniformBlock(const uint8_t* const* rows, const int32_t* columns) {
    const uint8_t* first = rows[0] + columns[0];
    const uint32_t b = first[0], g = first[1], r = first[2];
    for (int i = 0; i < 8; ++i) {
        const uint8_t* row = rows[i];
        for (int c = 0; c < 8; ++c) {
            const uint8_t* p = row + columns[c];
            if ((p[0] ^ b) | (p[1] ^ g) | (p[2] ^ r)) return false;
        }
    }
    return true;
}

// YCbCr of groups of four pixels (centred on 0); returns which components
// are flat over the groups (bit 0 Y, bit 1 Cb, bit 2 Cr).
int ConvertColours(const int32_t* blue, const int32_t* green, const int32_t* red, float* y, float* cb, float* cr,
                   int groups) {
    __m128 firstY = _mm_setzero_ps(), firstCb = _mm_setzero_ps(), firstCr = _mm_setzero_ps();
    int equal = 7;
    for (int g = 0; g < groups; ++g) {
        const __m128 b = _mm_cvtepi32_ps(_mm_load_si128(reinterpret_cast<const __m128i*>(blue) + g));
        const __m128 gr = _mm_cvtepi32_ps(_mm_load_si128(reinterpret_cast<const __m128i*>(green) + g));
        const __m128 r = _mm_cvtepi32_ps(_mm_load_si128(reinterpret_cast<const __m128i*>(red) + g));
        const __m128 vy = _mm_sub_ps(_mm_add_ps(_mm_add_ps(_mm_mul_ps(r, _mm_set1_ps(0.299f)),
                                                           _mm_mul_ps(gr, _mm_set1_ps(0.587f))),
                                                _mm_mul_ps(b, _mm_set1_ps(0.114f))),
                                     _mm_set1_ps(128.0f));
        const __m128 vcb = _mm_add_ps(_mm_add_ps(_mm_mul_ps(r, _mm_set1_ps(-0.168736f)),
                                                 _mm_mul_ps(gr, _mm_set1_ps(-0.331264f))),
                                      _mm_mul_ps(b, _mm_set1_ps(0.5f)));
        const __m128 vcr = _mm_add_ps(_mm_add_ps(_mm_mul_ps(r, _mm_set1_ps(0.5f)),
                                                 _mm_mul_ps(gr, _mm_set1_ps(-0.418688f))),
                                      _mm_mul_ps(b, _mm_set1_ps(-0.081312f)));
        _mm_store_ps(y + 4 * g, vy);
        _mm_store_ps(cb + 4 * g, vcb);
        _mm_store_ps(cr + 4 * g, vcr);
        if (g == 0) {
            firstY = _mm_set1_ps(_mm_cvtss_f32(vy));
            firstCb = _mm_set1_ps(_mm_cvtss_f32(vcb));
            firstCr = _mm_set1_ps(_mm_cvtss_f32(vcr));
        }
        if (_mm_movemask_ps(_mm_cmpeq_ps(vy, firstY)) != 15) equal &= ~1;
        if (_mm_movemask_ps(_mm_cmpeq_ps(vcb, firstCb)) != 15) equal &= ~2;
        if (_mm_movemask_ps(_mm_cmpeq_ps(vcr, firstCr)) != 15) equal &= ~4;
    }
    return equal;
}

}  // namespace

void EncodeJpeg(const BgrPicture& pic, int32_t quality, std::vector<uint8_t>& out) {
    quality = std::clamp(quality, 1, 100);
    const QuantTable lumaQuant(kLumaQuant, quality);
    const QuantTable chromaQuant(kChromaQuant, quality);
    static const HuffmanCodes dcLuma(kDcLuma), acLuma(kAcLuma), dcChroma(kDcChroma), acChroma(kAcChroma);

    ByteSink sink(out);
    PutHeaders(sink, pic, lumaQuant, chromaQuant);
    BitState state;
    BlockCoder yCoder(dcLuma, acLuma, lumaQuant);
    BlockCoder cbCoder(dcChroma, acChroma, chromaQuant);
    BlockCoder crCoder(dcChroma, acChroma, chromaQuant);

    const int32_t w = pic.width, h = pic.height;
    alignas(16) float y[64], cb[64], cr[64];
    alignas(16) int32_t blue[64], green[64], red[64];
    const uint8_t* rows[8];
    int32_t columns[8];
    for (int32_t y0 = 0; y0 < h; y0 += 8) {
        // Rows and columns past the picture repeat its last ones.
        for (int r = 0; r < 8; ++r) rows[r] = pic.top + pic.stride * std::min(y0 + r, h - 1);
        for (int32_t x0 = 0; x0 < w; x0 += 8) {
            for (int c = 0; c < 8; ++c) columns[c] = 3 * std::min(x0 + c, w - 1);
            sink.Reserve(3 * 512);
            BitWriter bits(state, sink.Cursor());
            // Screen pictures are mostly blocks of one colour: those need one
            // conversion and no transform.
            if (UniformBlock(rows, columns)) {
                const uint8_t* p = rows[0] + columns[0];
                blue[0] = p[0];
                green[0] = p[1];
                red[0] = p[2];
                ConvertColours(blue, green, red, y, cb, cr, 1);
                yCoder.Encode(bits, y, true);
                cbCoder.Encode(bits, cb, true);
                crCoder.Encode(bits, cr, true);
            } else {
                for (int r = 0; r < 8; ++r) {
                    for (int c = 0; c < 8; ++c) {
                        const uint8_t* p = rows[r] + columns[c];
                        blue[8 * r + c] = p[0];
                        green[8 * r + c] = p[1];
                        red[8 * r + c] = p[2];
                    }
                }
                const int flat = ConvertColours(blue, green, red, y, cb, cr, 16);
                yCoder.Encode(bits, y, flat & 1);
                cbCoder.Encode(bits, cb, flat & 2);
                crCoder.Encode(bits, cr, flat & 4);
            }
            sink.Advance(bits.Save(state));
        }
    }
    sink.Reserve(8);
    BitWriter bits(state, sink.Cursor());
    bits.Flush();
    sink.Advance(bits.Save(state));
    PutMarker(sink, 0xD9);  // end of image
    sink.Finish();
}

}  // namespace jpeglib
