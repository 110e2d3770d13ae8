#include "support/FileReplace.h"

#include <windows.h>

namespace FileReplace {

// Wherever the target can be written, so can the temporary file beside it.
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

bool Replace(const std::wstring& path, const std::function<bool(const std::wstring& temp)>& write) {
    // What the move would refuse is refused before any work.
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES &&
        (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)))
        return false;
    const std::wstring temp = TempNameBeside(path);
    if (temp.empty()) return false;
    if (write(temp) && MoveFileExW(temp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING)) return true;
    DeleteFileW(temp.c_str());
    return false;
}

}  // namespace FileReplace
