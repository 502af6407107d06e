// What the grid's two scroll bars share: they follow the sheet's view, turn the bar's
// arrows, page areas and box into the grid's scrolling, and give the cell area the focus
// first.
#pragma once

#include "TblChildWindow.h"

#include <QScrollBar>

class CTblCtrl;

class CTblScrollBar : public QScrollBar, public CTblChildWindow
{
    Q_OBJECT

public:
    QWidget* Widget() override { return this; }
    void SetSheet(CTblSheet* sheet) override;
    void UpdateAfterMove() override { Refresh(); }
    void RepaintAll() override { Refresh(); }
    void RepaintCell(int, long) override {}

protected:
    CTblScrollBar(Qt::Orientation orientation, CTblCtrl* grid);

    // Range and position from the sheet.
    virtual void Refresh() = 0;
    // One of the grid's step kinds (CTblSheet::Step) from the first shown row (column).
    virtual void Step(int kind) = 0;
    // The box was released (or set without a drag) at a position.
    virtual void ThumbPosition(int position) = 0;
    // The box is being dragged to a position.
    virtual void ThumbTrack(int position) = 0;

    // Sets range, page and position without reporting them as the user's actions; the
    // position is left alone while the user drags the box.
    void SetBar(int minimum, int maximum, int page, int position);
    // Where the box is, in the grid's coordinates.
    QRect ThumbRect() const;
    void FocusCells();

    CTblCtrl* m_pGrid;
    CTblSheet* m_pSheet = nullptr;

private:
    void OnAction(int action);
    void OnMoved(int position);
    void OnReleased();
};
