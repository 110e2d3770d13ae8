#pragma once
// The object overlay: a borderless form over the whole screen showing a
// frozen picture of it, with a red frame around the window (or control) that
// was under the pointer's spot when the overlay was opened. A left release
// captures the framed rectangle.
#include <windows.h>

#include <cstdint>
#include <vector>

#include "forms/Forms.h"

namespace app {

class CFrmObjectSelect : public forms::Form {
public:
    CFrmObjectSelect();

    // Where the framed rectangle is cut out of the frozen picture.
    forms::PictureBox Pic{this, L"Pic"};
    forms::Timer Tm{this, L"Tm"};
    // The frame around the window under the pointer.
    forms::Shape Sh{this, L"Sh"};

    void Form_KeyDown(int16_t& KeyCode, int16_t Shift);
    void Form_MouseUp(int16_t Button, int16_t Shift, float X, float Y);
    void Tm_Timer();

    // The window sampled at grid point (column, row); raises 9 outside the grid.
    HWND Grid(int32_t Column, int32_t Row) const;
    int32_t GridColumns() const { return m_Columns; }
    int32_t GridRows() const { return m_Rows; }

protected:
    // Above always-on-top windows too, or they stay live over the frozen screen.
    DWORD ExStyle() const override { return forms::Form::ExStyle() | WS_EX_TOPMOST; }
    void Form_Load() override;
    void Form_Unload(int16_t& Cancel) override;

private:
    void SaveObject();
    // Closes the overlay and ends this instance, so that the next object
    // capture samples the windows anew.
    void Close();

    // Column-major: the cell (i, j) is at i * m_Rows + j.
    std::vector<HWND> m_Grid;
    int32_t m_Columns = 0;
    int32_t m_Rows = 0;
    int32_t m_GridStep = 20;
    int32_t m_TwipsPerPixelX = 15;
    int32_t m_TwipsPerPixelY = 15;
};

inline forms::FormRef<CFrmObjectSelect> FrmObjectSelect;

}  // namespace app
