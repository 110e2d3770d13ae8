#pragma once
// The main window's icon in the notification area: added on every hide,
// removed once at exit. Its mouse messages come back to the window as
// mouse-move events.
#include <windows.h>
#include <shellapi.h>

#include <string>

#include "forms/Forms.h"

class cTray {
public:
    // Fills the shared record from the form, icon and tip and adds the icon;
    // a refused add is not reported.
    void AddToTray(forms::Form& Form, const forms::Picture& Icon, const std::wstring& TrayTip);
    // Deletes the icon of the last add; nothing when none was added.
    void RemoveFromTray();

    // The one record shared by every add and removal of the run.
    static NOTIFYICONDATAA& Record();
};
