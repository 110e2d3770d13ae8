#pragma once
// A flat toolbar-style push button: a small picture on the left, the caption
// to its right; four looks (normal, hover, pressed, selected). A selected
// button stays down until the host deselects it.
#include "controls/PushButtonCore.h"

class cTButton : public PushButtonCore {
public:
    explicit cTButton(forms::Window* container, std::wstring name = L"cTButton");
    std::wstring TypeName() const override { return L"cTButton"; }

protected:
    pushbutton::Placement PlaceContent(const pushbutton::PlacementInput& in) const override;
};
