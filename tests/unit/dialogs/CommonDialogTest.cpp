// The dialog object: its properties, the save road of the preview window,
// cancels and errors, events through the hook, and the helpers for
// listeners. The platform's real dialogs run, driven from a helper thread.
#include <windows.h>
#include <commdlg.h>
#include <dlgs.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "dialogs/cCommonDialog.h"
#include "forms/Runtime.h"
#include "unit/common/DialogDriver.h"
#include "unit/common/TestSupport.h"
#include "unit/dialogs/DialogTestSupport.h"

using testsupport::DialogDriver;
using testsupport::ErrorNumberOf;
using namespace std::string_literals;

namespace {

const std::wstring kSource = forms::App.EXEName() + L".cCommonDialog";

// The preview window's settings for a BMP file.
void PreviewSettings(cCommonDialog& d) {
    d.DialogTitle(L"Save Image");
    d.flags(2);
    d.Filter(L"Bitmap (*.bmp)|*.bmp");
    d.DefaultExt(L"*.bmp");
}

TEST(CommonDialog, NewObjectStartsEmpty) {
    cCommonDialog d;
    EXPECT_EQ(d.FilterIndex(), 1);
    EXPECT_EQ(d.CancelError(), forms::False);
    EXPECT_EQ(d.HookDialog(), forms::False);
    for (int32_t v : {d.Color(), d.Copies(), d.flags(), d.FontColor(), d.FromPage(), d.HelpCommand(), d.Max(),
                      d.MaxFileSize(), d.Min(), d.ToPage(), d.TemplateName(), int32_t{d.PrinterDefault()}})
        EXPECT_EQ(v, 0);
    for (const std::wstring& s : {d.FileName(), d.Filter(), d.DefaultExt(), d.DialogTitle(), d.HelpContext(),
                                  d.HelpFile(), d.HelpKey(), d.InitDir(), d.FileTitle()})
        EXPECT_EQ(s, L"");
    EXPECT_EQ(d.hwnd(), nullptr);
    EXPECT_EQ(d.hInstance(), nullptr);
    EXPECT_EQ(d.Object(), nullptr);
    EXPECT_EQ(d.PrinterName(), L"");
    EXPECT_EQ(d.PrinterDriver(), L"");
    EXPECT_EQ(d.PrinterOutputPort(), L"");
}

TEST(CommonDialog, FontPropertiesWorkOnTheFontObject) {
    cCommonDialog d;
    auto font = d.Font();
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(d.Font(), font);    // created once
    EXPECT_EQ(d.FontSize(), 8);   // 8.25 points read as a whole number
    d.FontSize(10);
    EXPECT_EQ(d.FontSize(), 10);
    EXPECT_FLOAT_EQ(font->Size(), 10.0f);
    d.FontBold(forms::True);
    d.FontItalic(forms::True);
    d.FontUnderline(forms::True);
    d.FontStrikethru(forms::True);
    d.FontName(L"Arial");
    EXPECT_EQ(font->Bold(), forms::True);
    EXPECT_EQ(d.FontItalic(), forms::True);
    EXPECT_EQ(d.FontUnderline(), forms::True);
    EXPECT_EQ(d.FontStrikethru(), forms::True);
    EXPECT_EQ(font->Name(), L"Arial");

    auto other = std::make_shared<forms::StdFont>(L"Tahoma", 12.5f);
    d.Font(other);
    EXPECT_EQ(d.Font(), other);  // a reference, not a copy
    EXPECT_EQ(d.FontSize(), 12);  // halves go to the even neighbour
    EXPECT_EQ(d.FontName(), L"Tahoma");
}

TEST(CommonDialog, CustomColoursStartAsTheSystemColours) {
    cCommonDialog d;
    EXPECT_EQ(d.CustomColor(15), static_cast<int32_t>(GetSysColor(15)));
    EXPECT_EQ(d.CustomColor(0), static_cast<int32_t>(GetSysColor(0)));
    EXPECT_EQ(d.CustomColor(16), -1);
    EXPECT_EQ(d.CustomColor(-1), -1);
    d.CustomColor(16, 0x123456);
    EXPECT_EQ(d.CustomColor(16), -1);
    d.CustomColor(3, 0x123456);
    EXPECT_EQ(d.CustomColor(3), 0x123456);
    cCommonDialog other;  // each object keeps its own
    EXPECT_EQ(other.CustomColor(3), static_cast<int32_t>(GetSysColor(3)));
}

// -- the save road ------------------------------------------------------------

TEST(CommonDialog, PreviewRoadReturnsTheChosenPath) {
    const std::wstring dir = testsupport::TempDir(L"dlg_save");
    const std::wstring path = dir + L"\\shot.bmp";
    cCommonDialog d;
    PreviewSettings(d);
    DialogDriver drv(IDOK, [&](HWND dlg) { dialogtest::TypeName(dlg, path); });
    d.ShowSave();
    ASSERT_TRUE(drv.Done());
    EXPECT_EQ(drv.Title(), L"Save Image");
    EXPECT_EQ(d.ConfirmOK(), forms::True);
    EXPECT_EQ(d.FileName(), path);
    EXPECT_EQ(d.FileTitle(), L"shot.bmp");
    EXPECT_EQ(d.Filter(), L"Bitmap (*.bmp)\0*.bmp"s);
    EXPECT_EQ(d.FilterIndex(), 1);
    EXPECT_EQ(d.flags() & 6, 6);  // what the dialog returned, with the flags it was given
    EXPECT_FALSE(dialogtest::FileExists(path));  // the dialog only names the file
}

TEST(CommonDialog, SaveCancelledRaisesNothingByDefault) {
    cCommonDialog d;
    PreviewSettings(d);
    d.FileName(L"old.bmp");
    DialogDriver drv(IDCANCEL);
    EXPECT_NO_THROW(d.ShowSave());
    ASSERT_TRUE(drv.Done());
    EXPECT_EQ(d.FileName(), L"");
    EXPECT_EQ(d.FileTitle(), L"");
    EXPECT_EQ(d.Filter(), L"");
    EXPECT_EQ(d.flags(), 0);
    EXPECT_EQ(d.FilterIndex(), 0);
}

TEST(CommonDialog, CancelErrorTurnsACancelIntoError20001) {
    cCommonDialog d;
    PreviewSettings(d);
    d.CancelError(forms::True);
    DialogDriver drv(IDCANCEL);
    try {
        d.ShowSave();
        ADD_FAILURE() << "no error";
    } catch (const forms::Error& e) {
        EXPECT_EQ(e.Number, 20001);
        EXPECT_EQ(e.Description, L"User selected cancel.");
        EXPECT_EQ(e.Source, kSource);
    }
    ASSERT_TRUE(drv.Done());

    d.Filter(L"Any|*.*");
    DialogDriver open(IDCANCEL);
    EXPECT_EQ(ErrorNumberOf([&] { d.ShowOpen(); }), 20001);
    ASSERT_TRUE(open.Done());
    EXPECT_EQ(d.FilterIndex(), -1);  // a cancelled open
}

TEST(CommonDialog, SecondFilterChosen) {
    const std::wstring dir = testsupport::TempDir(L"dlg_filter");
    cCommonDialog d;
    d.Filter(L"Bitmap (*.bmp)|*.bmp|JPEG (*.JPEG;*.JPG)|*.jpeg;*.jpg");
    d.FilterIndex(2);
    std::wstring shownType;
    DialogDriver drv(IDOK, [&](HWND dlg) {
        shownType = DialogDriver::Text(GetDlgItem(dlg, cmb1));
        dialogtest::TypeName(dlg, dir + L"\\shot.jpg");
    });
    d.ShowSave();
    ASSERT_TRUE(drv.Done());
    EXPECT_EQ(shownType, L"JPEG (*.JPEG;*.JPG)");
    EXPECT_EQ(d.FilterIndex(), 2);
    EXPECT_EQ(d.Filter(), L"JPEG (*.JPEG;*.JPG)\0*.jpeg;*.jpg"s);
    EXPECT_EQ(d.FileName(), dir + L"\\shot.jpg");
}

TEST(CommonDialog, OpenWithFilterIndexZeroShowsTheFirstFilter) {
    cCommonDialog d;
    d.Filter(L"Text|*.txt|All|*.*");
    d.FilterIndex(0);
    std::wstring shownType;
    DialogDriver drv(IDCANCEL, [&](HWND dlg) { shownType = DialogDriver::Text(GetDlgItem(dlg, cmb1)); });
    d.ShowOpen();
    ASSERT_TRUE(drv.Done());
    EXPECT_EQ(shownType, L"Text");
}

TEST(CommonDialog, OpenReturnsAnExistingFileAndItsReadOnlyChoice) {
    const std::wstring dir = testsupport::TempDir(L"dlg_open");
    testsupport::WriteFileBytes(dir + L"\\a.txt", "a");
    cCommonDialog d;
    d.Filter(L"Text|*.txt");
    d.InitDir(dir);
    d.flags(OFN_FILEMUSTEXIST | OFN_HIDEREADONLY);
    DialogDriver drv(IDOK, [&](HWND dlg) { dialogtest::TypeName(dlg, L"a.txt"); });
    d.ShowOpen();
    ASSERT_TRUE(drv.Done());
    EXPECT_EQ(d.FileName(), dir + L"\\a.txt");
    EXPECT_EQ(d.FileTitle(), L"a.txt");
    EXPECT_EQ(d.flags() & (OFN_FILEMUSTEXIST | OFN_HIDEREADONLY), OFN_FILEMUSTEXIST | OFN_HIDEREADONLY);
    std::wstring sDir;
    std::vector<std::wstring> files;
    int32_t count = 0;
    d.ParseMultiFileName(sDir, files, count);
    EXPECT_EQ(sDir, dir);
    EXPECT_EQ(files, std::vector<std::wstring>{L"a.txt"});
}

TEST(CommonDialog, MultiSelectOpenReturnsTheFolderAndEveryName) {
    const std::wstring dir = testsupport::TempDir(L"dlg_multi");
    testsupport::WriteFileBytes(dir + L"\\x.bmp", "x");
    testsupport::WriteFileBytes(dir + L"\\y.bmp", "y");
    cCommonDialog d;
    d.Filter(L"Bitmap|*.bmp");
    d.InitDir(dir);
    d.flags(OFN_ALLOWMULTISELECT);
    DialogDriver drv(IDOK, [&](HWND dlg) { dialogtest::TypeName(dlg, L"\"x.bmp\" \"y.bmp\""); });
    d.ShowOpen();
    ASSERT_TRUE(drv.Done());
    EXPECT_EQ(d.FileName().size(), 8192u);  // the whole buffer, NULs and all
    std::wstring sDir;
    std::vector<std::wstring> files;
    int32_t count = 0;
    d.ParseMultiFileName(sDir, files, count);
    EXPECT_EQ(sDir, dir);
    EXPECT_EQ(count, 2);
    EXPECT_EQ(files, (std::vector<std::wstring>{L"x.bmp", L"y.bmp"}));
}

TEST(CommonDialog, TemplateFlagWithoutModuleIsDropped) {
    const std::wstring dir = testsupport::TempDir(L"dlg_tpl");
    cCommonDialog d;
    d.flags(OFN_ENABLETEMPLATE | OFN_OVERWRITEPROMPT);
    d.TemplateName(100);
    DialogDriver drv(IDOK, [&](HWND dlg) { dialogtest::TypeName(dlg, dir + L"\\t.bmp"); });
    d.ShowSave();
    ASSERT_TRUE(drv.Done());
    EXPECT_EQ(d.FileName(), dir + L"\\t.bmp");
    EXPECT_EQ(d.flags() & OFN_ENABLETEMPLATE, 0);
}

TEST(CommonDialog, FailedDialogRaisesItsExtendedError) {
    // A template that the module does not hold: the platform refuses the
    // dialog, which must not read as a cancel.
    cCommonDialog d;
    d.hInstance(GetModuleHandleW(nullptr));
    d.flags(OFN_ENABLETEMPLATE);
    d.TemplateName(31999);
    DialogDriver drv(IDCANCEL);
    try {
        d.ShowOpen();
        ADD_FAILURE() << "no error";
    } catch (const forms::Error& e) {
        EXPECT_EQ(e.Number, CDERR_FINDRESFAILURE | 0x348A);
        EXPECT_EQ(e.Source, kSource);
    }
    EXPECT_FALSE(drv.Done());  // no dialog was shown
    EXPECT_EQ(d.FileName(), L"");

    // The next cancel on the same object is a plain cancel again.
    DialogDriver colour(IDCANCEL);
    EXPECT_NO_THROW(d.ShowColor());
    ASSERT_TRUE(colour.Done());
    d.flags(0);
    DialogDriver save(IDCANCEL);
    EXPECT_NO_THROW(d.ShowSave());
    ASSERT_TRUE(save.Done());
}

TEST(CommonDialog, NameTooLongForTheBufferFailsBeforeAnyDialog) {
    cCommonDialog d;
    d.FileName(std::wstring(300, L'a'));
    DialogDriver drv(IDCANCEL);
    EXPECT_EQ(ErrorNumberOf([&] { d.ShowSave(); }), forms::err::InvalidCall);
    EXPECT_FALSE(drv.Done());
}

// -- events through the hook --------------------------------------------------

class WindowObject : public forms::Object {
public:
    explicit WindowObject(HWND h) : h_(h) {}
    forms::Variant GetProperty(std::wstring_view name) override {
        if (forms::NameIs(name, L"hwnd")) return static_cast<int32_t>(reinterpret_cast<INT_PTR>(h_));
        return forms::Object::GetProperty(name);
    }

private:
    HWND h_;
};

TEST(CommonDialog, HookedSaveRaisesTheEvents) {
    const std::wstring dir = testsupport::TempDir(L"dlg_hook");
    cCommonDialog d;
    PreviewSettings(d);
    d.HookDialog(forms::True);
    int inits = 0, oks = 0, closes = 0;
    HWND initDlg = nullptr;
    int32_t l = 0, t = 0, w = 0, h = 0;
    d.Event.InitDialog = [&](HWND hDlg) {
        ++inits;
        initDlg = hDlg;
    };
    d.Event.DialogOK = [&](forms::Boolean&) {
        ++oks;
        d.GetDialogSize(initDlg, l, t, w, h);
    };
    d.Event.DialogClose = [&] { ++closes; };
    DialogDriver drv(IDOK, [&](HWND dlg) { dialogtest::TypeName(dlg, dir + L"\\h.bmp"); });
    d.ShowSave();
    ASSERT_TRUE(drv.Done());
    EXPECT_EQ(d.FileName(), dir + L"\\h.bmp");
    EXPECT_EQ(inits, 1);
    EXPECT_EQ(oks, 1);
    EXPECT_GE(closes, 1);
    ASSERT_NE(initDlg, nullptr);
    // The hook sees the child inside the dialog; the size is the dialog's.
    EXPECT_GT(w, 200);
    EXPECT_GT(h, 150);
}

TEST(CommonDialog, ListenerCentresTheHookedFileDialog) {
    cCommonDialog d;
    PreviewSettings(d);
    d.HookDialog(forms::True);
    testsupport::ColourWindow owner(0, 0, 1000, 700, RGB(9, 9, 9));
    d.hwnd(owner.hwnd());
    d.Event.FolderChange = [&](HWND hDlg) { d.CentreDialog(hDlg, std::make_shared<WindowObject>(owner.hwnd())); };
    RECT rc{};
    DialogDriver drv(IDCANCEL, [&](HWND dlg) {
        Sleep(200);
        GetWindowRect(dlg, &rc);
    });
    d.ShowSave();
    ASSERT_TRUE(drv.Done());
    // The dialog around the hook's child was moved, not the child itself.
    EXPECT_EQ(rc.left, (1000 - (rc.right - rc.left)) / 2);
    EXPECT_EQ(rc.top, (700 - (rc.bottom - rc.top)) / 2);
}

TEST(CommonDialog, ListenerRefusingOkKeepsTheDialogOpen) {
    const std::wstring dir = testsupport::TempDir(L"dlg_refuse");
    cCommonDialog d;
    PreviewSettings(d);
    d.HookDialog(forms::True);
    HWND hookDlg = nullptr;
    int refusals = 0;
    d.Event.InitDialog = [&](HWND hDlg) { hookDlg = hDlg; };
    d.Event.DialogOK = [&](forms::Boolean& bCancel) {
        bCancel = forms::True;
        ++refusals;
        // The dialog stayed open: the user gives up.
        PostMessageW(GetParent(hookDlg), WM_COMMAND, IDCANCEL, 0);
    };
    DialogDriver drv(IDOK, [&](HWND dlg) { dialogtest::TypeName(dlg, dir + L"\\r.bmp"); });
    d.ShowSave();
    ASSERT_TRUE(drv.Done());
    EXPECT_EQ(refusals, 1);
    EXPECT_EQ(d.FileName(), L"");
}

TEST(CommonDialog, ConfirmOkFollowsItsListener) {
    cCommonDialog d;
    EXPECT_EQ(d.ConfirmOK(), forms::True);
    d.Event.DialogOK = [](forms::Boolean& bCancel) { bCancel = forms::True; };
    EXPECT_EQ(d.ConfirmOK(), forms::False);
    d.Event.DialogOK = [](forms::Boolean& bCancel) { bCancel = 1; };  // any value but False refuses
    EXPECT_EQ(d.ConfirmOK(), forms::False);
}

TEST(CommonDialog, NotificationMethodsRaiseTheirEventsAndReturnZero) {
    cCommonDialog d;
    std::vector<std::wstring> seen;
    d.Event.TypeChange = [&](HWND) { seen.push_back(L"type"); };
    d.Event.FileChange = [&](HWND) { seen.push_back(L"file"); };
    d.Event.FolderChange = [&](HWND) { seen.push_back(L"folder"); };
    d.Event.WMCommand = [&](HWND, WPARAM& w, LPARAM& l) { seen.push_back(std::to_wstring(w + l)); };
    HWND h = reinterpret_cast<HWND>(0x1234);
    EXPECT_EQ(forms::CallBy(d, L"TypeChange", {int32_t{0x1234}}).AsLong(), 0);
    EXPECT_EQ(d.FileChange(h), 0);
    EXPECT_EQ(d.FolderChange(h), 0);
    forms::CallBy(d, L"WMCommand", {int32_t{0x1234}, int32_t{3}, int32_t{4}});
    EXPECT_EQ(d.InitDialog(h), 0);  // no listener: nothing happens
    EXPECT_EQ(seen, (std::vector<std::wstring>{L"type", L"file", L"folder", L"7"}));
    EXPECT_EQ(forms::CallBy(d, L"ConfirmOK").AsBoolean(), forms::True);
    EXPECT_EQ(ErrorNumberOf([&] { forms::CallBy(d, L"ShowSave"); }), forms::err::NoSuchMember);
}

// -- colour, font, printer, help ----------------------------------------------

TEST(CommonDialog, ColourStartsOnTheTranslatedSystemColour) {
    cCommonDialog d;
    d.Color(static_cast<int32_t>(0x8000000F));
    DialogDriver ok(IDOK);
    d.ShowColor();
    ASSERT_TRUE(ok.Done());
    EXPECT_EQ(d.Color(), static_cast<int32_t>(GetSysColor(COLOR_BTNFACE)));

    d.Color(static_cast<int32_t>(0x8000000F));
    d.CancelError(forms::True);
    DialogDriver cancel(IDCANCEL);
    EXPECT_EQ(ErrorNumberOf([&] { d.ShowColor(); }), 20001);
    ASSERT_TRUE(cancel.Done());
    EXPECT_EQ(d.Color(), static_cast<int32_t>(0x8000000F));  // kept
}

TEST(CommonDialog, HookedColourDialogRaisesInitDialog) {
    cCommonDialog d;
    d.Color(0x00FF00);
    d.HookDialog(forms::True);
    int inits = 0;
    d.Event.InitDialog = [&](HWND) { ++inits; };
    DialogDriver ok(IDOK);
    d.ShowColor();
    ASSERT_TRUE(ok.Done());
    EXPECT_EQ(inits, 1);
    EXPECT_EQ(d.Color(), 0x00FF00);
}

int CALLBACK NoteFace(const LOGFONTW* lf, const TEXTMETRICW*, DWORD, LPARAM found) {
    *reinterpret_cast<bool*>(found) = true;
    return 0;
}

// A TrueType face with a bold style that this display has, "" when none.
std::wstring InstalledFace() {
    HDC dc = GetDC(nullptr);
    std::wstring face;
    for (const wchar_t* name : {L"Tahoma", L"DejaVu Sans", L"Arial", L"Liberation Sans"}) {
        LOGFONTW lf{};
        lf.lfCharSet = DEFAULT_CHARSET;
        wcscpy_s(lf.lfFaceName, name);
        bool found = false;
        EnumFontFamiliesExW(dc, &lf, NoteFace, reinterpret_cast<LPARAM>(&found), 0);
        if (found) {
            face = name;
            break;
        }
    }
    ReleaseDC(nullptr, dc);
    return face;
}

// Also run at 192 dpi. The size given is one whose height in the screen's
// pixels ends in a half, which goes to the even number: the dialog reads
// that height back as the points it shows and returns. Rounded away from
// zero, or from whole twips per pixel, it would show one point more.
TEST(CommonDialog, FontDialogUpdatesTheFontInPlace) {
    const std::wstring face = InstalledFace();
    if (face.empty()) GTEST_SKIP() << "no known TrueType face on this display";
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    // Heights that end in half a pixel, rounded to the even number below
    // and above.
    struct Half {
        int dpi;
        float points;  // 12.5, 13.5, 22.5 and 27.5 pixels
        int shown;
    };
    const Half halves[] = {{96, 9.375f, 9}, {96, 10.125f, 11}, {192, 8.4375f, 8}, {192, 10.3125f, 11}};
    cCommonDialog d;
    d.FontName(face);
    d.FontBold(forms::True);
    d.FontColor(0xFF);
    auto font = d.Font();
    int tried = 0;
    for (const Half& half : halves) {
        if (half.dpi != dpi) continue;
        SCOPED_TRACE(half.points);
        ++tried;
        d.Font()->Size(half.points);
        std::wstring shown;
        DialogDriver ok(IDOK, [&](HWND dlg) { shown = DialogDriver::Text(GetDlgItem(dlg, cmb3)); });
        d.ShowFont();
        ASSERT_TRUE(ok.Done());
        EXPECT_EQ(shown, std::to_wstring(half.shown));
        EXPECT_EQ(d.Font(), font);
        EXPECT_EQ(d.FontName(), face);
        EXPECT_EQ(d.FontSize(), half.shown);
        EXPECT_EQ(d.FontBold(), forms::True);
        EXPECT_EQ(d.FontColor(), 0xFF);
        EXPECT_EQ(d.flags() & 0x141, 0x141);  // screen fonts, start from the font, effects
    }
    ASSERT_EQ(tried, 2) << "no sizes ending in half a pixel at " << dpi << " dpi";

    d.CancelError(forms::True);
    DialogDriver cancel(IDCANCEL);
    EXPECT_EQ(ErrorNumberOf([&] { d.ShowFont(); }), 20001);
    ASSERT_TRUE(cancel.Done());
    EXPECT_EQ(d.FontName(), face);
}

TEST(CommonDialog, PrinterDialogNeverRaisesForACancel) {
    cCommonDialog d;
    d.CancelError(forms::True);
    d.Copies(2);
    DialogDriver drv(IDCANCEL);
    EXPECT_NO_THROW(d.ShowPrinter());
    drv.Done();
    EXPECT_EQ(d.Copies(), 2);
}

TEST(CommonDialog, PrinterCopiesBeyondSixteenBitsOverflowBeforeAnyDialog) {
    cCommonDialog d;
    d.Copies(40000);
    DialogDriver drv(IDCANCEL);
    EXPECT_EQ(ErrorNumberOf([&] { d.ShowPrinter(); }), forms::err::Overflow);
    EXPECT_FALSE(drv.Done());
    d.Copies(1);
    d.FromPage(70000);
    EXPECT_EQ(ErrorNumberOf([&] { d.ShowPrinter(); }), forms::err::Overflow);
}

TEST(CommonDialog, HelpRefusesTheCommandsItCannotPass) {
    cCommonDialog d;
    for (int32_t cmd : {HELP_MULTIKEY, HELP_SETWINPOS}) {
        d.HelpCommand(cmd);
        try {
            d.ShowHelp();
            ADD_FAILURE() << "no error for " << cmd;
        } catch (const forms::Error& e) {
            EXPECT_EQ(e.Number, 13705);
            EXPECT_EQ(e.Description, L"Invalid WinHelp Command Passed to ShowHelp function.");
            EXPECT_EQ(e.Source, kSource);
        }
    }
}

TEST(CommonDialog, HelpQuitWithoutHelpRunningSucceeds) {
    cCommonDialog d;
    d.HelpCommand(HELP_QUIT);
    EXPECT_NO_THROW(d.ShowHelp());
}

// Stands in for the help viewer. The platform's help call sends it a message
// (a 16-byte head: size, command, the caller's data address, reserved, the
// offsets of the file name and of the copied data), and while that call runs
// the viewer also asks how large the caller's block is.
class HelpViewer {
public:
    HelpViewer() {
        WNDCLASSA wc{};
        wc.lpfnWndProc = Proc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "MS_WINHELP";
        RegisterClassA(&wc);
        hwnd_ = CreateWindowA("MS_WINHELP", "", 0, 0, 0, 10, 10, nullptr, nullptr, wc.hInstance, nullptr);
        SetWindowLongPtrA(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    ~HelpViewer() { DestroyWindow(hwnd_); }
    uint16_t command = 0;
    std::string file, data;
    SIZE_T blockSize = 0;

private:
    template <class T>
    static T At(const std::string& m, size_t offset) {
        T v{};
        if (offset + sizeof v <= m.size()) std::memcpy(&v, m.data() + offset, sizeof v);
        return v;
    }
    static LRESULT CALLBACK Proc(HWND h, UINT msg, WPARAM w, LPARAM l) {
        auto* self = reinterpret_cast<HelpViewer*>(GetWindowLongPtrA(h, GWLP_USERDATA));
        if (msg != WM_COPYDATA || !self) return DefWindowProcA(h, msg, w, l);
        const auto* cds = reinterpret_cast<const COPYDATASTRUCT*>(l);
        const std::string m(static_cast<const char*>(cds->lpData), cds->cbData);
        self->command = At<uint16_t>(m, 2);
        const auto ofsFile = At<uint16_t>(m, 12), ofsData = At<uint16_t>(m, 14);
        if (ofsFile) self->file = m.c_str() + ofsFile;
        if (ofsData) self->data = m.substr(ofsData);
        const auto address = static_cast<uintptr_t>(At<uint32_t>(m, 4));
        if (HGLOBAL block = GlobalHandle(reinterpret_cast<void*>(address))) self->blockSize = GlobalSize(block);
        return TRUE;
    }
    HWND hwnd_ = nullptr;
};

TEST(CommonDialog, HelpPositionHandsOverATwentySixByteRecord) {
    HelpViewer viewer;
    cCommonDialog d;
    d.HelpFile(L"quorvane.hlp");
    d.SetHelpPosition(11, 22, 333, 444, 5);
    EXPECT_EQ(viewer.command, HELP_SETWINPOS);
    EXPECT_EQ(viewer.file, "quorvane.hlp");
    EXPECT_EQ(viewer.blockSize, 26u);
    // Its own size, x, y, dx, dy, the window type, two empty member bytes.
    const int32_t head[] = {26, 11, 22, 333, 444, 5};
    const std::string record = std::string(reinterpret_cast<const char*>(head), sizeof head) + '\0' + '\0';
    EXPECT_EQ(viewer.data, record);
}

TEST(CommonDialog, LibraryLoadedForTemplatesIsFreedOnce) {
    cCommonDialog d;
    d.cdLoadLibrary(L"comdlg32.dll");
    EXPECT_EQ(d.hInstance(), GetModuleHandleW(L"comdlg32.dll"));
    d.cdFreeLibrary();
    EXPECT_EQ(d.hInstance(), nullptr);
    d.cdFreeLibrary();  // nothing left to free
    d.cdLoadLibrary(L"no_such_library_here.dll");
    EXPECT_EQ(d.hInstance(), nullptr);
}

// -- helpers for listeners ------------------------------------------------------

struct ParseCase {
    std::wstring fileName, dirIn;
    int32_t countIn;
    std::wstring dir;
    std::vector<std::wstring> files;
};

TEST(CommonDialog, ParseMultiFileNameSplitsEveryForm) {
    const std::vector<ParseCase> cases = {
        {L"C:\\a\0x.bmp\0y.bmp\0\0"s, L"", 0, L"C:\\a", {L"x.bmp", L"y.bmp"}},
        {L"C:\\a\\x.bmp\0\0"s, L"", 0, L"", {L"C:\\a\\x.bmp"}},
        {L"C:\\a\\x.bmp", L"", 0, L"C:\\a", {L"x.bmp"}},
        {L"x.bmp", L"keep", 5, L"", {L"x.bmp"}},
        {L"\\x.bmp", L"", 0, L"", {L"\\x.bmp"}},
        {L"C:\\a\0x.bmp\0\0"s, L"D:\\b", 1, L"D:\\b", {L"", L"C:\\a", L"x.bmp"}},
    };
    for (const ParseCase& c : cases) {
        cCommonDialog d;
        d.FileName(c.fileName);
        std::wstring sDir = c.dirIn;
        std::vector<std::wstring> files;
        int32_t count = c.countIn;
        d.ParseMultiFileName(sDir, files, count);
        EXPECT_EQ(sDir, c.dir) << c.fileName;
        EXPECT_EQ(files, c.files) << c.fileName;
        EXPECT_EQ(count, static_cast<int32_t>(c.files.size())) << c.fileName;
    }
}

TEST(CommonDialog, CentreDialogOnAWindowOrTheWorkArea) {
    testsupport::ColourWindow box(5, 7, 200, 100, RGB(1, 2, 3));
    cCommonDialog d;
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    d.CentreDialog(box.hwnd(), nullptr);
    int32_t l = 0, t = 0, w = 0, h = 0;
    d.GetDialogSize(box.hwnd(), l, t, w, h);
    EXPECT_EQ(w, 200);
    EXPECT_EQ(h, 100);
    EXPECT_EQ(l, work.left + (work.right - work.left - 200) / 2);
    EXPECT_EQ(t, work.top + (work.bottom - work.top - 100) / 2);

    testsupport::ColourWindow target(100, 50, 401, 301, RGB(4, 5, 6));
    d.CentreDialog(box.hwnd(), std::make_shared<WindowObject>(target.hwnd()));
    d.GetDialogSize(box.hwnd(), l, t, w, h);
    EXPECT_EQ(l, 100 + (401 - 200) / 2);
    EXPECT_EQ(t, 50 + (301 - 100) / 2);

    // An object without a window falls back to the work area.
    d.CentreDialog(box.hwnd(), std::make_shared<dialogtest::RecordingSink>());
    d.GetDialogSize(box.hwnd(), l, t, w, h);
    EXPECT_EQ(l, work.left + (work.right - work.left - 200) / 2);
}

}  // namespace
