#include "app/ModGeneral.h"

#include <windows.h>

#include "forms/Error.h"
#include "forms/Runtime.h"

namespace ModGeneral {

int32_t g_LastKey = 0;
forms::Boolean g_CapturedByHotkey = forms::False;
forms::Boolean g_RegionSelecting = forms::False;
forms::Boolean g_ObjectSelecting = forms::False;

void SetFormOnTop(forms::Object& Form, forms::Boolean OnTop) {
    HWND hwnd = reinterpret_cast<HWND>(static_cast<intptr_t>(forms::GetBy(Form, L"hWnd").AsLong()));
    SetWindowPos(hwnd, forms::IsTrue(OnTop) ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

void ReportNotSaved(const std::wstring& Destination, const std::wstring& Reason) {
    std::wstring text = L"The capture was not saved to " + Destination + L".";
    if (!Reason.empty()) text += L"\r\n\r\n" + Reason;
    forms::PassOver([&] { forms::MsgBox(text, forms::vbExclamation, L"Quorvane Capture"); });
}

}  // namespace ModGeneral
