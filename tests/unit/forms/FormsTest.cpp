// Forms, picture boxes, the persistent image, timers, menus and the form
// life cycle, on real windows.
#include <gtest/gtest.h>

#include "forms/Error.h"
#include "forms/Forms.h"
#include "unit/common/TestSupport.h"

using namespace forms;
using testsupport::ErrorNumberOf;
using testsupport::PixelOf;
using testsupport::Pump;

namespace {

// A bitmap of one colour, as a picture that owns it.
Picture SolidPicture(int w, int h, COLORREF colour) {
    HDC screen = GetDC(nullptr);
    HBITMAP bmp = CreateCompatibleBitmap(screen, w, h);
    HDC dc = CreateCompatibleDC(screen);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, bmp);
    HBRUSH b = CreateSolidBrush(colour);
    RECT r{0, 0, w, h};
    FillRect(dc, &r, b);
    DeleteObject(b);
    SelectObject(dc, old);
    DeleteDC(dc);
    return Picture::FromBitmap(bmp, nullptr, true);
}

SIZE BitmapSize(const Picture& p) {
    BITMAP bm{};
    GetObjectW(p.Bitmap(), sizeof bm, &bm);
    return SIZE{bm.bmWidth, bm.bmHeight};
}

const COLORREF kRed = RGB(255, 0, 0), kGreen = RGB(0, 255, 0), kBlue = RGB(0, 0, 255);

class CanvasForm : public Form {
public:
    PictureBox Pic{this, L"Pic"};
    PictureBox Panel{this, L"Panel"};
    CanvasForm() {
        Caption(L"Canvas");
        BorderStyle(vbFixedSingle);
        ClientSize(6000, 4500);
        Pic.BorderStyle(0);
        Pic.AutoSize(True);
        Pic.AutoRedraw(True);
        Pic.ScaleMode(vbPixels);
        Pic.Visible(False);
        Panel.Move(0, 0, 3000, 1500);
        Panel.BorderStyle(0);
        Panel.AutoRedraw(True);
    }
};

}  // namespace

TEST(Canvas, TakesTheSizeOfEachPictureWhateverItWasMovedTo) {
    CanvasForm f;
    f.Load();
    f.Pic.Move(0, 0, 1024 * 15.0f, 768 * 15.0f);
    EXPECT_EQ(f.Pic.ScaleWidth(), 1024);
    f.Pic.Picture(SolidPicture(200, 100, kRed));
    EXPECT_EQ(f.Pic.Width(), 200 * 15);
    EXPECT_EQ(f.Pic.Height(), 100 * 15);
    EXPECT_EQ(f.Pic.ScaleWidth(), 200);
    EXPECT_EQ(f.Pic.ScaleHeight(), 100);
    Picture img = f.Pic.Image();
    SIZE s = BitmapSize(img);
    EXPECT_EQ(s.cx, 200);
    EXPECT_EQ(s.cy, 100);
    EXPECT_EQ(PixelOf(img.Bitmap(), 199, 99), kRed);

    // A smaller picture shrinks it again; a bordered box keeps its frame outside.
    f.Pic.Picture(SolidPicture(30, 20, kBlue));
    EXPECT_EQ(BitmapSize(f.Pic.Image()).cx, 30);
    f.Pic.BorderStyle(1);
    f.Pic.Picture(SolidPicture(40, 10, kBlue));
    EXPECT_EQ(f.Pic.ScaleWidth(), 40);
    EXPECT_GT(f.Pic.Width(), 40 * 15);
}

TEST(Canvas, ImageHoldsPicturePlusDrawingAndPictureEqualsImageKeepsIt) {
    CanvasForm f;
    f.Load();
    f.Pic.Picture(SolidPicture(50, 40, kRed));
    f.Pic.Line(10, 10, 19, 19, kGreen, LineKind::BoxFilled);
    // Drawing through the handle lands in the persistent image too.
    HBRUSH b = CreateSolidBrush(kBlue);
    RECT r{30, 30, 35, 35};
    FillRect(f.Pic.hDC(), &r, b);
    DeleteObject(b);

    Picture img = f.Pic.Image();
    EXPECT_EQ(PixelOf(img.Bitmap(), 0, 0), kRed);
    EXPECT_EQ(PixelOf(img.Bitmap(), 10, 10), kGreen);
    EXPECT_EQ(PixelOf(img.Bitmap(), 19, 19), kGreen);
    EXPECT_EQ(PixelOf(img.Bitmap(), 20, 20), kRed);
    EXPECT_EQ(PixelOf(img.Bitmap(), 32, 32), kBlue);

    // Cls goes back to the picture; after Picture = Image the drawing stays.
    f.Pic.Cls();
    EXPECT_EQ(PixelOf(f.Pic.Image().Bitmap(), 10, 10), kRed);
    f.Pic.Line(10, 10, 19, 19, kGreen, LineKind::BoxFilled);
    f.Pic.Picture(f.Pic.Image());
    f.Pic.Cls();
    EXPECT_EQ(PixelOf(f.Pic.Image().Bitmap(), 10, 10), kGreen);
    // The image is a copy: drawing later does not change a picture taken before.
    Picture before = f.Pic.Image();
    f.Pic.Line(0, 0, 5, 5, kBlue, LineKind::BoxFilled);
    EXPECT_EQ(PixelOf(before.Bitmap(), 0, 0), kRed);
}

TEST(Canvas, PaintPictureCopiesAPartOneToOneAndStretches) {
    CanvasForm f;
    f.Load();
    f.Pic.Picture(SolidPicture(100, 100, kRed));
    Picture src = SolidPicture(60, 60, kBlue);
    {
        HDC dc = CreateCompatibleDC(nullptr);
        HGDIOBJ old = SelectObject(dc, src.Bitmap());
        SetPixel(dc, 20, 30, kGreen);
        SelectObject(dc, old);
        DeleteDC(dc);
    }
    // Source rectangle (20, 30, 10 x 10) lands at (0, 0).
    f.Pic.PaintPicture(src, 0, 0, 10, 10, 20, 30, 10, 10, SRCCOPY);
    Picture img = f.Pic.Image();
    EXPECT_EQ(PixelOf(img.Bitmap(), 0, 0), kGreen);
    EXPECT_EQ(PixelOf(img.Bitmap(), 9, 9), kBlue);
    EXPECT_EQ(PixelOf(img.Bitmap(), 10, 10), kRed);
    // Whole picture stretched to 80 x 80.
    f.Pic.PaintPicture(SolidPicture(2, 2, kGreen), 0, 0, 80, 80);
    EXPECT_EQ(PixelOf(f.Pic.Image().Bitmap(), 79, 79), kGreen);
    EXPECT_EQ(PixelOf(f.Pic.Image().Bitmap(), 80, 80), kRed);
    EXPECT_EQ(ErrorNumberOf([&] { f.Pic.PaintPicture(Picture(), 0, 0); }), err::InvalidPicture);
}

TEST(Surface, UnloadingReleasesThePersistentImageAndThePens) {
    // (The process's GDI count reads 0 under Wine, so the objects are checked one by one.)
    HGDIOBJ dc, bmp, pen, oldPen;
    {
        CanvasForm f;
        f.Load();
        f.Pic.Picture(SolidPicture(64, 32, kRed));
        f.Pic.Line(0, 0, 10, 10, kGreen, LineKind::BoxFilled);
        HDC before = f.Pic.hDC();
        oldPen = GetCurrentObject(before, OBJ_PEN);
        f.Pic.ForeColor(static_cast<int32_t>(kBlue));  // a new pen; the old one goes
        EXPECT_EQ(GetObjectType(oldPen), 0u);
        f.Pic.Picture(SolidPicture(16, 16, kRed));  // a new size: a new image
        dc = f.Pic.hDC();
        bmp = GetCurrentObject(static_cast<HDC>(dc), OBJ_BITMAP);
        pen = GetCurrentObject(static_cast<HDC>(dc), OBJ_PEN);
        EXPECT_EQ(GetObjectType(dc), static_cast<DWORD>(OBJ_MEMDC));
        EXPECT_EQ(GetObjectType(bmp), static_cast<DWORD>(OBJ_BITMAP));
        Unload(f);
        EXPECT_EQ(GetObjectType(dc), 0u);
        EXPECT_EQ(GetObjectType(bmp), 0u);
    }
    EXPECT_EQ(GetObjectType(pen), 0u);
}

TEST(Surface, PersistentImageIsWhatTheWindowShows) {
    CanvasForm f;
    f.StartUpPosition(vbStartUpManual);
    f.Move(0, 0);
    f.Show();
    f.Panel.BackColor(static_cast<int32_t>(kBlue));
    f.Panel.Line(0, 0, 300, 300, static_cast<int32_t>(kGreen), LineKind::BoxFilled);  // twips: 20 x 20 pixels
    f.Panel.Refresh();
    Pump(100);
    POINT p{5, 5};
    ClientToScreen(f.Panel.hWnd(), &p);
    EXPECT_EQ(testsupport::ScreenPixel(p.x, p.y), kGreen);
    POINT q{40, 40};
    ClientToScreen(f.Panel.hWnd(), &q);
    EXPECT_EQ(testsupport::ScreenPixel(q.x, q.y), kBlue);
    // Covered and uncovered, the window shows its image again.
    InvalidateRect(f.Panel.hWnd(), nullptr, TRUE);
    Pump(50);
    EXPECT_EQ(testsupport::ScreenPixel(p.x, p.y), kGreen);
    Unload(f);
}

TEST(Surface, SystemColoursAreTranslatedAndBackColorClears) {
    CanvasForm f;
    f.Load();
    EXPECT_EQ(f.Panel.BackColor(), vbButtonFace);
    EXPECT_EQ(PixelOf(f.Panel.Image().Bitmap(), 1, 1), GetSysColor(COLOR_BTNFACE));
    f.Panel.Line(0, 0, 150, 150, static_cast<int32_t>(kRed), LineKind::BoxFilled);
    f.Panel.BackColor(static_cast<int32_t>(kGreen));
    EXPECT_EQ(PixelOf(f.Panel.Image().Bitmap(), 1, 1), kGreen);
    EXPECT_EQ(ErrorNumberOf([&] { f.Panel.BackColor(static_cast<int32_t>(0x800000FF)); }), err::InvalidPropertyValue);
    EXPECT_EQ(ErrorNumberOf([&] { f.Panel.DrawWidth(0); }), err::InvalidPropertyValue);
    EXPECT_EQ(ErrorNumberOf([&] { f.Panel.ScaleMode(2); }), err::InvalidPropertyValue);
}

TEST(Surface, BackColourShowsOnlyWhereThePictureDoesNotCoverAndPictureFromImageKeepsTheDrawing) {
    CanvasForm f;
    f.Load();  // Panel: 200 x 100 pixels
    const auto red = static_cast<int32_t>(kRed);
    f.Panel.BackColor(static_cast<int32_t>(kGreen));
    f.Panel.Line(0, 0, 3000, 1500, red, LineKind::BoxFilled);
    f.Panel.Picture(SolidPicture(10, 10, kBlue));
    Picture img = f.Panel.Image();
    EXPECT_EQ(PixelOf(img.Bitmap(), 9, 9), kBlue);
    EXPECT_EQ(PixelOf(img.Bitmap(), 10, 10), kGreen);
    EXPECT_EQ(PixelOf(img.Bitmap(), 199, 5), kGreen);
    EXPECT_EQ(PixelOf(img.Bitmap(), 5, 99), kGreen);

    // A picture that covers the whole area: Cls brings it back over the drawing.
    f.Panel.Picture(SolidPicture(300, 200, kBlue));
    f.Panel.Line(0, 0, 3000, 1500, red, LineKind::BoxFilled);
    f.Panel.Cls();
    EXPECT_EQ(PixelOf(f.Panel.Image().Bitmap(), 199, 99), kBlue);

    // Picture = Image in one step: both hold the drawing, and Cls keeps it.
    f.Panel.Line(0, 0, 150, 150, red, LineKind::BoxFilled);
    f.Panel.PictureFromImage();
    ASSERT_EQ(BitmapSize(f.Panel.Picture()).cx, 200);
    EXPECT_EQ(PixelOf(f.Panel.Picture().Bitmap(), 5, 5), kRed);
    EXPECT_EQ(PixelOf(f.Panel.Picture().Bitmap(), 50, 50), kBlue);
    f.Panel.Cls();
    EXPECT_EQ(PixelOf(f.Panel.Image().Bitmap(), 5, 5), kRed);
    // Later drawing is not taken for the picture: assigning it again draws it anew.
    f.Panel.Line(1500, 0, 3000, 1500, static_cast<int32_t>(kGreen), LineKind::BoxFilled);
    f.Panel.Picture(f.Panel.Picture());
    EXPECT_EQ(PixelOf(f.Panel.Image().Bitmap(), 150, 50), kBlue);
}

TEST(Surface, EachImageIsACopyOfItsOwnAlsoInABitmapUsedBefore) {
    CanvasForm f;
    f.Load();  // Panel: 200 x 100 pixels
    f.Panel.BackColor(static_cast<int32_t>(kGreen));
    f.Panel.Line(0, 0, 1500, 1500, static_cast<int32_t>(kRed), LineKind::BoxFilled);
    { Picture gone = f.Panel.Image(); }  // its bitmap may serve the next image
    f.Panel.Cls();
    Picture a = f.Panel.Image();
    EXPECT_EQ(PixelOf(a.Bitmap(), 5, 5), kGreen);
    f.Panel.Line(0, 0, 1500, 1500, static_cast<int32_t>(kBlue), LineKind::BoxFilled);
    Picture b = f.Panel.Image();
    EXPECT_NE(a.Bitmap(), b.Bitmap());
    EXPECT_EQ(PixelOf(a.Bitmap(), 5, 5), kGreen);
    EXPECT_EQ(PixelOf(b.Bitmap(), 5, 5), kBlue);
    // Without a persistent image the back colour is drawn afresh too.
    b = Picture();
    f.Panel.AutoRedraw(False);
    EXPECT_EQ(PixelOf(f.Panel.Image().Bitmap(), 5, 5), kGreen);
}

TEST(Surface, TheDeviceContextKeepsTheCallersSettingsAndFollowsTheFont) {
    CanvasForm f;
    f.Load();
    for (bool autoRedraw : {true, false}) {
        f.Panel.AutoRedraw(ToBoolean(autoRedraw));
        f.Panel.ForeColor(static_cast<int32_t>(kRed));
        HDC dc = f.Panel.hDC();
        EXPECT_EQ(GetTextColor(dc), kRed);
        SetTextColor(dc, kGreen);
        EXPECT_EQ(GetTextColor(f.Panel.hDC()), kGreen);  // read again: still the caller's
        // FontBold reaches a handle read before it.
        f.Panel.FontBold(True);
        LOGFONTW lf{};
        GetObjectW(GetCurrentObject(dc, OBJ_FONT), sizeof lf, &lf);
        EXPECT_EQ(lf.lfWeight, FW_BOLD);
        // A change made to the font object shows at the next read.
        f.Panel.Font()->Italic(True);
        GetObjectW(GetCurrentObject(f.Panel.hDC(), OBJ_FONT), sizeof lf, &lf);
        EXPECT_TRUE(lf.lfItalic);
        f.Panel.Font()->Italic(False);
        f.Panel.FontBold(False);
    }
}

TEST(Surface, LineBoxIncludesBothCornersAndMovesCurrentPoint) {
    CanvasForm f;
    f.Load();
    f.Panel.ScaleMode(vbPixels);
    f.Panel.BackColor(static_cast<int32_t>(kBlue));
    f.Panel.ForeColor(static_cast<int32_t>(kRed));
    f.Panel.Line(2, 2, 6, 6, std::nullopt, LineKind::Box);
    Picture img = f.Panel.Image();
    EXPECT_EQ(PixelOf(img.Bitmap(), 2, 2), kRed);
    EXPECT_EQ(PixelOf(img.Bitmap(), 6, 6), kRed);
    EXPECT_EQ(PixelOf(img.Bitmap(), 4, 4), kBlue);  // outline only
    EXPECT_EQ(PixelOf(img.Bitmap(), 7, 7), kBlue);
    EXPECT_EQ(f.Panel.CurrentX, 6);
    EXPECT_EQ(f.Panel.CurrentY, 6);
}

TEST(Surface, PrintMovesTheCurrentPointByTheTextsSize) {
    CanvasForm f;
    f.Load();
    f.Panel.Cls();
    f.Panel.CurrentX = 135;
    f.Panel.CurrentY = 70;
    const float h = f.Panel.TextHeight(L"X= 1");
    const float w = f.Panel.TextWidth(L"X= 1");
    EXPECT_GT(h, 0);
    EXPECT_GT(w, 0);
    f.Panel.Print(L"X= 1", false);
    EXPECT_FLOAT_EQ(f.Panel.CurrentX, 135 + w);
    EXPECT_FLOAT_EQ(f.Panel.CurrentY, 70);
    f.Panel.Print(L"");
    EXPECT_FLOAT_EQ(f.Panel.CurrentX, 0);
    EXPECT_FLOAT_EQ(f.Panel.CurrentY, 70 + h);
    EXPECT_FLOAT_EQ(f.Panel.TextHeight(L"a\r\nb"), 2 * h);
    // Text is drawn in ForeColor: something of it shows in the image.
    f.Panel.BackColor(static_cast<int32_t>(kBlue));
    f.Panel.ForeColor(static_cast<int32_t>(kRed));
    f.Panel.ScaleMode(vbPixels);
    f.Panel.Print(L"MMMM");
    Picture img = f.Panel.Image();
    int inked = 0;
    for (int y = 0; y < 14; ++y)
        for (int x = 0; x < 30; ++x) inked += PixelOf(img.Bitmap(), x, y) != kBlue;
    EXPECT_GT(inked, 10);
    // A bold font is wider.
    const float plain = f.Panel.TextWidth(L"MMMM");
    f.Panel.FontBold(True);
    EXPECT_GT(f.Panel.TextWidth(L"MMMM"), plain);
}

// ---- the form life cycle ----

namespace {

struct Counts {
    int initialize = 0, load = 0, queryUnload = 0, unload = 0, terminate = 0, instances = 0;
};
Counts g_counts;

class LifeForm : public Form {
public:
    PictureBox Pic{this, L"Pic"};
    Timer Tm{this, L"Tm"};
    int16_t cancelQuery = 0;
    int16_t cancelUnload = 0;
    int16_t lastMode = -1;
    int instance;
    LifeForm() : instance(++g_counts.instances) { Pic.Move(0, 0, 1500, 1500); }
    void Form_Initialize() override { ++g_counts.initialize; }
    void Form_Load() override { ++g_counts.load; }
    void Form_QueryUnload(int16_t& Cancel, int16_t UnloadMode) override {
        ++g_counts.queryUnload;
        lastMode = UnloadMode;
        Cancel = cancelQuery;
    }
    void Form_Unload(int16_t& Cancel) override {
        ++g_counts.unload;
        Cancel = cancelUnload;
    }
    void Form_Terminate() override { ++g_counts.terminate; }
};

FormRef<LifeForm> FrmLife;

}  // namespace

TEST(FormLife, LoadsOnFirstReferenceAndUnloadCanBeCancelled) {
    g_counts = {};
    EXPECT_EQ(FrmLife.Instance(), nullptr);
    // Touching a control loads the form.
    HWND pic = FrmLife->Pic.hWnd();
    EXPECT_NE(pic, nullptr);
    EXPECT_EQ(g_counts.initialize, 1);
    EXPECT_EQ(g_counts.load, 1);
    EXPECT_TRUE(FrmLife.Loaded());
    FrmLife->Caption(L"x");
    EXPECT_EQ(g_counts.load, 1);
    EXPECT_FALSE(IsWindowVisible(FrmLife->hWnd()));

    FrmLife->cancelQuery = -1;
    EXPECT_FALSE(Unload(FrmLife));
    EXPECT_EQ(g_counts.unload, 0);  // QueryUnload cancelled before Unload ran
    EXPECT_TRUE(IsWindow(pic));
    FrmLife->cancelQuery = 0;
    FrmLife->cancelUnload = 1;
    EXPECT_FALSE(Unload(FrmLife));
    EXPECT_EQ(g_counts.unload, 1);
    EXPECT_TRUE(IsWindow(pic));

    // The close box asks too, with its own unload mode.
    SendMessageW(FrmLife->hWnd(), WM_CLOSE, 0, 0);
    EXPECT_EQ(FrmLife->lastMode, vbFormControlMenu);
    EXPECT_TRUE(IsWindow(pic));

    FrmLife->cancelUnload = 0;
    HWND form = FrmLife->hWnd();
    EXPECT_TRUE(Unload(FrmLife));
    EXPECT_FALSE(IsWindow(pic));
    EXPECT_FALSE(IsWindow(form));
    EXPECT_FALSE(FrmLife.Loaded());
    EXPECT_NE(FrmLife.Instance(), nullptr);  // unloading keeps the instance
    EXPECT_TRUE(Unload(FrmLife));            // unloading an unloaded form does nothing
    EXPECT_EQ(g_counts.load, 1);

    // Touching it again loads the same instance again.
    const int inst = FrmLife->instance;
    EXPECT_EQ(g_counts.load, 2);
    EXPECT_EQ(g_counts.initialize, 1);
    EXPECT_NE(FrmLife->Pic.hWnd(), nullptr);

    // Releasing ends it; the next reference makes a fresh one.
    EXPECT_TRUE(FrmLife.Release());
    EXPECT_EQ(g_counts.terminate, 1);
    EXPECT_EQ(FrmLife.Instance(), nullptr);
    EXPECT_NE(FrmLife->instance, inst);
    EXPECT_EQ(g_counts.initialize, 2);
    EXPECT_EQ(g_counts.load, 3);
    FrmLife.Release();
}

TEST(FormLife, AFormMayUnloadAndReleaseItselfInsideItsOwnEvent) {
    g_counts = {};
    bool after = false;
    FrmLife->Pic.MouseUp = [&](int16_t, int16_t, float, float) {
        Unload(FrmLife);
        FrmLife.Release();
        // The instance is still whole until the event returns.
        after = FrmLife.Instance() == nullptr;
    };
    HWND pic = FrmLife->Pic.hWnd();
    SendMessageW(pic, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageW(pic, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_TRUE(after);
    EXPECT_EQ(g_counts.terminate, 1);
    EXPECT_FALSE(IsWindow(pic));
}

TEST(FormLife, ShowCentresOnTheScreenAndHideKeepsItLoaded) {
    FormRef<LifeForm> frm;
    frm->StartUpPosition(vbStartUpScreen);
    frm->ClientSize(3000, 1500);
    Unload(frm);  // centring happens when the window is made
    frm->Show();
    RECT r;
    GetWindowRect(frm->hWnd(), &r);
    EXPECT_NEAR((r.left + r.right) / 2, GetSystemMetrics(SM_CXSCREEN) / 2, 1);
    EXPECT_NEAR((r.top + r.bottom) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 1);
    EXPECT_TRUE(IsTrue(frm->Visible()));
    frm->Hide();
    EXPECT_FALSE(IsWindowVisible(frm->hWnd()));
    EXPECT_TRUE(frm.Loaded());
    frm.Release();
}

TEST(Timers, FireOnlyWhileEnabledAndTheirFormIsLoaded) {
    FormRef<LifeForm> frm;
    int ticks = 0;
    frm->Tm.Tick = [&] { ++ticks; };
    frm->Tm.Interval(10);
    frm->Tm.Enabled(False);
    Pump(100);
    EXPECT_EQ(ticks, 0);
    frm->Tm.Enabled(True);
    Pump(200);
    EXPECT_GT(ticks, 2);
    // Switching itself off inside its event and on again later works.
    frm->Tm.Tick = [&] {
        ++ticks;
        frm->Tm.Enabled(False);
    };
    ticks = 0;
    Pump(100);
    EXPECT_EQ(ticks, 1);
    frm->Tm.Enabled(True);
    Pump(100);
    EXPECT_EQ(ticks, 2);
    frm->Tm.Tick = [&] { ++ticks; };
    frm->Tm.Enabled(True);
    Unload(frm);
    EXPECT_FALSE(frm.Instance()->Tm.Running());
    ticks = 0;
    Pump(100);
    EXPECT_EQ(ticks, 0);
    EXPECT_EQ(ErrorNumberOf([&] { frm.Instance()->Tm.Interval(65536); }), err::InvalidPropertyValue);
    frm.Release();
}

TEST(Timers, AHandlerThatRunsLongIsNotEnteredAgain) {
    Timer t;
    int depth = 0, maxDepth = 0, ticks = 0;
    t.Interval(5);
    t.Tick = [&] {
        ++ticks;
        maxDepth = std::max(maxDepth, ++depth);
        if (ticks == 1) Pump(60);  // lets messages (and timers) run inside the handler
        --depth;
    };
    Pump(150);
    EXPECT_GT(ticks, 1);
    EXPECT_EQ(maxDepth, 1);
}

// ---- events, pointer and members by name ----

TEST(WindowEvents, MouseCoordinatesAreInTheObjectsOwnScale) {
    CanvasForm f;
    f.Load();
    std::vector<std::wstring> seen;
    float fx = 0, fy = 0, px = 0, py = 0;
    int16_t button = 0;
    f.MouseDown = [&](int16_t b, int16_t, float x, float y) {
        fx = x;
        fy = y;
        button = b;
    };
    f.Pic.Visible(True);
    f.Pic.Picture(SolidPicture(50, 50, kRed));
    f.Pic.MouseDown = [&](int16_t, int16_t, float x, float y) {
        px = x;
        py = y;
        seen.push_back(L"down");
    };
    f.Pic.MouseUp = [&](int16_t, int16_t, float, float) { seen.push_back(L"up"); };
    f.Pic.Click = [&] { seen.push_back(L"click"); };
    SendMessageW(f.hWnd(), WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(10, 20));
    SendMessageW(f.hWnd(), WM_RBUTTONUP, 0, MAKELPARAM(10, 20));
    EXPECT_EQ(button, vbRightButton);
    EXPECT_EQ(fx, 150);  // the form's scale is twips
    EXPECT_EQ(fy, 300);
    SendMessageW(f.Pic.hWnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 20));
    SendMessageW(f.Pic.hWnd(), WM_LBUTTONUP, 0, MAKELPARAM(10, 20));
    EXPECT_EQ(px, 10);  // the box's scale is pixels
    EXPECT_EQ(py, 20);
    EXPECT_EQ(seen, (std::vector<std::wstring>{L"down", L"up", L"click"}));
    EXPECT_EQ(GetCapture(), nullptr);
    // A double click: the second press is DblClick alone, its release no Click.
    f.Pic.DblClick = [&] { seen.push_back(L"dbl"); };
    seen.clear();
    SendMessageW(f.Pic.hWnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 20));
    SendMessageW(f.Pic.hWnd(), WM_LBUTTONUP, 0, MAKELPARAM(10, 20));
    SendMessageW(f.Pic.hWnd(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(10, 20));
    SendMessageW(f.Pic.hWnd(), WM_LBUTTONUP, 0, MAKELPARAM(10, 20));
    EXPECT_EQ(seen, (std::vector<std::wstring>{L"down", L"up", L"click", L"dbl", L"up"}));
    // A release outside the window is no click.
    seen.clear();
    SendMessageW(f.Pic.hWnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 20));
    SendMessageW(f.Pic.hWnd(), WM_LBUTTONUP, 0, MAKELPARAM(500, 20));
    EXPECT_EQ(seen, (std::vector<std::wstring>{L"down", L"up"}));
}

TEST(WindowEvents, KeyPreviewLetsTheFormSeeAndEatKeysFirst) {
    CanvasForm f;
    f.Load();
    std::vector<int> order;
    f.KeyPreview(True);
    f.KeyDown = [&](int16_t& k, int16_t) {
        order.push_back(1);
        if (k == VK_ESCAPE) k = 0;
    };
    f.Panel.KeyDown = [&](int16_t&, int16_t) { order.push_back(2); };
    SendMessageW(f.Panel.hWnd(), WM_KEYDOWN, 'A', 0);
    SendMessageW(f.Panel.hWnd(), WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_EQ(order, (std::vector<int>{1, 2, 1}));
}

TEST(MousePointer, CustomPointerShowsTheResourceCursor) {
    CanvasForm f;
    f.Load();
    Picture hand = LoadResPicture(1, resCursor);
    f.Panel.MousePointer(vbCustom);
    f.Panel.MouseIcon(hand);
    HWND h = f.Panel.hWnd();
    SetCursor(LoadCursorW(nullptr, IDC_ARROW));
    SendMessageW(h, WM_SETCURSOR, reinterpret_cast<WPARAM>(h), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(GetCursor(), reinterpret_cast<HCURSOR>(static_cast<uintptr_t>(hand.Handle())));
    // Back to the default: the window's own arrow.
    f.Panel.MousePointer(vbDefault);
    SendMessageW(h, WM_SETCURSOR, reinterpret_cast<WPARAM>(h), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_ARROW));
    // A custom pointer of the container does not reach its children.
    f.MousePointer(vbCustom);
    f.MouseIcon(hand);
    EXPECT_EQ(SendMessageW(f.hWnd(), WM_SETCURSOR, reinterpret_cast<WPARAM>(h), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)), FALSE);
    // While the window holds the mouse capture (a drag) a change shows at once.
    f.MousePointer(vbDefault);
    SetCapture(h);
    f.Panel.MouseIcon(LoadResPicture(3, resCursor));
    f.Panel.MousePointer(vbCustom);
    EXPECT_EQ(GetCursor(), reinterpret_cast<HCURSOR>(static_cast<uintptr_t>(f.Panel.MouseIcon().Handle())));
    ReleaseCapture();
    EXPECT_EQ(ErrorNumberOf([&] { f.Panel.MouseIcon(SolidPicture(4, 4, kRed)); }), err::InvalidPropertyValue);
    EXPECT_EQ(ErrorNumberOf([&] { f.Panel.MousePointer(42); }), err::InvalidPropertyValue);
}

TEST(ByName, MembersOfARealWindow) {
    CanvasForm f;
    f.Load();
    Object& pic = f.Panel;
    EXPECT_EQ(GetBy(pic, L"hWnd").AsLong(), static_cast<int32_t>(reinterpret_cast<intptr_t>(f.Panel.hWnd())));
    EXPECT_NE(GetBy(pic, L"hDC").AsLong(), 0);
    LetBy(pic, L"Width", 4500);
    EXPECT_EQ(GetBy(pic, L"width").AsSingle(), 4500);
    CallBy(pic, L"Move", {Variant(150), Variant(300)});
    EXPECT_EQ(f.Panel.PixelRect().left, 10);
    EXPECT_EQ(f.Panel.PixelRect().top, 20);
    EXPECT_EQ(f.Panel.Width(), 4500);  // left out: unchanged
    CallBy(pic, L"Move", {Variant(0), Variant(0), Variant(1500), Variant(750)});
    EXPECT_EQ(GetBy(pic, L"ScaleWidth").AsSingle(), 1500);
    LetBy(pic, L"ScaleMode", 3);
    EXPECT_EQ(GetBy(pic, L"ScaleWidth").AsSingle(), 100);
    EXPECT_EQ(GetBy(pic, L"ScaleHeight").AsSingle(), 50);
    LetBy(pic, L"DrawWidth", 3);
    LetBy(pic, L"ForeColor", static_cast<int32_t>(kGreen));
    EXPECT_EQ(GetBy(pic, L"DrawWidth").AsInteger(), 3);
    LetBy(pic, L"AutoRedraw", Variant::FromBoolean(True));
    CallBy(pic, L"Cls");
    Picture img = GetBy(pic, L"Image").AsPicture();
    EXPECT_EQ(BitmapSize(img).cx, 100);
    LetBy(pic, L"Picture", img);
    EXPECT_EQ(GetBy(pic, L"Picture").AsPicture(), img);
    CallBy(pic, L"Refresh");
    CallBy(pic, L"ZOrder", {Variant(0)});
    EXPECT_EQ(ErrorNumberOf([&] { GetBy(pic, L"NoSuchThing"); }), err::NoSuchMember);
    EXPECT_EQ(ErrorNumberOf([&] { CallBy(pic, L"Fly"); }), err::NoSuchMember);
    EXPECT_EQ(ErrorNumberOf([&] { LetBy(pic, L"Width", -1); }), err::InvalidPropertyValue);
    Object& form = f;
    LetBy(form, L"Caption", L"Named");
    EXPECT_EQ(f.Caption(), L"Named");
    wchar_t text[32];
    GetWindowTextW(f.hWnd(), text, 32);
    EXPECT_STREQ(text, L"Named");
    EXPECT_EQ(f.Controls()[L"panel"].Name, L"Panel");
    EXPECT_EQ(ErrorNumberOf([&] { f.Controls()[L"Nope"]; }), err::ControlNotFound);
}

TEST(Menus, PopupMenuSkipsHiddenItemsAndSeparatorsAndRunsTheChosenClick) {
    CanvasForm f;
    f.Show();
    SetForegroundWindow(f.hWnd());
    Menu file(nullptr, L"&File");
    Menu hidden(&file, L"Hidden");
    Menu second(&file, L"Second");
    Menu sep(&file, L"-");
    Menu third(&file, L"Third");
    hidden.Visible = False;
    std::wstring clicked;
    hidden.Click = [&] { clicked = L"hidden"; };
    second.Click = [&] { clicked = L"second"; };
    third.Click = [&] { clicked = L"third"; };
    PostMessageW(f.hWnd(), WM_KEYDOWN, VK_DOWN, 0);
    PostMessageW(f.hWnd(), WM_KEYDOWN, VK_DOWN, 0);
    PostMessageW(f.hWnd(), WM_KEYDOWN, VK_RETURN, 0);
    f.PopupMenu(file);
    EXPECT_EQ(clicked, L"third");
    // Esc closes it with nothing chosen.
    clicked.clear();
    PostMessageW(f.hWnd(), WM_KEYDOWN, VK_ESCAPE, 0);
    f.PopupMenu(file);
    EXPECT_EQ(clicked, L"");
    Unload(f);
}

TEST(Fonts, PlatformFontIsMadeAgainAfterAChange) {
    StdFont font;
    EXPECT_EQ(font.Name(), L"MS Sans Serif");
    HFONT first = font.Handle();
    EXPECT_EQ(font.Handle(), first);
    uint32_t v = font.Version();
    font.Bold(True);
    EXPECT_EQ(font.Weight(), FW_BOLD);
    EXPECT_GT(font.Version(), v);
    LOGFONTW lf{};
    GetObjectW(font.Handle(), sizeof lf, &lf);
    EXPECT_EQ(lf.lfWeight, FW_BOLD);
    font.Size(12);
    GetObjectW(font.Handle(), sizeof lf, &lf);
    EXPECT_EQ(lf.lfHeight, -16);  // 12 points at 96 dpi
    font.Weight(400);
    EXPECT_FALSE(IsTrue(font.Bold()));
    EXPECT_EQ(ErrorNumberOf([&] { font.Size(0); }), err::InvalidPropertyValue);
    EXPECT_EQ(GetBy(font, L"Size").AsSingle(), 12);
}
