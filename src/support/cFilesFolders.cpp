#include "support/cFilesFolders.h"

#include <ole2.h>
#include <shellapi.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <algorithm>

#include "forms/Error.h"
#include "forms/Runtime.h"

extern "C" HRESULT WINAPI SHUpdateRecycleBinIcon(void);

namespace {

using forms::Boolean;

// Attribute bits the runtime's Dir filters on; read-only and archive files
// are always listed.
constexpr DWORD kDirFiltered = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DIRECTORY;

struct DirEntry {
    std::wstring Name;
    DWORD Attributes;
};

// The runtime's Dir, all at once: the entries matching pattern whose
// hidden, system and folder bits are all among attrs, in the platform's
// order. A pattern ending in "\" lists that folder.
std::vector<DirEntry> Dir(std::wstring pattern, DWORD attrs) {
    std::vector<DirEntry> out;
    if (pattern.empty()) return out;
    if (pattern.back() == L'\\' || pattern.back() == L'/') pattern += L"*.*";
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW(pattern.c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return out;
    do {
        if ((fd.dwFileAttributes & kDirFiltered & ~attrs) == 0) out.push_back({fd.cFileName, fd.dwFileAttributes});
    } while (FindNextFileW(h, &fd));
    FindClose(h);
    return out;
}

std::wstring FirstDir(const std::wstring& pattern, DWORD attrs) {
    auto all = Dir(pattern, attrs);
    return all.empty() ? std::wstring() : all.front().Name;
}

std::wstring UpperCase(std::wstring s) {
    if (!s.empty()) CharUpperBuffW(s.data(), static_cast<DWORD>(s.size()));
    return s;
}

std::wstring UpToNul(const wchar_t* buf) { return std::wstring(buf); }

// Rounded to two decimals (halves to even), in the runtime's shortest text.
std::wstring TwoDecimals(double v) { return forms::CStr(forms::RoundHalfEven(v * 100.0) / 100.0); }

// The platform's date value in the runtime's default date-and-time text.
std::wstring DateText(DATE d) {
    BSTR b = nullptr;
    if (FAILED(VarBstrFromDate(d, LOCALE_USER_DEFAULT, 0, &b))) forms::Raise(forms::err::TypeMismatch);
    std::wstring s(b, SysStringLen(b));
    SysFreeString(b);
    return s;
}

}  // namespace

std::wstring cFilesFolders::CompactPath(const std::wstring& PathName, double ObjWidth, HDC hDC) {
    double px = forms::RoundHalfEven(ObjWidth / static_cast<double>(forms::Screen.TwipsPerPixelX()));
    return CompactPathShell(PathName, forms::CLng(px), hDC);
}

std::wstring cFilesFolders::CompactPathShell(const std::wstring& path, int32_t width, HDC hDC) {
    // The shell works in place in a buffer of at least MAX_PATH characters.
    std::vector<wchar_t> buf(std::max<size_t>(MAX_PATH, path.size() + 1), L'\0');
    std::copy(path.begin(), path.end(), buf.begin());
    PathCompactPathW(hDC, buf.data(), static_cast<UINT>(std::max(width, 0)));
    return UpToNul(buf.data());
}

std::wstring cFilesFolders::GetLongFilename(const std::wstring& sShortName) {
    std::wstring s = sShortName + L"\\";
    std::wstring acc;
    // Each "\" from the fourth character on closes one part of the path.
    for (size_t p = s.find(L'\\', 3); p != std::wstring::npos; p = s.find(L'\\', p + 1)) {
        std::wstring name = FirstDir(s.substr(0, p), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DIRECTORY);
        if (name.empty()) return sShortName;
        acc += L"\\" + name;
    }
    return s.substr(0, 2) + acc;
}

void cFilesFolders::DelToRecycBin(const std::wstring& FileName) {
    // The source list ends with two NULs.
    std::wstring from = FileName;
    from.push_back(L'\0');
    SHFILEOPSTRUCTW op{};
    op.wFunc = FO_DELETE;
    op.pFrom = from.c_str();
    op.fFlags = FOF_ALLOWUNDO | FOF_NOCONFIRMATION;
    SHFileOperationW(&op);
}

void cFilesFolders::DeleteFile(const std::wstring& FileName, Boolean Forced) {
    forms::PassOver([&] { Fso().DeleteFile(FileName, forms::ToBoolean(forms::IsTrue(Forced))); });
}

void cFilesFolders::MoveFile(const std::wstring& FileName, const std::wstring& MoveTo) {
    forms::PassOver([&] { Fso().MoveFile(FileName, MoveTo); });
}

std::wstring cFilesFolders::GetShortCutPath(std::wstring& ShortCutPath) {
    std::wstring result;
    try {
        m_Shell.emplace();
        result = m_Shell->CreateShortcut(ShortCutPath).TargetPath();
    } catch (const std::exception&) {
        result.clear();
        ShortCutPath.clear();
    }
    m_Shell.reset();
    return result;
}

void cFilesFolders::CreateShortcut(const std::wstring& FilePath, std::wstring& ShortCutPath) {
    try {
        m_Shell.emplace();
        std::wstring trimmed = FilePath;
        trimmed.erase(0, trimmed.find_first_not_of(L' '));
        trimmed.erase(trimmed.find_last_not_of(L' ') + 1);
        if (!trimmed.empty()) {
            ScriptHost::Shortcut link = m_Shell->CreateShortcut(ShortCutPath + L".lnk");
            link.SetTargetPath(FilePath);
            link.Save();
        }
    } catch (const std::exception&) {
        ShortCutPath.clear();
    }
}

void cFilesFolders::SendEmail(const std::wstring& Address) {
    std::wstring file = L"mailto:" + Address;
    ShellExecuteW(nullptr, nullptr, file.c_str(), nullptr, L"C:\\", SW_SHOWNORMAL);
}

void cFilesFolders::OpenFileFolder(forms::Form& Form, const std::wstring& Path) {
    std::wstring folder = forms::App.Path();
    ShellExecuteW(Form.hWnd(), L"Open", Path.c_str(), L"", folder.c_str(), SW_SHOWNORMAL);
}

void cFilesFolders::EmptyRecycleBin(HWND FormHwnd) {
    SHEmptyRecycleBinW(FormHwnd, nullptr, 0);
    SHUpdateRecycleBinIcon();
}

void cFilesFolders::ShowRestartDialog(HWND FormHwnd) {
    using RestartDialogFn = int(WINAPI*)(HWND, LPCWSTR, DWORD);
    HMODULE shell = GetModuleHandleW(L"shell32.dll");
    if (!shell) shell = LoadLibraryW(L"shell32.dll");
    if (!shell) return;
    auto restart = reinterpret_cast<RestartDialogFn>(GetProcAddress(shell, MAKEINTRESOURCEA(59)));
    if (restart) restart(FormHwnd, nullptr, 4);
}

void cFilesFolders::EmptyWinClipBoard(HWND FormHwnd) {
    OpenClipboard(FormHwnd);
    EmptyClipboard();
    CloseClipboard();
}

ScriptHost::FileSystemObject cFilesFolders::Fso() { return ScriptHost::FileSystemObject(); }

void cFilesFolders::DeleteFolder(std::wstring FolderPath, Boolean DelMainFolder) {
    std::vector<DirEntry> entries;
    forms::PassOver([&] {
        std::wstring base = AddSlash(FolderPath);
        for (auto& e : Dir(base + L"*.*", FILE_ATTRIBUTE_READONLY | kDirFiltered)) {
            if (e.Name == L"." || e.Name == L"..") continue;
            entries.push_back({base + e.Name, e.Attributes});
        }
    });
    for (auto& e : entries) {
        if (e.Attributes & FILE_ATTRIBUTE_REPARSE_POINT && e.Attributes & FILE_ATTRIBUTE_DIRECTORY) {
            // A linked folder: only the link goes, never what it points to.
            RemoveDirectoryW(e.Name.c_str());
        } else if (e.Attributes & FILE_ATTRIBUTE_DIRECTORY) {
            DeleteFolder(e.Name, forms::True);
        } else {
            SetFileAttributesW(e.Name.c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFile(e.Name, forms::False);
        }
    }
    if (!forms::IsTrue(DelMainFolder)) return;
    // The file system object refuses a folder named with a trailing "\".
    while (FolderPath.size() > 3 && FolderPath.back() == L'\\') FolderPath.pop_back();
    forms::PassOver([&] { Fso().DeleteFolder(FolderPath, forms::False); });
}

std::wstring cFilesFolders::AddSlash(const std::wstring& Path) {
    if (!Path.empty() && Path.back() == L'\\') return Path;
    return Path + L"\\";
}

std::wstring cFilesFolders::GetFileName(const std::wstring& Path) {
    std::wstring r;
    forms::PassOver([&] { r = Fso().GetFile(Path).Name(); });
    return r;
}

std::wstring cFilesFolders::GetFolderName(const std::wstring& Path) {
    std::wstring r;
    forms::PassOver([&] { r = Fso().GetParentFolderName(Path); });
    return r;
}

std::wstring cFilesFolders::GetFileDate(const std::wstring& Path) {
    std::wstring r;
    forms::PassOver([&] { r = DateText(Fso().GetFile(Path).DateLastModified()); });
    return r;
}

std::wstring cFilesFolders::BrowseForFolder(forms::Form& Form, const std::wstring& Text, Boolean EditBox,
                                            Boolean IncludeFiles, Boolean NewStyle) {
    std::wstring result;
    try {
        UINT flags = 0;  // each option given overrides the one before
        if (forms::IsTrue(EditBox)) flags = 19;
        if (forms::IsTrue(IncludeFiles)) flags = 16387;
        if (forms::IsTrue(NewStyle)) flags = 67;
        BROWSEINFOW bi{};
        bi.hwndOwner = Form.hWnd();
        bi.lpszTitle = Text.c_str();
        bi.ulFlags = flags;
        LPITEMIDLIST item = SHBrowseForFolderW(&bi);
        if (!item) return result;
        wchar_t buf[MAX_PATH + 1] = {};
        BOOL ok = SHGetPathFromIDListW(item, buf);
        CoTaskMemFree(item);
        if (ok) result = UpToNul(buf);
    } catch (const forms::Error& e) {
        if (e.Number == 68) forms::MsgBox(L"Device Not Ready ...", forms::vbCritical, L"Error");
    }
    return result;
}

int32_t cFilesFolders::ShowProperties(const std::wstring& FileName, HWND OwnerhWnd) {
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_INVOKEIDLIST | SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    info.hwnd = OwnerhWnd;
    info.lpVerb = L"properties";
    info.lpFile = FileName.c_str();
    info.lpParameters = L"";
    info.lpDirectory = L"";
    ShellExecuteExW(&info);
    if (info.hProcess) CloseHandle(info.hProcess);
    return static_cast<int32_t>(reinterpret_cast<INT_PTR>(info.hInstApp));
}

std::wstring cFilesFolders::GetSpecialFolder(int32_t CSIDL) {
    LPITEMIDLIST item = nullptr;
    HWND owner = reinterpret_cast<HWND>(static_cast<INT_PTR>(100));
    if (FAILED(SHGetSpecialFolderLocation(owner, CSIDL, &item)) || !item) return {};
    // The shell writes at most MAX_PATH characters; the rest is headroom.
    wchar_t buf[512] = {};
    BOOL ok = SHGetPathFromIDListW(item, buf);
    CoTaskMemFree(item);
    return ok ? UpToNul(buf) : std::wstring();
}

std::wstring cFilesFolders::GetDiskSpace(const std::wstring& DriveStr, int32_t Info) {
    ULARGE_INTEGER callerFree{}, total{}, totalFree{};
    // A drive the platform cannot read has no sizes to give.
    if (!GetDiskFreeSpaceExW(DriveStr.c_str(), &callerFree, &total, &totalFree)) return {};
    switch (Info) {
        case 0: return CalcSize(static_cast<double>(total.QuadPart));
        case 1: return CalcSize(static_cast<double>(callerFree.QuadPart));
        case 2: return CalcSize(static_cast<double>(total.QuadPart) - static_cast<double>(callerFree.QuadPart));
        default: return {};
    }
}

std::wstring cFilesFolders::GetFolderSize(const std::wstring& Path) {
    std::wstring r;
    forms::PassOver([&] { r = CalcSize(Fso().GetFolder(Path).Size()); });
    return r;
}

std::wstring cFilesFolders::GetFileSize(const std::wstring& Path) {
    std::wstring r;
    forms::PassOver([&] { r = CalcSize(Fso().GetFile(Path).Size()); });
    return r;
}

forms::Variant cFilesFolders::GetLngFileSize(const std::wstring& Path) {
    forms::Variant r(L"Error");
    forms::PassOver([&] { r = Fso().GetFile(Path).Size(); });
    return r;
}

std::wstring cFilesFolders::CalcSize(double LngSize) {
    constexpr double KB = 1024.0, MB = KB * 1024.0, GB = MB * 1024.0, TB = GB * 1024.0;
    if (LngSize < KB) return TwoDecimals(LngSize) + L" Byte";
    if (LngSize < MB) return TwoDecimals(LngSize / KB) + L" KB";
    if (LngSize < GB) return TwoDecimals(LngSize / MB) + L" MB";
    if (LngSize < TB) return TwoDecimals(LngSize / GB) + L" GB";
    return {};
}

int16_t cFilesFolders::CheckPathName(const std::wstring& Fname) {
    size_t p = Fname.find_last_of(L"\"|><?*:/\\");
    if (p == std::wstring::npos || p >= 32767) return 0;
    return static_cast<int16_t>(p + 1);
}

std::wstring cFilesFolders::CleanPathName(std::wstring& Fname) {
    for (wchar_t c : std::wstring_view(L"\\/:*?<>|\"")) std::replace(Fname.begin(), Fname.end(), c, L'-');
    return Fname;
}

Boolean cFilesFolders::FileExists(const std::wstring& FilePath) {
    Boolean r = forms::False;
    forms::PassOver([&] { r = Fso().FileExists(FilePath); });
    return r;
}

int32_t cFilesFolders::GetDrvType(const std::wstring& DriveStr) {
    return static_cast<int32_t>(GetDriveTypeW(DriveStr.c_str()));
}

std::wstring cFilesFolders::GetVolumeInfo(const std::wstring& VolStr, int32_t VolInformation) {
    wchar_t name[256] = {}, fs[256] = {};
    DWORD serial = 0, maxLen = 0, flags = 0;
    // A volume the platform cannot read has no facts to give.
    if (!GetVolumeInformationW(VolStr.c_str(), name, 255, &serial, &maxLen, &flags, fs, 255)) return {};
    switch (VolInformation) {
        case 0: return UpToNul(name);
        case 1: return std::to_wstring(static_cast<int32_t>(serial));
        case 2: return UpToNul(fs);
        default: return {};
    }
}

std::wstring cFilesFolders::CalcTime(int32_t LngTime) {
    int64_t t = static_cast<int64_t>(LngTime) + 1;  // wide, so the largest time cannot overflow
    if (t < 60) return forms::CStr(static_cast<double>(t)) + L" Second";
    if (t < 3600) return TwoDecimals(static_cast<double>(t) / 60.0) + L" Minute";
    return {};
}

Boolean cFilesFolders::IsText(const std::wstring& Text) {
    size_t blanks = static_cast<size_t>(std::count(Text.begin(), Text.end(), L' '));
    bool singleNul = Text.size() == 1 && Text[0] == L'\0';
    return forms::ToBoolean(blanks < Text.size() && !singleNul);
}

void cFilesFolders::LoadResDataIntoFile(int16_t id, const std::wstring& FileName) {
    forms::PassOver([&] {
        if (!FirstDir(FileName, 0).empty()) return;
        HMODULE module = forms::App.hInstance();
        HRSRC res = FindResourceW(module, MAKEINTRESOURCEW(static_cast<uint16_t>(id)), L"CUSTOM");
        if (!res) forms::Raise(326, {}, L"Resource with identifier '" + std::to_wstring(id) + L"' not found");
        HGLOBAL mem = LoadResource(module, res);
        const void* data = mem ? LockResource(mem) : nullptr;
        DWORD size = SizeofResource(module, res);
        if (!data && size) forms::Raise(326);
        // Never over a file that is there after all (one hidden from Dir).
        HANDLE f = CreateFileW(FileName.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (f == INVALID_HANDLE_VALUE) forms::Raise(forms::err::FileAccess);
        DWORD written = 0;
        WriteFile(f, data, size, &written, nullptr);
        CloseHandle(f);
    });
}

void cFilesFolders::ListDirs(const std::wstring& Path, std::vector<std::wstring>& Col) {
    forms::PassOver([&] {
        for (auto& e : Dir(Path, FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_DIRECTORY)) {
            if (e.Name == L"." || e.Name == L"..") continue;
            if (GetFileAttributesW((Path + e.Name).c_str()) == FILE_ATTRIBUTE_DIRECTORY) Col.push_back(e.Name);
        }
    });
}

Boolean cFilesFolders::IsFolderEmpty(const std::wstring& FolderStr) {
    return forms::ToBoolean(PathIsDirectoryEmptyW(FolderStr.c_str()) == TRUE);
}

std::wstring cFilesFolders::GetDrvName(const std::wstring& DriveLabel) {
    std::wstring drive = UpperCase(DriveLabel.substr(0, 2));
    // "c: [label]": the label between the brackets, then the drive.
    if (DriveLabel.size() <= 4) return drive + L"\\";
    return DriveLabel.substr(4, DriveLabel.size() - 5) + L" (" + drive + L") ";
}
