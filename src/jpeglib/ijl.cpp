#include "jpeglib/ijl.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <mutex>
#include <new>
#include <set>
#include <string>
#include <vector>

#include "jpeglib/JpegEncoder.h"

namespace {

// The library's own block behind a record. The live blocks are kept in a set
// so that a record holding garbage is recognised without touching it.
struct State {};

std::mutex g_lock;
std::set<const void*>& LiveStates() {
    static std::set<const void*> live;
    return live;
}

bool Initialised(const JPEG_CORE_PROPERTIES* props) {
    std::lock_guard<std::mutex> hold(g_lock);
    return LiveStates().count(props->state) != 0;
}

int32_t CheckImage(const JPEG_CORE_PROPERTIES& p) {
    const int64_t height = p.DIBHeight < 0 ? -static_cast<int64_t>(p.DIBHeight) : p.DIBHeight;
    // Rows are padded to a multiple of four bytes, as a DIB's are.
    if (!p.DIBBytes || p.DIBWidth <= 0 || height == 0 || p.DIBPadBytes < 0 || p.DIBPadBytes > 3)
        return IJL_ERR_BAD_IMAGE;
    // Baseline JPEG holds 16-bit sizes.
    if (p.DIBWidth > 65535 || height > 65535) return IJL_ERR_BAD_IMAGE;
    // Every row must be addressable from the first.
    const int64_t stride = int64_t{p.DIBWidth} * 3 + p.DIBPadBytes;
    if (stride * height > static_cast<int64_t>(PTRDIFF_MAX)) return IJL_ERR_BAD_IMAGE;
    if (p.JPGWidth != p.DIBWidth || p.JPGHeight != height) return IJL_ERR_BAD_IMAGE;
    if (p.DIBChannels != 3 || p.DIBColor != IJL_COLOUR_BGR) return IJL_ERR_BAD_IMAGE;
    if (p.JPGChannels != 3 || p.JPGColor != IJL_COLOUR_YCBCR) return IJL_ERR_BAD_IMAGE;
    if (p.jquality < 1 || p.jquality > 100) return IJL_ERR_BAD_QUALITY;
    if (!p.JPGFile || !*p.JPGFile) return IJL_ERR_NO_FILE_NAME;
    return IJL_OK;
}

int32_t Encode(const JPEG_CORE_PROPERTIES& p, std::vector<uint8_t>& out) {
    const int32_t h = p.DIBHeight < 0 ? -p.DIBHeight : p.DIBHeight;
    const ptrdiff_t stride = static_cast<ptrdiff_t>(p.DIBWidth) * 3 + p.DIBPadBytes;
    jpeglib::BgrPicture pic{p.DIBBytes, stride, p.DIBWidth, h};
    if (p.DIBHeight < 0) {  // bottom-up: the top row is the last in memory
        pic.top = p.DIBBytes + stride * (h - 1);
        pic.stride = -stride;
    }
    try {
        out.reserve(static_cast<size_t>(p.DIBWidth) * static_cast<size_t>(h) / 2 + 4096);
        jpeglib::EncodeJpeg(pic, p.jquality, out);
    } catch (const std::bad_alloc&) {
        return IJL_ERR_NO_MEMORY;
    }
    return IJL_OK;
}

int32_t WriteWholeFile(const char* utf8Path, const std::vector<uint8_t>& bytes) {
    const int n = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8Path, -1, nullptr, 0);
    if (n <= 0) return IJL_ERR_FILE_CREATE;
    std::wstring path(n, L'\0');
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8Path, -1, path.data(), n);
    HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE) return IJL_ERR_FILE_CREATE;
    size_t done = 0;
    bool ok = true;
    while (ok && done < bytes.size()) {
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 24));
        DWORD written = 0;
        ok = WriteFile(f, bytes.data() + done, chunk, &written, nullptr) && written == chunk;
        done += written;
    }
    ok = CloseHandle(f) && ok;
    if (!ok) {
        DeleteFileW(path.c_str());
        return IJL_ERR_FILE_WRITE;
    }
    return IJL_OK;
}

}  // namespace

int32_t ijlInit(JPEG_CORE_PROPERTIES* props) {
    if (!props) return IJL_ERR_NO_RECORD;
    auto* state = new (std::nothrow) State;
    if (!state) return IJL_ERR_NO_MEMORY;
    try {
        std::lock_guard<std::mutex> hold(g_lock);
        LiveStates().insert(state);
    } catch (const std::bad_alloc&) {
        delete state;
        return IJL_ERR_NO_MEMORY;
    }
    *props = JPEG_CORE_PROPERTIES{};
    props->DIBChannels = 3;
    props->DIBColor = IJL_COLOUR_BGR;
    props->JPGChannels = 3;
    props->JPGColor = IJL_COLOUR_YCBCR;
    props->jquality = 75;
    props->state = state;
    return IJL_OK;
}

int32_t ijlWrite(JPEG_CORE_PROPERTIES* props, int32_t mode) {
    if (!props) return IJL_ERR_NO_RECORD;
    if (!Initialised(props)) return IJL_ERR_NOT_INITIALISED;
    if (mode != IJL_JFILE_WRITEWHOLEIMAGE) return IJL_ERR_UNSUPPORTED_MODE;
    if (int32_t r = CheckImage(*props); r != IJL_OK) return r;
    std::vector<uint8_t> bytes;
    if (int32_t r = Encode(*props, bytes); r != IJL_OK) return r;
    return WriteWholeFile(props->JPGFile, bytes);
}

int32_t ijlFree(JPEG_CORE_PROPERTIES* props) {
    if (!props) return IJL_ERR_NO_RECORD;
    {
        std::lock_guard<std::mutex> hold(g_lock);
        if (LiveStates().erase(props->state) == 0) return IJL_ERR_NOT_INITIALISED;
    }
    delete static_cast<State*>(props->state);
    props->state = nullptr;
    return IJL_OK;
}

int32_t ijlLiveRecords() {
    std::lock_guard<std::mutex> hold(g_lock);
    return static_cast<int32_t>(LiveStates().size());
}
