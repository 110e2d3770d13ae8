#include "app/cTray.h"

NOTIFYICONDATAA& cTray::Record() {
    static NOTIFYICONDATAA record{};
    return record;
}
void cTray::AddToTray(forms::Form&, const forms::Picture&, const std::wstring&) {}
void cTray::RemoveFromTray() {}
