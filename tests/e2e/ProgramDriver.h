#pragma once
// Starts the real program under test and finds its windows.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

namespace e2e {

// The program's path as given to the test program (--exe=...), in Windows form.
std::wstring ProgramPath();
// The folder the program is in.
std::wstring ProgramFolder();

class Program {
public:
    // Starts a copy of the program (exe) in its own folder.
    explicit Program(const std::wstring& exe = ProgramPath());
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
// caption (and class, when given); 0 looks once.
HWND WaitWindow(DWORD pid, const std::wstring& caption, int ms, const wchar_t* cls = nullptr);
std::wstring WindowText(HWND h);
std::wstring ClassOf(HWND h);
// Texts of the window's child windows of a class ("Static", "Button").
std::vector<std::wstring> ChildTexts(HWND h, const std::wstring& cls);
// The first child window of a class whose text, asked of the window itself
// (a list shows its chosen entry), is the one given, any text when that is
// empty; null when none is.
HWND FindChild(HWND h, const std::wstring& cls, const std::wstring& text);
// Types the text as characters, whatever the keyboard layout.
void TypeText(const std::wstring& text);

// Pumps messages until done() is true or ms have passed; done()'s last answer.
bool WaitUntil(const std::function<bool()>& done, int ms);
// Wine sets the keys it holds down to what the X server holds (up, for keys
// sent as input) when one of its windows takes the focus or the pointer, so a
// press soon after a window came to the front or went may be let go under it.
// Waits until such a change has been taken in: a probe key, pressed again
// whenever it is let go, stays down. Every hotkey press below does this first.
void SettleFocus();
// A short press of Ctrl+S, the program's hotkey unless changed, for a test
// that it takes no capture; it fails the test should the keys be let go
// under it.
void PressHotkey();

// The program's settings file, written with the given text for one test
// (none when the text is empty); what was there before comes back at the end.
class ConfigFile {
public:
    explicit ConfigFile(const std::string& text);
    ~ConfigFile();
    ConfigFile(const ConfigFile&) = delete;
    ConfigFile& operator=(const ConfigFile&) = delete;
    // Every key line in the order of the file, as "section/key=value" with
    // the section in lower case.
    std::vector<std::string> Lines() const;

private:
    std::wstring path_;
    bool had_ = false;
    std::string old_;
};

// A path given to the test program (--name=...), in Windows form.
std::wstring ArgPath(const std::string& name);
// Presses the keys together through SendInput and lets them go; whether
// they were still down when let go.
bool PressKeys(std::initializer_list<WORD> keys);
// Presses the hotkey (Ctrl+S unless other keys are given) once and holds it
// until done() is true or ms have passed, then lets it go; done()'s answer.
// It is never pressed again on its own: a press the program drops shows.
// done() true before the keys go down fails the test: not the hotkey's work.
bool HoldHotkey(const std::function<bool()>& done, int ms, std::initializer_list<WORD> keys = {VK_CONTROL, 'S'});
// After a capture the program waits for the lowest of the hotkey's keys that
// it saw down to go up, and sees that only when it next polls. A press soon
// after a release, or after a capture ends, first gives it time to: a pause
// of many poll periods, longer the slower the program showed the last press's
// effect. A pause cannot take the place of a press the program dropped.
void LetThePollSeeTheKeysUp();
// One press of the hotkey that writes the file whole and nothing else in its
// folder within a settle window after: fails when the file was there before
// the press, and when a second capture (say on the keys' release) adds a file.
testing::AssertionResult HotkeyWrites(const std::wstring& path, int ms,
                                      std::initializer_list<WORD> keys = {VK_CONTROL, 'S'});
// One press of the hotkey until the program's message box shows: the box,
// null when none did; a box already up before the press fails the test.
HWND HotkeyReport(DWORD pid, int ms, std::initializer_list<WORD> keys = {VK_CONTROL, 'S'});
// Long enough for a second capture, say on the keys' release, to show.
inline constexpr int kSettleMs = 1000;
// The program's message box (caption "Quorvane Capture") once it shows.
HWND WaitMessageBox(DWORD pid, int ms);
// The words of a message box, and whether it shows an icon.
std::wstring MessageText(HWND box);
bool HasIcon(HWND box);
// Presses the box's OK and waits for it to go; true when it went.
bool DismissMessageBox(HWND box);

// Removes a folder with all it holds.
void RemoveTree(const std::wstring& dir);

// Waits for a file to appear with no writer holding it open.
bool WaitFile(const std::wstring& path, int ms);
// Wine's own notification area on a display without one: one child per icon
// (icons of copies ended by earlier tests may linger there).
std::vector<HWND> TrayIcons();
// The middle of a window on the screen, and a click there.
POINT Centre(HWND h);
void ClickAt(POINT p, bool left = true);

// A point, on the screen, of the preview's view that shows the captured
// screen's left third.
POINT LeftThirdInPreview(HWND preview);

// The program's pop-up menu is up.
bool MenuUp(DWORD pid);
// What the tray icon sends the main window for a click (WM_LBUTTONDBLCLK,
// WM_RBUTTONUP): a mouse move whose x is the click's message, sent without
// waiting, as a click reaches a program that is busy.
void TrayClick(HWND main, UINT click);
// Right-clicks the icon until its File menu is up; the same on any of the
// tray's icons.
bool OpenFileMenu(HWND icon);
bool OpenTrayMenu();

// The main window: its caption; the window of a copy just started, once it
// has settled (null when none shows); its close box, which hides it behind
// the tray icon (true once it has).
inline constexpr wchar_t kMainCaption[] = L"Quorvane Capture 1.0";
HWND MainWindowOf(const Program& program);
bool HideMainWindow(HWND main);
// A point of the main window given in its twips, on the screen; the strip's
// page buttons 0 to 3 and the capture page's buttons.
POINT OnMain(HWND main, float x, float y);
POINT PageButton(HWND main, int page);
POINT CaptureButton(HWND main);
POINT HideButton(HWND main);
POINT ExitButton(HWND main);
POINT ObjectModeButton(HWND main);

}  // namespace e2e
