#include "app/cTray.h"

#include <cstring>

#include "forms/Error.h"
#include "forms/Values.h"

NOTIFYICONDATAA& cTray::Record() {
    static NOTIFYICONDATAA record{};
    return record;
}

void cTray::AddToTray(forms::Form& Form, const forms::Picture& Icon, const std::wstring& TrayTip) {
    NOTIFYICONDATAA& nid = Record();
    nid.cbSize = NOTIFYICONDATAA_V1_SIZE;
    nid.hWnd = Form.hWnd();
    nid.uID = 1;
    nid.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    nid.uCallbackMessage = WM_MOUSEMOVE;
    nid.hIcon = reinterpret_cast<HICON>(static_cast<uintptr_t>(Icon.Handle()));
    // A fixed field of 64 characters: the tip and its NUL, cut or filled with blanks.
    std::string tip = forms::ToAnsi(TrayTip);
    tip.push_back('\0');
    tip.resize(64, ' ');
    std::memcpy(nid.szTip, tip.data(), 64);
    Shell_NotifyIconA(NIM_ADD, &nid);
}

void cTray::RemoveFromTray() {
    forms::PassOver([] {
        NOTIFYICONDATAA& nid = Record();
        nid.uFlags = 0;
        Shell_NotifyIconA(NIM_DELETE, &nid);
    });
}
