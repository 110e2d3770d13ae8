#include "capture/mIntelJPEGLibrary.h"

#include <windows.h>

#include "forms/Error.h"
#include "forms/Runtime.h"
#include "forms/Values.h"
#include "jpeglib/ijl.h"
#include "support/FileReplace.h"

namespace mIntelJPEGLibrary {

namespace {

[[noreturn]] void RaiseJpeg(const std::wstring& description, int32_t code) {
    forms::Raise(ErrJpeg, forms::App.EXEName() + L".mIntelJPEGLibrary", description + std::to_wstring(code));
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

// The replaced file's creation time and attributes carry over; its access
// and write times are those of this write, as for a new file, so that
// backups, syncing and sorting by date see the change.
void KeepCreationAndAttributes(const std::wstring& path, const WIN32_FIND_DATAW& held) {
    HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return;
    SetFileTime(f, &held.ftCreationTime, nullptr, nullptr);
    CloseHandle(f);
    SetFileAttributesW(path.c_str(), held.dwFileAttributes);
}

}  // namespace

forms::Boolean SaveJpegFile(cDIBSection& dib, std::wstring file, int32_t quality) {
    JPEG_CORE_PROPERTIES props;
    if (int32_t r = ijlInit(&props); r != IJL_OK) RaiseJpeg(L"Failed to initialise the IJL library: ", r);
    RecordGuard guard(props);

    const std::wstring& path = file;
    WIN32_FIND_DATAW held{};
    bool existed = false;
    if (HANDLE h = FindFirstFileW(path.c_str(), &held); h != INVALID_HANDLE_VALUE) {
        existed = true;
        FindClose(h);
    }

    // The old file stays untouched until the new one is complete.
    props.DIBWidth = dib.Width();
    props.DIBHeight = -dib.Height();
    props.DIBBytes = dib.DIBSectionBitsPtr();
    props.DIBPadBytes = dib.BytesPerScanLine() - dib.Width() * 3;
    props.JPGWidth = dib.Width();
    props.JPGHeight = dib.Height();
    props.jquality = quality;

    int32_t written = IJL_OK;
    const bool replaced = FileReplace::Replace(path, [&](const std::wstring& temp) {
        // The library takes its path in UTF-8, which holds any name.
        const std::string jpgFile = forms::ToUtf8(temp);
        props.JPGFile = jpgFile.c_str();
        // Drawing that GDI still holds back must reach the bits first.
        GdiFlush();
        written = ijlWrite(&props, IJL_JFILE_WRITEWHOLEIMAGE);
        guard.Free();
        return written == IJL_OK;
    });
    // A target that cannot be replaced (held open, read-only, a folder) is
    // the same failure as a file the library cannot create.
    if (!replaced) RaiseJpeg(L"Failed to save to JPG ", written != IJL_OK ? written : IJL_ERR_FILE_CREATE);
    if (existed) KeepCreationAndAttributes(path, held);
    return forms::True;
}

}  // namespace mIntelJPEGLibrary
