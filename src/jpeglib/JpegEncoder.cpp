#include "jpeglib/JpegEncoder.h"

#include <algorithm>
#include <cmath>

namespace jpeglib {

namespace {

// Natural (row-major) index of each position in zig-zag order.
constexpr uint8_t kZigZag[64] = {0,  1,  8,  16, 9,  2,  3,  10, 17, 24, 32, 25, 18, 11, 4,  5,
                                 12, 19, 26, 33, 40, 48, 41, 34, 27, 20, 13, 6,  7,  14, 21, 28,
                                 35, 42, 49, 56, 57, 50, 43, 36, 29, 22, 15, 23, 30, 37, 44, 51,
                                 58, 59, 52, 45, 38, 31, 39, 46, 53, 60, 61, 54, 47, 55, 62, 63};

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

// Samples enter the transform at four times their value (two fraction bits
// kept from the colour conversion); the scaled transform below leaves
// 8 * s(u) * s(v) on coefficient (u, v), folded into the divisors.
constexpr double kAanScale[8] = {1.0, 1.387039845, 1.306562965, 1.175875602, 1.0, 0.785694958, 0.541196100, 0.275899379};
constexpr double kSampleScale = 4.0;

struct QuantTable {
    uint8_t table[64];       // row-major, as written to the file (in zig-zag order)
    uint32_t reciprocal[64]; // 2^32 / divisor, row-major
    QuantTable(const uint8_t* base, int32_t quality) {
        const int32_t scale = quality < 50 ? 5000 / quality : 200 - 2 * quality;
        for (int i = 0; i < 64; ++i) {
            const int32_t q = std::clamp((base[i] * scale + 50) / 100, 1, 255);
            table[i] = static_cast<uint8_t>(q);
            const double divisor = q * kAanScale[i / 8] * kAanScale[i % 8] * 8.0 * kSampleScale;
            reciprocal[i] = static_cast<uint32_t>(std::lround(4294967296.0 / divisor));
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

// Fixed-point constants of the scaled 8-point transform, 13 fraction bits.
constexpr int32_t kC0707 = 5793;   // cos(pi/4)
constexpr int32_t kC0382 = 3135;   // cos(3pi/8)
constexpr int32_t kC0541 = 4433;   // cos(pi/8) - cos(3pi/8)
constexpr int32_t kC1306 = 10703;  // cos(pi/8) + cos(3pi/8)
inline int32_t Mul(int32_t x, int32_t c) { return (x * c + 4096) >> 13; }

// One 8-point scaled forward DCT over d[0], d[step], ..., d[7 * step].
inline void Fdct8(int32_t* d, int step) {
    const int32_t t0 = d[0] + d[7 * step], t7 = d[0] - d[7 * step];
    const int32_t t1 = d[step] + d[6 * step], t6 = d[step] - d[6 * step];
    const int32_t t2 = d[2 * step] + d[5 * step], t5 = d[2 * step] - d[5 * step];
    const int32_t t3 = d[3 * step] + d[4 * step], t4 = d[3 * step] - d[4 * step];

    const int32_t e0 = t0 + t3, e3 = t0 - t3, e1 = t1 + t2, e2 = t1 - t2;
    d[0] = e0 + e1;
    d[4 * step] = e0 - e1;
    const int32_t z1 = Mul(e2 + e3, kC0707);
    d[2 * step] = e3 + z1;
    d[6 * step] = e3 - z1;

    const int32_t o0 = t4 + t5, o1 = t5 + t6, o2 = t6 + t7;
    const int32_t z5 = Mul(o0 - o2, kC0382);
    const int32_t z2 = Mul(o0, kC0541) + z5;
    const int32_t z4 = Mul(o2, kC1306) + z5;
    const int32_t z3 = Mul(o1, kC0707);
    const int32_t z11 = t7 + z3, z13 = t7 - z3;
    d[5 * step] = z13 + z2;
    d[3 * step] = z13 - z2;
    d[step] = z11 + z4;
    d[7 * step] = z11 - z4;
}

inline int32_t Quantise(int32_t c, uint32_t reciprocal) {
    const uint32_t magnitude = static_cast<uint32_t>(c < 0 ? -c : c);
    // Baseline coding holds magnitudes up to 1023; only rounding could pass it.
    const int32_t q = std::min<int32_t>(static_cast<int32_t>((uint64_t{magnitude} * reciprocal + 0x80000000u) >> 32), 1023);
    return c < 0 ? -q : q;
}

class BlockCoder {
public:
    BlockCoder(const HuffmanCodes& dc, const HuffmanCodes& ac, const QuantTable& quant)
        : dc_(dc), ac_(ac), quant_(quant) {}

    // block: 64 samples (four times the centred value), row-major; flat when all are equal.
    void Encode(BitWriter& bits, int32_t* block, bool flat) {
        int32_t zz[64];
        if (flat) {
            zz[0] = Quantise(block[0] * 64, quant_.reciprocal[0]);
            PutDc(bits, zz[0]);
            PutEndOfBlock(bits);
            return;
        }
        for (int r = 0; r < 8; ++r) Fdct8(block + 8 * r, 1);
        for (int c = 0; c < 8; ++c) Fdct8(block + c, 8);
        for (int k = 0; k < 64; ++k) zz[k] = Quantise(block[kZigZag[k]], quant_.reciprocal[kZigZag[k]]);
        PutDc(bits, zz[0]);
        int last = 63;
        while (last > 0 && zz[last] == 0) --last;
        int run = 0;
        for (int k = 1; k <= last; ++k) {
            const int32_t v = zz[k];
            if (v == 0) {
                ++run;
                continue;
            }
            while (run > 15) {
                bits.Put(ac_.code[0xF0], ac_.size[0xF0]);
                run -= 16;
            }
            PutValue(bits, ac_, (run << 4), v);
            run = 0;
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
    int32_t y[64], cb[64], cr[64];
    const uint8_t* rows[8];
    int32_t columns[8];
    for (int32_t y0 = 0; y0 < h; y0 += 8) {
        // Rows and columns past the picture repeat its last ones.
        for (int r = 0; r < 8; ++r) rows[r] = pic.top + pic.stride * std::min(y0 + r, h - 1);
        for (int32_t x0 = 0; x0 < w; x0 += 8) {
            for (int c = 0; c < 8; ++c) columns[c] = 3 * std::min(x0 + c, w - 1);
            sink.Reserve(3 * 512);
            // Screen pictures are mostly blocks of one colour: those need one
            // conversion and no transform.
            if (UniformBlock(rows, columns)) {
                const uint8_t* p = rows[0] + columns[0];
                const int32_t B = p[0], G = p[1], R = p[2];
                y[0] = ((19595 * R + 38470 * G + 7471 * B + 8192) >> 14) - 512;
                cb[0] = (-11059 * R - 21709 * G + 32768 * B + 8192) >> 14;
                cr[0] = (32768 * R - 27439 * G - 5329 * B + 8192) >> 14;
                BitWriter bits(state, sink.Cursor());
                yCoder.Encode(bits, y, true);
                cbCoder.Encode(bits, cb, true);
                crCoder.Encode(bits, cr, true);
                sink.Advance(bits.Save(state));
                continue;
            }
            int32_t differY = 0, differCb = 0, differCr = 0;
            for (int r = 0; r < 8; ++r) {
                for (int c = 0; c < 8; ++c) {
                    const uint8_t* p = rows[r] + columns[c];
                    const int32_t B = p[0], G = p[1], R = p[2];
                    const int i = 8 * r + c;
                    y[i] = ((19595 * R + 38470 * G + 7471 * B + 8192) >> 14) - 512;
                    cb[i] = (-11059 * R - 21709 * G + 32768 * B + 8192) >> 14;
                    cr[i] = (32768 * R - 27439 * G - 5329 * B + 8192) >> 14;
                    differY |= y[i] ^ y[0];
                    differCb |= cb[i] ^ cb[0];
                    differCr |= cr[i] ^ cr[0];
                }
            }
            BitWriter bits(state, sink.Cursor());
            yCoder.Encode(bits, y, differY == 0);
            cbCoder.Encode(bits, cb, differCb == 0);
            crCoder.Encode(bits, cr, differCr == 0);
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
