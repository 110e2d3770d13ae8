#pragma once
// The hook procedures of the common dialogs and the one slot through which
// they find the dialog functions object that showed the running dialog.
#include <windows.h>

#include <memory>

class GCommonDialog;

namespace mDialogHook {

// The slot keeps the address only: the owner keeps the object alive while
// its dialog runs.
void SetHookObject(GCommonDialog& obj);
void ClearHookObject();
// A new counted reference to the object in the slot, none when it is empty.
std::shared_ptr<GCommonDialog> GetHookObject();

UINT_PTR CALLBACK FileDialogHookProc(HWND hDlg, UINT msg, WPARAM wParam, LPARAM lParam);
UINT_PTR CALLBACK PrintHookProc(HWND hDlg, UINT msg, WPARAM wParam, LPARAM lParam);
UINT_PTR CALLBACK PrintSetupHookProc(HWND hDlg, UINT msg, WPARAM wParam, LPARAM lParam);
UINT_PTR CALLBACK PageSetupHookProc(HWND hDlg, UINT msg, WPARAM wParam, LPARAM lParam);
UINT_PTR CALLBACK ColorHookProc(HWND hDlg, UINT msg, WPARAM wParam, LPARAM lParam);
UINT_PTR CALLBACK FontHookProc(HWND hDlg, UINT msg, WPARAM wParam, LPARAM lParam);

}  // namespace mDialogHook
