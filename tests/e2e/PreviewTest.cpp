// The preview window of the ask-for-name road in the real program.
#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <string>
#include <thread>

#include "e2e/ProgramDriver.h"
#include "unit/common/TestSupport.h"

using namespace e2e;
using namespace testsupport;

TEST(Preview, ExitWithThePreviewOpenLeavesTheMainWindowHidden) {
    ConfigFile config("[main]\r\nmb=1\r\ncm=0\r\n[sav]\r\nmsl=2\r\ncn=1\r\n");  // asks for the name
    Program program;
    HWND main = MainWindowOf(program);
    ASSERT_NE(main, nullptr);

    // The camera button: the window hides, the capture opens the preview.
    ClickAt(CaptureButton(main));
    HWND preview = WaitWindow(program.pid(), L"Save As", 8000);
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
