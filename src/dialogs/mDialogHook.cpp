#include "dialogs/mDialogHook.h"

#include <exception>

#include "dialogs/GCommonDialog.h"

namespace mDialogHook {

namespace {

GCommonDialog* g_hookObject = nullptr;

// Every hook procedure does the same. Nothing may leave it by exception: the
// platform's dialog code that called it cannot unwind.
UINT_PTR Forward(HWND hDlg, UINT msg, WPARAM wParam, LPARAM lParam) noexcept {
    try {
        std::shared_ptr<GCommonDialog> obj = GetHookObject();
        if (!obj) return 0;
        forms::Variant r = obj->DialogHook(hDlg, msg, wParam, lParam);
        return r.IsEmpty() ? 0 : static_cast<UINT_PTR>(static_cast<uint32_t>(r.AsLong()));
    } catch (...) {
        return 0;
    }
}

}  // namespace

void SetHookObject(GCommonDialog& obj) { g_hookObject = &obj; }
void ClearHookObject() { g_hookObject = nullptr; }

std::shared_ptr<GCommonDialog> GetHookObject() {
    if (!g_hookObject) return nullptr;
    if (auto held = g_hookObject->weak_from_this().lock()) return held;
    // An object not held by a shared pointer: its owner manages its life.
    return std::shared_ptr<GCommonDialog>(g_hookObject, [](GCommonDialog*) {});
}

UINT_PTR CALLBACK FileDialogHookProc(HWND hDlg, UINT msg, WPARAM wParam, LPARAM lParam) {
    return Forward(hDlg, msg, wParam, lParam);
}
UINT_PTR CALLBACK PrintHookProc(HWND hDlg, UINT msg, WPARAM wParam, LPARAM lParam) {
    return Forward(hDlg, msg, wParam, lParam);
}
UINT_PTR CALLBACK PrintSetupHookProc(HWND hDlg, UINT msg, WPARAM wParam, LPARAM lParam) {
    return Forward(hDlg, msg, wParam, lParam);
}
UINT_PTR CALLBACK PageSetupHookProc(HWND hDlg, UINT msg, WPARAM wParam, LPARAM lParam) {
    return Forward(hDlg, msg, wParam, lParam);
}
UINT_PTR CALLBACK ColorHookProc(HWND hDlg, UINT msg, WPARAM wParam, LPARAM lParam) {
    return Forward(hDlg, msg, wParam, lParam);
}
UINT_PTR CALLBACK FontHookProc(HWND hDlg, UINT msg, WPARAM wParam, LPARAM lParam) {
    return Forward(hDlg, msg, wParam, lParam);
}

}  // namespace mDialogHook
