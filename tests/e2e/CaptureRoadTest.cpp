// The capture road through the real program: the hotkey while the window is
// hidden, the capture button, numbered files in the images folder, the tray
// icon and its File menu, the settings written at exit.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "e2e/ProgramDriver.h"
#include "unit/common/TestSupport.h"

using namespace e2e;
using namespace testsupport;

namespace {

const wchar_t kCaption[] = L"Quorvane Capture 1.0";

std::wstring Folder() {
    std::wstring exe = ProgramPath();
    return exe.substr(0, exe.find_last_of(L'\\'));
}

// Settings for automatic names in a folder of the test's own; the file that
// was there comes back at the end.
class FileSettings {
public:
    FileSettings(const std::string& format, const std::wstring& images) : path_(Folder() + L"\\Config.ini") {
        had_ = GetFileAttributesW(path_.c_str()) != INVALID_FILE_ATTRIBUTES;
        if (had_) old_ = ReadFileBytes(path_);
        std::string dir(images.begin(), images.end());
        WriteFileBytes(path_, "[main]\r\nmb=1\r\ncm=0\r\n[hkeys]\r\nhk=83\r\nmdf=2\r\n[sav]\r\nmsl=2\r\ncn=0\r\nct=" +
                                  format + "\r\ncq=8\r\ntp=Shot-\r\ntpa=" + dir + "\r\n");
    }
    ~FileSettings() {
        if (had_)
            WriteFileBytes(path_, old_);
        else
            DeleteFileW(path_.c_str());
    }
    std::string Value(const char* section, const char* key) const {
        char buf[256] = {};
        std::string p(path_.begin(), path_.end());
        GetPrivateProfileStringA(section, key, "<missing>", buf, sizeof buf, p.c_str());
        return buf;
    }

private:
    std::wstring path_;
    bool had_ = false;
    std::string old_;
};

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool WaitFile(const std::wstring& path, int ms) {
    const DWORD end = GetTickCount() + ms;
    while (!Exists(path)) {
        if (static_cast<int>(end - GetTickCount()) <= 0) return false;
        Pump(50);
    }
    Pump(300);  // let the writer finish
    return true;
}

bool WaitHidden(HWND h, int ms) {
    const DWORD end = GetTickCount() + ms;
    while (IsWindowVisible(h)) {
        if (static_cast<int>(end - GetTickCount()) <= 0) return false;
        Pump(50);
    }
    return true;
}

void Tap(std::initializer_list<WORD> keys) {
    for (WORD k : keys) KeyDown(k);
    Pump(150);
    for (auto it = std::rbegin(keys); it != std::rend(keys); ++it) KeyUp(*it);
    Pump(150);
}

// Wine's own notification area on a display without one: one child per icon.
HWND TrayIcon() {
    HWND tray = FindWindowW(L"__winex11_standalone_tray", nullptr);
    return tray ? FindWindowExW(tray, nullptr, L"__winex11_tray_icon", nullptr) : nullptr;
}

void ClickAt(int x, int y, bool left) {
    MoveMouse(x, y);
    Pump(100);
    MouseButton(left, true);
    MouseButton(left, false);
    Pump(100);
}

}  // namespace

TEST(CaptureRoad, TheHotkeyCapturesOnlyWhileHiddenAndOnceAPress) {
    std::wstring images = TempDir(L"qc_e2e_hotkey");
    FileSettings settings("0", images);
    Program program;
    HWND main = WaitWindow(program.pid(), kCaption, 15000);
    ASSERT_NE(main, nullptr);
    Pump(500);

    Tap({VK_CONTROL, 'S'});
    Pump(400);
    EXPECT_FALSE(Exists(images + L"\\Shot-1.Bmp")) << "the visible window ignores the hotkey";

    // The close box only hides the window behind its tray icon.
    PostMessageW(main, WM_CLOSE, 0, 0);
    ASSERT_TRUE(WaitHidden(main, 5000));
    EXPECT_TRUE(program.Running());
    EXPECT_NE(TrayIcon(), nullptr) << "the icon is in the notification area";

    Tap({VK_CONTROL, 'S'});
    ASSERT_TRUE(WaitFile(images + L"\\Shot-1.Bmp", 5000));
    std::string bmp = ReadFileBytes(images + L"\\Shot-1.Bmp");
    ASSERT_GT(bmp.size(), 54u);
    EXPECT_EQ(bmp.substr(0, 2), "BM");
    EXPECT_EQ(*reinterpret_cast<const int32_t*>(bmp.data() + 18), GetSystemMetrics(SM_CXSCREEN));

    // Held down, the keys make one capture; pressed again, another.
    KeyDown(VK_CONTROL);
    KeyDown('S');
    ASSERT_TRUE(WaitFile(images + L"\\Shot-2.Bmp", 5000));
    Pump(600);
    EXPECT_FALSE(Exists(images + L"\\Shot-3.Bmp"));
    KeyUp('S');
    KeyUp(VK_CONTROL);
    Pump(300);
    Tap({VK_CONTROL, 'S'});
    EXPECT_TRUE(WaitFile(images + L"\\Shot-3.Bmp", 5000));
    EXPECT_FALSE(IsWindowVisible(main));

    // A double-click on the icon brings the window back.
    HWND icon = TrayIcon();
    ASSERT_NE(icon, nullptr);
    RECT r{};
    GetWindowRect(icon, &r);
    MoveMouse((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    Pump(100);
    for (int i = 0; i < 2; ++i) {
        MouseButton(true, true);
        MouseButton(true, false);
    }
    Pump(800);
    EXPECT_TRUE(IsWindowVisible(main));
}

TEST(CaptureRoad, TheCaptureButtonWritesAJpegAndExitSavesTheSettings) {
    std::wstring images = TempDir(L"qc_e2e_button");
    FileSettings settings("1", images);
    Program program;
    HWND main = WaitWindow(program.pid(), kCaption, 15000);
    ASSERT_NE(main, nullptr);
    Pump(800);

    // The camera button sits at the bottom left of the capture page.
    POINT at{(1530 + 420) / 15 + 24, 4320 / 15 + 24};
    ClientToScreen(main, &at);
    ClickAt(at.x, at.y, true);
    ASSERT_TRUE(WaitHidden(main, 5000)) << "the button hides the window first";
    ASSERT_TRUE(WaitFile(images + L"\\Shot-1.Jpg", 8000));
    std::string jpg = ReadFileBytes(images + L"\\Shot-1.Jpg");
    ASSERT_GT(jpg.size(), 2u);
    EXPECT_EQ(static_cast<unsigned char>(jpg[0]), 0xFF);
    EXPECT_EQ(static_cast<unsigned char>(jpg[1]), 0xD8);

    // Right-click on the tray icon: the File menu; "E&xit" ends the program.
    HWND icon = TrayIcon();
    ASSERT_NE(icon, nullptr);
    RECT r{};
    GetWindowRect(icon, &r);
    ClickAt((r.left + r.right) / 2, (r.top + r.bottom) / 2, false);
    Pump(800);
    HWND menu = FindWindowW(L"#32768", nullptr);
    ASSERT_NE(menu, nullptr) << "the File menu pops up";
    Tap({'X'});
    EXPECT_TRUE(program.WaitExit(8000));
    EXPECT_EQ(TrayIcon(), nullptr) << "the icon goes at exit";
    EXPECT_EQ(settings.Value("Main", "an"), "1");
    EXPECT_EQ(settings.Value("main", "mb"), "1");
    EXPECT_EQ(settings.Value("sav", "ct"), "1");
    EXPECT_EQ(settings.Value("sav", "tp"), "Shot-");
}
