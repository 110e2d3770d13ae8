#pragma once
// JPEG and TIFF options, each a plain property over a field.
#include <cstdint>

class cSaveOptions {
public:
    int32_t JpgQuality() const { return jpgQuality_; }
    void JpgQuality(int32_t v) { jpgQuality_ = v; }
    int32_t JpgTransformation() const { return jpgTransformation_; }
    void JpgTransformation(int32_t v) { jpgTransformation_ = v; }
    int32_t TiffCompression() const { return tiffCompression_; }
    void TiffCompression(int32_t v) { tiffCompression_ = v; }
    int32_t TiffBitDepth() const { return tiffBitDepth_; }
    void TiffBitDepth(int32_t v) { tiffBitDepth_ = v; }

private:
    int32_t jpgQuality_ = 50;
    int32_t jpgTransformation_ = 0;
    int32_t tiffCompression_ = 6;
    int32_t tiffBitDepth_ = 24;
};
