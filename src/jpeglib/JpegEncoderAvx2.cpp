// The encoder's scan loop for processors with AVX2: eight float lanes in one
// register. Only the scan loop is built for AVX2 (the pragma comes after every
// header), so nothing shared can pick up instructions the plain build lacks.
#include <cstdint>

#include "jpeglib/JpegEncoderCore.h"

#pragma GCC target("avx2")
#include <immintrin.h>

namespace jpeglib::detail {

namespace {
namespace avx2 {
#define QC_SCAN_AVX2 1
#include "jpeglib/JpegEncoderScan.inc"
#undef QC_SCAN_AVX2
}  // namespace avx2
}  // namespace

void EncodeScanAvx2(const BgrPicture& pic, const ScanTables& tables, ByteSink& sink, BitState& state) {
    avx2::EncodeScan(pic, tables, sink, state);
}

}  // namespace jpeglib::detail
