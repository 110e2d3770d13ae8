#include "jpeglib/JpegEncoder.h"

#include <emmintrin.h>

#include <algorithm>

#include "jpeglib/JpegEncoderCore.h"

// Every processor that runs this system's Windows has SSE2; JpegEncoderAvx2.cpp
// holds the same scan loop for processors with AVX2.
#pragma GCC target("sse2")

namespace jpeglib {

namespace detail {

namespace {

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

constexpr HuffmanTableData kDcLuma{kDcLumaCounts, kDcSymbols, 12};
constexpr HuffmanTableData kAcLuma{kAcLumaCounts, kAcLumaSymbols, 162};
constexpr HuffmanTableData kDcChroma{kDcChromaCounts, kDcSymbols, 12};
constexpr HuffmanTableData kAcChroma{kAcChromaCounts, kAcChromaSymbols, 162};

// The scaled transform leaves 8 * s(u) * s(v) on coefficient (u, v);
// the divisors take that out again.
constexpr double kAanScale[8] = {1.0, 1.387039845, 1.306562965, 1.175875602, 1.0, 0.785694958, 0.541196100, 0.275899379};

// The transform leaves its coefficients transposed: (u, v) at 8 * v + u.
constexpr int Transposed(int natural) { return (natural % 8) * 8 + natural / 8; }

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

namespace sse2 {
#include "jpeglib/JpegEncoderScan.inc"
}  // namespace sse2

}  // namespace

// Code and length of every symbol, from the canonical assignment.
HuffmanCodes::HuffmanCodes(const HuffmanTableData& data) : codeAndLength{}, withValue{} {
    uint32_t next = 0;
    int k = 0;
    for (int len = 1; len <= 16; ++len) {
        for (int i = 0; i < data.counts[len - 1]; ++i, ++k) codeAndLength[data.symbols[k]] = next++ << 8 | len;
        next <<= 1;
    }
    for (int run = 0; run < 16; ++run)
        for (int v = -31; v <= 31; ++v) {
            const uint32_t magnitude = static_cast<uint32_t>(v < 0 ? -v : v);
            const int size = magnitude ? 32 - __builtin_clz(magnitude) : 0;
            const uint32_t entry = codeAndLength[run << 4 | size];
            if (v == 0 || (entry & 0xFF) == 0) continue;  // no such symbol
            const uint32_t valueBits = (v < 0 ? static_cast<uint32_t>(v - 1) : magnitude) & ((1u << size) - 1);
            withValue[64 * run + 32 + v] = (((entry >> 8) << size) | valueBits) << 5 | ((entry & 0xFF) + size);
        }
}

void ByteSink::Grow(size_t n) { out_.resize(std::max(out_.size() * 2, used_ + n + 65536)); }

QuantTable::QuantTable(const uint8_t* base, int32_t quality) {
    const int32_t scale = quality < 50 ? 5000 / quality : 200 - 2 * quality;
    for (int i = 0; i < 64; ++i) {
        const int32_t q = std::clamp((base[i] * scale + 50) / 100, 1, 255);
        table[i] = static_cast<uint8_t>(q);
        reciprocal[Transposed(i)] = static_cast<float>(1.0 / (q * kAanScale[i / 8] * kAanScale[i % 8] * 8.0));
    }
}

ZigZagMasks::ZigZagMasks() : low{}, high{} {
    for (int k = 0; k < 64; ++k) {
        const int t = kZigZagTransposed.at[k];
        for (int b = 0; b < 256; ++b) {
            if (!(b >> (t % 8) & 1)) continue;
            if (k < 32) low[t / 8][b] |= 1u << k;
            else high[t / 8][b] |= 1u << (k - 32);
        }
    }
}

void EncodeScanSse2(const BgrPicture& pic, const ScanTables& tables, ByteSink& sink, BitState& state) {
    sse2::EncodeScan(pic, tables, sink, state);
}

bool HasAvx2() {
    static const bool has = [] {
        __builtin_cpu_init();  // the check may run before the runtime's own start-up has
        return __builtin_cpu_supports("avx2") != 0;
    }();
    return has;
}

void EncodeJpegWith(ScanBuild build, const BgrPicture& pic, int32_t quality, std::vector<uint8_t>& out) {
    quality = std::clamp(quality, 1, 100);
    const QuantTable lumaQuant(kLumaQuant, quality);
    const QuantTable chromaQuant(kChromaQuant, quality);
    static const HuffmanCodes dcLuma(kDcLuma), acLuma(kAcLuma), dcChroma(kDcChroma), acChroma(kAcChroma);
    static const ZigZagMasks zigZag;
    const ScanTables tables{lumaQuant, chromaQuant, dcLuma, acLuma, dcChroma, acChroma, zigZag};

    ByteSink sink(out);
    PutHeaders(sink, pic, lumaQuant, chromaQuant);
    BitState state;
    if (build == ScanBuild::Best && HasAvx2()) EncodeScanAvx2(pic, tables, sink, state);
    else EncodeScanSse2(pic, tables, sink, state);
    PutMarker(sink, 0xD9);  // end of image
    sink.Finish();
}

}  // namespace detail

void EncodeJpeg(const BgrPicture& pic, int32_t quality, std::vector<uint8_t>& out) {
    detail::EncodeJpegWith(detail::ScanBuild::Best, pic, quality, out);
}

}  // namespace jpeglib
