#include "app/FrmExport.h"

#include <windows.h>
#include <cderr.h>
#include <commdlg.h>

#include <cwchar>

#include "app/FrmMain.h"
#include "app/FrmSave.h"
#include "app/ModGeneral.h"
#include "dialogs/cCommonDialog.h"
#include "forms/Error.h"
#include "forms/Runtime.h"
#include "res/resource_ids.h"
#include "support/cFilesFolders.h"

namespace app {

namespace {

constexpr float kWidth = 8490, kHeight = 6690;
constexpr float kBandHeight = 690, kLineHeight = 30;
constexpr int32_t kWhite = 0xFFFFFF;
constexpr int32_t kOrange = 0x3B96FF;
constexpr int32_t OFN_OVERWRITEPROMPT_FLAG = 2;

std::wstring SaveDialogFailure(DWORD error) {
    switch (error) {
        case FNERR_BUFFERTOOSMALL: return L"The name, with its folder, is too long for the save dialog.";
        case FNERR_INVALIDFILENAME: return L"The name is not a valid file name.";
        default: break;
    }
    wchar_t code[16];
    swprintf(code, 16, L"0x%04lX", static_cast<unsigned long>(error));
    return L"The save dialog failed with error " + std::wstring(code) + L".";
}

}  // namespace

CFrmExport::CFrmExport() {
    Caption(L"Save As");
    BorderStyle(forms::vbFixedSingle);
    ShowInTaskbar = true;
    ClientSize(kWidth, kHeight);
    forms::PassOver([this] { Icon(forms::LoadResPicture(IDI_APP, forms::resIcon)); });

    const float picHeight = kHeight - kBandHeight - kLineHeight;
    forms::PropertyBag viewer;
    viewer.WriteProperty(L"BackColor", kWhite, 0);
    Pic.DesignProperties(viewer);
    Pic.Move(0, 0, kWidth, picHeight);
    Pic.AfterPainting = [this] { Pic_AfterPainting(); };

    forms::PropertyBag line;
    line.WriteProperty(L"StartColor", kOrange, 0);
    line.WriteProperty(L"EndColor", kWhite, 0);
    line.WriteProperty(L"GType", int32_t{1}, int32_t{0});
    GradientLine1.DesignProperties(line);
    GradientLine1.Move(0, picHeight, kWidth, kLineHeight);

    BotPan.BorderStyle(0);
    BotPan.Move(0, picHeight + kLineHeight, kWidth, kBandHeight);
    CmdSize.Move(135, 180, 1185, 330);
    CmdSave.Move(6120, 180, 1050, 330);
    CmdSave.Default(forms::True);
    CmdCancel.Move(7290, 180, 1050, 330);
    CmdCancel.Cancel(forms::True);
    CmdSize.Click = [this] { CmdSize_Click(); };
    CmdSave.Click = [this] { CmdSave_Click(); };
    CmdCancel.Click = [this] { CmdCancel_Click(); };
}

CFrmExport::~CFrmExport() = default;

cFilesFolders& CFrmExport::FilesFolders() { return forms::OnFirstUse(m_FilesFolders); }

void CFrmExport::CmdSave_Click() {
    // Any other failure ends the click; nothing is written.
    forms::PassOver([this] {
        // The picture shown at the click: a capture made while the dialog is
        // open replaces the canvas and refills the viewer, to be shown, not
        // saved under the name typed for this one.
        const forms::Picture shown = Pic.Picture();
        // A new dialog per click: a name, filter or flags left from the last
        // save must not carry over into a save in another format.
        cCommonDialog dlg;
        const std::wstring ext = FrmSave->GetExt();
        dlg.hwnd(hWnd());
        dlg.DialogTitle(L"Save Image");
        dlg.flags(OFN_OVERWRITEPROMPT_FLAG);
        dlg.DefaultExt(L"*" + ext);
        dlg.Filter(_wcsicmp(ext.c_str(), L".bmp") == 0 ? L"Bitmap (*.bmp)|*.bmp"
                                                       : L"JPEG (*.JPEG;*.JPG)|*.jpeg;*.jpg");
        // A dialog that failed (a name too long for it, say) closes as a
        // cancel does; the user must not take the picture for saved.
        try {
            dlg.ShowSave();
        } catch (const forms::Error&) {
            ModGeneral::ReportNotSaved(L"the file named in the save dialog", SaveDialogFailure(CommDlgExtendedError()));
            return;
        }
        if (dlg.ConfirmOK() != forms::True || FilesFolders().IsText(dlg.FileName()) != forms::True) return;
        // A name with another extension gets the format's, so that the bytes
        // match the name; the dialog asked before replacing only the name
        // typed, so the longer one is asked about here. Trailing dots go
        // first, as the file system would drop them.
        std::wstring name = dlg.FileName();
        while (!name.empty() && name.back() == L'.') name.pop_back();
        if (!CFrmSave::NamesFormat(name)) {
            name += ext;
            if (GetFileAttributesW(name.c_str()) != INVALID_FILE_ATTRIBUTES &&
                forms::MsgBox(name + L" already exists.\nDo you want to replace it?",
                              forms::vbYesNo | forms::vbExclamation, L"Save Image") != IDYES)
                return;
        }
        FrmSave->SaveFinalImage(name, shown);
    });
}

void CFrmExport::CmdSize_Click() {
    // The caption names the view that the next click gives.
    if (Pic.Stretch() == 1) {
        CmdSize.Caption(L"Best Fit");
        Pic.Stretch(0);
    } else {
        CmdSize.Caption(L"Actual Size");
        Pic.Stretch(1);
    }
}

void CFrmExport::CmdCancel_Click() { forms::Unload(*this); }

void CFrmExport::Pic_AfterPainting() {
    // A picture smaller than the viewer both ways has only one view.
    CmdSize.Enabled(Pic.StandardSize == forms::True ? forms::False : forms::True);
}

void CFrmExport::Form_Load() {
    // The button outlives an unload, the viewer's fitted view does not: each
    // showing after a close starts fitted, so the button offers actual size.
    CmdSize.Caption(L"Actual Size");
}

void CFrmExport::Form_Unload(int16_t&) {
    // A main window that is gone or on its way out stays as it is: showing it
    // would bring it back (or up for a moment during exit).
    if (ModGeneral::g_CapturedByHotkey != forms::True && FrmMain.Loaded() && !FrmMain->Exiting())
        FrmMain->Visible(forms::True);
}

}  // namespace app
