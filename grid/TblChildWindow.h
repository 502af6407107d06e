// What a grid asks of each of its child windows (cell area, headings, corner box, scroll
// bars, sheet tabs): follow the current sheet, update after navigation, repaint.
#pragma once

class CTblSheet;
class QWidget;

class CTblChildWindow
{
public:
    virtual ~CTblChildWindow() = default;

    virtual QWidget* Widget() = 0;
    // The sheet the window shows from now on.
    virtual void SetSheet(CTblSheet* sheet) = 0;
    // The current cell, the top row or the left column changed; the window brings itself
    // up to date (repainting only while the grid's redraw flag is set).
    virtual void UpdateAfterMove() = 0;
    virtual void RepaintAll() = 0;
    // Repaints one cell; windows of whole headings repaint everything.
    virtual void RepaintCell(int col, long row) = 0;
};
