#include "dialogs/GCommonDialog.h"

#include <commdlg.h>

#include <algorithm>
#include <cstring>
#include <cwchar>

#include "dialogs/mDialogHook.h"
#include "forms/Error.h"
#include "forms/Runtime.h"

using forms::Boolean;
using forms::IsTrue;

namespace {

constexpr int32_t kFileBuffer = 260;
constexpr int32_t kMultiFileBuffer = 8192;
// The device mode is kept up to and including its print settings: the
// single-byte form's 122 bytes, with its two names twice as wide.
constexpr size_t kDevModeBytes = 122 + CCHDEVICENAME + CCHFORMNAME;

bool Has(int32_t flags, int32_t m) { return (flags & m) == m; }

HWND OwnerOrNone(HWND owner) { return owner == GCommonDialog::NoOwner() ? nullptr : owner; }

// The caller's text followed by NULs, n characters in all, with one NUL more
// so that a text filling the buffer still ends.
std::wstring TextBuffer(const std::wstring& text, int32_t n) {
    if (text.size() > static_cast<size_t>(n)) forms::Raise(forms::err::InvalidCall);
    std::wstring s = text;
    s.resize(static_cast<size_t>(n) + 1, L'\0');
    return s;
}

std::wstring StrZToStr(const wchar_t* s) { return std::wstring(s, static_cast<size_t>(lstrlenW(s))); }

std::wstring BytesToStr(const wchar_t* chars, size_t n) { return std::wstring(chars, wcsnlen(chars, n)); }

const wchar_t* OrNull(const std::wstring& s) { return s.empty() ? nullptr : s.c_str(); }

int32_t ToLong(HWND h) { return static_cast<int32_t>(reinterpret_cast<INT_PTR>(h)); }

}  // namespace

// -- hook -------------------------------------------------------------------

forms::Variant GCommonDialog::DialogHook(HWND hDlg, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (!eventSink_) return {};
    forms::ObjectPtr sink = eventSink_;  // a listener may end the dialog under us
    const forms::Variant dlg = ToLong(hDlg);
    switch (msg) {
    case WM_INITDIALOG:
        return forms::CallBy(*sink, L"InitDialog", {dlg});
    case WM_DESTROY:
        forms::CallBy(*sink, L"DialogClose");
        return {};
    case WM_COMMAND:
        forms::CallBy(*sink, L"WMCommand",
                      {dlg, static_cast<int32_t>(wParam), static_cast<int32_t>(lParam)});
        return {};
    case WM_NOTIFY: {
        const auto* hdr = reinterpret_cast<const NMHDR*>(lParam);
        if (!hdr) return {};
        switch (static_cast<int32_t>(hdr->code)) {
        case static_cast<int32_t>(CDN_TYPECHANGE):
            return forms::CallBy(*sink, L"TypeChange", {dlg});
        case static_cast<int32_t>(CDN_FILEOK):
            if (forms::CallBy(*sink, L"ConfirmOK").AsBoolean() == forms::False) {
                SetWindowLongPtrA(hDlg, DWLP_MSGRESULT, 1);
                return int32_t{1};
            }
            SetWindowLongPtrA(hDlg, DWLP_MSGRESULT, 0);
            return {};
        case static_cast<int32_t>(CDN_FOLDERCHANGE):
            return forms::CallBy(*sink, L"FolderChange", {dlg});
        case static_cast<int32_t>(CDN_SELCHANGE):
            return forms::CallBy(*sink, L"FileChange", {dlg});
        default:
            return {};
        }
    }
    default:
        return {};
    }
}

void GCommonDialog::Begin() {
    apiReturn_ = 0;
    extendedError_ = 0;
}

void GCommonDialog::HookOn(const forms::ObjectPtr& EventSink) {
    mDialogHook::SetHookObject(*this);
    eventSink_ = EventSink;
}

void GCommonDialog::HookOff() {
    eventSink_.reset();
    mDialogHook::ClearHookObject();
}

// -- filters ----------------------------------------------------------------

std::wstring GCommonDialog::ConvertFilter(const std::wstring& filter) {
    std::wstring out = filter;
    for (wchar_t& c : out)
        if (c == L'|' || c == L':') c = L'\0';
    out.append(2, L'\0');
    return out;
}

std::wstring GCommonDialog::FilterItem(const std::wstring& converted, int32_t k) {
    if (converted.empty() || k < 1) return {};
    size_t start = 0;
    std::wstring item;
    for (int32_t i = 1; i <= k; ++i) {
        const size_t first = converted.find(L'\0', start);
        if (first == std::wstring::npos) return {};
        const size_t second = converted.find(L'\0', first + 1);
        if (second == std::wstring::npos) {
            item = converted.substr(start);
            start = 0;
        } else {
            item = converted.substr(start, second - start);
            start = second + 1;
        }
    }
    return item;
}

// -- open and save ----------------------------------------------------------

namespace {

struct FileDialogCall {
    std::wstring filter, file, title, initDir, dlgTitle, defExt;
    OPENFILENAMEW ofn{};

    FileDialogCall(const std::wstring& FileName, const std::wstring& FileTitle, const std::wstring& Filter,
                   int32_t FilterIndex, const std::wstring& InitDir, const std::wstring& DlgTitle,
                   const std::wstring& DefaultExt, HWND Owner, int32_t bufferSize)
        : filter(GCommonDialog::ConvertFilter(Filter)),
          file(TextBuffer(FileName, bufferSize)),
          title(TextBuffer(FileTitle, bufferSize)),
          initDir(InitDir),
          dlgTitle(DlgTitle),
          defExt(DefaultExt) {
        ofn.lStructSize = OPENFILENAME_SIZE_VERSION_400W;
        ofn.hwndOwner = OwnerOrNone(Owner);
        ofn.lpstrFilter = filter.c_str();
        ofn.nFilterIndex = static_cast<DWORD>(FilterIndex);
        ofn.lpstrFile = file.data();
        ofn.nMaxFile = static_cast<DWORD>(bufferSize);
        ofn.lpstrFileTitle = title.data();
        ofn.nMaxFileTitle = static_cast<DWORD>(bufferSize);
        ofn.lpstrInitialDir = OrNull(initDir);
        ofn.lpstrTitle = OrNull(dlgTitle);
        ofn.lpstrDefExt = OrNull(defExt);
    }

    void Template(int32_t callerFlags, HINSTANCE hInstance, int32_t TemplateName) {
        if (Has(callerFlags, OFN_ENABLETEMPLATE) && reinterpret_cast<INT_PTR>(hInstance) > 0) {
            ofn.hInstance = hInstance;
            ofn.Flags |= OFN_ENABLETEMPLATE;
            ofn.lpTemplateName = MAKEINTRESOURCEW(TemplateName);
        }
    }

    void WriteBack(std::wstring& FileName, std::wstring& FileTitle, std::wstring& Filter, int32_t& FilterIndex,
                   int32_t& flags, int32_t bufferSize) const {
        if (Has(static_cast<int32_t>(ofn.Flags), OFN_ALLOWMULTISELECT)) {
            FileName = file.substr(0, static_cast<size_t>(bufferSize));
        } else {
            FileName = StrZToStr(file.c_str());
            FileTitle = StrZToStr(title.c_str());
        }
        flags = static_cast<int32_t>(ofn.Flags);
        FilterIndex = static_cast<int32_t>(ofn.nFilterIndex);
        Filter = GCommonDialog::FilterItem(filter, FilterIndex);
    }
};

void ClearFileResults(std::wstring& FileName, std::wstring& FileTitle, std::wstring& Filter, int32_t& FilterIndex,
                      int32_t& flags, int32_t noIndex) {
    FileName.clear();
    FileTitle.clear();
    flags = 0;
    FilterIndex = noIndex;
    Filter.clear();
}

}  // namespace

bool GCommonDialog::RunFileDialog(OPENFILENAMEW& ofn, BOOL(WINAPI* show)(LPOPENFILENAMEW), Boolean Hook,
                                  const forms::ObjectPtr& EventSink) {
    if (IsTrue(Hook)) {
        HookOn(EventSink);
        ofn.lpfnHook = mDialogHook::FileDialogHookProc;
        ofn.Flags |= OFN_EXPLORER | OFN_ENABLEHOOK;
    }
    apiReturn_ = show(&ofn);
    HookOff();
    if (apiReturn_ == 1) return true;
    // The platform returns 0 for a cancel and for a failure alike; the file
    // dialogs clear the extended error as they start, so it tells them apart.
    extendedError_ = static_cast<int32_t>(CommDlgExtendedError());
    return false;
}

Boolean GCommonDialog::VBGetOpenFileName2(std::wstring& FileName, std::wstring& FileTitle, Boolean FileMustExist,
                                          Boolean MultiSelect, Boolean& ReadOnly, Boolean HideReadOnly,
                                          std::wstring& Filter, int32_t& FilterIndex, const std::wstring& InitDir,
                                          const std::wstring& DlgTitle, const std::wstring& DefaultExt, HWND Owner,
                                          int32_t& flags, Boolean Hook, HINSTANCE hInstance, int32_t TemplateName,
                                          const forms::ObjectPtr& EventSink) {
    Begin();
    const int32_t size = IsTrue(MultiSelect) ? kMultiFileBuffer : kFileBuffer;
    FileDialogCall call(FileName, FileTitle, Filter, FilterIndex, InitDir, DlgTitle, DefaultExt, Owner, size);
    DWORD f = 0;
    if (IsTrue(ReadOnly)) f |= OFN_READONLY;
    if (IsTrue(HideReadOnly)) f |= OFN_HIDEREADONLY;
    if (IsTrue(FileMustExist)) f |= OFN_FILEMUSTEXIST;
    if (IsTrue(MultiSelect)) f |= OFN_ALLOWMULTISELECT | OFN_EXPLORER;
    call.ofn.Flags = f & ~static_cast<DWORD>(OFN_ENABLEHOOK);
    call.Template(flags, hInstance, TemplateName);
    if (RunFileDialog(call.ofn, GetOpenFileNameW, Hook, EventSink)) {
        call.WriteBack(FileName, FileTitle, Filter, FilterIndex, flags, size);
        if (Has(flags, OFN_READONLY)) ReadOnly = forms::True;
        return forms::True;
    }
    ClearFileResults(FileName, FileTitle, Filter, FilterIndex, flags, -1);
    return forms::False;
}

Boolean GCommonDialog::VBGetOpenFileName(std::wstring& FileName, std::wstring& FileTitle, Boolean FileMustExist,
                                         Boolean MultiSelect, Boolean& ReadOnly, Boolean HideReadOnly,
                                         std::wstring& Filter, int32_t& FilterIndex, const std::wstring& InitDir,
                                         const std::wstring& DlgTitle, const std::wstring& DefaultExt, HWND Owner,
                                         int32_t& flags, Boolean Hook, const forms::ObjectPtr& EventSink) {
    flags &= ~OFN_ENABLETEMPLATE;
    return VBGetOpenFileName2(FileName, FileTitle, FileMustExist, MultiSelect, ReadOnly, HideReadOnly, Filter,
                              FilterIndex, InitDir, DlgTitle, DefaultExt, Owner, flags, Hook, nullptr, 0, EventSink);
}

Boolean GCommonDialog::VBGetSaveFileName2(std::wstring& FileName, std::wstring& FileTitle, Boolean OverWritePrompt,
                                          std::wstring& Filter, int32_t& FilterIndex, const std::wstring& InitDir,
                                          const std::wstring& DlgTitle, const std::wstring& DefaultExt, HWND Owner,
                                          int32_t& flags, Boolean Hook, HINSTANCE hInstance, int32_t TemplateName,
                                          const forms::ObjectPtr& EventSink) {
    Begin();
    FileDialogCall call(FileName, FileTitle, Filter, FilterIndex, InitDir, DlgTitle, DefaultExt, Owner, kFileBuffer);
    DWORD f = OFN_HIDEREADONLY;
    if (IsTrue(OverWritePrompt)) f |= OFN_OVERWRITEPROMPT;
    call.ofn.Flags = f & ~static_cast<DWORD>(OFN_ENABLEHOOK);
    call.Template(flags, hInstance, TemplateName);
    if (RunFileDialog(call.ofn, GetSaveFileNameW, Hook, EventSink)) {
        call.WriteBack(FileName, FileTitle, Filter, FilterIndex, flags, kFileBuffer);
        return forms::True;
    }
    ClearFileResults(FileName, FileTitle, Filter, FilterIndex, flags, 0);
    return forms::False;
}

Boolean GCommonDialog::VBGetSaveFileName(std::wstring& FileName, std::wstring& FileTitle, Boolean OverWritePrompt,
                                         std::wstring& Filter, int32_t& FilterIndex, const std::wstring& InitDir,
                                         const std::wstring& DlgTitle, const std::wstring& DefaultExt, HWND Owner,
                                         int32_t& flags, Boolean Hook, const forms::ObjectPtr& EventSink) {
    flags &= ~OFN_ENABLETEMPLATE;
    return VBGetSaveFileName2(FileName, FileTitle, OverWritePrompt, Filter, FilterIndex, InitDir, DlgTitle,
                              DefaultExt, Owner, flags, Hook, nullptr, 0, EventSink);
}

std::wstring GCommonDialog::VBGetFileTitle(const std::wstring& sFIle) {
    std::wstring buf(kFileBuffer, L'\0');
    if (GetFileTitleW(sFIle.c_str(), buf.data(), static_cast<WORD>(buf.size())) != 0) return {};
    return StrZToStr(buf.c_str());
}

// -- colour -----------------------------------------------------------------

void GCommonDialog::FillCustomColours() {
    if (IsTrue(customColoursReady_)) return;
    for (int i = 0; i < 16; ++i) customColours_[i] = GetSysColor(i);
    customColoursReady_ = forms::True;
}

int32_t GCommonDialog::CustomColor(int16_t i) {
    FillCustomColours();
    return i >= 0 && i < 16 ? static_cast<int32_t>(customColours_[i]) : -1;
}

void GCommonDialog::CustomColor(int16_t i, int32_t value) {
    FillCustomColours();
    if (i >= 0 && i < 16) customColours_[i] = static_cast<COLORREF>(value);
}

Boolean GCommonDialog::VBChooseColor(int32_t& Color, Boolean AnyColor, Boolean FullOpen, Boolean DisableFullOpen,
                                     HWND Owner, int32_t flags, Boolean Hook, const forms::ObjectPtr& EventSink) {
    // Starts afresh: an extended error left by an earlier file dialog would
    // make this dialog's cancel read as a failure.
    Begin();
    CHOOSECOLORW cc{};
    cc.lStructSize = sizeof(cc);
    cc.hwndOwner = OwnerOrNone(Owner);
    cc.rgbResult = static_cast<COLORREF>(Color);
    DWORD f = (IsTrue(AnyColor) ? CC_ANYCOLOR : CC_SOLIDCOLOR) | CC_RGBINIT;
    if (IsTrue(FullOpen)) f |= CC_FULLOPEN;
    if (IsTrue(DisableFullOpen)) f |= CC_PREVENTFULLOPEN;
    cc.Flags = f & ~static_cast<DWORD>(CC_ENABLEHOOK | CC_ENABLETEMPLATE);
    if (IsTrue(Hook)) {
        HookOn(EventSink);
        cc.lpfnHook = mDialogHook::ColorHookProc;
        cc.Flags |= CC_ENABLEHOOK;
    }
    FillCustomColours();
    cc.lpCustColors = customColours_.data();
    apiReturn_ = ChooseColorW(&cc);
    HookOff();
    if (apiReturn_ == 1) {
        Color = static_cast<int32_t>(cc.rgbResult);
        return forms::True;
    }
    if (apiReturn_ != 0) extendedError_ = static_cast<int32_t>(CommDlgExtendedError());
    Color = -1;
    return forms::False;
}

// -- font -------------------------------------------------------------------

Boolean GCommonDialog::VBChooseFont(forms::StdFont& CurFont, HDC& PrinterDC, HWND Owner, int32_t& Color,
                                    int32_t MinSize, int32_t MaxSize, int32_t& flags, Boolean Hook,
                                    const forms::ObjectPtr& EventSink) {
    Begin();
    if (PrinterDC == NoPrinterDC()) {
        // The runtime has no printer object whose context could stand in.
        PrinterDC = nullptr;
    } else {
        flags |= CF_PRINTERFONTS;
    }
    if (!Has(flags, CF_PRINTERFONTS)) flags |= CF_SCREENFONTS;
    if (Color != 0) flags |= CF_EFFECTS;
    if (MinSize != 0 || MaxSize != 0) flags |= CF_LIMITSIZE;
    flags = (flags & ~(CF_ENABLEHOOK | CF_ENABLETEMPLATE | CF_APPLY)) | CF_INITTOLOGFONTSTRUCT;

    LOGFONTW lf{};
    // At the real dpi, as whole twips per pixel are too coarse above 96 dpi;
    // but halves to the even number, where the font's own height rounds away.
    lf.lfHeight = -static_cast<LONG>(forms::RoundHalfEven(CurFont.PixelSize()));
    lf.lfWeight = CurFont.Weight();
    lf.lfItalic = IsTrue(CurFont.Italic()) ? 255 : 0;
    lf.lfUnderline = IsTrue(CurFont.Underline()) ? 255 : 0;
    lf.lfStrikeOut = IsTrue(CurFont.Strikethrough()) ? 255 : 0;
    const std::wstring face = CurFont.Name();
    std::wmemcpy(lf.lfFaceName, face.c_str(), std::min<size_t>(face.size(), LF_FACESIZE - 1));

    CHOOSEFONTW cf{};
    cf.lStructSize = sizeof(cf);
    cf.hwndOwner = OwnerOrNone(Owner);
    cf.hDC = PrinterDC;
    cf.lpLogFont = &lf;
    cf.iPointSize = forms::CLng(CurFont.Size() * 10.0);
    cf.Flags = static_cast<DWORD>(flags);
    cf.rgbColors = static_cast<COLORREF>(Color);
    cf.nSizeMin = MinSize;
    cf.nSizeMax = MaxSize;
    if (IsTrue(Hook)) {
        HookOn(EventSink);
        cf.lpfnHook = mDialogHook::FontHookProc;
        cf.Flags |= CF_ENABLEHOOK;
    }
    apiReturn_ = ChooseFontW(&cf);
    HookOff();
    if (apiReturn_ != 1) {
        if (apiReturn_ != 0) extendedError_ = static_cast<int32_t>(CommDlgExtendedError());
        return forms::False;
    }
    flags = static_cast<int32_t>(cf.Flags);
    Color = static_cast<int32_t>(cf.rgbColors);
    CurFont.Bold(forms::ToBoolean((cf.nFontType & BOLD_FONTTYPE) != 0));
    CurFont.Italic(forms::ToBoolean(lf.lfItalic != 0));
    CurFont.Strikethrough(forms::ToBoolean(lf.lfStrikeOut != 0));
    CurFont.Underline(forms::ToBoolean(lf.lfUnderline != 0));
    CurFont.Weight(static_cast<int16_t>(lf.lfWeight));
    if (cf.iPointSize > 0) CurFont.Size(static_cast<float>(cf.iPointSize) / 10.0f);
    const std::wstring name = BytesToStr(lf.lfFaceName, LF_FACESIZE);
    if (!name.empty()) CurFont.Name(name);
    return forms::True;
}

// -- print and page setup ---------------------------------------------------

void GCommonDialog::ReadDevMode(HGLOBAL block, DEVMODEW& devMode) {
    if (!block) return;
    const void* p = GlobalLock(block);
    if (!p) return;
    devMode = DEVMODEW{};
    const size_t n = std::min({kDevModeBytes, sizeof(DEVMODEW), static_cast<size_t>(GlobalSize(block))});
    std::memcpy(&devMode, p, n);
    GlobalUnlock(block);
}

namespace {

void SetPrinterProperties(const forms::ObjectPtr& printer, int32_t copies, const DEVMODEW& dm) {
    if (!printer) return;
    forms::PassOver([&] { forms::LetBy(*printer, L"Copies", copies); });
    forms::PassOver([&] { forms::LetBy(*printer, L"Orientation", static_cast<int32_t>(dm.dmOrientation)); });
    forms::PassOver([&] { forms::LetBy(*printer, L"PaperSize", static_cast<int32_t>(dm.dmPaperSize)); });
    forms::PassOver([&] { forms::LetBy(*printer, L"PrintQuality", static_cast<int32_t>(dm.dmPrintQuality)); });
}

// The wide form's offsets count characters.
std::wstring DevNamesText(const wchar_t* base, WORD offset) { return offset ? StrZToStr(base + offset) : L""; }

}  // namespace

Boolean GCommonDialog::VBPrintDlg(HDC& hDC, int32_t& PrintRange, Boolean DisablePageNumbers, int32_t& FromPage,
                                  int32_t& ToPage, Boolean DisableSelection, int16_t& Copies,
                                  Boolean ShowPrintToFile, Boolean DisablePrintToFile, Boolean& PrintToFile,
                                  Boolean& Collate, Boolean PreventWarning, HWND Owner,
                                  const forms::ObjectPtr& Printer, int32_t flags, Boolean Hook,
                                  const forms::ObjectPtr& EventSink) {
    Begin();
    PRINTDLGW pd{};
    pd.lStructSize = sizeof(pd);
    pd.hwndOwner = OwnerOrNone(Owner);
    DWORD f = static_cast<DWORD>(flags);
    if (IsTrue(DisablePageNumbers)) f |= PD_NOPAGENUMS;
    if (IsTrue(DisablePrintToFile)) f |= PD_DISABLEPRINTTOFILE;
    if (IsTrue(DisableSelection)) f |= PD_NOSELECTION;
    if (IsTrue(PrintToFile)) f |= PD_PRINTTOFILE;
    if (!IsTrue(ShowPrintToFile)) f |= PD_HIDEPRINTTOFILE;
    if (IsTrue(PreventWarning)) f |= PD_NOWARNING;
    if (IsTrue(Collate)) f |= PD_COLLATE;
    f |= PD_USEDEVMODECOPIESANDCOLLATE | PD_RETURNDC;
    if (PrintRange == 1) f |= PD_PAGENUMS;
    if (PrintRange == 2) f |= PD_SELECTION;
    f &= ~static_cast<DWORD>(PD_ENABLEPRINTHOOK | PD_ENABLEPRINTTEMPLATE | PD_ENABLESETUPHOOK |
                             PD_ENABLESETUPTEMPLATE);
    pd.Flags = f;
    // The page numbers must fit the record's 16-bit fields.
    pd.nFromPage = static_cast<WORD>(forms::CInt(static_cast<double>(FromPage)));
    pd.nToPage = static_cast<WORD>(forms::CInt(static_cast<double>(ToPage)));
    pd.nMinPage = 1;
    pd.nMaxPage = 0xFFFF;
    if (IsTrue(Hook)) {
        HookOn(EventSink);
        if (Has(static_cast<int32_t>(pd.Flags), PD_PRINTSETUP)) {
            pd.Flags |= PD_ENABLESETUPHOOK;
            pd.lpfnSetupHook = mDialogHook::PrintSetupHookProc;
        } else {
            pd.Flags |= PD_ENABLEPRINTHOOK;
            pd.lpfnPrintHook = mDialogHook::PrintHookProc;
        }
    }
    const BOOL r = PrintDlgW(&pd);
    mDialogHook::ClearHookObject();
    eventSink_.reset();
    apiReturn_ = static_cast<int16_t>(r);
    if (apiReturn_ != 1) {
        if (apiReturn_ != 0) extendedError_ = static_cast<int32_t>(CommDlgExtendedError());
        return forms::False;
    }
    hDC = pd.hDC;
    const int32_t got = static_cast<int32_t>(pd.Flags);
    PrintRange = Has(got, PD_PAGENUMS) ? 1 : Has(got, PD_SELECTION) ? 2 : 0;
    FromPage = pd.nFromPage;
    ToPage = pd.nToPage;
    PrintToFile = forms::ToBoolean(Has(got, PD_PRINTTOFILE));
    ReadDevMode(pd.hDevMode, devMode_);
    if (Has(got, PD_COLLATE)) {
        Collate = forms::True;
        Copies = static_cast<int16_t>(pd.nCopies);
    } else {
        Collate = forms::ToBoolean(devMode_.dmCollate == 1);
        Copies = devMode_.dmCopies;
    }
    if (pd.hDevNames) {
        if (const auto* base = static_cast<const wchar_t*>(GlobalLock(pd.hDevNames))) {
            const auto* names = reinterpret_cast<const DEVNAMES*>(base);
            driverName_ = DevNamesText(base, names->wDriverOffset);
            deviceName_ = DevNamesText(base, names->wDeviceOffset);
            outputPort_ = DevNamesText(base, names->wOutputOffset);
            GlobalUnlock(pd.hDevNames);
        }
    }
    SetPrinterProperties(Printer, Copies, devMode_);
    // Both blocks were read into this object; nothing else holds them.
    if (pd.hDevMode) GlobalFree(pd.hDevMode);
    if (pd.hDevNames) GlobalFree(pd.hDevNames);
    return forms::True;
}

Boolean GCommonDialog::VBPageSetupDlg2(HWND Owner, Boolean DisableMargins, Boolean DisableOrientation,
                                       Boolean DisablePaper, Boolean DisablePrinter, Margins& m, int32_t& PaperSize,
                                       int32_t& Orientation, int32_t& PrintQuality, int32_t Units,
                                       const forms::ObjectPtr& Printer, int32_t flags, Boolean Hook,
                                       const forms::ObjectPtr& EventSink) {
    Begin();
    PAGESETUPDLGW ps{};
    ps.lStructSize = sizeof(ps);
    ps.hwndOwner = OwnerOrNone(Owner);
    DWORD f = 0;
    if (IsTrue(DisableMargins)) f |= PSD_DISABLEMARGINS;
    if (IsTrue(DisableOrientation)) f |= PSD_DISABLEORIENTATION;
    if (IsTrue(DisablePaper)) f |= PSD_DISABLEPAPER;
    if (IsTrue(DisablePrinter)) f |= PSD_DISABLEPRINTER;
    float factor;
    if (Units == 0) {
        f |= PSD_INTHOUSANDTHSOFINCHES;
        factor = 1000;
    } else {
        f |= PSD_INHUNDREDTHSOFMILLIMETERS;
        factor = 100;
    }
    auto scaled = [factor](float v) { return static_cast<LONG>(forms::RoundHalfEven(static_cast<double>(v) * factor)); };
    ps.rtMargin = {scaled(m.Left), scaled(m.Top), scaled(m.Right), scaled(m.Bottom)};
    ps.rtMinMargin = {scaled(m.MinLeft), scaled(m.MinTop), scaled(m.MinRight), scaled(m.MinBottom)};
    ps.Flags = f;
    if (IsTrue(Hook)) {
        HookOn(EventSink);
        ps.lpfnPageSetupHook = mDialogHook::PageSetupHookProc;
        ps.Flags |= PSD_ENABLEPAGESETUPHOOK;
    }
    const BOOL r = PageSetupDlgW(&ps);
    HookOff();
    if (!r) return forms::False;
    m.Left = static_cast<float>(ps.rtMargin.left) / factor;
    m.Top = static_cast<float>(ps.rtMargin.top) / factor;
    m.Right = static_cast<float>(ps.rtMargin.right) / factor;
    m.Bottom = static_cast<float>(ps.rtMargin.bottom) / factor;
    m.MinLeft = static_cast<float>(ps.rtMinMargin.left) / factor;
    m.MinTop = static_cast<float>(ps.rtMinMargin.top) / factor;
    m.MinRight = static_cast<float>(ps.rtMinMargin.right) / factor;
    m.MinBottom = static_cast<float>(ps.rtMinMargin.bottom) / factor;
    DEVMODEW dm{};
    ReadDevMode(ps.hDevMode, dm);
    PaperSize = dm.dmPaperSize;
    Orientation = dm.dmOrientation;
    PrintQuality = dm.dmPrintQuality;
    SetPrinterProperties(Printer, dm.dmCopies, dm);
    if (ps.hDevMode) GlobalFree(ps.hDevMode);
    if (ps.hDevNames) GlobalFree(ps.hDevNames);
    return forms::True;
}

Boolean GCommonDialog::VBPageSetupDlg(HWND Owner, Boolean DisableMargins, Boolean DisableOrientation,
                                      Boolean DisablePaper, Boolean DisablePrinter, WholeMargins& m,
                                      int32_t& PaperSize, int32_t& Orientation, int32_t& PrintQuality, int32_t Units,
                                      const forms::ObjectPtr& Printer, int32_t flags, Boolean Hook,
                                      const forms::ObjectPtr& EventSink) {
    Margins s{static_cast<float>(m.Left), static_cast<float>(m.MinLeft), static_cast<float>(m.Right),
              static_cast<float>(m.MinRight), static_cast<float>(m.Top), static_cast<float>(m.MinTop),
              static_cast<float>(m.Bottom), static_cast<float>(m.MinBottom)};
    const Boolean r = VBPageSetupDlg2(Owner, DisableMargins, DisableOrientation, DisablePaper, DisablePrinter, s,
                                      PaperSize, Orientation, PrintQuality, Units, Printer, flags, Hook, EventSink);
    auto whole = [](float v) { return forms::CLng(static_cast<double>(v)); };
    m = {whole(s.Left), whole(s.MinLeft), whole(s.Right), whole(s.MinRight),
         whole(s.Top),  whole(s.MinTop),  whole(s.Bottom), whole(s.MinBottom)};
    return r;
}
