#include "controls/cImage.h"

#include "forms/Error.h"
#include "forms/Runtime.h"
#include "forms/Values.h"

namespace {
int32_t Whole(double v) { return forms::CLng(v); }
}  // namespace

void cImage::DrawPicture(forms::PictureBox& SrcPicture, forms::PictureBox& DestPicture, int16_t PaintStyle) {
    using forms::PassOver;
    PassOver([&] { DestPicture.Cls(); });
    const double W = DestPicture.Width(), H = DestPicture.Height();
    const double sw = SrcPicture.Width(), sh = SrcPicture.Height();
    // An empty source has nothing to show, and no ratio.
    if (sw <= 0 || sh <= 0) return;

    if (PaintStyle != 0 && !(sw < W && sh < H)) {
        // The smaller ratio; the height's when they are equal.
        const double r = sh * (W / sw) < H ? W / sw : H / sh;
        const double tx = forms::Screen.TwipsPerPixelX(), ty = forms::Screen.TwipsPerPixelY();
        // Pixels throughout. The whole box is the target and the source
        // rectangle is the box seen through the ratio, so the spare room
        // stays spare room on both sides and no edge of the picture is cut.
        const double boxW = W / tx, boxH = H / ty;
        const double spareX = (W - sw * r) / 2 / tx, spareY = (H - sh * r) / 2 / ty;
        PassOver([&] {
            StretchImage(SrcPicture.hDC(), Whole(boxW / r), Whole(boxH / r), DestPicture.hDC(), Whole(-spareX / r),
                         Whole(-spareY / r), Whole(boxW), Whole(boxH));
        });
    } else {
        PassOver([&] {
            DestPicture.PaintPicture(SrcPicture.Picture(), static_cast<float>(W / 2 - sw / 2),
                                     static_cast<float>(H / 2 - sh / 2), static_cast<float>(sw),
                                     static_cast<float>(sh));
        });
    }
}

void cImage::StretchImage(HDC SrcHdc, int32_t sWidth, int32_t sHeight, HDC DestHdc, int32_t dx, int32_t dy,
                          int32_t dWidth, int32_t dHeight) {
    SetStretchBltMode(DestHdc, HALFTONE);
    StretchBlt(DestHdc, 0, 0, dWidth, dHeight, SrcHdc, dx, dy, sWidth, sHeight, SRCCOPY);
}
