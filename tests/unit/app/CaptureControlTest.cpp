// The capture page's hotkey test, the capture road into the canvas and on
// to the clipboard, and the main window's pages and tray icon.
#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <set>

#include "app/FrmMain.h"
#include "app/cTray.h"
#include "forms/Runtime.h"
#include "support/cPressedKey.h"
#include "unit/app/AppPages.h"
#include "unit/common/TestObjects.h"
#include "unit/common/TestSupport.h"

using namespace apptest;
using app::FrmGeneral;
using app::FrmMain;
using app::FrmSave;
using app::FrmTemp;
using ModGeneral::g_LastKey;
using testsupport::KeyDown;
using testsupport::KeyUp;

namespace {

// Keys that read down until the poll has seen each of them once.
std::set<int>& LetGoOnceSeen() {
    static std::set<int> keys;
    return keys;
}
short __stdcall ReadLetGoOnceSeen(int key) { return LetGoOnceSeen().erase(key) ? SHRT_MIN : 0; }

class Hotkey : public ::testing::Test {
protected:
    void SetUp() override {
        FreshPages();
        // The main window's own poll would take the keys first.
        FrmMain->Tm.Enabled(forms::False);
        // The page's load sets the field from the settings: not after the test has.
        FrmGeneral.Get();
        FrmSave->HKey.LetHotKey('S');
        FrmSave->HKey.HotKeyModifier(2);
        g_LastKey = 0;
        // Typed keys must not land in the hotkey field itself.
        SetForegroundWindow(sink_.hwnd());
        SetFocus(sink_.hwnd());
        testsupport::Pump(100);
        for (int k = 0; k < 256; ++k) GetAsyncKeyState(k);
    }
    void TearDown() override {
        for (WORD vk : {WORD('S'), WORD(VK_CONTROL), WORD(VK_SHIFT), WORD(VK_MENU)}) KeyUp(vk);
        testsupport::Pump(20);
        FrmGeneral->CanCapture();  // forget taps the test left
        FreshPages();
        FrmMain->Tm.Enabled(forms::True);
    }
    void Hold(std::initializer_list<WORD> keys) {
        int32_t key = FrmSave->HKey.GetHotKey(), modifier = FrmSave->HKey.HotKeyModifier();
        for (WORD vk : keys) KeyDown(vk);
        testsupport::Pump(50);
        // Should the field have caught the keys, it gets its value back.
        FrmSave->HKey.LetHotKey(key);
        FrmSave->HKey.HotKeyModifier(modifier);
    }
    void Release(std::initializer_list<WORD> keys) {
        for (WORD vk : keys) KeyUp(vk);
        testsupport::Pump(20);
    }
    testsupport::ColourWindow sink_{0, 0, 30, 30, RGB(90, 90, 90), WS_POPUP, 0};
};
}  // namespace

TEST_F(Hotkey, CtrlSFiresOnceUntilTheKeysGoUp) {
    EXPECT_FALSE(forms::IsTrue(FrmGeneral->CanCapture()));
    EXPECT_EQ(g_LastKey, 0);
    Hold({VK_CONTROL, 'S'});
    EXPECT_TRUE(forms::IsTrue(FrmGeneral->CanCapture()));
    EXPECT_EQ(g_LastKey, 2);
    EXPECT_FALSE(forms::IsTrue(FrmGeneral->CanCapture()));
    EXPECT_FALSE(forms::IsTrue(FrmGeneral->CanCapture()));
    EXPECT_EQ(g_LastKey, 2);
    Release({'S', VK_CONTROL});
    EXPECT_FALSE(forms::IsTrue(FrmGeneral->CanCapture()));
    EXPECT_EQ(g_LastKey, 0);
    Hold({VK_CONTROL, 'S'});
    EXPECT_TRUE(forms::IsTrue(FrmGeneral->CanCapture())) << "pressed again, it fires again";
}

TEST_F(Hotkey, ExtraModifiersDoNotStopIt) {
    Hold({VK_CONTROL, VK_SHIFT, 'S'});
    EXPECT_TRUE(forms::IsTrue(FrmGeneral->CanCapture()));
}

TEST_F(Hotkey, TheKeyWithoutItsModifierDoesNotFire) {
    Hold({'S'});
    EXPECT_FALSE(forms::IsTrue(FrmGeneral->CanCapture()));
    EXPECT_EQ(g_LastKey, 0);
}

TEST_F(Hotkey, TwoModifiersFireOnEveryTest) {
    FrmSave->HKey.HotKeyModifier(6);
    Hold({VK_CONTROL, VK_MENU, 'S'});
    EXPECT_TRUE(forms::IsTrue(FrmGeneral->CanCapture()));
    EXPECT_TRUE(forms::IsTrue(FrmGeneral->CanCapture()));
    EXPECT_EQ(g_LastKey, 6);
}

TEST_F(Hotkey, NoModifierLetsTheKeyAloneFire) {
    FrmSave->HKey.HotKeyModifier(0);
    Hold({'S'});
    EXPECT_TRUE(forms::IsTrue(FrmGeneral->CanCapture()));
    EXPECT_EQ(g_LastKey, 8);
}

TEST_F(Hotkey, ThePollWaitsOnItsOwnLowestKeyWhateverIsLetGoBesideIt) {
    app::CFrmMain& main = *FrmMain;
    main.Visible(forms::False);
    FrmTemp->ChkMouse.Value(0);
    FrmTemp->OClibpoard.Value(forms::True);
    FrmGeneral->BtnFullScreen_Click();
    // The poll marks each capture it starts.
    auto tick = [&main] {
        ModGeneral::g_CapturedByHotkey = forms::False;
        main.Tm_Timer();
        return forms::IsTrue(ModGeneral::g_CapturedByHotkey);
    };
    struct Case {
        int32_t mask;
        std::initializer_list<WORD> keys;
        int32_t lowest;  // the key waited on: never the hotkey test's own marker
    } cases[] = {{0, {'S'}, 'S'},
                 {1, {VK_SHIFT, 'S'}, VK_SHIFT},
                 {2, {VK_CONTROL, 'S'}, VK_CONTROL},
                 {4, {VK_MENU, 'S'}, VK_MENU},
                 {6, {VK_CONTROL, VK_MENU, 'S'}, VK_CONTROL}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "mask " << c.mask);
        FrmSave->HKey.HotKeyModifier(c.mask);
        EXPECT_FALSE(tick());
        Hold({VK_TAB});
        Hold(c.keys);
        EXPECT_TRUE(tick());
        EXPECT_EQ(g_LastKey, c.lowest);
        EXPECT_FALSE(tick()) << "held";
        Release({VK_TAB});
        EXPECT_FALSE(tick()) << "Tab, held beside it, let go first";
        Release({'S'});
        EXPECT_FALSE(tick());
        Hold({'S'});
        EXPECT_EQ(tick(), c.mask == 0) << "S pressed again waits for the lowest of its keys still down";
        Release(c.keys);
        EXPECT_FALSE(tick());
        Hold(c.keys);
        EXPECT_TRUE(tick()) << "all let go and pressed again";
        Release(c.keys);
        EXPECT_FALSE(tick());

        // Let go while the capture runs: nothing is left to wait on.
        LetGoOnceSeen() = std::set<int>(c.keys.begin(), c.keys.end());
        cPressedKey::KeyState = ReadLetGoOnceSeen;
        EXPECT_TRUE(tick());
        cPressedKey::KeyState = GetAsyncKeyState;
        EXPECT_EQ(g_LastKey, 0) << "every key let go during the capture";
    }
    ModGeneral::g_CapturedByHotkey = forms::False;
}

namespace {
class CaptureRoad : public ::testing::Test {
protected:
    void SetUp() override { FreshPages(); }
    void TearDown() override { FreshPages(); }
};
}  // namespace

TEST_F(CaptureRoad, FullScreenDeliversTheScreenWithThePointerWhereItIsToItsDestinationAlone) {
    using namespace testsupport;
    const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    const std::wstring dir = TempDir(L"qc_road");
    FrmSave->TxtPath.Text(dir);
    FrmSave->TxtPrefix.Text(L"Shot-");
    FrmSave->CmbName.ListIndex(0);
    FrmTemp->CmbQ.ListIndex(9);  // quality 100: a JPEG within a few levels of the capture
    ASSERT_TRUE(PutClipboardText(L"the user's"));
    FrmGeneral->BtnFullScreen_Click();
    forms::PictureBox& canvas = FrmMain->Pic;
    struct Case {
        int pointer;
        forms::OptionButton& choice;  // the file's format, or the clipboard
        const wchar_t* file;
    } cases[] = {{0, FrmTemp->OBitMap, L"Shot-1.Bmp"},
                 {1, FrmTemp->OJpg, L"Shot-1.Jpg"},
                 {1, FrmTemp->OClibpoard, nullptr}};
    for (uint32_t seed = 0; seed < 3; ++seed) {
        const Case& c = cases[seed];
        SCOPED_TRACE(c.file ? forms::ToAnsi(c.file) : "the clipboard");
        FrmTemp->ChkMouse.Value(c.pointer);
        if (c.file) FrmTemp->OFile.Value(forms::True);
        c.choice.Value(forms::True);
        // Under Wine a pointer of another process cannot be drawn: the
        // pointer is the test's own, over a window of its own, in front of a
        // picture over all the screen, another for each capture.
        ColourWindow screen(0, 0, w, h, CornersFill(seed));
        ArrowInFront front;
        RECT inFront{};
        GetWindowRect(front.hwnd(), &inFront);
        POINT at{};
        GetCursorPos(&at);
        const RECT want = PointerInk(front.arrow(), RGB(255, 255, 255));
        FrmGeneral->DoCapture();
        EXPECT_FALSE(forms::IsTrue(canvas.Visible())) << "the canvas stays hidden";
        const std::vector<uint32_t> shot = PixelsOf(canvas.Picture().Bitmap());
        EXPECT_EQ(Differs(shot, CornersPixels(w, h, seed), w, 0, nullptr, &inFront), "");
        // Over the window in front, the pointer image alone, 9 pixels up and left of the pointer.
        const RECT got = InkBox(canvas.Picture().Bitmap(), 0xFFFFFF, &inFront);
        if (!c.pointer) {
            EXPECT_LT(got.right, got.left) << "a pointer drawn with the option off";
        } else {
            EXPECT_EQ(got.left, want.left + at.x - 9);
            EXPECT_EQ(got.top, want.top + at.y - 9);
            EXPECT_EQ(got.right, want.right + at.x - 9);
            EXPECT_EQ(got.bottom, want.bottom + at.y - 9);
        }
        if (!c.file) {
            EXPECT_EQ(Differs(PixelsOf(forms::Clipboard.GetData().Bitmap()), shot, w), "");
            EXPECT_EQ(FilesIn(dir).size(), 2u) << "a capture to the clipboard writes no file";
            EXPECT_EQ(ReadConfig("Main", "an"), "1") << "nor counts one";
            continue;
        }
        EXPECT_EQ(FileDiffers(dir + L"\\" + c.file, shot, w), "");
        EXPECT_EQ(ClipboardText(), L"the user's") << "a capture to a file leaves the clipboard alone";
    }
}

TEST_F(CaptureRoad, ActiveWindowTakesTheForegroundWindowWithThePointerAtItsOffset) {
    // Under Wine a pointer of another process cannot be drawn: the window and
    // its pointer are the test's own here.
    testsupport::ColourWindow front(200, 150, 90, 70, RGB(10, 200, 250), WS_POPUP, 0);
    SetForegroundWindow(front.hwnd());
    SetCursorPos(240, 180);
    HCURSOR arrow = LoadCursorW(nullptr, IDC_ARROW);
    SetCursor(arrow);
    testsupport::Pump(50);
    ASSERT_EQ(GetForegroundWindow(), front.hwnd());
    FrmTemp->ChkMouse.Value(1);
    FrmTemp->OClibpoard.Value(forms::True);
    FrmGeneral->BtnActiveWindow_Click();
    FrmGeneral->DoCapture();
    const forms::Picture& shot = FrmMain->Pic.Picture();
    EXPECT_EQ(shot.PixelWidth(), 90);
    EXPECT_EQ(testsupport::PixelOf(shot.Bitmap(), 80, 60), RGB(10, 200, 250));

    // The pointer image lands 9 pixels up and left of the pointer's place in the window.
    const RECT want = testsupport::PointerInk(arrow, RGB(10, 200, 250));
    const RECT got = testsupport::InkBox(shot.Bitmap(), 0x0AC8FA);
    ASSERT_GE(want.right, want.left) << "the pointer image has no ink";
    EXPECT_EQ(got.left, want.left + 31);
    EXPECT_EQ(got.top, want.top + 21);
    EXPECT_EQ(got.right, want.right + 31);
    EXPECT_EQ(got.bottom, want.bottom + 21);
}

TEST_F(CaptureRoad, ModeButtonsSelectOneAtATime) {
    FrmGeneral->BtnFullScreen_Click();
    EXPECT_TRUE(forms::IsTrue(FrmGeneral->BtnFullScreen.Selected()));
    FrmGeneral->BtnObject_Click();
    EXPECT_FALSE(forms::IsTrue(FrmGeneral->BtnFullScreen.Selected()));
    EXPECT_TRUE(forms::IsTrue(FrmGeneral->BtnObject.Selected()));
}

namespace {
class MainWindow : public ::testing::Test {
protected:
    void TearDown() override { FreshPages(); }
};
}  // namespace

TEST_F(MainWindow, PagesShowOneAtATimeWithTheirButtonSelected) {
    app::CFrmMain& main = *FrmMain;
    main.BtnHover3_Click();
    EXPECT_EQ(main.CurrentPage(), 3);
    EXPECT_TRUE(forms::IsTrue(main.P3.Visible()));
    EXPECT_FALSE(forms::IsTrue(main.P1.Visible()));
    EXPECT_TRUE(forms::IsTrue(main.BtnHover3.Selected()));
    EXPECT_FALSE(forms::IsTrue(main.BtnHover1.Selected()));
    // The page already shown: nothing else changes.
    main.P1.Visible(forms::True);
    main.BtnHover3_Click();
    EXPECT_TRUE(forms::IsTrue(main.P1.Visible()));
    main.BtnHover1_Click();
    EXPECT_FALSE(forms::IsTrue(main.P3.Visible()));
    EXPECT_TRUE(forms::IsTrue(main.P1.Visible()));
}

// What the strip shows, at whatever scaling the test runs: each label lies
// under its own icon (the tile that a selected icon shows), nearer to it than
// to the next icon, and across it.
TEST_F(MainWindow, EachPageLabelLiesUnderItsOwnIcon) {
    app::CFrmMain& main = *FrmMain;
    BtnHover* buttons[] = {&main.BtnHover1, &main.BtnHover2, &main.BtnHover3, &main.BtnHover4};
    forms::Label* labels[] = {&main.LblPage1, &main.LblPage2, &main.LblPage3, &main.LblPage4};
    const uint32_t strip = 0xFF963B;  // the strip's orange as 0x00RRGGBB
    RECT area{};
    GetClientRect(main.PicPanel.hWnd(), &area);
    RECT tiles[4], texts[4];
    for (int i = 0; i < 4; ++i) {
        main.SelectPanel(static_cast<int16_t>(i + 1));
        tiles[i] = testsupport::InkBox(buttons[i]->Pic.Image().Bitmap(), strip);
        ASSERT_LE(tiles[i].top, tiles[i].bottom) << "icon " << i << " shows nothing";
        RECT face{};
        GetWindowRect(buttons[i]->Pic.hWnd(), &face);
        MapWindowPoints(nullptr, main.PicPanel.hWnd(), reinterpret_cast<POINT*>(&face), 2);
        OffsetRect(&tiles[i], face.left, face.top);
        testsupport::CanvasObject canvas(area.right, area.bottom, RGB(255, 150, 59));
        labels[i]->Draw(canvas.dc());
        texts[i] = testsupport::InkBox(canvas.image(), strip);
        ASSERT_LE(texts[i].top, texts[i].bottom) << "label " << i << " shows nothing";
    }
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(forms::ToAnsi(labels[i]->Caption()));
        EXPECT_GT(texts[i].top, tiles[i].bottom) << "under its icon";
        if (i < 3) {
            EXPECT_LT(texts[i].top - tiles[i].bottom, tiles[i + 1].top - texts[i].bottom) << "nearer its own icon";
        }
        const LONG middle = (texts[i].left + texts[i].right) / 2;
        EXPECT_GT(middle, tiles[i].left) << "across its icon";
        EXPECT_LT(middle, tiles[i].right) << "across its icon";
    }
}

TEST_F(MainWindow, TheCloseBoxAndTheHideButtonOnlyHideBehindTheTrayIcon) {
    app::CFrmMain& main = *FrmMain;
    main.Show();
    testsupport::Pump(30);
    SendMessageW(main.hWnd(), WM_CLOSE, 0, 0);
    testsupport::Pump(30);
    ASSERT_TRUE(IsWindow(main.hWnd())) << "not unloaded";
    EXPECT_FALSE(IsWindowVisible(main.hWnd()));
    const NOTIFYICONDATAA& nid = cTray::Record();
    EXPECT_EQ(nid.hWnd, main.hWnd());
    EXPECT_EQ(nid.uCallbackMessage, static_cast<UINT>(WM_MOUSEMOVE));

    // A double-click on the icon arrives as a mouse move whose X is the message.
    SendMessageW(main.hWnd(), WM_MOUSEMOVE, 0, MAKELPARAM(WM_LBUTTONDBLCLK, 0));
    testsupport::Pump(30);
    EXPECT_TRUE(IsWindowVisible(main.hWnd()));
    FrmGeneral->BtnMinimize.Click();  // the capture page's push button, never on screen
    EXPECT_FALSE(IsWindowVisible(main.hWnd()));
    SendMessageW(main.hWnd(), WM_MOUSEMOVE, 0, MAKELPARAM(WM_LBUTTONDOWN, 0));
    testsupport::Pump(30);
    EXPECT_FALSE(IsWindowVisible(main.hWnd())) << "other messages do nothing";
    main.Tray().RemoveFromTray();
}

TEST(Tray, TheRecordCarriesWindowIconMessageAndAFixedTip) {
    app::CFrmMain& main = *FrmMain;
    cTray tray;
    tray.AddToTray(main, main.Icon(), L"Quorvane Capture 1.0");
    const NOTIFYICONDATAA& nid = cTray::Record();
    EXPECT_EQ(nid.cbSize, 88u);
    EXPECT_EQ(nid.uID, 1u);
    EXPECT_EQ(nid.uFlags, 7u);
    EXPECT_EQ(nid.uCallbackMessage, 512u);
    EXPECT_EQ(nid.hWnd, main.hWnd());
    EXPECT_EQ(reinterpret_cast<uintptr_t>(nid.hIcon), static_cast<uintptr_t>(main.Icon().Handle()));
    std::string tip(nid.szTip, 64);
    EXPECT_EQ(tip, std::string("Quorvane Capture 1.0") + '\0' + std::string(43, ' '));

    tray.AddToTray(main, main.Icon(), std::wstring(70, L'a'));
    EXPECT_EQ(std::string(nid.szTip, 64), std::string(64, 'a')) << "cut to 64, no room for the NUL";

    tray.RemoveFromTray();
    EXPECT_EQ(nid.uFlags, 0u);
    EXPECT_EQ(nid.hWnd, main.hWnd()) << "the removal reuses the last add";
}

namespace {
// The program's own way out: the main window ends the pages and itself.
class PagesEndFirst : public ::testing::Environment {
public:
    void TearDown() override {
        if (!FrmMain.Loaded()) return;
        try {
            FrmMain->Mnu_File_Exit_Click();
        } catch (const testsupport::EndCalled&) {
        }
        ForgetSettings();
        // Runs before the static forms go: the main window's end as a static
        // object stalls under Wine, so the test program leaves here.
        std::atexit([] {
            std::fflush(nullptr);
            _exit(::testing::UnitTest::GetInstance()->Passed() ? 0 : 1);
        });
    }
};
const auto* const kPagesEndFirst = ::testing::AddGlobalTestEnvironment(new PagesEndFirst);
}  // namespace
