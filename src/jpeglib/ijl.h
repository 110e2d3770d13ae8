#pragma once
// Our own JPEG library: initialise a properties record, write a whole 24-bit
// bitmap to a baseline JPEG file, free the record. Every call returns a
// status, IJL_OK (0) for success and a negative code for a failure.
#include <cstdint>

enum : int32_t {
    IJL_OK = 0,
    IJL_ERR_NO_RECORD = -1,         // a null record
    IJL_ERR_NOT_INITIALISED = -2,   // the record did not come from ijlInit, or was freed
    IJL_ERR_UNSUPPORTED_MODE = -3,  // a mode other than a whole image to a file
    IJL_ERR_BAD_IMAGE = -4,         // no pixels, sizes that do not match, a layout not handled
    IJL_ERR_BAD_QUALITY = -5,       // quality outside 1 to 100
    IJL_ERR_NO_FILE_NAME = -6,
    IJL_ERR_FILE_CREATE = -7,       // the output file could not be created
    IJL_ERR_FILE_WRITE = -8,        // writing or closing the output file failed
    IJL_ERR_NO_MEMORY = -9,
};

// Write modes.
enum : int32_t { IJL_JFILE_WRITEWHOLEIMAGE = 8 };

// Pixel layouts and colour spaces.
enum : int32_t { IJL_COLOUR_BGR = 1, IJL_COLOUR_YCBCR = 2 };

struct JPEG_CORE_PROPERTIES {
    // Source bitmap. A negative DIBHeight means the rows are stored bottom-up
    // (the first row in memory is the bottom of the picture); DIBPadBytes
    // follow the pixels of each row.
    int32_t DIBWidth;
    int32_t DIBHeight;
    uint8_t* DIBBytes;
    int32_t DIBPadBytes;
    int32_t DIBChannels;
    int32_t DIBColor;

    // Output file: a UTF-8 path (any name the platform allows), the
    // picture's size (no scaling: the same as the bitmap's), its colour space.
    const char* JPGFile;
    int32_t JPGWidth;
    int32_t JPGHeight;
    int32_t JPGChannels;
    int32_t JPGColor;

    int32_t jquality;  // 1 (smallest) to 100 (best)

    void* state;  // the library's own, set by ijlInit and released by ijlFree
};

// Fills the record with the defaults: 3 channels BGR in, YCbCr out (no
// chroma subsampling), quality 75, no bitmap and no file.
int32_t ijlInit(JPEG_CORE_PROPERTIES* props);
// Encodes the bitmap and writes it to JPGFile. On failure no file is left
// behind under that name.
int32_t ijlWrite(JPEG_CORE_PROPERTIES* props, int32_t mode);
int32_t ijlFree(JPEG_CORE_PROPERTIES* props);

// How many records have been initialised and not yet freed (for checking
// that callers free what they initialise).
int32_t ijlLiveRecords();
