#pragma once
// The JPEG writer: a 24-bit device-independent bitmap to a JPEG file through
// the JPEG library.
#include <cstdint>
#include <string>

#include "capture/cDIBSection.h"
#include "forms/Values.h"

namespace mIntelJPEGLibrary {

inline constexpr int32_t ErrJpeg = 26001;

// Writes dib to file at quality (10 to 100). The picture goes to a temporary
// file beside the target first; an existing file is replaced only after a
// successful write and keeps its creation time and attributes; the write
// dates it. Failures raise 26001 and leave an existing file as it was.
forms::Boolean SaveJpegFile(cDIBSection& dib, std::wstring file, int32_t quality);

}  // namespace mIntelJPEGLibrary
