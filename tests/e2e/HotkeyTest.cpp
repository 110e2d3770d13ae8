// The global hotkey through the real program hidden behind its tray icon:
// one capture a press of the combination however long it is held; the next
// waits for the lowest of its keys still down, whatever else is clicked,
// held or let go around it; none while the preview or its save dialog is in
// front.
#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <ostream>
#include <string>

#include "e2e/ProgramDriver.h"
#include "forms/Picture.h"
#include "unit/common/TestSupport.h"

using namespace e2e;
using namespace testsupport;

namespace {

int CountShots(const std::wstring& dir) {
    WIN32_FIND_DATAW found;
    HANDLE h = FindFirstFileW((dir + L"\\Shot-*.Bmp").c_str(), &found);
    if (h == INVALID_HANDLE_VALUE) return 0;
    int n = 0;
    do ++n;
    while (FindNextFileW(h, &found));
    FindClose(h);
    return n;
}

// Waits up to ms for the folder to hold n shots; the count then.
int WaitShots(const std::wstring& dir, int n, int ms) {
    const DWORD end = GetTickCount() + ms;
    while (CountShots(dir) < n && static_cast<int>(end - GetTickCount()) > 0) Pump(20);
    return CountShots(dir);
}

void Click(bool left) {
    MouseButton(left, true);
    MouseButton(left, false);
}

// A copy with Ctrl+S capturing the whole screen, hidden behind its tray icon
// with the pointer over the bare desktop. Shots go to a folder of the test's
// own as Shot-N.Bmp, or, with names asked for, to the preview.
class Hotkey : public testing::Test {
protected:
    void Start(bool askName) {
        images_ = TempDir(L"qc_e2e_held");
        config_ = std::make_unique<ConfigFile>(
            "[main]\r\nmb=1\r\ncm=0\r\n[hkeys]\r\nhk=83\r\nmdf=2\r\n[sav]\r\nmsl=2\r\ncn=" +
            std::string(askName ? "1" : "0") + "\r\nct=0\r\ntp=Shot-\r\ntpa=" +
            std::string(images_.begin(), images_.end()) + "\r\n");
        program_ = std::make_unique<Program>();
        main_ = MainWindowOf(*program_);
        ASSERT_NE(main_, nullptr);
        ASSERT_TRUE(HideMainWindow(main_));
        MoveMouse(GetSystemMetrics(SM_CXSCREEN) * 3 / 4, GetSystemMetrics(SM_CYSCREEN) * 3 / 4);
        // The tests press the keys themselves, after the hide and the move.
        SettleFocus();
    }
    void TearDown() override {
        for (WORD vk : {WORD('S'), WORD(VK_CONTROL), WORD(VK_SHIFT), WORD(VK_TAB)}) KeyUp(vk);
        MouseButton(true, false);
        Pump(100);
    }

    std::wstring images_;
    std::unique_ptr<ConfigFile> config_;
    std::unique_ptr<Program> program_;
    HWND main_ = nullptr;
};

}  // namespace

TEST_F(Hotkey, HeldKeysCaptureOnceWhateverWasClickedBefore) {
    ASSERT_NO_FATAL_FAILURE(Start(false));
    for (bool left : {true, false}) {
        SCOPED_TRACE(left ? "after a left click" : "after a right click");
        const int before = CountShots(images_);
        // The click's pressed-since report is left for the program to find:
        // its poll asks only for the hotkey's keys.
        Click(left);
        Pump(300);
        KeyDown(VK_CONTROL);
        KeyDown('S');
        ASSERT_EQ(WaitShots(images_, before + 1, 5000), before + 1);
        // Held long past the capture: a second one would be written by now.
        Pump(1500);
        EXPECT_EQ(CountShots(images_), before + 1) << "held keys capture once";
        KeyUp('S');
        KeyUp(VK_CONTROL);
        LetThePollSeeTheKeysUp();
    }

    // A short press, let go before it is seen held: captures again.
    const int before = CountShots(images_);
    KeyDown(VK_CONTROL);
    KeyDown('S');
    Pump(150);
    KeyUp('S');
    KeyUp(VK_CONTROL);
    EXPECT_EQ(WaitShots(images_, before + 1, 5000), before + 1) << "pressed again, the keys capture again";
    Pump(500);
    EXPECT_EQ(CountShots(images_), before + 1);

    // Every shot is the whole screen, at any scaling.
    Pump(500);
    const forms::Picture shot = forms::LoadPicture(images_ + L"\\Shot-1.Bmp");
    EXPECT_EQ(shot.PixelWidth(), GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(shot.PixelHeight(), GetSystemMetrics(SM_CYSCREEN));
}

namespace {

// Something else held with Ctrl+S and let go first.
struct Beside {
    const char* name;
    void (*down)();
    void (*up)();
};
void PrintTo(const Beside& b, std::ostream* os) { *os << b.name; }

class HotkeyBeside : public Hotkey, public testing::WithParamInterface<Beside> {};

}  // namespace

TEST_P(HotkeyBeside, LettingItGoFirstDoesNotCaptureAgain) {
    ASSERT_NO_FATAL_FAILURE(Start(false));
    GetParam().down();
    Pump(100);
    KeyDown(VK_CONTROL);
    KeyDown('S');
    ASSERT_EQ(WaitShots(images_, 1, 5000), 1);
    Pump(300);
    GetParam().up();
    // Ctrl+S held on alone: a second capture would be written by now.
    Pump(1500);
    EXPECT_EQ(CountShots(images_), 1) << "captured again when " << GetParam().name << " went up";

    // The next capture waits for Ctrl, the lowest of its keys still down.
    for (int again = 0; again < 2; ++again) {
        KeyUp('S');
        Pump(200);
        KeyDown('S');
        Pump(300);
    }
    KeyUp('S');
    Pump(1000);
    EXPECT_EQ(CountShots(images_), 1) << "S pressed again beside the held Ctrl";
    KeyUp(VK_CONTROL);

    // All let go: one plain press captures once. The program has to see Ctrl
    // up first, or it waits on it while the press holds it down again.
    LetThePollSeeTheKeysUp();
    EXPECT_TRUE(HoldHotkey([&] { return CountShots(images_) == 2; }, 8000))
        << "the first press after " << GetParam().name << " and the keys went up captures";
    Pump(kSettleMs);
    EXPECT_EQ(CountShots(images_), 2) << "one capture a press";
}

INSTANTIATE_TEST_SUITE_P(
    Hotkey, HotkeyBeside,
    testing::Values(Beside{"nothing", [] {}, [] {}},
                    Beside{"Shift", [] { KeyDown(VK_SHIFT); }, [] { KeyUp(VK_SHIFT); }},
                    Beside{"Tab", [] { KeyDown(VK_TAB); }, [] { KeyUp(VK_TAB); }},
                    Beside{"the left button", [] { MouseButton(true, true); }, [] { MouseButton(true, false); }}),
    [](const testing::TestParamInfo<Beside>& info) {
        std::string name;
        for (const char* c = info.param.name; *c; ++c)
            if (*c != ' ') name += *c;
        return name;
    });

TEST_F(Hotkey, CtrlSInThePreviewAndItsSaveDialogTakesNoCapture) {
    ASSERT_NO_FATAL_FAILURE(Start(true));
    // A strip down the screen's left side whose colour tells the captures
    // apart; it is changed before each press, so that a capture the press
    // took would show in the preview in the new colour.
    constexpr COLORREF kCaptured = RGB(250, 20, 200), kInPreview = RGB(20, 200, 40), kInDialog = RGB(20, 40, 250);
    const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    std::unique_ptr<ColourWindow> strip;
    auto paint = [&](COLORREF colour) {
        strip = std::make_unique<ColourWindow>(0, 0, w / 3, h, colour, WS_POPUP, 0);
        return WaitUntil([&] { return ScreenPixel(w / 6, h / 2) == colour; }, 3000);
    };
    ASSERT_TRUE(paint(kCaptured));
    HWND preview = nullptr;
    ASSERT_TRUE(HoldHotkey([&] { return (preview = WaitWindow(program_->pid(), L"Save As", 0)) != nullptr; }, 8000));
    SetWindowPos(preview, nullptr, w / 3 + 20, 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    const POINT inView = LeftThirdInPreview(preview);
    auto viewShows = [&](COLORREF c) { return ScreenPixel(inView.x, inView.y) == c; };
    ASSERT_TRUE(WaitUntil([&] { return viewShows(kCaptured); }, 8000)) << "the preview shows the capture";

    // In front once the platform has taken in the change: the strip's own
    // activation, come late, can take the front back.
    auto inFront = [&](HWND front, COLORREF colour) {
        return paint(colour) && WaitUntil(
                                    [front] {
                                        SetForegroundWindow(front);
                                        SettleFocus();
                                        return GetForegroundWindow() == front;
                                    },
                                    8000);
    };
    // A press ignored only because the program still waited on the keys of
    // the one that opened the preview would prove nothing.
    LetThePollSeeTheKeysUp();
    ASSERT_TRUE(inFront(preview, kInPreview));
    PressHotkey();
    EXPECT_EQ(GetForegroundWindow(), preview) << "the press went to another window";
    Pump(1000);
    EXPECT_TRUE(viewShows(kCaptured)) << "Ctrl+S in the preview captured";

    // Save: the dialog comes up modal over the preview, and saves.
    PostMessageW(FindChild(preview, L"Button", L"Save"), BM_CLICK, 0, 0);
    HWND dialog = WaitWindow(program_->pid(), L"Save Image", 8000, L"#32770");
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(inFront(dialog, kInDialog));
    PressHotkey();
    EXPECT_EQ(GetForegroundWindow(), dialog) << "the press went to another window";
    Pump(1000);
    const std::wstring saved = images_ + L"\\saved.bmp";
    SendMessageW(FindChild(dialog, L"Edit", L""), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(saved.c_str()));
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }, 8000));
    EXPECT_TRUE(WaitUntil([&] { return viewShows(kCaptured); }, 3000)) << "Ctrl+S in the save dialog captured";
    EXPECT_TRUE(WaitFile(saved, 8000));
    EXPECT_EQ(CountShots(images_), 0) << "names are asked for";

    // Closed after the save, then closed unsaved: each time the first press
    // after it has closed captures into it again.
    for (const char* after : {"a save", "no save"}) {
        PostMessageW(FindChild(preview, L"Button", L"Cancel"), BM_CLICK, 0, 0);
        ASSERT_TRUE(WaitUntil([&] { return !IsWindow(preview); }, 8000));
        LetThePollSeeTheKeysUp();  // the press that opened it may have just been let go
        EXPECT_TRUE(HoldHotkey([&] { return (preview = WaitWindow(program_->pid(), L"Save As", 0)) != nullptr; }, 8000))
            << "the first press after the preview closed, after " << after;
        ASSERT_NE(preview, nullptr);
    }
}
