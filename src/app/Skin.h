#pragma once
// The skinned look shared by the main window and its pages: colours, the
// navigation geometry (twips) and the pictures stored with the program.
#include <cstdint>

#include "forms/Picture.h"

namespace Skin {

constexpr int32_t PanelColour = 0x3B96FF;   // navigation strip (BGR: orange)
constexpr int32_t PageColour = 0xE9F1F4;    // page background (BGR)
constexpr int32_t HeadingColour = 0x5A3A1E; // page headings (BGR)
constexpr float NavLeft = 105, NavTop = 240, NavStep = 1260, NavWidth = 1320, NavHeight = 1140;

// Pictures from the program's resources; an empty picture when missing.
forms::Picture Panel();
forms::Picture PageButton(int index, bool hover);
forms::Picture ModeButton(int index, bool hover);
forms::Picture ActionButton(int index, bool hover);

}  // namespace Skin
