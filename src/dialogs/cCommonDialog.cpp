#include "dialogs/cCommonDialog.h"

#include <cstddef>
#include <cstring>

#include "controls/cGraphics.h"
#include "dialogs/cMemory.h"
#include "forms/Error.h"
#include "forms/Runtime.h"

using forms::Boolean;

namespace {

bool IsFlagSet(int32_t flags, int32_t m) { return (flags & m) == m; }

HWND ToHwnd(const forms::Variant& v) { return reinterpret_cast<HWND>(static_cast<INT_PTR>(v.AsLong())); }

std::wstring ApiErrorText(DWORD number) {
    wchar_t buf[256] = {};
    const DWORD n = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, number, 0,
                                   buf, 256, nullptr);
    return std::wstring(buf, n);
}

// The notification events return 0 to the dialog whatever the listener does.
int32_t RaiseWithDialog(const std::function<void(HWND)>& event, HWND hDlg) {
    if (event) event(hDlg);
    return 0;
}

}  // namespace

cCommonDialog::cCommonDialog() : filterIndex_(1) {}

cCommonDialog::~cCommonDialog() {
    if (printerDC_) DeleteDC(printerDC_);
}

GCommonDialog& cCommonDialog::Functions() { return forms::OnFirstUse(functions_); }

forms::StdFont& cCommonDialog::EnsureFont() { return forms::OnFirstUse(font_); }

// -- events -----------------------------------------------------------------

void cCommonDialog::WMCommand(HWND hDlg, WPARAM wParam, LPARAM lParam) {
    if (Event.WMCommand) Event.WMCommand(hDlg, wParam, lParam);
}

void cCommonDialog::DialogClose() {
    if (Event.DialogClose) Event.DialogClose();
}

int32_t cCommonDialog::TypeChange(HWND hDlg) { return RaiseWithDialog(Event.TypeChange, hDlg); }

int32_t cCommonDialog::InitDialog(HWND hDlg) { return RaiseWithDialog(Event.InitDialog, hDlg); }

int32_t cCommonDialog::FileChange(HWND hDlg) { return RaiseWithDialog(Event.FileChange, hDlg); }

int32_t cCommonDialog::FolderChange(HWND hDlg) { return RaiseWithDialog(Event.FolderChange, hDlg); }

Boolean cCommonDialog::ConfirmOK() {
    Boolean bCancel = forms::False;
    if (Event.DialogOK) Event.DialogOK(bCancel);
    return forms::ToBoolean(bCancel == forms::False);
}

forms::Variant cCommonDialog::CallMethod(std::wstring_view name, const std::vector<forms::Variant>& args) {
    using forms::ArgAt;
    using forms::NameIs;
    if (NameIs(name, L"InitDialog")) return InitDialog(ToHwnd(ArgAt(args, 0)));
    if (NameIs(name, L"DialogClose")) {
        DialogClose();
        return {};
    }
    if (NameIs(name, L"WMCommand")) {
        WMCommand(ToHwnd(ArgAt(args, 0)), static_cast<WPARAM>(static_cast<uint32_t>(ArgAt(args, 1).AsLong())),
                  static_cast<LPARAM>(ArgAt(args, 2).AsLong()));
        return {};
    }
    if (NameIs(name, L"TypeChange")) return TypeChange(ToHwnd(ArgAt(args, 0)));
    if (NameIs(name, L"FileChange")) return FileChange(ToHwnd(ArgAt(args, 0)));
    if (NameIs(name, L"FolderChange")) return FolderChange(ToHwnd(ArgAt(args, 0)));
    if (NameIs(name, L"ConfirmOK")) return forms::Variant::FromBoolean(ConfirmOK());
    return forms::Object::CallMethod(name, args);
}

// -- helpers for listeners --------------------------------------------------

void cCommonDialog::ParseMultiFileName(std::wstring& sDir, std::vector<std::wstring>& sFiles, int32_t& iFileCount) {
    const std::wstring pair(2, L'\0');
    const size_t end = fileName_.find(pair);
    if (end != std::wstring::npos) {
        const std::wstring s = fileName_.substr(0, end);
        auto addFile = [&](std::wstring piece) {
            ++iFileCount;
            if (iFileCount < 1) return;
            sFiles.resize(static_cast<size_t>(iFileCount));
            sFiles[static_cast<size_t>(iFileCount) - 1] = std::move(piece);
        };
        size_t start = 0;
        for (size_t nul; (nul = s.find(L'\0', start)) != std::wstring::npos; start = nul + 1) {
            std::wstring piece = s.substr(start, nul - start);
            if (sDir.empty())
                sDir = std::move(piece);
            else
                addFile(std::move(piece));
        }
        // The piece after the last NUL is always a file: a single selection
        // comes as the full path alone.
        if (start < s.size()) addFile(s.substr(start));
        return;
    }
    iFileCount = 1;
    sFiles.assign(1, std::wstring());
    const size_t slash = fileName_.rfind(L'\\');
    if (slash != std::wstring::npos && slash >= 1) {
        sDir = fileName_.substr(0, slash);
        sFiles[0] = fileName_.substr(slash + 1);
    } else {
        sDir.clear();
        sFiles[0] = fileName_;
    }
}

HWND cCommonDialog::DialogWindow(HWND hDlg) const {
    // An explorer-style file dialog's hook sees the child inside the dialog.
    return fileDialog_ ? GetParent(hDlg) : hDlg;
}

void cCommonDialog::CentreDialog(HWND hDlg, const forms::ObjectPtr& oCentreTo) {
    const HWND wnd = DialogWindow(hDlg);
    RECT rc{};
    GetWindowRect(wnd, &rc);
    RECT target{};
    HWND targetWnd = nullptr;
    const bool haveTarget = forms::PassOver([&] {
        if (!oCentreTo) forms::Raise(forms::err::ObjectNotSet);
        targetWnd = ToHwnd(forms::GetBy(*oCentreTo, L"hwnd"));
    });
    if (haveTarget) {
        GetWindowRect(targetWnd, &target);
    } else if (!SystemParametersInfoA(SPI_GETWORKAREA, 0, &target, 0)) {
        target = {0, 0, forms::IntDiv(forms::Screen.Width(), forms::Screen.TwipsPerPixelX()),
                  forms::IntDiv(forms::Screen.Height(), forms::Screen.TwipsPerPixelY())};
    }
    if (target.right < 1 || target.bottom < 1) return;
    const LONG w = rc.right - rc.left, h = rc.bottom - rc.top;
    const LONG left = target.left + ((target.right - target.left) - w) / 2;
    const LONG top = target.top + ((target.bottom - target.top) - h) / 2;
    MoveWindow(wnd, left, top, w, h, TRUE);
}

void cCommonDialog::GetDialogSize(HWND hDlg, int32_t& lL, int32_t& lT, int32_t& lW, int32_t& lH) {
    RECT rc{};
    GetWindowRect(DialogWindow(hDlg), &rc);
    lL = rc.left;
    lT = rc.top;
    lW = rc.right - rc.left;
    lH = rc.bottom - rc.top;
}

void cCommonDialog::SetHelpPosition(int32_t x, int32_t y, int32_t dx, int32_t dy, int32_t eWindowType) {
    // The record without its tail padding: the help system is told 26 bytes.
    constexpr size_t kSize = offsetof(HELPWININFOA, rgchMember) + sizeof(HELPWININFOA::rgchMember);
    HELPWININFOA info{};
    info.wStructSize = kSize;
    info.x = x;
    info.y = y;
    info.dx = dx;
    info.dy = dy;
    info.wMax = eWindowType;
    cMemory block;
    if (!block.AllocateMemory(kSize, GMEM_ZEROINIT)) return;
    void* p = block.Pointer();
    if (!p) return;
    std::memcpy(p, &info, kSize);
    const std::string file = forms::ToAnsi(helpFile_);
    WinHelpA(hwnd_, file.c_str(), HELP_SETWINPOS, reinterpret_cast<ULONG_PTR>(p));
    block.FreeMemory();
}

// -- properties -------------------------------------------------------------

Boolean cCommonDialog::FontBold() { return EnsureFont().Bold(); }
void cCommonDialog::FontBold(Boolean v) { EnsureFont().Bold(v); }
Boolean cCommonDialog::FontItalic() { return EnsureFont().Italic(); }
void cCommonDialog::FontItalic(Boolean v) { EnsureFont().Italic(v); }
std::wstring cCommonDialog::FontName() { return EnsureFont().Name(); }
void cCommonDialog::FontName(const std::wstring& v) { EnsureFont().Name(v); }
int32_t cCommonDialog::FontSize() { return forms::CLng(static_cast<double>(EnsureFont().Size())); }
void cCommonDialog::FontSize(int32_t v) { EnsureFont().Size(static_cast<float>(v)); }
Boolean cCommonDialog::FontStrikethru() { return EnsureFont().Strikethrough(); }
void cCommonDialog::FontStrikethru(Boolean v) { EnsureFont().Strikethrough(v); }
Boolean cCommonDialog::FontUnderline() { return EnsureFont().Underline(); }
void cCommonDialog::FontUnderline(Boolean v) { EnsureFont().Underline(v); }

std::shared_ptr<forms::StdFont> cCommonDialog::Font() {
    EnsureFont();
    return font_;
}

std::wstring cCommonDialog::PrinterName() { return Functions().DeviceName(); }
std::wstring cCommonDialog::PrinterDriver() { return Functions().DriverName(); }
std::wstring cCommonDialog::PrinterOutputPort() { return Functions().OutputPort(); }

int32_t cCommonDialog::CustomColor(int16_t i) { return Functions().CustomColor(i); }
void cCommonDialog::CustomColor(int16_t i, int32_t oValue) { Functions().CustomColor(i, oValue); }

// -- errors -----------------------------------------------------------------

void cCommonDialog::RaiseError(int32_t number, const std::wstring& description) const {
    throw forms::Error(number, forms::App.EXEName() + L".cCommonDialog", description);
}

void cCommonDialog::RaiseDialogError() {
    GCommonDialog& g = Functions();
    // A failed dialog is told apart from a cancel by its extended error.
    if (g.APIReturn() != 0 || g.ExtendedError() != 0) RaiseError(g.ExtendedError() | 0x348A, L"");
    if (forms::IsTrue(cancelError_)) RaiseError(20001, L"User selected cancel.");
}

// -- dialogs ----------------------------------------------------------------

void cCommonDialog::ShowOpen() {
    fileDialog_ = true;
    GCommonDialog& g = Functions();
    const Boolean FileMustExist = forms::ToBoolean(IsFlagSet(flags_, OFN_FILEMUSTEXIST));
    const Boolean MultiSelect = forms::ToBoolean(IsFlagSet(flags_, OFN_ALLOWMULTISELECT));
    Boolean ReadOnly = forms::ToBoolean(IsFlagSet(flags_, OFN_READONLY));
    const Boolean HideReadOnly = forms::ToBoolean(IsFlagSet(flags_, OFN_HIDEREADONLY));
    if (IsFlagSet(flags_, OFN_ENABLETEMPLATE) && reinterpret_cast<INT_PTR>(hInstance_) < 1)
        flags_ ^= OFN_ENABLETEMPLATE;
    if (filterIndex_ == 0) filterIndex_ = 1;
    if (!forms::IsTrue(g.VBGetOpenFileName2(fileName_, fileTitle_, FileMustExist, MultiSelect, ReadOnly, HideReadOnly,
                                            filter_, filterIndex_, initDir_, dialogTitle_, defaultExt_, hwnd_, flags_,
                                            hookDialog_, hInstance_, templateName_, Self())))
        RaiseDialogError();
}

void cCommonDialog::ShowSave() {
    fileDialog_ = true;
    GCommonDialog& g = Functions();
    const Boolean OverWritePrompt = forms::ToBoolean(IsFlagSet(flags_, OFN_OVERWRITEPROMPT));
    if (IsFlagSet(flags_, OFN_ENABLETEMPLATE) && reinterpret_cast<INT_PTR>(hInstance_) < 1)
        flags_ ^= OFN_ENABLETEMPLATE;
    if (!forms::IsTrue(g.VBGetSaveFileName2(fileName_, fileTitle_, OverWritePrompt, filter_, filterIndex_, initDir_,
                                            dialogTitle_, defaultExt_, hwnd_, flags_, hookDialog_, hInstance_,
                                            templateName_, Self())))
        RaiseDialogError();
}

void cCommonDialog::ShowColor() {
    fileDialog_ = false;
    GCommonDialog& g = Functions();
    int32_t c = cGraphics::TranslateColor(color_, nullptr);
    const Boolean AnyColor = forms::ToBoolean(IsFlagSet(flags_, CC_ANYCOLOR));
    const Boolean FullOpen = forms::ToBoolean(IsFlagSet(flags_, CC_FULLOPEN));
    const Boolean DisableFullOpen = forms::ToBoolean(IsFlagSet(flags_, CC_PREVENTFULLOPEN));
    if (forms::IsTrue(g.VBChooseColor(c, AnyColor, FullOpen, DisableFullOpen, hwnd_, flags_, hookDialog_, Self())))
        color_ = c;
    else
        RaiseDialogError();
}

void cCommonDialog::ShowFont() {
    fileDialog_ = false;
    GCommonDialog& g = Functions();
    forms::StdFont& font = EnsureFont();
    HDC none = GCommonDialog::NoPrinterDC();
    if (!forms::IsTrue(g.VBChooseFont(font, none, hwnd_, fontColor_, min_, max_, flags_, hookDialog_, Self())))
        RaiseDialogError();
}

void cCommonDialog::ShowPrinter() {
    fileDialog_ = false;
    GCommonDialog& g = Functions();
    int16_t copies = forms::CInt(static_cast<double>(copies_));
    int32_t PrintRange = 0;
    const Boolean DisablePageNumbers = forms::ToBoolean(!IsFlagSet(flags_, PD_PAGENUMS));
    const Boolean DisableSelection = forms::ToBoolean(IsFlagSet(flags_, PD_NOSELECTION));
    const Boolean ShowPrintToFile = forms::ToBoolean(!IsFlagSet(flags_, PD_HIDEPRINTTOFILE));
    const Boolean DisablePrintToFile = forms::ToBoolean(IsFlagSet(flags_, PD_DISABLEPRINTTOFILE));
    Boolean PrintToFile = forms::ToBoolean(IsFlagSet(flags_, PD_PRINTTOFILE));
    Boolean Collate = forms::ToBoolean(IsFlagSet(flags_, PD_COLLATE));
    const Boolean PreventWarning = forms::ToBoolean(IsFlagSet(flags_, PD_NOWARNING));
    HDC dc = nullptr;
    if (forms::IsTrue(g.VBPrintDlg(dc, PrintRange, DisablePageNumbers, fromPage_, toPage_, DisableSelection, copies,
                                   ShowPrintToFile, DisablePrintToFile, PrintToFile, Collate, PreventWarning, hwnd_,
                                   object_, flags_, hookDialog_, Self()))) {
        copies_ = copies;
        // Only the newest context is kept; none is handed out.
        if (printerDC_ && printerDC_ != dc) DeleteDC(printerDC_);
        printerDC_ = dc;
    }
}

void cCommonDialog::ShowHelp() {
    try {
        if (helpCommand_ == HELP_MULTIKEY || helpCommand_ == HELP_SETWINPOS)
            forms::Raise(13705, {}, L"Invalid WinHelp Command Passed to ShowHelp function.");
        if (!WinHelpW(hwnd_, helpFile_.c_str(), static_cast<UINT>(helpCommand_), 0)) {
            const DWORD code = GetLastError();
            // Error 0 would mean no error at all: the call still failed.
            forms::Raise(code ? static_cast<int32_t>(code) : forms::err::InvalidCall, {},
                         code ? ApiErrorText(code) : std::wstring());
        }
    } catch (const forms::Error& e) {
        RaiseError(e.Number, e.Description);
    }
}

void cCommonDialog::cdLoadLibrary(const std::wstring& DllName) {
    hInstance_ = LoadLibraryW(DllName.c_str());
}

void cCommonDialog::cdFreeLibrary() {
    if (reinterpret_cast<INT_PTR>(hInstance_) > 0) FreeLibrary(hInstance_);
    // Cleared so that the module is not released twice for one load.
    hInstance_ = nullptr;
}
