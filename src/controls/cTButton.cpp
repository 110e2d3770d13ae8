#include "controls/cTButton.h"

using pushbutton::Placement;
using pushbutton::PlacementInput;
using pushbutton::R;

cTButton::cTButton(forms::Window* container, std::wstring name) : PushButtonCore(container, std::move(name)) {}

// The picture sits left, centred vertically; the caption starts right of it
// and keeps the control's full width, so word wrapping breaks past the edge.
Placement cTButton::PlaceContent(const PlacementInput& in) const {
    const int32_t y0 = R(in.sh / 2 - in.ph / 2);
    Placement at{};
    if (in.pushed) {
        // Themed, the disabled picture sits one pixel lower than the enabled one.
        at.picture = POINT{6, (in.themed && in.disabledPicture) ? y0 + 1 : y0};
        at.captionOffset = POINT{R(in.pw + 10), R(in.sh / 2 - in.th / 2)};
    } else {
        at.picture = POINT{5, (in.themed && in.disabledPicture) ? y0 : y0 - 1};
        at.captionOffset = POINT{R(in.pw + 9), R(in.sh / 2 - in.th / 2 - 1)};
    }
    at.textFormat = DT_WORDBREAK;
    return at;
}
