// The dialog functions: filter texts, buffers and flags, what each function
// writes back after OK and after a cancel, and the hook's forwarding of the
// dialogs' notifications to the event sink.
#include <windows.h>
#include <commdlg.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "dialogs/GCommonDialog.h"
#include "dialogs/mDialogHook.h"
#include "unit/common/DialogDriver.h"
#include "unit/common/TestSupport.h"
#include "unit/dialogs/DialogTestSupport.h"

using testsupport::DialogDriver;
using testsupport::ErrorNumberOf;
using namespace std::string_literals;

namespace {

TEST(DialogFilter, BarsAndColonsBecomeNuls) {
    EXPECT_EQ(GCommonDialog::ConvertFilter(L"Bitmap (*.bmp)|*.bmp"), L"Bitmap (*.bmp)\0*.bmp\0\0"s);
    EXPECT_EQ(GCommonDialog::ConvertFilter(L"Pictures: bmp|*.bmp"), L"Pictures\0 bmp\0*.bmp\0\0"s);
    EXPECT_EQ(GCommonDialog::ConvertFilter(L""), L"\0\0"s);
}

TEST(DialogFilter, ItemsAreDescriptionAndPattern) {
    const std::wstring f = GCommonDialog::ConvertFilter(L"Bitmap (*.bmp)|*.bmp|JPEG|*.jpg;*.jpeg");
    EXPECT_EQ(GCommonDialog::FilterItem(f, 1), L"Bitmap (*.bmp)\0*.bmp"s);
    EXPECT_EQ(GCommonDialog::FilterItem(f, 2), L"JPEG\0*.jpg;*.jpeg"s);
    EXPECT_EQ(GCommonDialog::FilterItem(f, 0), L"");
    EXPECT_EQ(GCommonDialog::FilterItem(f, -3), L"");
    EXPECT_EQ(GCommonDialog::FilterItem(L"", 1), L"");
    EXPECT_EQ(GCommonDialog::FilterItem(L"no separator", 1), L"");
    // Past the last item the reading goes on from the list's end, then wraps.
    EXPECT_EQ(GCommonDialog::FilterItem(f, 3), L"\0"s);
    EXPECT_EQ(GCommonDialog::FilterItem(f, 4), L"Bitmap (*.bmp)\0*.bmp"s);
}

TEST(DialogFunctions, FileTitleOfAPath) {
    GCommonDialog g;
    EXPECT_EQ(g.VBGetFileTitle(L"C:\\pictures\\shot.bmp"), L"shot.bmp");
    EXPECT_EQ(g.VBGetFileTitle(L"C:\\pictures\\"), L"");
}

TEST(DialogFunctions, CustomColoursFillOnceAndKeepChanges) {
    GCommonDialog g;
    EXPECT_EQ(g.CustomColor(15), static_cast<int32_t>(GetSysColor(15)));
    g.CustomColor(15, 0xABCDEF);
    EXPECT_EQ(g.CustomColor(15), 0xABCDEF);
    g.CustomColor(16, 1);
    g.CustomColor(-1, 1);
    EXPECT_EQ(g.CustomColor(16), -1);
    EXPECT_EQ(g.CustomColor(0), static_cast<int32_t>(GetSysColor(0)));
}

// -- open and save ------------------------------------------------------------

struct FileArgs {
    std::wstring fileName, fileTitle, filter = L"Any|*.*", initDir, title, defExt;
    int32_t filterIndex = 1, flags = 0;
    forms::Boolean readOnly = forms::False;
};

TEST(DialogFunctions, OpenWithNoChoicesReturnsPlainFlags) {
    const std::wstring dir = testsupport::TempDir(L"fn_open");
    testsupport::WriteFileBytes(dir + L"\\a.txt", "a");
    GCommonDialog g;
    FileArgs a;
    a.initDir = dir;
    a.flags = 0x7FFF0000 & ~OFN_ALLOWMULTISELECT;  // the caller's flags are not passed on
    a.readOnly = forms::False;
    DialogDriver drv(IDOK, [](HWND dlg) { dialogtest::TypeName(dlg, L"a.txt"); });
    EXPECT_EQ(g.VBGetOpenFileName(a.fileName, a.fileTitle, forms::False, forms::False, a.readOnly, forms::False, a.filter,
                                  a.filterIndex, a.initDir, a.title, a.defExt, nullptr, a.flags),
              forms::True);
    ASSERT_TRUE(drv.Done());
    EXPECT_EQ(g.APIReturn(), 1);
    EXPECT_EQ(a.fileName, dir + L"\\a.txt");
    EXPECT_EQ(a.fileTitle, L"a.txt");
    EXPECT_EQ(a.flags & (OFN_READONLY | OFN_HIDEREADONLY | OFN_FILEMUSTEXIST | OFN_ALLOWMULTISELECT | OFN_EXPLORER |
                         OFN_ENABLEHOOK | OFN_ENABLETEMPLATE | 0x7FFF0000),
              0);
    EXPECT_EQ(a.readOnly, forms::False);
    EXPECT_EQ(a.filter, L"Any\0*.*"s);
}

TEST(DialogFunctions, CancelledOpenAndSaveClearTheirResults) {
    GCommonDialog g;
    FileArgs a;
    a.fileName = L"C:\\x.bmp";
    a.fileTitle = L"x.bmp";
    a.flags = 6;
    a.readOnly = forms::True;
    {
        DialogDriver drv(IDCANCEL);
        EXPECT_EQ(g.VBGetOpenFileName(a.fileName, a.fileTitle, forms::False, forms::False, a.readOnly, forms::False,
                                      a.filter, a.filterIndex, a.initDir, a.title, a.defExt, GCommonDialog::NoOwner(),
                                      a.flags),
                  forms::False);
        ASSERT_TRUE(drv.Done());
    }
    EXPECT_EQ(g.APIReturn(), 0);
    EXPECT_EQ(g.ExtendedError(), 0);
    EXPECT_EQ(a.fileName, L"");
    EXPECT_EQ(a.fileTitle, L"");
    EXPECT_EQ(a.filter, L"");
    EXPECT_EQ(a.flags, 0);
    EXPECT_EQ(a.filterIndex, -1);
    EXPECT_EQ(a.readOnly, forms::True);  // kept when nothing came back

    a.filter = L"Any|*.*";
    a.filterIndex = 1;
    a.flags = 2;
    {
        DialogDriver drv(IDCANCEL);
        EXPECT_EQ(g.VBGetSaveFileName(a.fileName, a.fileTitle, forms::True, a.filter, a.filterIndex, a.initDir,
                                      a.title, a.defExt, nullptr, a.flags),
                  forms::False);
        ASSERT_TRUE(drv.Done());
    }
    EXPECT_EQ(a.filter, L"");
    EXPECT_EQ(a.flags, 0);
    EXPECT_EQ(a.filterIndex, 0);
}

TEST(DialogFunctions, NamesMustFitTheirBuffers) {
    GCommonDialog g;
    FileArgs a;
    a.fileTitle = std::wstring(261, L't');
    DialogDriver drv(IDCANCEL);
    EXPECT_EQ(ErrorNumberOf([&] {
                  g.VBGetSaveFileName(a.fileName, a.fileTitle, forms::False, a.filter, a.filterIndex, a.initDir,
                                      a.title, a.defExt, nullptr, a.flags);
              }),
              forms::err::InvalidCall);
    EXPECT_FALSE(drv.Done());

    // A name that fills the buffer exactly is still passed whole.
    const std::wstring dir = testsupport::TempDir(L"fn_long");
    a.fileTitle.clear();
    a.fileName = dir + L"\\" + std::wstring(260 - dir.size() - 1, L'n');
    ASSERT_EQ(a.fileName.size(), 260u);
    std::wstring shown;
    DialogDriver fits(IDCANCEL, [&](HWND dlg) { shown = DialogDriver::Text(DialogDriver::Child(dlg, L"Edit")); });
    g.VBGetSaveFileName(a.fileName, a.fileTitle, forms::False, a.filter, a.filterIndex, a.initDir, a.title, a.defExt,
                        nullptr, a.flags);
    ASSERT_TRUE(fits.Done());
    EXPECT_NE(shown.find(L"nnnn"), std::wstring::npos);
}

// -- the hook -----------------------------------------------------------------

// A sink that, on the dialog's first InitDialog, sends the hook the
// notifications a dialog would send, and notes what came back.
class ProbeSink : public dialogtest::RecordingSink {
public:
    GCommonDialog* g = nullptr;
    std::function<void(HWND)> probe;
    forms::Variant CallMethod(std::wstring_view name, const std::vector<forms::Variant>& args) override {
        forms::Variant r = RecordingSink::CallMethod(name, args);
        if (forms::NameIs(name, L"InitDialog") && probe) {
            auto run = std::move(probe);
            probe = nullptr;
            run(reinterpret_cast<HWND>(static_cast<INT_PTR>(args.at(0).AsLong())));
        }
        return r;
    }
};

forms::Variant Notify(GCommonDialog& g, HWND hDlg, int32_t code) {
    NMHDR hdr{hDlg, 0, static_cast<UINT>(code)};
    return g.DialogHook(hDlg, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&hdr));
}

TEST(DialogHook, NotificationsGoToTheSinkByName) {
    auto g = std::make_shared<GCommonDialog>();
    auto sink = std::make_shared<ProbeSink>();
    sink->initResult = int32_t{0};
    struct Seen {
        forms::Variant initDone, typeChange, okAccepted, okRefused, other, command;
        LONG_PTR acceptedResult = -1, refusedResult = -1;
        size_t callsAfterInitDone = 0;
        bool slotHeld = false;
    } seen;
    sink->probe = [&](HWND hDlg) {
        seen.slotHeld = mDialogHook::GetHookObject().get() == g.get();
        const size_t before = sink->calls.size();
        seen.initDone = Notify(*g, hDlg, -601);
        seen.callsAfterInitDone = sink->calls.size() - before;
        seen.typeChange = Notify(*g, hDlg, -607);
        Notify(*g, hDlg, -603);
        Notify(*g, hDlg, -602);
        sink->confirm = forms::Variant::FromBoolean(forms::False);
        seen.okRefused = Notify(*g, hDlg, -606);
        seen.refusedResult = GetWindowLongPtrW(hDlg, DWLP_MSGRESULT);
        sink->confirm = forms::Variant::FromBoolean(forms::True);
        seen.okAccepted = Notify(*g, hDlg, -606);
        seen.acceptedResult = GetWindowLongPtrW(hDlg, DWLP_MSGRESULT);
        seen.command = g->DialogHook(hDlg, WM_COMMAND, 0x10001, 0x2222);
        seen.other = g->DialogHook(hDlg, WM_SIZE, 0, 0);
    };
    sink->g = g.get();
    FileArgs a;
    DialogDriver drv(IDCANCEL);
    g->VBGetSaveFileName(a.fileName, a.fileTitle, forms::False, a.filter, a.filterIndex, a.initDir, a.title,
                         a.defExt, nullptr, a.flags, forms::True, sink);
    ASSERT_TRUE(drv.Done());

    EXPECT_TRUE(seen.slotHeld);
    EXPECT_TRUE(seen.initDone.IsEmpty());
    EXPECT_EQ(seen.callsAfterInitDone, 0u);
    EXPECT_EQ(seen.typeChange.AsLong(), 0);
    EXPECT_FALSE(seen.typeChange.IsEmpty());
    EXPECT_EQ(seen.okRefused.AsLong(), 1);
    EXPECT_EQ(seen.refusedResult, 1);
    EXPECT_TRUE(seen.okAccepted.IsEmpty());
    EXPECT_EQ(seen.acceptedResult, 0);
    EXPECT_TRUE(seen.command.IsEmpty());
    EXPECT_TRUE(seen.other.IsEmpty());
    EXPECT_GE(sink->Count(L"InitDialog"), 1u);
    EXPECT_GE(sink->Count(L"TypeChange"), 1u);
    EXPECT_GE(sink->Count(L"FolderChange"), 1u);
    EXPECT_GE(sink->Count(L"FileChange"), 1u);
    EXPECT_GE(sink->Count(L"ConfirmOK"), 2u);
    EXPECT_GE(sink->Count(L"DialogClose"), 1u);
    bool sawCommand = false;
    for (const auto& c : sink->calls)
        if (forms::NameIs(c.name, L"WMCommand") && c.args.size() == 3 && c.args[1].AsLong() == 0x10001 &&
            c.args[2].AsLong() == 0x2222)
            sawCommand = true;
    EXPECT_TRUE(sawCommand);

    // Once the dialog is over the slot is empty and the sink let go.
    EXPECT_EQ(mDialogHook::GetHookObject(), nullptr);
    EXPECT_EQ(sink.use_count(), 1);
    EXPECT_TRUE(Notify(*g, nullptr, -607).IsEmpty());
    EXPECT_EQ(mDialogHook::FileDialogHookProc(nullptr, WM_INITDIALOG, 0, 0), 0u);
}

// Refuses every OK, then gives up as a user would, with Cancel.
class RefusingSink : public dialogtest::RecordingSink {
public:
    HWND hookDlg = nullptr;
    forms::Variant CallMethod(std::wstring_view name, const std::vector<forms::Variant>& args) override {
        if (forms::NameIs(name, L"InitDialog")) hookDlg = reinterpret_cast<HWND>(static_cast<INT_PTR>(args.at(0).AsLong()));
        if (forms::NameIs(name, L"ConfirmOK")) PostMessageW(GetParent(hookDlg), WM_COMMAND, IDCANCEL, 0);
        return RecordingSink::CallMethod(name, args);
    }
};

TEST(DialogHook, SinkRefusingOkKeepsTheFileDialogOpen) {
    auto g = std::make_shared<GCommonDialog>();
    auto sink = std::make_shared<RefusingSink>();
    sink->confirm = forms::Variant::FromBoolean(forms::False);
    const std::wstring dir = testsupport::TempDir(L"fn_refuse");
    FileArgs a;
    DialogDriver drv(IDOK, [&](HWND dlg) { dialogtest::TypeName(dlg, dir + L"\\z.bmp"); });
    const forms::Boolean r = g->VBGetSaveFileName(a.fileName, a.fileTitle, forms::False, a.filter, a.filterIndex,
                                                  a.initDir, a.title, a.defExt, nullptr, a.flags, forms::True, sink);
    ASSERT_TRUE(drv.Done());
    EXPECT_EQ(r, forms::False);
    EXPECT_EQ(sink->Count(L"ConfirmOK"), 1u);
    EXPECT_EQ(a.fileName, L"");
}

TEST(DialogHook, FailingSinkDoesNotBreakTheDialog) {
    class Throwing : public forms::Object {};  // every call by name raises 438
    auto g = std::make_shared<GCommonDialog>();
    FileArgs a;
    const std::wstring dir = testsupport::TempDir(L"fn_throw");
    DialogDriver drv(IDOK, [&](HWND dlg) { dialogtest::TypeName(dlg, dir + L"\\t.bmp"); });
    EXPECT_EQ(g->VBGetSaveFileName(a.fileName, a.fileTitle, forms::False, a.filter, a.filterIndex, a.initDir, a.title,
                                   a.defExt, nullptr, a.flags, forms::True, std::make_shared<Throwing>()),
              forms::True);
    ASSERT_TRUE(drv.Done());
    EXPECT_EQ(a.fileName, dir + L"\\t.bmp");
}

// -- colour, font, print, page setup ---------------------------------------------

TEST(DialogFunctions, CancelledColourIsMinusOne) {
    GCommonDialog g;
    int32_t colour = 0x112233;
    DialogDriver drv(IDCANCEL);
    EXPECT_EQ(g.VBChooseColor(colour, forms::False, forms::True, forms::False, nullptr), forms::False);
    ASSERT_TRUE(drv.Done());
    EXPECT_EQ(colour, -1);
    EXPECT_EQ(g.APIReturn(), 0);
}

TEST(DialogFunctions, FontFlagsChangeEvenWhenCancelled) {
    GCommonDialog g;
    forms::StdFont font;
    struct Case {
        int32_t colour, minSize, maxSize, flagsIn, flagsOut;
    };
    // The hook, template and apply bits are cleared; a template handle is not.
    for (const Case& c : {Case{0, 0, 0, 0, 0x41}, Case{0xFF, 0, 0, 0, 0x141}, Case{0, 8, 0, 0, 0x2041},
                          Case{0, 0, 0, CF_APPLY, 0x41}, Case{0, 0, 0, CF_ENABLETEMPLATEHANDLE, 0x61},
                          Case{0, 0, 0, CF_ENABLEHOOK | CF_ENABLETEMPLATE | CF_APPLY, 0x41}}) {
        HDC none = GCommonDialog::NoPrinterDC();
        int32_t colour = c.colour, flags = c.flagsIn;
        DialogDriver drv(IDCANCEL);
        EXPECT_EQ(g.VBChooseFont(font, none, nullptr, colour, c.minSize, c.maxSize, flags), forms::False);
        // A template handle without a module to take it from shows no dialog.
        EXPECT_EQ(drv.Done(), (c.flagsIn & CF_ENABLETEMPLATEHANDLE) == 0) << std::hex << c.flagsIn;
        EXPECT_EQ(none, nullptr);
        EXPECT_EQ(flags, c.flagsOut) << std::hex << c.flagsIn << " colour " << c.colour;
        EXPECT_EQ(colour, c.colour);
    }
    EXPECT_FLOAT_EQ(font.Size(), 8.25f);  // a cancel leaves the font alone
}

TEST(DialogFunctions, GivenPrinterContextAsksForPrinterFonts) {
    GCommonDialog g;
    forms::StdFont font;
    HDC dc = GetDC(nullptr);
    HDC given = dc;
    int32_t colour = 0, flags = 0;
    DialogDriver drv(IDCANCEL);
    g.VBChooseFont(font, given, nullptr, colour, 0, 0, flags);
    drv.Done();
    ReleaseDC(nullptr, dc);
    EXPECT_EQ(given, dc);
    EXPECT_EQ(flags, CF_PRINTERFONTS | CF_INITTOLOGFONTSTRUCT);
}

TEST(DialogFunctions, PageNumbersBeyondSixteenBitsOverflow) {
    GCommonDialog g;
    HDC dc = nullptr;
    int32_t range = 0, from = 1, to = 40000;
    int16_t copies = 1;
    forms::Boolean toFile = forms::False, collate = forms::False;
    DialogDriver drv(IDCANCEL);
    EXPECT_EQ(ErrorNumberOf([&] {
                  g.VBPrintDlg(dc, range, forms::False, from, to, forms::False, copies, forms::True, forms::False,
                               toFile, collate, forms::False, nullptr, nullptr, 0);
              }),
              forms::err::Overflow);
    EXPECT_FALSE(drv.Done());
    EXPECT_EQ(mDialogHook::GetHookObject(), nullptr);
}

TEST(DialogFunctions, PrintAndPageSetupWriteNothingWithoutAChoice) {
    // With no printer the platform says so and returns; with one the
    // dialog is cancelled. Either way nothing comes back.
    GCommonDialog g;
    HDC dc = nullptr;
    int32_t range = 0, from = 2, to = 5;
    int16_t copies = 3;
    forms::Boolean toFile = forms::False, collate = forms::False;
    auto sink = std::make_shared<dialogtest::RecordingSink>();
    {
        DialogDriver drv(IDCANCEL);
        EXPECT_EQ(g.VBPrintDlg(dc, range, forms::False, from, to, forms::False, copies, forms::True, forms::False,
                               toFile, collate, forms::False, nullptr, sink, 0, forms::True, sink),
                  forms::False);
        drv.Done();
    }
    EXPECT_EQ(dc, nullptr);
    EXPECT_EQ(from, 2);
    EXPECT_EQ(to, 5);
    EXPECT_EQ(copies, 3);
    EXPECT_EQ(g.DeviceName(), L"");
    EXPECT_EQ(mDialogHook::GetHookObject(), nullptr);
    EXPECT_EQ(sink.use_count(), 1);

    GCommonDialog::WholeMargins m{1, 0, 1, 0, 1, 0, 1, 0};
    int32_t paper = 7, orientation = 7, quality = 7;
    {
        DialogDriver drv(IDCANCEL);
        EXPECT_EQ(g.VBPageSetupDlg(nullptr, forms::False, forms::False, forms::False, forms::False, m, paper,
                                   orientation, quality, 0, nullptr, 0),
                  forms::False);
        drv.Done();
    }
    EXPECT_EQ(g.APIReturn(), 0);
    EXPECT_EQ(m.Left, 1);
    EXPECT_EQ(m.Top, 1);
    EXPECT_EQ(paper, 7);
    EXPECT_EQ(orientation, 7);
}

}  // namespace
