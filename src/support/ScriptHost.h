#pragma once
// The Windows Script Host objects the file utilities work through: the file
// system object (with its files and folders) and the shell object with its
// shortcuts. Each call goes to the platform's own object; the two members
// Wine leaves unimplemented (a folder's Size, a shortcut's TargetPath when
// read) are answered here over kernel32 and shell32 when the platform
// declines them. A failure raises forms::Error with the object's error
// number (53 file not found, 58 file already exists, 70 permission denied...).
#include <windows.h>
#include <oaidl.h>

#include <string>

#include "forms/Values.h"

namespace ScriptHost {

// A counted reference to a late-bound object.
class Dispatch {
public:
    Dispatch() = default;
    explicit Dispatch(IDispatch* p) : p_(p) {}  // adopts the caller's reference
    Dispatch(const Dispatch& o);
    Dispatch& operator=(Dispatch o) noexcept;
    ~Dispatch();
    explicit operator bool() const { return p_ != nullptr; }
    IDispatch* get() const { return p_; }

private:
    IDispatch* p_ = nullptr;
};

class File {
public:
    explicit File(Dispatch d) : d_(std::move(d)) {}
    std::wstring Name() const;
    double Size() const;
    // Last write time as the platform's date value.
    DATE DateLastModified() const;

private:
    Dispatch d_;
};

class Folder {
public:
    Folder(Dispatch d, std::wstring path) : d_(std::move(d)), path_(std::move(path)) {}
    // Bytes in the folder and all below it.
    double Size() const;

private:
    Dispatch d_;
    std::wstring path_;
};

// The file system object ("Scripting.FileSystemObject"). Creating one that
// the platform cannot make raises 429.
class FileSystemObject {
public:
    FileSystemObject();
    forms::Boolean FileExists(const std::wstring& path) const;
    forms::Boolean FolderExists(const std::wstring& path) const;
    // Makes one folder; an existing one raises 58, a missing parent 76.
    void CreateFolder(const std::wstring& path) const;
    File GetFile(const std::wstring& path) const;
    Folder GetFolder(const std::wstring& path) const;
    std::wstring GetParentFolderName(const std::wstring& path) const;
    void DeleteFile(const std::wstring& path, forms::Boolean force = forms::False) const;
    void MoveFile(const std::wstring& source, const std::wstring& destination) const;
    void DeleteFolder(const std::wstring& path, forms::Boolean force = forms::False) const;

private:
    Dispatch d_;
};

class Shortcut {
public:
    Shortcut(Dispatch d, std::wstring path) : d_(std::move(d)), path_(std::move(path)) {}
    std::wstring TargetPath() const;
    void SetTargetPath(const std::wstring& target) const;
    void Save() const;

private:
    Dispatch d_;
    std::wstring path_;
};

// The shell object ("WScript.Shell"); creating one the platform cannot
// make raises 429.
class WshShell {
public:
    WshShell();
    // Opens the shortcut file at path (a new, empty one when it is missing).
    Shortcut CreateShortcut(const std::wstring& path) const;

private:
    Dispatch d_;
};

}  // namespace ScriptHost
