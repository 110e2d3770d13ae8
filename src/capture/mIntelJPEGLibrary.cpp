#include "capture/mIntelJPEGLibrary.h"

#include <windows.h>

#include "forms/Error.h"
#include "forms/Runtime.h"
#include "jpeglib/ijl.h"

namespace mIntelJPEGLibrary {

namespace {

[[noreturn]] void RaiseJpeg(const std::wstring& description, int32_t code) {
    forms::Raise(ErrJpeg, forms::App.EXEName() + L".mIntelJPEGLibrary", description + std::to_wstring(code));
}

// A name beside the target that no file has yet; "" when none is found.
std::string TempNameBeside(const std::string& path) {
    const std::string base = path + ".qc" + std::to_string(GetCurrentProcessId()) + ".";
    for (int n = 0; n < 1000; ++n) {
        std::string candidate = base + std::to_string(n) + ".tmp";
        if (GetFileAttributesA(candidate.c_str()) == INVALID_FILE_ATTRIBUTES) return candidate;
    }
    return {};
}

// Frees the library's record once, on every way out after a successful init.
class RecordGuard {
public:
    explicit RecordGuard(JPEG_CORE_PROPERTIES& props) : props_(props) {}
    ~RecordGuard() { Free(); }
    RecordGuard(const RecordGuard&) = delete;
    RecordGuard& operator=(const RecordGuard&) = delete;
    void Free() {
        if (!freed_) ijlFree(&props_);
        freed_ = true;
    }

private:
    JPEG_CORE_PROPERTIES& props_;
    bool freed_ = false;
};

void RestoreTimesAndAttributes(const std::string& path, const WIN32_FIND_DATAA& held) {
    HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return;
    SetFileTime(f, &held.ftCreationTime, &held.ftLastAccessTime, &held.ftLastWriteTime);
    CloseHandle(f);
    SetFileAttributesA(path.c_str(), held.dwFileAttributes);
}

}  // namespace

forms::Boolean SaveJpegFile(cDIBSection& dib, std::wstring file, int32_t quality) {
    JPEG_CORE_PROPERTIES props;
    if (int32_t r = ijlInit(&props); r != IJL_OK) RaiseJpeg(L"Failed to initialise the IJL library: ", r);
    RecordGuard guard(props);

    const std::string path = forms::ToAnsi(file);
    WIN32_FIND_DATAA held{};
    bool existed = false;
    if (HANDLE h = FindFirstFileA(path.c_str(), &held); h != INVALID_HANDLE_VALUE) {
        existed = true;
        FindClose(h);
    }

    // A file that may not be replaced fails now, before any work, as it would
    // when the new one is moved into its place.
    if (existed && (held.dwFileAttributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)))
        RaiseJpeg(L"Failed to save to JPG ", IJL_ERR_FILE_CREATE);

    // The old file stays untouched until the new one is complete.
    const std::string temp = TempNameBeside(path);
    if (temp.empty()) RaiseJpeg(L"Failed to save to JPG ", IJL_ERR_FILE_CREATE);
    props.DIBWidth = dib.Width();
    props.DIBHeight = -dib.Height();
    props.DIBBytes = dib.DIBSectionBitsPtr();
    props.DIBPadBytes = dib.BytesPerScanLine() - dib.Width() * 3;
    props.JPGFile = temp.c_str();
    props.JPGWidth = dib.Width();
    props.JPGHeight = dib.Height();
    props.jquality = quality;

    // Drawing that GDI still holds back must reach the bits first.
    GdiFlush();
    const int32_t written = ijlWrite(&props, IJL_JFILE_WRITEWHOLEIMAGE);
    guard.Free();
    if (written != IJL_OK) {
        DeleteFileA(temp.c_str());
        RaiseJpeg(L"Failed to save to JPG ", written);
    }
    if (!MoveFileExA(temp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        // The target cannot be replaced (held open, read-only, a folder):
        // the same failure as a file the library cannot create.
        DeleteFileA(temp.c_str());
        RaiseJpeg(L"Failed to save to JPG ", IJL_ERR_FILE_CREATE);
    }
    if (existed) RestoreTimesAndAttributes(path, held);
    return forms::True;
}

}  // namespace mIntelJPEGLibrary
