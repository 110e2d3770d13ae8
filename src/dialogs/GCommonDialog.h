#pragma once
// The library's layer over the platform's common dialogs, in their wide form
// so that any name the dialogs offer comes back whole: one function per
// dialog that takes every setting as an argument, shows the dialog and writes
// the results back into the arguments it is given by reference. While a
// hooked dialog runs, its notifications go by name to the event sink. Keeps
// the colour dialog's custom colours and what the last print dialog chose.
#include <windows.h>

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "forms/Object.h"
#include "forms/StdFont.h"
#include "forms/Values.h"
#include "forms/Variant.h"

class GCommonDialog : public std::enable_shared_from_this<GCommonDialog> {
public:
    // An owner window or printer context of -1 means none given.
    static HWND NoOwner() { return reinterpret_cast<HWND>(static_cast<INT_PTR>(-1)); }
    static HDC NoPrinterDC() { return reinterpret_cast<HDC>(static_cast<INT_PTR>(-1)); }

    // Called by the hook procedures; empty when no sink is set.
    forms::Variant DialogHook(HWND hDlg, UINT msg, WPARAM wParam, LPARAM lParam);
    int32_t APIReturn() const { return apiReturn_; }
    int32_t ExtendedError() const { return extendedError_; }

    forms::Boolean VBGetOpenFileName2(std::wstring& FileName, std::wstring& FileTitle, forms::Boolean FileMustExist,
                                      forms::Boolean MultiSelect, forms::Boolean& ReadOnly,
                                      forms::Boolean HideReadOnly, std::wstring& Filter, int32_t& FilterIndex,
                                      const std::wstring& InitDir, const std::wstring& DlgTitle,
                                      const std::wstring& DefaultExt, HWND Owner, int32_t& flags,
                                      forms::Boolean Hook = forms::False, HINSTANCE hInstance = nullptr,
                                      int32_t TemplateName = 0, const forms::ObjectPtr& EventSink = nullptr);
    forms::Boolean VBGetOpenFileName(std::wstring& FileName, std::wstring& FileTitle, forms::Boolean FileMustExist,
                                     forms::Boolean MultiSelect, forms::Boolean& ReadOnly, forms::Boolean HideReadOnly,
                                     std::wstring& Filter, int32_t& FilterIndex, const std::wstring& InitDir,
                                     const std::wstring& DlgTitle, const std::wstring& DefaultExt, HWND Owner,
                                     int32_t& flags, forms::Boolean Hook = forms::False,
                                     const forms::ObjectPtr& EventSink = nullptr);
    forms::Boolean VBGetSaveFileName2(std::wstring& FileName, std::wstring& FileTitle, forms::Boolean OverWritePrompt,
                                      std::wstring& Filter, int32_t& FilterIndex, const std::wstring& InitDir,
                                      const std::wstring& DlgTitle, const std::wstring& DefaultExt, HWND Owner,
                                      int32_t& flags, forms::Boolean Hook = forms::False,
                                      HINSTANCE hInstance = nullptr, int32_t TemplateName = 0,
                                      const forms::ObjectPtr& EventSink = nullptr);
    forms::Boolean VBGetSaveFileName(std::wstring& FileName, std::wstring& FileTitle, forms::Boolean OverWritePrompt,
                                     std::wstring& Filter, int32_t& FilterIndex, const std::wstring& InitDir,
                                     const std::wstring& DlgTitle, const std::wstring& DefaultExt, HWND Owner,
                                     int32_t& flags, forms::Boolean Hook = forms::False,
                                     const forms::ObjectPtr& EventSink = nullptr);
    // The file name part of a path as the platform shows it; "" on failure.
    std::wstring VBGetFileTitle(const std::wstring& sFIle);

    forms::Boolean VBChooseColor(int32_t& Color, forms::Boolean AnyColor = forms::True,
                                 forms::Boolean FullOpen = forms::False, forms::Boolean DisableFullOpen = forms::False,
                                 HWND Owner = NoOwner(), int32_t flags = 0, forms::Boolean Hook = forms::False,
                                 const forms::ObjectPtr& EventSink = nullptr);
    // Custom colour i (0 to 15); -1 outside that range, where writing does nothing.
    int32_t CustomColor(int16_t i);
    void CustomColor(int16_t i, int32_t value);

    forms::Boolean VBChooseFont(forms::StdFont& CurFont, HDC& PrinterDC, HWND Owner, int32_t& Color,
                                int32_t MinSize, int32_t MaxSize, int32_t& flags, forms::Boolean Hook = forms::False,
                                const forms::ObjectPtr& EventSink = nullptr);

    forms::Boolean VBPrintDlg(HDC& hDC, int32_t& PrintRange, forms::Boolean DisablePageNumbers, int32_t& FromPage,
                              int32_t& ToPage, forms::Boolean DisableSelection, int16_t& Copies,
                              forms::Boolean ShowPrintToFile, forms::Boolean DisablePrintToFile,
                              forms::Boolean& PrintToFile, forms::Boolean& Collate, forms::Boolean PreventWarning,
                              HWND Owner, const forms::ObjectPtr& Printer, int32_t flags,
                              forms::Boolean Hook = forms::False, const forms::ObjectPtr& EventSink = nullptr);

    // Margins in inches (Units 0) or millimetres (any other Units).
    struct Margins {
        float Left = 0, MinLeft = 0, Right = 0, MinRight = 0, Top = 0, MinTop = 0, Bottom = 0, MinBottom = 0;
    };
    struct WholeMargins {
        int32_t Left = 0, MinLeft = 0, Right = 0, MinRight = 0, Top = 0, MinTop = 0, Bottom = 0, MinBottom = 0;
    };
    forms::Boolean VBPageSetupDlg2(HWND Owner, forms::Boolean DisableMargins, forms::Boolean DisableOrientation,
                                   forms::Boolean DisablePaper, forms::Boolean DisablePrinter, Margins& margins,
                                   int32_t& PaperSize, int32_t& Orientation, int32_t& PrintQuality, int32_t Units,
                                   const forms::ObjectPtr& Printer, int32_t flags,
                                   forms::Boolean Hook = forms::False, const forms::ObjectPtr& EventSink = nullptr);
    forms::Boolean VBPageSetupDlg(HWND Owner, forms::Boolean DisableMargins, forms::Boolean DisableOrientation,
                                  forms::Boolean DisablePaper, forms::Boolean DisablePrinter, WholeMargins& margins,
                                  int32_t& PaperSize, int32_t& Orientation, int32_t& PrintQuality, int32_t Units,
                                  const forms::ObjectPtr& Printer, int32_t flags,
                                  forms::Boolean Hook = forms::False, const forms::ObjectPtr& EventSink = nullptr);

    // What the last successful print dialog chose ("" before any).
    const std::wstring& DriverName() const { return driverName_; }
    const std::wstring& DeviceName() const { return deviceName_; }
    const std::wstring& OutputPort() const { return outputPort_; }
    DEVMODEW DevModeRecord() const { return devMode_; }

    // The filter in the form the platform takes: "|" and ":" become NUL, and
    // the list ends with two NULs.
    static std::wstring ConvertFilter(const std::wstring& filter);
    // Item k (1-based) of a converted filter: description, NUL, pattern.
    static std::wstring FilterItem(const std::wstring& converted, int32_t k);

private:
    void Begin();
    void HookOn(const forms::ObjectPtr& EventSink);
    void HookOff();
    // Shows an open or save dialog, hooked when asked; true for a choice.
    bool RunFileDialog(OPENFILENAMEW& ofn, BOOL(WINAPI* show)(LPOPENFILENAMEW), forms::Boolean Hook,
                       const forms::ObjectPtr& EventSink);
    void FillCustomColours();
    // Reads the first part of a device mode block into devMode; the block stays.
    static void ReadDevMode(HGLOBAL block, DEVMODEW& devMode);

    std::array<COLORREF, 16> customColours_{};
    forms::Boolean customColoursReady_ = forms::False;
    int32_t apiReturn_ = 0;
    int32_t extendedError_ = 0;
    DEVMODEW devMode_{};
    std::wstring driverName_, deviceName_, outputPort_;
    forms::ObjectPtr eventSink_;
};
