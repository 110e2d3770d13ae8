// The capture road through the real program: the hotkey while the window is
// hidden, the capture button, numbered files in the images folder, the tray
// icon and its File menu, the settings written at exit.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

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

// Wine's own notification area on a display without one: one child per icon
// (icons of copies ended by earlier tests may linger there).
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

void ClickAt(int x, int y, bool left) {
    MoveMouse(x, y);
    Pump(100);
    MouseButton(left, true);
    MouseButton(left, false);
    Pump(100);
}

}  // namespace

TEST(CaptureRoad, TheHotkeyCapturesOnlyWhileHidden) {
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
    std::vector<HWND> before = TrayIcons();
    PostMessageW(main, WM_CLOSE, 0, 0);
    ASSERT_TRUE(WaitHidden(main, 5000));
    EXPECT_TRUE(program.Running());
    Pump(300);
    HWND ours = nullptr;
    for (HWND h : TrayIcons())
        if (std::find(before.begin(), before.end(), h) == before.end()) ours = h;
    ASSERT_NE(ours, nullptr) << "the icon is in the notification area";

    Tap({VK_CONTROL, 'S'});
    ASSERT_TRUE(WaitFile(images + L"\\Shot-1.Bmp", 5000));
    std::string bmp = ReadFileBytes(images + L"\\Shot-1.Bmp");
    ASSERT_GT(bmp.size(), 54u);
    EXPECT_EQ(bmp.substr(0, 2), "BM");
    EXPECT_EQ(*reinterpret_cast<const int32_t*>(bmp.data() + 18), GetSystemMetrics(SM_CXSCREEN));

    // Pressed again, the keys make the next file.
    Tap({VK_CONTROL, 'S'});
    ASSERT_TRUE(WaitFile(images + L"\\Shot-2.Bmp", 5000));
    Tap({VK_CONTROL, 'S'});
    EXPECT_TRUE(WaitFile(images + L"\\Shot-3.Bmp", 5000));
    EXPECT_FALSE(IsWindowVisible(main));

    // A double-click on the icon brings the window back.
    // Right-click on the icon: the File menu; "&Options" shows the window.
    for (int attempt = 0; attempt < 3 && !FindWindowW(L"#32768", nullptr); ++attempt) {
        POINT c = Centre(ours);
        ClickAt(c.x, c.y, false);
        Pump(800);
    }
    ASSERT_NE(FindWindowW(L"#32768", nullptr), nullptr) << "the File menu pops up";
    Tap({'O'});
    Pump(800);
    EXPECT_TRUE(IsWindowVisible(main));

    // Back to the capture page by its strip button.
    POINT profiles{(285 + 480) / 15, (300 + 480) / 15};
    ClientToScreen(main, &profiles);
    ClickAt(profiles.x, profiles.y, true);
    Pump(300);

    // The capture page's exit button ends the program and takes the icon away.
    POINT exitAt{(1530 + 7005 - 420 - 720) / 15 + 24, 4320 / 15 + 24};
    ClientToScreen(main, &exitAt);
    ClickAt(exitAt.x, exitAt.y, true);
    EXPECT_TRUE(program.WaitExit(8000));
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
    HWND menu = nullptr;
    for (HWND icon : TrayIcons()) {
        POINT c = Centre(icon);
        ClickAt(c.x, c.y, false);
        Pump(800);
        menu = FindWindowW(L"#32768", nullptr);
        if (menu && IsWindowVisible(menu)) break;
    }
    ASSERT_NE(menu, nullptr) << "the File menu pops up";
    Tap({'X'});
    EXPECT_TRUE(program.WaitExit(8000));
    EXPECT_EQ(settings.Value("Main", "an"), "1");
    EXPECT_EQ(settings.Value("main", "mb"), "1");
    EXPECT_EQ(settings.Value("sav", "ct"), "1");
    EXPECT_EQ(settings.Value("sav", "tp"), "Shot-");
}
