#pragma once
// File, folder, drive and shell operations: path text, existence and size
// queries, drive and volume facts, special folders, deleting and moving, the
// recycle bin, shortcuts, opening files and folders, folder browsing.
// The members the program relies on never raise; the others report failure
// through their result, or not at all.
#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "forms/Form.h"
#include "forms/Values.h"
#include "forms/Variant.h"
#include "support/ScriptHost.h"

class cFilesFolders {
public:
    std::wstring CompactPath(const std::wstring& PathName, double ObjWidth, HDC hDC);
    std::wstring GetLongFilename(const std::wstring& sShortName);
    void DelToRecycBin(const std::wstring& FileName);
    void DeleteFile(const std::wstring& FileName, forms::Boolean Forced = forms::False);
    void MoveFile(const std::wstring& FileName, const std::wstring& MoveTo);
    // On failure the result is "" and ShortCutPath is cleared.
    std::wstring GetShortCutPath(std::wstring& ShortCutPath);
    // Makes ShortCutPath & ".lnk"; on failure ShortCutPath is cleared.
    void CreateShortcut(const std::wstring& FilePath, std::wstring& ShortCutPath);
    void SendEmail(const std::wstring& Address);
    void OpenFileFolder(forms::Form& Form, const std::wstring& Path);
    void EmptyRecycleBin(HWND FormHwnd);
    void ShowRestartDialog(HWND FormHwnd);
    void EmptyWinClipBoard(HWND FormHwnd);
    // A new file system object; creating it can raise 429.
    ScriptHost::FileSystemObject Fso();
    void DeleteFolder(std::wstring FolderPath, forms::Boolean DelMainFolder = forms::False);
    std::wstring AddSlash(const std::wstring& Path);
    std::wstring GetFileName(const std::wstring& Path);
    std::wstring GetFolderName(const std::wstring& Path);
    std::wstring GetFileDate(const std::wstring& Path);
    std::wstring BrowseForFolder(forms::Form& Form, const std::wstring& Text, forms::Boolean EditBox = forms::False,
                                 forms::Boolean IncludeFiles = forms::False, forms::Boolean NewStyle = forms::False);
    int32_t ShowProperties(const std::wstring& FileName, HWND OwnerhWnd);
    std::wstring GetSpecialFolder(int32_t CSIDL);
    std::wstring GetDiskSpace(const std::wstring& DriveStr, int32_t Info);
    std::wstring GetFolderSize(const std::wstring& Path);
    std::wstring GetFileSize(const std::wstring& Path);
    // The size in bytes (a Double), or the text "Error".
    forms::Variant GetLngFileSize(const std::wstring& Path);
    std::wstring CalcSize(double LngSize);
    int16_t CheckPathName(const std::wstring& Fname);
    std::wstring CleanPathName(std::wstring& Fname);
    forms::Boolean FileExists(const std::wstring& FilePath);
    int32_t GetDrvType(const std::wstring& DriveStr);
    std::wstring GetVolumeInfo(const std::wstring& VolStr, int32_t VolInformation);
    std::wstring CalcTime(int32_t LngTime);
    forms::Boolean IsText(const std::wstring& Text);
    void LoadResDataIntoFile(int16_t id, const std::wstring& FileName);
    // Appends the names of the plain sub-folders of Path (which ends in "\").
    void ListDirs(const std::wstring& Path, std::vector<std::wstring>& Col);
    forms::Boolean IsFolderEmpty(const std::wstring& FolderStr);
    std::wstring GetDrvName(const std::wstring& DriveLabel);

private:
    std::wstring CompactPathShell(const std::wstring& path, int32_t width, HDC hDC);

    std::optional<ScriptHost::WshShell> m_Shell;
};
