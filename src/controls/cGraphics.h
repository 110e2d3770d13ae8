#pragma once
// The drawing kit's class: window and pointer helpers and the drawing
// helpers. Members stand in the order of the class's interface; objects are
// reached by member name ("hwnd", "Width", "Height", "Move", "AutoRedraw",
// "DrawWidth", "ForeColor", "hDC"), sizes of objects in twips, pointer
// positions and regions in screen pixels.
#include <windows.h>
#include <shellapi.h>

#include <cstdint>
#include <string>

#include "forms/Object.h"
#include "forms/Picture.h"
#include "forms/PictureBox.h"
#include "forms/Values.h"
#include "forms/Variant.h"

class cGraphics {
public:
    // Mix of two colours: Alpha 255 gives the first, 0 the second; Alpha is
    // held to 0..255.
    int32_t BlendColor(int32_t oColorFrom, int32_t oColorTo, int32_t Alpha = 128);
    // Band gradients, Color2 at the right or bottom edge, Color1 approached
    // towards the left or top; GradType 0 bands along the height, 1 along the
    // width. The rectangle variant works in the device context's pixels.
    void DrawGradient(forms::Object& Obj, int32_t Color1, int32_t Color2, int32_t GradType);
    void DrawHGradientRect(forms::Object& Obj, int32_t x, int32_t y, int32_t Height, int32_t Width, int32_t Color1,
                           int32_t Color2);
    // The shell's icon of a file (large unless IconSize is 0), or icon
    // IconIndex of an icon library; an empty picture when there is none.
    forms::Picture GetIcon(const std::wstring& Path, int32_t IconSize);
    forms::Picture GetLibIcon(const std::wstring& Path, int32_t IconSize, int32_t IconIndex);

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

    // Clears the box and draws the text embossed at its top-left corner.
    void DrowDisabledText(forms::PictureBox& Pic, const std::wstring& Text);

    // The pointer's screen x when CPos is 0, else its screen y.
    int32_t GetCurPos(int32_t CPos);
    // The window under the pointer, 0 when none.
    HWND GetHwnd();
    // Moves SourceLayer to (Left, Top) and makes it a child of DestLayer,
    // where that position becomes its place in the destination's client area.
    void MoveLayer(forms::Object& SourceLayer, forms::Object& DestLayer, float Left, float Top);

    // A sunken edge; Width and Heigh are the right and bottom edges in
    // pixels. Leaves the object's scale in twips.
    void DrowFrame(forms::Object& Pic, int32_t Top, int32_t Left, int32_t Width, int32_t Heigh);
    forms::Variant DrawLine(forms::PictureBox& Pic, int32_t StartX, int32_t StartY, int32_t EndX, int32_t EndY,
                            int32_t LineColor);
    // Text centred across the box.
    forms::Variant cDrawText(forms::PictureBox& Pic, const std::wstring& Txt, int32_t TextColor,
                             forms::Boolean TextBold);
    // Text in a rectangle of pixel edges, optionally centred and word-broken.
    forms::Variant cDrawTextEx(forms::PictureBox& Pic, int32_t x, int32_t y, int32_t tWidth, int32_t tHeight,
                               const std::wstring& Txt, int32_t TextColor, forms::Boolean TextBold,
                               forms::Boolean TxtCenter, forms::Boolean TxtWrdBreak);
    // Clear, then a one-pixel outline / a fill of the client area; the colour
    // goes to the brush untranslated.
    forms::Variant DrawRectangle(forms::Object& Obj, int32_t RectColor);
    // An outline inset by the pen width over what is drawn; the object's
    // fore colour is restored, its draw width stays PenWidth.
    forms::Variant DrawTransRectangle(forms::Object& Obj, int32_t RectColor, int16_t PenWidth = 1);
    forms::Variant FillRectangle(forms::Object& Obj, int32_t FillColor);

    // Private to the class but for the dialog object, which shares it: a
    // colour (system colours included) as plain RGB, -1 when it cannot be.
    static int32_t TranslateColor(int32_t Color, HPALETTE hPal = nullptr);

private:
    // The translated colour into the start or the end array (black when it
    // cannot be translated).
    void SplitColor(int32_t Color, forms::Boolean IsEnd);
    void MakeLayered(HWND hwnd);
    void SetLayerAlpha(HWND hwnd, uint8_t alpha);

    // Gradient colours, red, green, blue (0 to 255).
    int32_t m_StartColor[3] = {};
    int32_t m_EndColor[3] = {};
    SHFILEINFOW m_FileInfo = {};
};
