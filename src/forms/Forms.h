#pragma once
// The windowing part of the forms runtime in one include.
//
// A form class derives from forms::Form; its controls are members made with
// the form as container (`this`) and their design values are set in the
// constructor. The windows are made when the form loads; one global
// reference per form class creates and loads the instance on first touch:
//
//   class CFrmDemo : public forms::Form {
//   public:
//       forms::PictureBox Pic{this, L"Pic"};
//       forms::Timer Tm{this, L"Tm"};
//       forms::Menu Mnu_File{nullptr, L"&File", L"Mnu_File"};
//       forms::Menu Mnu_File_Exit{&Mnu_File, L"E&xit", L"Mnu_File_Exit"};
//       CFrmDemo() {
//           Caption(L"Demo");
//           BorderStyle(forms::vbFixedSingle);
//           ClientSize(6000, 4000);                  // twips
//           Pic.Move(0, 0, 1500, 1500);
//           Pic.AutoRedraw(forms::True);
//           Tm.Interval(10);
//           Tm.Enabled(forms::False);
//           Tm.Tick = [this] { /* Tm_Timer */ };
//           Pic.MouseDown = [this](int16_t Button, int16_t Shift, float X, float Y) {};
//           Mnu_File_Exit.Click = [this] { forms::Unload(*this); };
//       }
//       void Form_Load() override {}
//       void Form_QueryUnload(int16_t& Cancel, int16_t UnloadMode) override {}
//       void Form_Unload(int16_t& Cancel) override {}
//   };
//   inline forms::FormRef<CFrmDemo> FrmDemo;   // FrmDemo->Show(); forms::Unload(FrmDemo); FrmDemo.Release();
//
// Controls take (container, name[, caption]): forms::OptionButton OFile{&Pic, L"OFile", L"Image File"};
// option buttons group by container; CmdSave.Default(True) / CmdCancel.Cancel(True)
// answer Enter / Esc through the runtime's message loop (RunMessageLoop, DoEvents).
// Shape, Label and Image are windowless: their container paints them.
//
// Unload keeps the instance (and its controls' values); Release ends it, so
// that the next touch makes a fresh one with the design values.
//
// A user control derives from forms::UserControl, places its child controls
// as members with `this` as container, and overrides the UserControl_*
// events it needs; it raises its own events to the host through the public
// std::function members (Click, MouseDown ...) or members of its own:
//
//   class cDemoButton : public forms::UserControl {
//   public:
//       using forms::UserControl::UserControl;   // cDemoButton Btn{this, L"Btn"};
//       forms::PictureBox Face{this, L"Face"};
//   protected:
//       void UserControl_InitProperties() override { caption_ = L""; }
//       void UserControl_ReadProperties(forms::PropertyBag& b) override { caption_ = b.ReadProperty(L"Caption", L"").AsString(); }
//       void UserControl_WriteProperties(forms::PropertyBag& b) override { b.WriteProperty(L"Caption", caption_, L""); }
//       void UserControl_MouseUp(int16_t, int16_t, float, float) override { if (Click) Click(); }
//   };
//
// The host form hands its saved values over in its constructor with
// Btn.DesignProperties(bag); with none, InitProperties runs at load.
// Inside a class derived from a form, picture box or user control the names
// Picture, Image and Font are its members: write forms::Picture, forms::Image.
// Members reached by name: override GetProperty / LetProperty / CallMethod,
// handle your names and pass the rest to the base class.

#include "forms/Controls.h"
#include "forms/Form.h"
#include "forms/Graphics.h"
#include "forms/Menu.h"
#include "forms/PictureBox.h"
#include "forms/PropertyBag.h"
#include "forms/StdFont.h"
#include "forms/Surface.h"
#include "forms/Timer.h"
#include "forms/UserControl.h"
#include "forms/Window.h"
