// The platform controls and the windowless ones: option groups, default and
// cancel buttons, the drop-down list, check boxes, scroll bars, shapes,
// labels and images.
#include <gtest/gtest.h>

#include "forms/Error.h"
#include "forms/Forms.h"
#include "forms/Runtime.h"
#include "unit/common/TestSupport.h"

using namespace forms;
using testsupport::ErrorNumberOf;
using testsupport::PixelOf;

namespace {

// Lets messages run through the runtime's loop (with its key handling).
void Events(int ms) {
    DWORD end = GetTickCount() + static_cast<DWORD>(ms);
    do {
        DoEvents();
        Sleep(1);
    } while (static_cast<int>(end - GetTickCount()) > 0);
}

class OptionsForm : public Form {
public:
    PictureBox Dest{this, L"Dest"};
    OptionButton OFile{&Dest, L"OFile", L"Image File"};
    OptionButton OClip{&Dest, L"OClip", L"Windows Clipboard"};
    PictureBox Fmt{this, L"Fmt"};
    OptionButton OJpg{&Fmt, L"OJpg", L"Jpeg"};
    OptionButton OBmp{&Fmt, L"OBmp", L"Bitmap"};
    CheckBox ChkMouse{this, L"ChkMouse", L"Include mouse pointer"};
    ComboBox CmbQ{this, L"CmbQ"};
    TextBox Txt{this, L"Txt"};
    CommandButton CmdSave{this, L"CmdSave", L"Save"};
    CommandButton CmdCancel{this, L"CmdCancel", L"Cancel"};
    HScrollBar Hs{this, L"Hs"};
    std::vector<std::wstring> log;
    OptionsForm() {
        ClientSize(6000, 5000);
        Dest.Move(0, 0, 3000, 1000);
        OFile.Move(0, 0, 2000, 300);
        OClip.Move(0, 400, 2000, 300);
        OFile.Value(True);
        Fmt.Move(3000, 0, 3000, 1000);
        OJpg.Move(0, 0, 2000, 300);
        OBmp.Move(0, 400, 2000, 300);
        OJpg.Value(True);
        ChkMouse.Move(0, 1200, 3000, 300);
        CmbQ.Move(0, 1600, 1500, 315);
        Txt.Move(0, 2000, 3000, 315);
        CmdSave.Move(0, 2500, 1050, 330);
        CmdCancel.Move(1200, 2500, 1050, 330);
        CmdSave.Default(True);
        CmdCancel.Cancel(True);
        Hs.Move(0, 3000, 3000, 255);
        for (auto* o : {&OFile, &OClip, &OJpg, &OBmp}) o->Click = [this, o] { log.push_back(o->Name); };
        CmdSave.Click = [this] { log.push_back(L"save"); };
        CmdCancel.Click = [this] { log.push_back(L"cancel"); };
        CmbQ.Click = [this] { log.push_back(L"cmb " + CmbQ.Text()); };
        ChkMouse.Click = [this] { log.push_back(L"chk " + std::to_wstring(ChkMouse.Value())); };
    }
    void Form_Load() override {
        for (int q = 10; q <= 100; q += 10) CmbQ.AddItem(Str(q));
        CmbQ.ListIndex(8);
    }
};

bool Checked(const Window& w) { return SendMessageW(w.hWnd(), BM_GETCHECK, 0, 0) == BST_CHECKED; }

}  // namespace

TEST(OptionButtons, OneSetButtonPerContainer) {
    OptionsForm f;
    f.Load();
    EXPECT_TRUE(IsTrue(f.OFile.Value()));
    EXPECT_TRUE(IsTrue(f.OJpg.Value()));
    EXPECT_TRUE(Checked(f.OFile));
    f.log.clear();
    f.OClip.Value(True);
    EXPECT_FALSE(IsTrue(f.OFile.Value()));
    EXPECT_FALSE(Checked(f.OFile));
    EXPECT_TRUE(Checked(f.OClip));
    EXPECT_TRUE(IsTrue(f.OJpg.Value()));  // the other group is left alone
    EXPECT_EQ(f.log, std::vector<std::wstring>{L"OClip"});
    // Setting the set button again raises nothing; a user's click sets it.
    f.OClip.Value(True);
    SendMessageW(f.OBmp.hWnd(), BM_CLICK, 0, 0);
    EXPECT_TRUE(IsTrue(f.OBmp.Value()));
    EXPECT_FALSE(IsTrue(f.OJpg.Value()));
    EXPECT_TRUE(IsTrue(f.OClip.Value()));
    EXPECT_EQ(f.log, (std::vector<std::wstring>{L"OClip", L"OBmp"}));
    // Clearing a button leaves the group with none set.
    f.OBmp.Value(False);
    EXPECT_FALSE(IsTrue(f.OJpg.Value()));
    EXPECT_EQ(GetBy(f.OBmp, L"Value").AsBoolean(), False);
}

TEST(CommandButtons, EnterPressesTheDefaultAndEscTheCancelButton) {
    OptionsForm f;
    f.Show();
    SetForegroundWindow(f.hWnd());
    f.Txt.SetFocus();
    f.log.clear();
    PostMessageW(f.Txt.hWnd(), WM_KEYDOWN, VK_RETURN, 0);
    Events(30);
    EXPECT_EQ(f.log, std::vector<std::wstring>{L"save"});
    PostMessageW(f.Txt.hWnd(), WM_KEYDOWN, VK_ESCAPE, 0);
    Events(30);
    EXPECT_EQ(f.log, (std::vector<std::wstring>{L"save", L"cancel"}));
    // Enter on a focused button presses that one.
    f.CmdCancel.SetFocus();
    PostMessageW(f.CmdCancel.hWnd(), WM_KEYDOWN, VK_RETURN, 0);
    Events(30);
    EXPECT_EQ(f.log.back(), L"cancel");
    // Only one default per form; a disabled default is not pressed.
    f.CmdCancel.Default(True);
    EXPECT_FALSE(IsTrue(f.CmdSave.Default()));
    f.CmdCancel.Enabled(False);
    f.log.clear();
    f.Txt.SetFocus();
    PostMessageW(f.Txt.hWnd(), WM_KEYDOWN, VK_RETURN, 0);
    Events(30);
    EXPECT_TRUE(f.log.empty());
    // Tab moves the focus to the next control that takes it.
    f.Txt.SetFocus();
    PostMessageW(f.Txt.hWnd(), WM_KEYDOWN, VK_TAB, 0);
    Events(30);
    EXPECT_EQ(GetFocus(), f.CmdSave.hWnd());
    // A click of the user raises Click once.
    f.CmdCancel.Enabled(True);
    SendMessageW(f.CmdSave.hWnd(), BM_CLICK, 0, 0);
    EXPECT_EQ(f.log, std::vector<std::wstring>{L"save"});
    Unload(f);
}

TEST(ComboBoxes, DropDownListOfItems) {
    OptionsForm f;
    f.Load();
    EXPECT_EQ(f.CmbQ.ListCount(), 10);
    EXPECT_EQ(f.CmbQ.ListIndex(), 8);
    EXPECT_EQ(f.CmbQ.Text(), L" 90");
    EXPECT_EQ(CLng(f.CmbQ.List(f.CmbQ.ListIndex())), 90);
    EXPECT_EQ(f.CmbQ.List(10), L"");
    EXPECT_EQ(f.CmbQ.List(-1), L" 90");
    EXPECT_EQ(ErrorNumberOf([&] { f.CmbQ.List(-2); }), 381);
    EXPECT_EQ(SendMessageW(f.CmbQ.hWnd(), CB_GETCURSEL, 0, 0), 8);
    EXPECT_EQ(SendMessageW(f.CmbQ.hWnd(), CB_GETCOUNT, 0, 0), 10);
    // Setting ListIndex in code raises Click when it changes.
    f.log.clear();
    f.CmbQ.ListIndex(0);
    f.CmbQ.ListIndex(0);
    EXPECT_EQ(f.log, std::vector<std::wstring>{L"cmb  10"});
    EXPECT_EQ(ErrorNumberOf([&] { f.CmbQ.ListIndex(10); }), err::InvalidPropertyValue);
    // The user's choice.
    SendMessageW(f.CmbQ.hWnd(), CB_SETCURSEL, 3, 0);
    SendMessageW(f.hWnd(), WM_COMMAND, MAKEWPARAM(0, CBN_SELCHANGE), reinterpret_cast<LPARAM>(f.CmbQ.hWnd()));
    EXPECT_EQ(f.CmbQ.ListIndex(), 3);
    EXPECT_EQ(f.log.back(), L"cmb  40");
    // Items inserted before the selection keep the same item selected.
    f.CmbQ.AddItem(L"first", 0);
    EXPECT_EQ(f.CmbQ.Text(), L" 40");
    EXPECT_EQ(ErrorNumberOf([&] { f.CmbQ.AddItem(L"x", 99); }), err::InvalidCall);
    f.CmbQ.RemoveItem(4);
    EXPECT_EQ(f.CmbQ.ListIndex(), -1);
    EXPECT_EQ(f.CmbQ.Text(), L"");
    CallBy(f.CmbQ, L"Clear");
    EXPECT_EQ(GetBy(f.CmbQ, L"ListCount").AsInteger(), 0);
    EXPECT_EQ(SendMessageW(f.CmbQ.hWnd(), CB_GETCOUNT, 0, 0), 0);
    // Items added before the window exists are there when it is made.
    ComboBox early(&f.Dest);
    early.AddItem(L"a");
    early.AddItem(L"b");
    early.ListIndex(1);
    CallBy(f.Dest, L"Refresh");
    Unload(f);
    f.Load();
    EXPECT_EQ(SendMessageW(early.hWnd(), CB_GETCURSEL, 0, 0), 1);
}

TEST(CheckBoxes, ValueAndClick) {
    OptionsForm f;
    f.Load();
    f.log.clear();
    f.ChkMouse.Value(vbChecked);
    EXPECT_EQ(SendMessageW(f.ChkMouse.hWnd(), BM_GETCHECK, 0, 0), BST_CHECKED);
    SendMessageW(f.ChkMouse.hWnd(), BM_CLICK, 0, 0);
    EXPECT_EQ(f.ChkMouse.Value(), vbUnchecked);
    f.ChkMouse.Value(vbGrayed);
    EXPECT_EQ(SendMessageW(f.ChkMouse.hWnd(), BM_GETCHECK, 0, 0), BST_INDETERMINATE);
    EXPECT_EQ(f.log, (std::vector<std::wstring>{L"chk 1", L"chk 0", L"chk 2"}));
    EXPECT_EQ(ErrorNumberOf([&] { f.ChkMouse.Value(3); }), err::InvalidPropertyValue);
    LetBy(f.ChkMouse, L"Value", 1);
    EXPECT_EQ(GetBy(f.ChkMouse, L"Value").AsInteger(), 1);
}

TEST(TextBoxes, TextAndChange) {
    OptionsForm f;
    int changes = 0;
    f.Txt.Change = [&] { ++changes; };
    f.Txt.Text(L"before load");
    f.Load();
    EXPECT_EQ(f.Txt.Text(), L"before load");
    f.Txt.Text(L"C:\\Images");
    f.Txt.Text(L"C:\\Images");
    EXPECT_EQ(changes, 2);
    SetWindowTextW(f.Txt.hWnd(), L"typed");
    EXPECT_EQ(f.Txt.Text(), L"typed");
    EXPECT_EQ(changes, 3);
    f.Txt.Locked(True);
    EXPECT_TRUE(GetWindowLongW(f.Txt.hWnd(), GWL_STYLE) & ES_READONLY);
}

TEST(ScrollBars, RangeValueAndEvents) {
    OptionsForm f;
    f.Load();
    int changes = 0, scrolls = 0;
    f.Hs.Change = [&] { ++changes; };
    f.Hs.Scroll = [&] { ++scrolls; };
    f.Hs.Min(0);
    f.Hs.Max(100);
    f.Hs.SmallChange(5);
    f.Hs.LargeChange(20);
    f.Hs.Value(50);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(GetScrollPos(f.Hs.hWnd(), SB_CTL), 50);
    // A value outside the range is refused and nothing moves.
    EXPECT_EQ(ErrorNumberOf([&] { f.Hs.Value(101); }), err::InvalidPropertyValue);
    EXPECT_EQ(f.Hs.Value(), 50);
    SendMessageW(f.hWnd(), WM_HSCROLL, SB_LINEDOWN, reinterpret_cast<LPARAM>(f.Hs.hWnd()));
    EXPECT_EQ(f.Hs.Value(), 55);
    SendMessageW(f.hWnd(), WM_HSCROLL, SB_PAGEUP, reinterpret_cast<LPARAM>(f.Hs.hWnd()));
    EXPECT_EQ(f.Hs.Value(), 35);
    SendMessageW(f.hWnd(), WM_HSCROLL, SB_PAGEDOWN, reinterpret_cast<LPARAM>(f.Hs.hWnd()));
    SendMessageW(f.hWnd(), WM_HSCROLL, SB_PAGEDOWN, reinterpret_cast<LPARAM>(f.Hs.hWnd()));
    SendMessageW(f.hWnd(), WM_HSCROLL, SB_PAGEDOWN, reinterpret_cast<LPARAM>(f.Hs.hWnd()));
    EXPECT_EQ(f.Hs.Value(), 95);
    SendMessageW(f.hWnd(), WM_HSCROLL, SB_PAGEDOWN, reinterpret_cast<LPARAM>(f.Hs.hWnd()));
    EXPECT_EQ(f.Hs.Value(), 100);  // stops at the end
    EXPECT_EQ(changes, 7);
    EXPECT_EQ(scrolls, 0);
    EXPECT_EQ(ErrorNumberOf([&] { f.Hs.SmallChange(0); }), err::InvalidPropertyValue);
    // A smaller Max pulls the value back into the range.
    f.Hs.Max(10);
    EXPECT_EQ(f.Hs.Value(), 0);
}

// ---- windowless controls, seen through PrintWindow ----

namespace {

class ShapesForm : public Form {
public:
    Shape Sh{this, L"Sh"};
    Label Lbl{this, L"Lbl", L"Prefix:"};
    forms::Image Img{this, L"Img"};
    ShapesForm() {
        BorderStyle(vbBSNone);
        ClientSize(3000, 3000);
        BackColor(static_cast<int32_t>(RGB(0, 0, 255)));
    }
};

struct Capture {
    HBITMAP bmp;
    explicit Capture(HWND h) {
        RECT r;
        GetClientRect(h, &r);
        HDC screen = GetDC(nullptr);
        bmp = CreateCompatibleBitmap(screen, r.right, r.bottom);
        HDC dc = CreateCompatibleDC(screen);
        ReleaseDC(nullptr, screen);
        HGDIOBJ old = SelectObject(dc, bmp);
        SendMessageW(h, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
        SelectObject(dc, old);
        DeleteDC(dc);
    }
    ~Capture() { DeleteObject(bmp); }
    COLORREF at(int x, int y) const { return PixelOf(bmp, x, y); }
};

const COLORREF kBlue = RGB(0, 0, 255), kRed = RGB(255, 0, 0), kBlack = RGB(0, 0, 0);

}  // namespace

TEST(Shapes, SolidWideAndDottedBorders) {
    ShapesForm f;
    f.Load();
    f.Sh.BorderColor(static_cast<int32_t>(kRed));
    f.Sh.BorderWidth(2);
    f.Sh.Move(150, 150, 300, 300);  // 10, 10, 20 x 20 pixels
    {
        Capture c(f.hWnd());
        EXPECT_EQ(c.at(10, 10), kRed);
        EXPECT_EQ(c.at(10, 20), kRed);
        EXPECT_EQ(c.at(20, 20), kBlue);  // hollow inside
        EXPECT_EQ(c.at(5, 5), kBlue);
    }
    // Dotted, one pixel: some border pixels show the background between the dots.
    f.Sh.BorderWidth(1);
    f.Sh.BorderStyle(vbBSDot);
    f.Sh.BorderColor(0);
    {
        Capture c(f.hWnd());
        int black = 0, blue = 0;
        for (int x = 10; x < 30; ++x) {
            black += c.at(x, 10) == kBlack;
            blue += c.at(x, 10) == kBlue;
        }
        EXPECT_GT(black, 3);
        EXPECT_GT(blue, 3);
    }
    // A dotted border wider than one pixel is solid.
    f.Sh.BorderWidth(3);
    {
        Capture c(f.hWnd());
        for (int x = 12; x < 28; ++x) EXPECT_EQ(c.at(x, 10), kBlack) << x;
    }
    // Filled, and hidden.
    f.Sh.FillStyle(vbFSSolid);
    f.Sh.FillColor(static_cast<int32_t>(kRed));
    {
        Capture c(f.hWnd());
        EXPECT_EQ(c.at(20, 20), kRed);
    }
    f.Sh.Visible(False);
    {
        Capture c(f.hWnd());
        EXPECT_EQ(c.at(10, 10), kBlue);
    }
    EXPECT_EQ(ErrorNumberOf([&] { f.Sh.BorderWidth(0); }), err::InvalidPropertyValue);
    EXPECT_EQ(ErrorNumberOf([&] { f.Sh.BorderStyle(7); }), err::InvalidPropertyValue);
}

TEST(Images, NaturalSizeOrStretched) {
    ShapesForm f;
    f.Load();
    Picture pic = LoadResPicture(1, resCursor);  // 32 x 32
    f.Img.Move(0, 0, 1500, 1500);
    f.Img.Picture(pic);
    EXPECT_EQ(f.Img.Width(), 32 * 15);  // without Stretch it takes the picture's size
    f.Img.Stretch(True);
    f.Img.Move(0, 0, 1500, 1500);
    EXPECT_EQ(f.Img.Width(), 1500);
    EXPECT_EQ(f.Img.hWnd(), nullptr);  // windowless
    EXPECT_EQ(GetBy(f.Img, L"Stretch").AsBoolean(), True);
}

TEST(Labels, CaptionColoursAndAutoSize) {
    ShapesForm f;
    f.Load();
    f.Lbl.Move(0, 0, 1500, 300);
    f.Lbl.BackColor(static_cast<int32_t>(RGB(0, 255, 0)));
    f.Lbl.ForeColor(static_cast<int32_t>(kRed));
    {
        Capture c(f.hWnd());
        EXPECT_EQ(c.at(99, 19), RGB(0, 255, 0));
        int red = 0;
        for (int y = 0; y < 15; ++y)
            for (int x = 0; x < 40; ++x) red += c.at(x, y) == kRed;
        EXPECT_GT(red, 5);
    }
    f.Lbl.BackStyle(0);
    {
        Capture c(f.hWnd());
        EXPECT_EQ(c.at(99, 19), kBlue);  // transparent: the form shows through
    }
    f.Lbl.AutoSize(True);
    const float w = f.Lbl.Width();
    EXPECT_LT(w, 1500);
    f.Lbl.Caption(L"Prefix: and more");
    EXPECT_GT(f.Lbl.Width(), w);
    f.Lbl.Enabled(False);
    EXPECT_EQ(GetBy(f.Lbl, L"Caption").AsString(), L"Prefix: and more");
}
