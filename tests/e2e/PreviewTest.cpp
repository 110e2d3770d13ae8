// The preview window of the ask-for-name road in the real program.
#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <string>
#include <thread>

#include "e2e/ProgramDriver.h"
#include "forms/Picture.h"
#include "unit/common/TestObjects.h"
#include "unit/common/TestSupport.h"

using namespace e2e;
using namespace testsupport;

namespace {

// The camera button of a copy just started: the window hides and the capture
// opens the preview, which is returned (null when none shows).
HWND CaptureIntoPreview(const Program& program, HWND& main) {
    main = MainWindowOf(program);
    if (!main) return nullptr;
    ClickAt(CaptureButton(main));
    return WaitWindow(program.pid(), L"Save As", 8000);
}

}  // namespace

TEST(Preview, ExitWithThePreviewOpenLeavesTheMainWindowHidden) {
    ConfigFile config("[main]\r\nmb=1\r\ncm=0\r\n[sav]\r\nmsl=2\r\ncn=1\r\n");  // asks for the name
    Program program;
    HWND main = nullptr;
    HWND preview = CaptureIntoPreview(program, main);
    ASSERT_NE(preview, nullptr);
    EXPECT_FALSE(IsWindowVisible(main));
    // Dragged aside, as a user would, off the notification area it covers.
    SetWindowPos(preview, nullptr, 300, 200, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    Pump(300);

    // "E&xit" from the tray icon's File menu with the preview still open;
    // a show of the main window on the way out lasts only until the end,
    // so it is watched for without pause.
    ASSERT_TRUE(OpenTrayMenu());
    std::atomic<bool> stop{false}, shown{false};
    std::thread watch([&] {
        while (!stop)
            if (IsWindowVisible(main)) shown = true;
    });
    KeyDown('X');
    KeyUp('X');
    const bool ended = program.WaitExit(8000);
    stop = true;
    watch.join();
    EXPECT_TRUE(ended);
    EXPECT_FALSE(shown) << "the main window came back during exit";
}

TEST(Preview, SaveWritesThePictureShownAtTheClickNotOneCapturedDuringTheDialog) {
    const std::wstring dir = TempDir(L"qc_e2e_preview_shown");
    const std::wstring path = dir + L"\\\u5199\u771F-A.bmp";  // a name outside the code page
    ConfigFile config("[main]\r\nmb=1\r\ncm=0\r\n[hkeys]\r\nhk=83\r\nmdf=2\r\n[sav]\r\nmsl=2\r\ncn=1\r\nct=0\r\n");
    const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    constexpr COLORREF kShown = RGB(200, 30, 40), kLater = RGB(20, 40, 220);
    ColourWindow first(0, 0, w, h, kShown, WS_POPUP, 0);
    Program program;
    // Picture A, the screen behind the main window, fills the preview,
    // which is dragged aside, clear of the left third where B will show.
    HWND main = nullptr;
    HWND preview = CaptureIntoPreview(program, main);
    ASSERT_NE(preview, nullptr);
    SetWindowPos(preview, nullptr, w / 3 + 20, 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    const POINT inView = LeftThirdInPreview(preview);
    auto viewShows = [&](COLORREF c) { return ScreenPixel(inView.x, inView.y) == c; };
    ASSERT_TRUE(WaitUntil([&] { return viewShows(kShown); }, 8000)) << "the preview shows A";

    // The preview's Save; its dialog aside too, in the bottom right corner.
    PostMessageW(FindChild(preview, L"Button", L"Save"), BM_CLICK, 0, 0);
    HWND dlg = WaitWindow(program.pid(), L"Save Image", 8000);
    ASSERT_NE(dlg, nullptr);
    RECT box{};
    GetWindowRect(dlg, &box);
    SetWindowPos(dlg, nullptr, w - (box.right - box.left), h - (box.bottom - box.top), 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER);
    GetWindowRect(dlg, &box);
    ASSERT_FALSE(PtInRect(&box, inView)) << "the dialog leaves the point of the view in sight";

    // Meanwhile, in another program, the hotkey captures B into the preview.
    ColourWindow later(0, 0, w / 3, h, kLater, WS_POPUP, 0);
    SetForegroundWindow(later.hwnd());
    ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == later.hwnd(); }, 8000));
    ASSERT_TRUE(HoldHotkey([&] { return viewShows(kLater); }, 8000)) << "B was taken into the preview";

    // The name typed for A, confirmed.
    SendMessageW(FindChild(dlg, L"Edit", L""), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
    PostMessageW(dlg, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    ASSERT_TRUE(WaitFile(path, 8000));
    // A wherever B would differ, in B's strip, below the notification area
    // and but for where the main window stood: the capture that follows its
    // hide may come before the desktop there has been painted again.
    RECT stood{}, strip{0, h / 8, w / 3, h};
    GetWindowRect(main, &stood);
    const std::vector<uint32_t> a(static_cast<size_t>(w) * h, RgbOf(kShown));
    EXPECT_EQ(FileDiffers(path, a, w, &strip, &stood), "");

    // B is not lost: the preview shows it once the dialog has closed.
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dlg); }, 8000));
    EXPECT_TRUE(WaitUntil([&] { return viewShows(kLater); }, 8000)) << "the preview shows B";
}
