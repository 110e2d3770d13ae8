#pragma once
// The drawing kit's class: window and pointer helpers and the drawing
// helpers. Members stand in the order of the class's interface; objects are
// reached by member name ("hwnd", "Width", "Height", "Move", "AutoRedraw",
// "DrawWidth", "ForeColor", "hDC"), sizes of objects in twips, pointer
// positions and regions in screen pixels.
#include <windows.h>

#include <cstdint>

#include "forms/Object.h"
#include "forms/Values.h"
#include "forms/Variant.h"

class cGraphics {
public:
    // -- BlendColor, DrawGradient, DrawHGradientRect, GetIcon, GetLibIcon --

    // Clips the window to a rounded rectangle of its outer size; the window
    // owns the region afterwards. With ShowFrame True draws its outline.
    void CreateRoundRgn(forms::Object& Obj, int16_t RoundValue, forms::Boolean ShowFrame, int16_t FrameWidth,
                        int32_t FrameColor);
    // Makes the window layered (replacing its whole extended style) with
    // opacity TransValue, 0 invisible to 255 opaque.
    forms::Variant TransForm(forms::Object& Form, uint8_t TransValue);
    // True while the pointer is strictly inside the object; holds the mouse
    // capture while it is and releases it when it is not.
    forms::Boolean RgnHover(forms::Object& Obj);

    // -- DrowDisabledText --

    // The pointer's screen x when CPos is 0, else its screen y.
    int32_t GetCurPos(int32_t CPos);
    // The window under the pointer, 0 when none.
    HWND GetHwnd();
    // Moves SourceLayer to (Left, Top) and makes it a child of DestLayer,
    // where that position becomes its place in the destination's client area.
    void MoveLayer(forms::Object& SourceLayer, forms::Object& DestLayer, float Left, float Top);

    // -- DrowFrame, DrawLine, cDrawText, cDrawTextEx, DrawRectangle,
    //    DrawTransRectangle, FillRectangle --

private:
    // -- TranslateColor, SplitColor --

    void MakeLayered(HWND hwnd);
    void SetLayerAlpha(HWND hwnd, uint8_t alpha);
};
