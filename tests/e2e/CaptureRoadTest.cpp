// The capture road through the real program: the hotkey while the window is
// hidden, the capture button, the active window, numbered files in the images
// folder, the tray icon and its File menu, the settings written at exit.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "e2e/ProgramDriver.h"
#include "unit/common/JpegCheck.h"
#include "unit/common/TestObjects.h"
#include "unit/common/TestSupport.h"

using namespace e2e;
using namespace testsupport;

namespace {

// Automatic names "Shot-" as BMP files in the folder, a capture mode and the pointer on or off.
std::string AutoNames(const std::wstring& images, int mode, int pointer) {
    return "[main]\r\nmb=" + std::to_string(mode) + "\r\ncm=" + std::to_string(pointer) +
           "\r\n[sav]\r\nmsl=2\r\ncn=0\r\nct=0\r\ntp=Shot-\r\ntpa=" + std::string(images.begin(), images.end()) + "\r\n";
}

bool WaitHidden(HWND h, int ms) {
    return WaitUntil([h] { return !IsWindowVisible(h); }, ms);
}

void Press(WORD key, int times = 1) {
    for (int i = 0; i < times; ++i) PressKeys({key});
}

HWND NewIcon(const std::vector<HWND>& before) {
    for (HWND h : TrayIcons())
        if (std::find(before.begin(), before.end(), h) == before.end()) return h;
    return nullptr;
}
// The capture page's own form, hidden: exit unloads it after removing the icon.
HWND CapturePageForm(const Program& program) {
    for (HWND h : TopWindows(program.pid(), false))
        if (WindowText(h) == L"Profiles") return h;
    return nullptr;
}
// Wine takes away the icons of a window that is destroyed, so only the order
// tells whether exit removed its own: waits, without letting go of the
// processor, for the page's form to go, then tells whether the icon had gone.
bool IconWentBefore(HWND page, HWND icon, int ms) {
    const DWORD end = GetTickCount() + ms;
    while (IsWindow(page) && static_cast<int>(end - GetTickCount()) > 0) {
    }
    return !IsWindow(page) && (!IsWindow(icon) || !IsWindowVisible(icon));
}

void ClickOn(HWND h) { ClickAt(Centre(h)); }

// The user's own text on the clipboard, which a capture to a file leaves
// there; the platform's clipboard keeper may hold it open a moment.
constexpr wchar_t kUsers[] = L"the user's";
bool UsersTextKept() { return WaitUntil([] { return ClipboardText() == kUsers; }, 3000); }



}  // namespace

TEST(CaptureRoad, TheHotkeyCapturesOnlyWhileHidden) {
    std::wstring images = TempDir(L"qc_e2e_hotkey");
    ConfigFile config(AutoNames(images, 1, 0));
    Program program;
    HWND main = MainWindowOf(program);
    ASSERT_NE(main, nullptr);

    PressHotkey();
    Pump(400);
    EXPECT_FALSE(Exists(images + L"\\Shot-1.Bmp")) << "the visible window ignores the hotkey";

    // The close box only hides the window behind its tray icon.
    std::vector<HWND> before = TrayIcons();
    ASSERT_TRUE(HideMainWindow(main));
    EXPECT_TRUE(program.Running());
    HWND ours = NewIcon(before);
    ASSERT_NE(ours, nullptr) << "the icon is in the notification area";

    {
        // The file holds the screen, a picture of the test's over all of it;
        // the clipboard keeps what the user had put there.
        const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
        ColourWindow screen(0, 0, w, h, CornersFill(1));
        ASSERT_TRUE(WaitUntil([] { return PutClipboardText(kUsers); }, 3000));
        ASSERT_TRUE(HotkeyWrites(images + L"\\Shot-1.Bmp", 5000));
        EXPECT_EQ(FileDiffers(images + L"\\Shot-1.Bmp", CornersPixels(w, h, 1), w), "");
        EXPECT_TRUE(UsersTextKept()) << "a capture to a file took the clipboard";
    }

    // Pressed again, the keys make the next file.
    ASSERT_TRUE(HotkeyWrites(images + L"\\Shot-2.Bmp", 5000));
    EXPECT_TRUE(HotkeyWrites(images + L"\\Shot-3.Bmp", 5000));
    EXPECT_FALSE(IsWindowVisible(main));

    // "Images Folder", the menu's fourth item, opens the folder in a window of its name.
    ASSERT_TRUE(OpenFileMenu(ours)) << "the File menu pops up";
    Press(VK_DOWN, 4);
    Press(VK_RETURN);
    const std::wstring name = images.substr(images.find_last_of(L'\\') + 1);
    HWND shown = nullptr;
    EXPECT_TRUE(WaitUntil([&] { return (shown = FindWindowW(L"ExplorerWClass", name.c_str())) != nullptr; }, 15000))
        << "no window shows the images folder";
    if (shown) {
        DWORD pid = 0;
        GetWindowThreadProcessId(shown, &pid);
        HANDLE viewer = OpenProcess(SYNCHRONIZE, FALSE, pid);
        PostMessageW(shown, WM_CLOSE, 0, 0);
        if (viewer) {
            WaitForSingleObject(viewer, 10000);  // it must not outlive the test
            CloseHandle(viewer);
        }
    }

    // "&Options" shows the window.
    ASSERT_TRUE(OpenFileMenu(ours)) << "the File menu pops up";
    PressKeys({'O'});
    EXPECT_TRUE(WaitUntil([main] { return IsWindowVisible(main) != FALSE; }, 3000));

    // Back to the capture page; its exit button ends the program and takes the icon away.
    ClickAt(PageButton(main, 0));
    HWND page = CapturePageForm(program);
    ASSERT_NE(page, nullptr);
    MoveMouse(ExitButton(main).x, ExitButton(main).y);
    Pump(100);
    MouseButton(true, true);
    MouseButton(true, false);
    EXPECT_TRUE(IconWentBefore(page, ours, 8000)) << "exit leaves the icon to the window's end";
    EXPECT_TRUE(program.WaitExit(8000));
}

TEST(CaptureRoad, TheCaptureButtonWritesAJpegAndExitSavesTheSettings) {
    std::wstring images = TempDir(L"qc_e2e_button");
    ConfigFile config("");  // a first start: every setting at its default
    std::vector<HWND> before = TrayIcons();
    Program program;
    HWND main = MainWindowOf(program);
    ASSERT_NE(main, nullptr);

    // The Settings page: no pointer, quality 30.
    ClickAt(PageButton(main, 1));
    HWND pointer = FindChild(main, L"Button", L"Include mouse pointer");
    HWND quality = FindChild(main, L"ComboBox", L" 90");
    ASSERT_TRUE(pointer && quality) << "the Settings page's controls";
    ClickOn(pointer);
    ClickOn(quality);
    Press(VK_UP, 6);
    Press(VK_RETURN);
    auto shows = [&](HWND control, const wchar_t* cls, const std::wstring& text) {
        return WaitUntil([&] { return FindChild(main, cls, text) == control; }, 3000);
    };
    ASSERT_TRUE(shows(quality, L"ComboBox", L" 30"));
    ASSERT_EQ(SendMessageW(pointer, BM_GETCHECK, 0, 0), BST_UNCHECKED);

    // The Options page: automatic names, a prefix, the folder typed in, Ctrl+Shift+F5.
    ClickAt(PageButton(main, 2));
    HWND naming = FindChild(main, L"ComboBox", L"Ask for File Name");
    HWND prefix = FindChild(main, L"Edit", L"Image - ");
    HWND folder = FindChild(main, L"Edit", ProgramFolder() + L"\\Images");
    HWND hotkey = FindChild(main, L"msctls_hotkey32", L"");
    ASSERT_TRUE(naming && prefix && folder && hotkey) << "the Options page's controls";
    ClickOn(naming);
    Press(VK_UP);
    Press(VK_RETURN);
    ASSERT_TRUE(shows(naming, L"ComboBox", L"Use Automatic File Name"));
    for (auto [box, text] : {std::pair{prefix, std::wstring(L"Road-")}, std::pair{folder, images}}) {
        ClickOn(box);
        Press(VK_HOME);
        PressKeys({VK_SHIFT, VK_END});
        TypeText(text);
        ASSERT_TRUE(shows(box, L"Edit", text));
    }
    ClickOn(hotkey);
    PressKeys({VK_CONTROL, VK_SHIFT, VK_F5});

    // The camera button at the bottom left of the capture page.
    ClickAt(PageButton(main, 0));
    ASSERT_TRUE(WaitUntil([] { return PutClipboardText(kUsers); }, 3000));
    ClickAt(CaptureButton(main));
    ASSERT_TRUE(WaitHidden(main, 5000)) << "the button hides the window first";
    ASSERT_TRUE(WaitFile(images + L"\\Road-1.Jpg", 8000));
    EXPECT_EQ(QualityOfJpeg(ReadFileBytes(images + L"\\Road-1.Jpg")), 30);
    // Where the window stood, the picture shows what the screen shows there
    // now that it is gone: the desktop, not the program.
    RECT stood{};
    GetWindowRect(main, &stood);
    const DecodedImage shot = DecodeJpegFile(images + L"\\Road-1.Jpg");
    EXPECT_EQ(Differs(shot.Pixels(), ScreenPixels(), GetSystemMetrics(SM_CXSCREEN), 48, &stood), "");
    EXPECT_TRUE(UsersTextKept()) << "a capture to a file took the clipboard";

    // A double-click on the icon brings the window back; then the object mode.
    HWND ours = NewIcon(before);
    ASSERT_NE(ours, nullptr) << "the icon is in the notification area";
    ClickAt(Centre(ours));
    ClickAt(Centre(ours));
    ASSERT_TRUE(WaitUntil([main] { return IsWindowVisible(main) != FALSE; }, 3000)) << "the double-click restores";
    ClickAt(ObjectModeButton(main));

    // "E&xit" in the File menu ends the program and takes the icon away.
    HWND page = CapturePageForm(program);
    ASSERT_NE(page, nullptr);
    ASSERT_TRUE(OpenFileMenu(ours)) << "the File menu pops up";
    KeyDown('X');
    KeyUp('X');
    EXPECT_TRUE(IconWentBefore(page, ours, 8000)) << "exit leaves the icon to the window's end";
    EXPECT_TRUE(program.WaitExit(8000));

    // The number of the file at the save, then every key that exit writes, in
    // its order (Wine's profile functions drop the leading blanks).
    const std::string dir(images.begin(), images.end());
    EXPECT_EQ(config.Lines(), (std::vector<std::string>{"main/an=1", "main/mb=4", "main/cm=0", "hkeys/hk=116",
                                                        "hkeys/mdf=3", "sav/msl=2", "sav/cn=0", "sav/tp=Road-",
                                                        "sav/ct=1", "sav/cq=2", "sav/tpa=" + dir}));
}

TEST(CaptureRoad, AnActiveWindowCaptureWithNoWindowInFrontSaysSoAndSavesNothing) {
    std::wstring images = TempDir(L"qc_e2e_active");
    ConfigFile config(AutoNames(images, 2, 0));
    Program program;
    HWND main = MainWindowOf(program);
    ASSERT_NE(main, nullptr);

    // The hide button leaves no window in front.
    ClickAt(HideButton(main));
    ASSERT_TRUE(WaitHidden(main, 5000)) << "the hide button hides the window";
    ASSERT_EQ(GetForegroundWindow(), nullptr);
    HWND box = HotkeyReport(program.pid(), 5000);
    ASSERT_NE(box, nullptr) << "no message for the missing window";
    auto texts = ChildTexts(box, L"Static");
    EXPECT_NE(std::find(texts.begin(), texts.end(), L"Can't find active windows"), texts.end());
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(WaitUntil([box] { return !IsWindow(box); }, 3000));
    EXPECT_FALSE(IsWindowVisible(main));
    for (const std::string& line : config.Lines()) EXPECT_NE(line.rfind("main/an=", 0), 0u) << "nothing is saved";

    // With a window in front the next capture is the first file. The capture
    // that showed the message ends once it has gone, and sees the keys up.
    ColourWindow front(260, 180, 200, 150, RGB(0, 90, 250), WS_POPUP, 0);
    LetThePollSeeTheKeysUp();
    ASSERT_TRUE(HotkeyWrites(images + L"\\Shot-1.Bmp", 5000));
    std::string bmp = ReadFileBytes(images + L"\\Shot-1.Bmp");
    ASSERT_GT(bmp.size(), 54u);
    EXPECT_EQ(*reinterpret_cast<const int32_t*>(bmp.data() + 18), 200) << "the window in front, not the screen";
}

TEST(CaptureRoad, TheEndOfTheSessionSavesTheSettingsAndTakesTheIconAway) {
    ConfigFile config("");
    std::vector<HWND> before = TrayIcons();
    Program program;
    HWND main = MainWindowOf(program);
    ASSERT_NE(main, nullptr);
    ClickAt(ObjectModeButton(main));
    ASSERT_TRUE(HideMainWindow(main));
    Pump(500);
    ASSERT_TRUE(program.Running()) << "the close box only hides";
    HWND ours = NewIcon(before);
    HWND page = CapturePageForm(program);
    ASSERT_TRUE(ours && page);

    // What the system sends every top-level window when the user logs off;
    // the first time another program calls the logoff off.
    auto askToEnd = [main] {
        DWORD_PTR mayEnd = 0;
        ASSERT_TRUE(SendMessageTimeoutW(main, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_NORMAL, 5000, &mayEnd));
        EXPECT_NE(mayEnd, 0u) << "the program lets the session end";
    };
    ASSERT_NO_FATAL_FAILURE(askToEnd());
    DWORD_PTR answered = 0;
    ASSERT_TRUE(SendMessageTimeoutW(main, WM_ENDSESSION, FALSE, ENDSESSION_LOGOFF, SMTO_NORMAL, 5000, &answered));
    Pump(300);
    ASSERT_TRUE(program.Running() && IsWindow(page)) << "a logoff called off ends nothing";
    EXPECT_TRUE(IsWindow(ours) && IsWindowVisible(ours)) << "the icon stays";
    ASSERT_NO_FATAL_FAILURE(askToEnd());
    SendNotifyMessageW(main, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
    EXPECT_TRUE(IconWentBefore(page, ours, 8000)) << "the icon is taken away as at exit";
    EXPECT_TRUE(program.WaitExit(8000));
    // Every key that exit writes, the new mode among them.
    std::vector<std::string> lines = config.Lines();
    ASSERT_EQ(lines.size(), 10u);
    EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 5),
              (std::vector<std::string>{"main/mb=4", "main/cm=1", "hkeys/hk=83", "hkeys/mdf=2", "sav/msl=2"}));
}
