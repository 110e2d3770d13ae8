// The preview window of the ask-for-name road, used as a person would.
#include <windows.h>
#include <dlgs.h>
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "app/FrmExport.h"
#include "app/FrmMain.h"
#include "app/FrmSave.h"
#include "app/FrmTemp.h"
#include "app/ModGeneral.h"
#include "unit/common/DialogDriver.h"
#include "unit/common/TestObjects.h"
#include "unit/common/TestSupport.h"

using namespace testsupport;
using app::FrmExport;
using app::FrmMain;

namespace {

forms::Picture Capture(int w, int h, COLORREF c) {
    CanvasObject canvas(w, h, c);
    return forms::GetBy(canvas, L"Image").AsPicture();
}

// A capture on the canvas, shown by the Options page's ask-for-name road.
void OpenPreview(const forms::Picture& shot = Capture(1000, 700, RGB(200, 30, 40))) {
    FrmMain->Visible(forms::False);
    FrmMain->Pic.Picture(shot);
    app::FrmSave->CmbName.ListIndex(1);
    app::FrmSave->SaveImageToFile();
    app::FrmSave->CmbName.ListIndex(0);
    Pump(150);
}

}  // namespace

TEST(Preview, ShowsTheCaptureOnTopAndSwitchesOnlyBetweenViewsItHas) {
    OpenPreview();
    EXPECT_NE(GetWindowLongW(FrmExport->hWnd(), GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
    RECT r{};
    GetWindowRect(FrmExport->Pic.hWnd(), &r);
    EXPECT_EQ(ScreenPixel((r.left + r.right) / 2, (r.top + r.bottom) / 2), RGB(200, 30, 40));
    for (const wchar_t* next : {L"Best Fit", L"Actual Size", L"Best Fit"}) {
        FrmExport->CmdSize.Press();
        EXPECT_EQ(FrmExport->CmdSize.Caption(), next);
        EXPECT_EQ(FrmExport->Pic.Stretch(), next[0] == L'B' ? 0 : 1);
    }
    // Closed at actual size, the next showing starts fitted and says so.
    FrmExport->CmdCancel.Press();
    OpenPreview();
    EXPECT_EQ(FrmExport->Pic.Stretch(), 1);
    EXPECT_EQ(FrmExport->CmdSize.Caption(), L"Actual Size");
    FrmExport->CmdSize.Press();
    EXPECT_EQ(FrmExport->Pic.Stretch(), 0);
    FrmExport->Pic.Picture(Capture(200, 100, RGB(0, 0, 0)));  // one view only
    EXPECT_EQ(FrmExport->CmdSize.Enabled(), forms::False);
    forms::Unload(FrmExport);
}

TEST(Preview, EachSaveStartsAFreshDialogAndWritesWhatTheNameSays) {
    struct Case {
        forms::OptionButton& format;
        int button;
        std::wstring type, name, written;
        std::string magic;
        std::wstring report;  // then the name is drawn out too long for the dialog
    } cases[] = {{app::FrmTemp->OBitMap, IDOK, L"Bitmap (*.bmp)", L"first.bmp", L"", "BM"},
                 // Names outside the code page; a typed extension decides
                 // the format, any other gets the chosen format's.
                 {app::FrmTemp->OJpg, IDOK, L"JPEG (*.JPEG;*.JPG)", L"\u5199\u771F-1.jpg", L"", "\xFF\xD8"},
                 {app::FrmTemp->OJpg, IDOK, L"JPEG (*.JPEG;*.JPG)", L"Bilder-\u00E4\u00F6\u00FC.bmp", L"", "BM"},
                 {app::FrmTemp->OBitMap, IDOK, L"Bitmap (*.bmp)", L"c.JPEG", L"", "\xFF\xD8"},
                 {app::FrmTemp->OJpg, IDOK, L"JPEG (*.JPEG;*.JPG)", L"d.png", L"d.png.Jpg", "\xFF\xD8"},
                 // The file system drops a name's trailing dots: they go
                 // before the extension is judged.
                 {app::FrmTemp->OBitMap, IDOK, L"Bitmap (*.bmp)", L"n7..", L"n7.Bmp", "BM"},
                 {app::FrmTemp->OBitMap, IDOK, L"Bitmap (*.bmp)", L"n9.jpg.", L"n9.jpg", "\xFF\xD8"},
                 {app::FrmTemp->OJpg, IDCANCEL, L"JPEG (*.JPEG;*.JPG)", L"never.jpg", L"", ""},
                 // The dialog fails such a name as it closes: not a cancel.
                 {app::FrmTemp->OBitMap, IDOK, L"Bitmap (*.bmp)", L"long-", L"", "",
                  L"The capture was not saved to the file named in the save dialog.\r\n\r\n"
                  L"The name, with its folder, is too long for the save dialog."}};
    app::FrmTemp->CmbQ.ListIndex(9);  // quality 100: a JPEG within a few levels of the capture
    uint32_t seed = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::wstring dir = TempDir(L"preview_save");
        // A new ask-for-name capture; then the format changes and a newer
        // capture replaces the canvas while the preview is open: Save takes
        // the new format and the picture the preview shows.
        const forms::Picture shown = CornersPicture(1000, 700, ++seed);
        OpenPreview(shown);
        c.format.Value(forms::True);
        FrmMain->Pic.Picture(Capture(90, 60, RGB(0, 0, 255)));
        std::wstring path = dir + L"\\" + c.name;
        if (!c.report.empty()) path.append(262 - 4 - path.size(), L'x') += L".bmp";
        std::wstring type, proposed = L"<not read>";
        DialogDriver drv(c.button, [&](HWND dlg) {
            type = DialogDriver::Text(GetDlgItem(dlg, cmb1));
            HWND edit = DialogDriver::Child(dlg, L"Edit");
            proposed = DialogDriver::Text(edit);
            SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
        });
        // A save that fails shows its report, which the test main's guard
        // fails by name unless it is expected.
        std::wstring reported;
        std::optional<DialogDriver> report;
        if (!c.report.empty())
            report.emplace(
                IDOK, [&](HWND b) { reported = DialogDriver::Text(GetDlgItem(b, 0xFFFF)); },
                [](HWND b) { return DialogDriver::Text(b) == L"Quorvane Capture"; });
        FrmExport->CmdSave.Press();
        ASSERT_TRUE(drv.Done());
        EXPECT_TRUE(!report || report->Done()) << "a dialog that failed is reported";
        EXPECT_EQ(reported, c.report);
        EXPECT_EQ(drv.Title() + L"|" + type, L"Save Image|" + c.type);
        EXPECT_EQ(proposed, L"") << "no name is carried over from an earlier save";
        EXPECT_EQ(FrmExport->Visible(), forms::True);
        const std::wstring name = c.written.empty() ? c.name : c.written, written = dir + L"\\" + name;
        const std::string bytes = ReadFileBytes(written);
        EXPECT_EQ(bytes.substr(0, 2), c.magic);
        // Under that name alone, and nothing written for a cancel.
        EXPECT_EQ(FilesIn(dir), c.magic.empty() ? std::vector<std::wstring>{} : std::vector<std::wstring>{name});
        if (bytes.empty()) continue;
        EXPECT_EQ(FileDiffers(written, PixelsOf(shown.Bitmap()), 1000), "")
            << "the picture shown, not the newer canvas";
    }
    forms::Unload(FrmExport);
}

TEST(Preview, AskedBeforeTheAddedExtensionReplacesAFile) {
    const std::wstring dir = TempDir(L"preview_replace");
    const std::wstring typed = dir + L"\\old.png", longer = typed + L".Bmp";
    const std::string before = "kept as it was";
    for (int answer : {IDNO, IDYES}) {
        SCOPED_TRACE(answer == IDYES ? "Yes" : "No");
        WriteFileBytes(longer, before);
        OpenPreview();
        app::FrmTemp->OBitMap.Value(forms::True);
        DialogDriver save(IDOK, [&](HWND dlg) {
            SendMessageW(DialogDriver::Child(dlg, L"Edit"), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(typed.c_str()));
        });
        // The box shares the dialog's title; only the box has a No.
        std::wstring question;
        DialogDriver box(
            answer, [&](HWND b) { question = DialogDriver::Text(GetDlgItem(b, 0xFFFF)); },
            [](HWND dlg) { return GetDlgItem(dlg, IDNO) != nullptr; });
        FrmExport->CmdSave.Press();
        ASSERT_TRUE(save.Done());
        EXPECT_TRUE(box.Done()) << "asked before replacing";
        EXPECT_EQ(box.Title(), L"Save Image");
        EXPECT_EQ(question, longer + L" already exists.\nDo you want to replace it?");
        const std::string after = ReadFileBytes(longer);
        if (answer == IDNO) EXPECT_TRUE(after == before) << "kept byte for byte, not " << after.size() << " bytes";
        if (answer == IDYES) EXPECT_EQ(after.substr(0, 2), "BM");
        EXPECT_FALSE(Exists(typed));
    }
    forms::Unload(FrmExport);
}

TEST(Preview, ClosingBringsTheMainWindowBackUnlessTheHotkeyCaptured) {
    for (forms::Boolean byHotkey : {forms::False, forms::True})
        for (bool closeBox : {false, true}) {
            SCOPED_TRACE(testing::Message() << byHotkey << closeBox);
            OpenPreview();
            ModGeneral::g_CapturedByHotkey = byHotkey;
            if (closeBox) SendMessageW(FrmExport->hWnd(), WM_CLOSE, 0, 0);
            if (!closeBox) FrmExport->CmdCancel.Press();
            EXPECT_FALSE(FrmExport.Loaded());
            EXPECT_EQ(FrmMain->Visible(), byHotkey ? forms::False : forms::True);
        }
    ModGeneral::g_CapturedByHotkey = forms::False;
    FrmMain->Visible(forms::False);
}
