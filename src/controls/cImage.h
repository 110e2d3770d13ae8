#pragma once
// Draws the picture of one picture box into another: shrunk to fit with
// halftone stretching, or at its natural size, centred.
#include <windows.h>

#include <cstdint>

#include "forms/PictureBox.h"

class cImage {
public:
    // Clears DestPicture and draws SrcPicture into it: fitted when PaintStyle
    // is not 0 and the source is not smaller than the destination both ways,
    // otherwise at natural size, centred. Fails quietly.
    void DrawPicture(forms::PictureBox& SrcPicture, forms::PictureBox& DestPicture, int16_t PaintStyle);
    // One halftone stretch of the source rectangle (origin dx, dy; size
    // sWidth x sHeight) onto the destination's top-left dWidth x dHeight.
    void StretchImage(HDC SrcHdc, int32_t sWidth, int32_t sHeight, HDC DestHdc, int32_t dx, int32_t dy,
                      int32_t dWidth, int32_t dHeight);
};
