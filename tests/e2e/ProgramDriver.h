#pragma once
// Starts the real program under test and finds its windows.
#include <windows.h>

#include <string>
#include <vector>

namespace e2e {

// The program's path as given to the test program (--exe=...), in Windows form.
std::wstring ProgramPath();

class Program {
public:
    // Starts a copy of the program in its own folder.
    Program();
    ~Program();  // ends the copy if it still runs
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    DWORD pid() const { return pi_.dwProcessId; }
    HANDLE process() const { return pi_.hProcess; }
    bool Running() const;
    // Waits up to ms for the copy to end; true when it has.
    bool WaitExit(int ms) const;
    DWORD ExitCode() const;
    void Kill();

private:
    PROCESS_INFORMATION pi_{};
};

// The process's top-level windows (visible ones only when asked).
std::vector<HWND> TopWindows(DWORD pid, bool visibleOnly);
// Waits up to ms for a visible top-level window of the process with that
// caption (and class, when given).
HWND WaitWindow(DWORD pid, const std::wstring& caption, int ms, const wchar_t* cls = nullptr);
std::wstring WindowText(HWND h);
std::wstring ClassOf(HWND h);
// Texts of the window's child windows of a class ("Static", "Button").
std::vector<std::wstring> ChildTexts(HWND h, const std::wstring& cls);
// The first child window of a class whose text, asked of the window itself
// (a list shows its chosen entry), is the one given, any text when that is
// empty; null when none is.
HWND ChildWithText(HWND h, const std::wstring& cls, const std::wstring& text);
// Types the text as characters, whatever the keyboard layout.
void TypeText(const std::wstring& text);

}  // namespace e2e
