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

// The library takes its path in UTF-8, which holds any name.
std::string Utf8(const std::wstring& text) {
    int n = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string out(n > 0 ? n : 1, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, out.data(), n, nullptr, nullptr);
    out.resize(out.size() - 1);
    return out;
}

// A short name in the target's folder that no file has yet, in the form the
// platform takes at any length; "" when none is found. Wherever the target
// can be written, so can it.
std::wstring TempNameBeside(const std::wstring& path) {
    std::wstring full(MAX_PATH, L'\0');
    wchar_t* name = nullptr;
    DWORD n = GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), &name);
    if (n >= full.size()) {
        full.resize(n);
        n = GetFullPathNameW(path.c_str(), n, full.data(), &name);
    }
    if (n == 0 || n >= full.size() || !name) return {};
    std::wstring base = full.substr(0, name - full.data());
    // "qc<process>.<k>.tmp" takes at most 20 characters.
    if (base.size() + 20 >= MAX_PATH && base.compare(0, 4, L"\\\\?\\") != 0)
        base = base.compare(0, 2, L"\\\\") == 0 ? L"\\\\?\\UNC\\" + base.substr(2) : L"\\\\?\\" + base;
    base += L"qc" + std::to_wstring(GetCurrentProcessId()) + L".";
    for (int k = 0; k < 1000; ++k) {
        std::wstring candidate = base + std::to_wstring(k) + L".tmp";
        if (GetFileAttributesW(candidate.c_str()) == INVALID_FILE_ATTRIBUTES) return candidate;
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

    // A file that may not be replaced fails now, before any work, as it would
    // when the new one is moved into its place.
    if (existed && (held.dwFileAttributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)))
        RaiseJpeg(L"Failed to save to JPG ", IJL_ERR_FILE_CREATE);

    // The old file stays untouched until the new one is complete.
    const std::wstring temp = TempNameBeside(path);
    if (temp.empty()) RaiseJpeg(L"Failed to save to JPG ", IJL_ERR_FILE_CREATE);
    const std::string jpgFile = Utf8(temp);
    props.DIBWidth = dib.Width();
    props.DIBHeight = -dib.Height();
    props.DIBBytes = dib.DIBSectionBitsPtr();
    props.DIBPadBytes = dib.BytesPerScanLine() - dib.Width() * 3;
    props.JPGFile = jpgFile.c_str();
    props.JPGWidth = dib.Width();
    props.JPGHeight = dib.Height();
    props.jquality = quality;

    // Drawing that GDI still holds back must reach the bits first.
    GdiFlush();
    const int32_t written = ijlWrite(&props, IJL_JFILE_WRITEWHOLEIMAGE);
    guard.Free();
    if (written != IJL_OK) {
        DeleteFileW(temp.c_str());
        RaiseJpeg(L"Failed to save to JPG ", written);
    }
    if (!MoveFileExW(temp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        // The target cannot be replaced (held open, read-only, a folder):
        // the same failure as a file the library cannot create.
        DeleteFileW(temp.c_str());
        RaiseJpeg(L"Failed to save to JPG ", IJL_ERR_FILE_CREATE);
    }
    if (existed) KeepCreationAndAttributes(path, held);
    return forms::True;
}

}  // namespace mIntelJPEGLibrary
