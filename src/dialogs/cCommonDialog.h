#pragma once
// The dialog object: filled through its properties, shown with one of its
// Show methods, read back through the same properties. Failures and, when
// asked, a cancel reach the caller as numbered errors; a hooked dialog's
// notifications come back through the dialog functions as this object's
// events.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "dialogs/GCommonDialog.h"
#include "forms/Object.h"
#include "forms/StdFont.h"
#include "forms/Values.h"

class cCommonDialog : public forms::Object {
public:
    cCommonDialog();
    ~cCommonDialog() override;
    cCommonDialog(const cCommonDialog&) = delete;
    cCommonDialog& operator=(const cCommonDialog&) = delete;

    std::wstring TypeName() const override { return L"cCommonDialog"; }

    // The object's events; a listener that sets bCancel keeps an open or save
    // dialog open.
    struct EventHandlers {
        std::function<void(HWND hDlg)> InitDialog, FileChange, FolderChange, TypeChange;
        std::function<void(forms::Boolean& bCancel)> DialogOK;
        std::function<void()> DialogClose;
        std::function<void(HWND hDlg, WPARAM& wParam, LPARAM& lParam)> WMCommand;
    } Event;

    // -- what the hook calls, and helpers for listeners --
    void WMCommand(HWND hDlg, WPARAM wParam, LPARAM lParam);
    // Splits a file name from a file dialog into its folder and file names;
    // sFiles[k - 1] is file k, and iFileCount counts on from its value.
    void ParseMultiFileName(std::wstring& sDir, std::vector<std::wstring>& sFiles, int32_t& iFileCount);
    void DialogClose();
    int32_t TypeChange(HWND hDlg);
    int32_t InitDialog(HWND hDlg);
    int32_t FileChange(HWND hDlg);
    int32_t FolderChange(HWND hDlg);
    forms::Boolean ConfirmOK();
    // Centres the dialog on oCentreTo's window, or on the work area when that
    // cannot be read.
    void CentreDialog(HWND hDlg, const forms::ObjectPtr& oCentreTo);
    void GetDialogSize(HWND hDlg, int32_t& lL, int32_t& lT, int32_t& lW, int32_t& lH);
    void SetHelpPosition(int32_t x, int32_t y, int32_t dx, int32_t dy, int32_t eWindowType);

    // -- properties --
    forms::Boolean CancelError() const { return cancelError_; }
    void CancelError(forms::Boolean v) { cancelError_ = v; }
    const std::wstring& FileName() const { return fileName_; }
    void FileName(const std::wstring& v) { fileName_ = v; }
    const std::wstring& Filter() const { return filter_; }
    void Filter(const std::wstring& v) { filter_ = v; }
    int32_t FilterIndex() const { return filterIndex_; }
    void FilterIndex(int32_t v) { filterIndex_ = v; }
    int32_t Color() const { return color_; }
    void Color(int32_t v) { color_ = v; }
    int32_t Copies() const { return copies_; }
    void Copies(int32_t v) { copies_ = v; }
    const std::wstring& DefaultExt() const { return defaultExt_; }
    void DefaultExt(const std::wstring& v) { defaultExt_ = v; }
    const std::wstring& DialogTitle() const { return dialogTitle_; }
    void DialogTitle(const std::wstring& v) { dialogTitle_ = v; }
    int32_t flags() const { return flags_; }
    void flags(int32_t v) { flags_ = v; }
    forms::Boolean FontBold();
    void FontBold(forms::Boolean v);
    forms::Boolean FontItalic();
    void FontItalic(forms::Boolean v);
    std::wstring FontName();
    void FontName(const std::wstring& v);
    int32_t FontSize();
    void FontSize(int32_t v);
    forms::Boolean FontStrikethru();
    void FontStrikethru(forms::Boolean v);
    forms::Boolean FontUnderline();
    void FontUnderline(forms::Boolean v);
    std::shared_ptr<forms::StdFont> Font();
    void Font(std::shared_ptr<forms::StdFont> v) { font_ = std::move(v); }
    int32_t FontColor() const { return fontColor_; }
    void FontColor(int32_t v) { fontColor_ = v; }
    int32_t FromPage() const { return fromPage_; }
    void FromPage(int32_t v) { fromPage_ = v; }
    HWND hwnd() const { return hwnd_; }
    void hwnd(HWND v) { hwnd_ = v; }
    int32_t HelpCommand() const { return helpCommand_; }
    void HelpCommand(int32_t v) { helpCommand_ = v; }
    const std::wstring& HelpContext() const { return helpContext_; }
    void HelpContext(const std::wstring& v) { helpContext_ = v; }
    const std::wstring& HelpFile() const { return helpFile_; }
    void HelpFile(const std::wstring& v) { helpFile_ = v; }
    const std::wstring& HelpKey() const { return helpKey_; }
    void HelpKey(const std::wstring& v) { helpKey_ = v; }
    const std::wstring& InitDir() const { return initDir_; }
    void InitDir(const std::wstring& v) { initDir_ = v; }
    int32_t Max() const { return max_; }
    void Max(int32_t v) { max_ = v; }
    int32_t MaxFileSize() const { return maxFileSize_; }
    void MaxFileSize(int32_t v) { maxFileSize_ = v; }
    int32_t Min() const { return min_; }
    void Min(int32_t v) { min_ = v; }
    forms::ObjectPtr Object() const { return object_; }
    void Object(forms::ObjectPtr v) { object_ = std::move(v); }
    int16_t PrinterDefault() const { return printerDefault_; }
    void PrinterDefault(int16_t v) { printerDefault_ = v; }
    std::wstring PrinterName();
    std::wstring PrinterDriver();
    std::wstring PrinterOutputPort();
    int32_t ToPage() const { return toPage_; }
    void ToPage(int32_t v) { toPage_ = v; }
    const std::wstring& FileTitle() const { return fileTitle_; }
    void FileTitle(const std::wstring& v) { fileTitle_ = v; }
    int32_t CustomColor(int16_t i);
    void CustomColor(int16_t i, int32_t oValue);

    // -- dialogs --
    void ShowOpen();
    void ShowSave();
    void ShowColor();
    void ShowFont();
    void ShowPrinter();
    void ShowHelp();

    forms::Boolean HookDialog() const { return hookDialog_; }
    void HookDialog(forms::Boolean v) { hookDialog_ = v; }
    HINSTANCE hInstance() const { return hInstance_; }
    void hInstance(HINSTANCE v) { hInstance_ = v; }
    void cdLoadLibrary(const std::wstring& DllName);
    void cdFreeLibrary();
    int32_t TemplateName() const { return templateName_; }
    void TemplateName(int32_t v) { templateName_ = v; }

    // The hook reaches the notification methods by name.
    forms::Variant CallMethod(std::wstring_view name, const std::vector<forms::Variant>& args) override;

private:
    GCommonDialog& Functions();
    forms::StdFont& EnsureFont();
    HWND DialogWindow(HWND hDlg) const;
    [[noreturn]] void RaiseError(int32_t number, const std::wstring& description) const;
    void RaiseDialogError();
    forms::ObjectPtr Self() { return forms::Ref(*this); }

    forms::Boolean cancelError_ = forms::False;
    std::wstring filter_;
    int32_t filterIndex_ = 0;
    std::wstring fileName_;
    int32_t color_ = 0;
    int32_t copies_ = 0;
    int32_t flags_ = 0;
    std::wstring dialogTitle_;
    std::wstring defaultExt_;
    std::shared_ptr<forms::StdFont> font_;
    int32_t fontColor_ = 0;
    int32_t fromPage_ = 0;
    HWND hwnd_ = nullptr;
    int32_t helpCommand_ = 0;
    std::wstring helpContext_;
    std::wstring helpFile_;
    std::wstring helpKey_;
    std::wstring initDir_;
    int32_t max_ = 0;
    int32_t maxFileSize_ = 0;
    int32_t min_ = 0;
    forms::ObjectPtr object_;
    int16_t printerDefault_ = 0;
    int32_t toPage_ = 0;
    std::wstring fileTitle_;
    HDC printerDC_ = nullptr;
    forms::Boolean hookDialog_ = forms::False;
    std::shared_ptr<GCommonDialog> functions_;
    bool fileDialog_ = false;
    HINSTANCE hInstance_ = nullptr;
    int32_t templateName_ = 0;
};
