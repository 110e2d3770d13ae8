#include "e2e/ProgramDriver.h"

#include <shellapi.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <string>

#include "forms/Values.h"
#include "unit/common/TestSupport.h"

namespace e2e {

std::wstring ProgramPath() { return ArgPath("exe"); }

std::wstring ProgramFolder() {
    const std::wstring exe = ProgramPath();
    return exe.substr(0, exe.find_last_of(L'\\'));
}

Program::Program(const std::wstring& exe) {
    std::wstring dir = exe.substr(0, exe.find_last_of(L'\\'));
    std::wstring cmd = L"\"" + exe + L"\"";
    STARTUPINFOW si{sizeof si};
    CreateProcessW(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, dir.c_str(), &si, &pi_);
}

Program::~Program() {
    Kill();
    if (pi_.hProcess) CloseHandle(pi_.hProcess);
    if (pi_.hThread) CloseHandle(pi_.hThread);
}

bool Program::Running() const { return pi_.hProcess && WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT; }

bool Program::WaitExit(int ms) const {
    return !pi_.hProcess || WaitForSingleObject(pi_.hProcess, ms) == WAIT_OBJECT_0;
}

DWORD Program::ExitCode() const {
    DWORD code = STILL_ACTIVE;
    if (pi_.hProcess) GetExitCodeProcess(pi_.hProcess, &code);
    return code;
}

void Program::Kill() {
    if (Running()) {
        TerminateProcess(pi_.hProcess, 1);
        WaitForSingleObject(pi_.hProcess, 5000);
    }
}

namespace {
struct Collect {
    DWORD pid;
    bool visibleOnly;
    std::vector<HWND> found;
};
BOOL CALLBACK CollectTop(HWND h, LPARAM l) {
    auto* c = reinterpret_cast<Collect*>(l);
    DWORD pid = 0;
    GetWindowThreadProcessId(h, &pid);
    if (pid == c->pid && (!c->visibleOnly || IsWindowVisible(h))) c->found.push_back(h);
    return TRUE;
}
}  // namespace

std::vector<HWND> TopWindows(DWORD pid, bool visibleOnly) {
    Collect c{pid, visibleOnly, {}};
    EnumWindows(CollectTop, reinterpret_cast<LPARAM>(&c));
    return c.found;
}

std::wstring WindowText(HWND h) {
    wchar_t buf[1024] = {};
    GetWindowTextW(h, buf, 1024);
    return buf;
}

std::wstring ClassOf(HWND h) {
    wchar_t buf[256] = {};
    GetClassNameW(h, buf, 256);
    return buf;
}

HWND WaitWindow(DWORD pid, const std::wstring& caption, int ms, const wchar_t* cls) {
    HWND found = nullptr;
    WaitUntil(
        [&] {
            for (HWND h : TopWindows(pid, true))
                if (WindowText(h) == caption && (!cls || ClassOf(h) == cls)) {
                    found = h;
                    return true;
                }
            return false;
        },
        ms);
    return found;
}

namespace {
struct Children {
    std::wstring cls;
    std::vector<std::wstring> texts;
};
BOOL CALLBACK CollectChild(HWND h, LPARAM l) {
    auto* c = reinterpret_cast<Children*>(l);
    if (_wcsicmp(ClassOf(h).c_str(), c->cls.c_str()) == 0) c->texts.push_back(WindowText(h));
    return TRUE;
}
}  // namespace

std::vector<std::wstring> ChildTexts(HWND h, const std::wstring& cls) {
    Children c{cls, {}};
    EnumChildWindows(h, CollectChild, reinterpret_cast<LPARAM>(&c));
    return c.texts;
}

namespace {
struct Wanted {
    std::wstring cls, text;
    HWND found = nullptr;
};
BOOL CALLBACK FindWanted(HWND h, LPARAM l) {
    auto* w = reinterpret_cast<Wanted*>(l);
    wchar_t buf[1024] = {};
    DWORD_PTR got = 0;
    if (_wcsicmp(ClassOf(h).c_str(), w->cls.c_str()) == 0 &&
        SendMessageTimeoutW(h, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(buf), SMTO_ABORTIFHUNG, 2000, &got) &&
        (w->text.empty() || w->text == buf)) {
        w->found = h;
        return FALSE;
    }
    return TRUE;
}
}  // namespace

HWND FindChild(HWND h, const std::wstring& cls, const std::wstring& text) {
    Wanted w{cls, text};
    EnumChildWindows(h, FindWanted, reinterpret_cast<LPARAM>(&w));
    return w.found;
}

bool WaitUntil(const std::function<bool()>& done, int ms) {
    const DWORD end = GetTickCount() + ms;
    while (!done()) {
        if (static_cast<int>(end - GetTickCount()) <= 0) return done();
        testsupport::Pump(50);
    }
    return true;
}

namespace {
bool AllDown(std::initializer_list<WORD> keys) {
    return std::all_of(keys.begin(), keys.end(), [](WORD k) { return (GetAsyncKeyState(k) & 0x8000) != 0; });
}
void Down(std::initializer_list<WORD> keys) {
    for (WORD k : keys) testsupport::KeyDown(k);
}
void Up(std::initializer_list<WORD> keys) {
    for (auto it = std::rbegin(keys); it != std::rend(keys); ++it) testsupport::KeyUp(*it);
}
constexpr char kLetGoUnder[] = "the keys were let go under the press, not by the test";
}  // namespace

void PressHotkey() {
    SettleFocus();
    EXPECT_TRUE(PressKeys({VK_CONTROL, 'S'})) << kLetGoUnder;
}

void SettleFocus() {
    constexpr WORD kProbe = VK_F9;  // nothing to the program
    DWORD since = GetTickCount();
    testsupport::KeyDown(kProbe);
    WaitUntil(
        [&] {
            if (!AllDown({kProbe})) {
                testsupport::KeyDown(kProbe);
                since = GetTickCount();
            }
            return GetTickCount() - since >= 250;
        },
        5000);
    testsupport::KeyUp(kProbe);
}

ConfigFile::ConfigFile(const std::string& text) {
    path_ = ProgramFolder() + L"\\Config.ini";
    had_ = GetFileAttributesW(path_.c_str()) != INVALID_FILE_ATTRIBUTES;
    if (had_) old_ = testsupport::ReadFileBytes(path_);
    if (text.empty())
        DeleteFileW(path_.c_str());
    else
        testsupport::WriteFileBytes(path_, text);
}

ConfigFile::~ConfigFile() {
    if (had_)
        testsupport::WriteFileBytes(path_, old_);
    else
        DeleteFileW(path_.c_str());
}

std::vector<std::string> ConfigFile::Lines() const {
    std::vector<std::string> lines;
    std::string all = testsupport::ReadFileBytes(path_), section;
    for (size_t at = 0, end; at < all.size(); at = end + 1) {
        end = std::min(all.find('\n', at), all.size());
        std::string line = all.substr(at, end - at);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty() && line[0] == '[') {
            section = line.substr(1, line.find(']') - 1);
            std::transform(section.begin(), section.end(), section.begin(), ::tolower);
        } else if (!line.empty()) {
            lines.push_back(section + "/" + line);
        }
    }
    return lines;
}

std::wstring ArgPath(const std::string& name) {
    std::wstring p = testsupport::Arg(name);
    if (!p.empty() && p[0] == L'/') {  // a Unix path from ctest: Wine maps / to Z:
        for (auto& c : p)
            if (c == L'/') c = L'\\';
        p = L"Z:" + p;
    }
    return p;
}

namespace {
// How long the program took to show the last held press's effect: its pace
// on this machine.
DWORD lastEffectMs = 0;
}  // namespace

bool HoldHotkey(const std::function<bool()>& done, int ms, std::initializer_list<WORD> keys) {
    SettleFocus();
    // One look, not a wait: an effect the probe key started has shown by now,
    // the probe being held for a quarter of a second and more.
    if (done()) {
        ADD_FAILURE() << "the effect was there before the hotkey went down";
        return false;
    }
    const DWORD start = GetTickCount();
    Down(keys);
    const bool taken = WaitUntil(done, ms);
    // Not taken, a press let go under the test says why: that is no fault of the program's.
    EXPECT_TRUE(taken || AllDown(keys)) << kLetGoUnder;
    Up(keys);
    if (taken) lastEffectMs = GetTickCount() - start;
    return taken;
}

void LetThePollSeeTheKeysUp() {
    testsupport::Pump(std::clamp(2 * static_cast<int>(lastEffectMs), 300, 3000));
}

testing::AssertionResult HotkeyWrites(const std::wstring& path, int ms, std::initializer_list<WORD> keys) {
    const std::wstring dir = path.substr(0, path.find_last_of(L'\\'));
    if (testsupport::Exists(path))
        return testing::AssertionFailure() << forms::ToUtf8(path) << " was there before the press";
    std::vector<std::wstring> before = testsupport::FilesIn(dir);
    if (!HoldHotkey([&] { return testsupport::Exists(path); }, ms, keys))
        return testing::AssertionFailure() << "the press wrote no " << forms::ToUtf8(path);
    if (!WaitFile(path, ms)) return testing::AssertionFailure() << forms::ToUtf8(path) << " is still held open";
    before.push_back(path.substr(dir.size() + 1));
    testsupport::Pump(kSettleMs);
    std::string more;
    for (const std::wstring& name : testsupport::FilesIn(dir))
        if (std::find(before.begin(), before.end(), name) == before.end()) more += " " + forms::ToUtf8(name);
    if (!more.empty()) return testing::AssertionFailure() << "the press wrote more than one file:" << more;
    return testing::AssertionSuccess();
}

HWND HotkeyReport(DWORD pid, int ms, std::initializer_list<WORD> keys) {
    if (HWND up = WaitMessageBox(pid, 0)) {
        ADD_FAILURE() << "a report was up before the press: " << forms::ToUtf8(MessageText(up));
        return nullptr;
    }
    HWND box = nullptr;
    HoldHotkey([&] { return (box = WaitMessageBox(pid, 0)) != nullptr; }, ms, keys);
    return box;
}

bool PressKeys(std::initializer_list<WORD> keys) {
    Down(keys);
    testsupport::Pump(150);
    const bool held = AllDown(keys);
    Up(keys);
    testsupport::Pump(150);
    return held;
}

HWND WaitMessageBox(DWORD pid, int ms) { return WaitWindow(pid, L"Quorvane Capture", ms, L"#32770"); }

std::wstring MessageText(HWND box) {
    std::wstring text;
    for (const std::wstring& t : ChildTexts(box, L"Static")) text += t;
    return text;
}

bool HasIcon(HWND box) {
    for (HWND c = GetWindow(box, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
        if (ClassOf(c) == L"Static" && (GetWindowLongW(c, GWL_STYLE) & SS_TYPEMASK) == SS_ICON &&
            SendMessageW(c, STM_GETICON, 0, 0))
            return true;
    return false;
}

bool DismissMessageBox(HWND box) {
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    for (int i = 0; i < 100 && IsWindow(box); ++i) testsupport::Pump(50);
    return !IsWindow(box);
}

void RemoveTree(const std::wstring& dir) {
    std::wstring from = dir + L'\0';  // the list ends in two NULs
    SHFILEOPSTRUCTW op{};
    op.wFunc = FO_DELETE;
    op.pFrom = from.c_str();
    op.fFlags = FOF_NO_UI;
    SHFileOperationW(&op);
}

void TypeText(const std::wstring& text) {
    for (wchar_t c : text)
        for (DWORD up : {DWORD{0}, DWORD{KEYEVENTF_KEYUP}}) {
            INPUT in{};
            in.type = INPUT_KEYBOARD;
            in.ki.wScan = c;
            in.ki.dwFlags = KEYEVENTF_UNICODE | up;
            SendInput(1, &in, sizeof in);
            testsupport::Pump(5);
        }
}

bool WaitFile(const std::wstring& path, int ms) {
    // Whole once no writer holds it open.
    return WaitUntil(
        [&] {
            HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
            if (h == INVALID_HANDLE_VALUE) return false;
            CloseHandle(h);
            return true;
        },
        ms);
}

std::vector<HWND> TrayIcons() {
    std::vector<HWND> icons;
    HWND tray = FindWindowW(L"__winex11_standalone_tray", nullptr);
    for (HWND h = tray ? FindWindowExW(tray, nullptr, L"__winex11_tray_icon", nullptr) : nullptr; h;
         h = FindWindowExW(tray, h, L"__winex11_tray_icon", nullptr))
        if (IsWindowVisible(h)) icons.push_back(h);
    return icons;
}

POINT Centre(HWND h) {
    RECT r{};
    GetWindowRect(h, &r);
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

void ClickAt(POINT p, bool left) {
    testsupport::MoveMouse(p.x, p.y);
    testsupport::Pump(100);
    testsupport::MouseButton(left, true);
    testsupport::MouseButton(left, false);
    testsupport::Pump(100);
}

POINT LeftThirdInPreview(HWND preview) {
    RECT client{};
    GetClientRect(preview, &client);
    POINT p{client.right / 6, client.bottom / 3};
    ClientToScreen(preview, &p);
    return p;
}

bool MenuUp(DWORD pid) {
    for (HWND h : TopWindows(pid, true))
        if (ClassOf(h) == L"#32768") return true;
    return false;
}

void TrayClick(HWND main, UINT click) { SendNotifyMessageW(main, WM_MOUSEMOVE, 1, click); }

bool OpenFileMenu(HWND icon) {
    for (int attempt = 0; attempt < 3; ++attempt) {
        ClickAt(Centre(icon), false);
        testsupport::Pump(800);
        HWND menu = FindWindowW(L"#32768", nullptr);
        if (menu && IsWindowVisible(menu)) return true;
    }
    return false;
}

bool OpenTrayMenu() {
    for (HWND icon : TrayIcons())
        if (OpenFileMenu(icon)) return true;
    return false;
}

HWND MainWindowOf(const Program& program) {
    HWND main = WaitWindow(program.pid(), kMainCaption, 15000);
    testsupport::Pump(800);
    return main;
}

bool HideMainWindow(HWND main) {
    PostMessageW(main, WM_CLOSE, 0, 0);
    const bool hidden = WaitUntil([main] { return !IsWindowVisible(main); }, 5000);
    testsupport::Pump(300);
    return hidden;
}

POINT OnMain(HWND main, float x, float y) {
    HDC screen = GetDC(nullptr);
    const int twipsPerPixel = 1440 / GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    POINT p{static_cast<LONG>(x) / twipsPerPixel, static_cast<LONG>(y) / twipsPerPixel};
    ClientToScreen(main, &p);
    return p;
}
POINT PageButton(HWND main, int page) { return OnMain(main, 285 + 480, 300 + 1290 * page + 480); }
POINT CaptureButton(HWND main) { return OnMain(main, 1530 + 420 + 360, 4320 + 360); }
POINT HideButton(HWND main) { return OnMain(main, 1530 + 4965 + 360, 4320 + 360); }
POINT ExitButton(HWND main) { return OnMain(main, 1530 + 5865 + 360, 4320 + 360); }
POINT ObjectModeButton(HWND main) { return OnMain(main, 1530 + 5220 + 540, 1440 + 540); }

namespace {

// A pass at another scaling (--dpi=N) first checks that the program runs at
// it, as OnMain assumes: its twips per pixel, read from the width
// of the main window's strip, 1530 twips. (The window itself may be held
// to the screen's width.)
class ProgramAtAskedDpi : public testing::Environment {
public:
    void SetUp() override {
        const std::wstring asked = testsupport::Arg("dpi");
        if (asked.empty()) return;
        Program program;
        HWND main = MainWindowOf(program);
        ASSERT_NE(main, nullptr) << "the program shows no main window";
        HWND strip = ChildWindowFromPointEx(main, POINT{2, 2}, CWP_SKIPINVISIBLE);
        ASSERT_TRUE(strip && strip != main) << "no strip at the main window's corner";
        RECT r{};
        GetWindowRect(strip, &r);
        EXPECT_EQ(std::lround(1530.0 / (r.right - r.left)), 1440 / std::stoi(asked))
            << "the program's twips per pixel; its strip is " << r.right - r.left << " pixels wide";
    }
};

testing::Environment* const programAtAskedDpi = testing::AddGlobalTestEnvironment(new ProgramAtAskedDpi);

}  // namespace

}  // namespace e2e
