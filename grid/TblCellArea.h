// The grid's cell area: has the cells of the current sheet painted (CTblCellPainter),
// repainting only what a move changed and shifting the pixels already drawn when the view
// scrolls, and turns keys, clicks, drags and the wheel into the grid's navigation and
// callbacks.
#pragma once

#include "TblChildWindow.h"

#include <QPixmap>
#include <QRegion>
#include <QTimer>
#include <QWidget>

class CTblCell;
class CTblCellType;
class CTblCtrl;

class CTblCellArea : public QWidget, public CTblChildWindow
{
    Q_OBJECT

public:
    explicit CTblCellArea(CTblCtrl* grid);

    CTblCtrl* Grid() const { return m_pGrid; }
    QWidget* Widget() override { return this; }
    void SetSheet(CTblSheet* sheet) override;
    void UpdateAfterMove() override;
    void RepaintAll() override;
    void RepaintCell(int col, long row) override;

    // 1: cells are painted into an off-screen image of the area, which is then copied to
    // the window; 0: straight into the window.
    void SetDoubleBuffer(int mode);
    int GetDoubleBuffer() const { return m_nDoubleBuffer; }

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    // The cell under a point with its rectangle; col and row -1 when there is none.
    struct Hit
    {
        int col = -1;
        long row = -1;
        QRect rect;
        bool found = false;
    };

    Hit HitAt(const QPoint& point) const;
    // The type of a body cell; none for no cell (no current cell).
    CTblCellType* TypeAt(int col, long row) const;

    // Invalidates part of the area for the next paint.
    void Mark(const QRect& rect);
    // The current cell, or its whole row with the whole-row highlight.
    void MarkCurrent(int col, long row);
    void ShiftView();
    // The off-screen image, made to the area's size; false when painting goes straight to
    // the window.
    bool BufferReady();
    void ScrollPixels(int dx, int dy, const QRect& rect);

    // Tab and Shift+Tab go to the grid's keys; Ctrl+Tab and Ctrl+Shift+Tab leave the grid.
    bool TakeTabKey(QKeyEvent* event);
    void TabStep(bool back);
    int KeyStep();
    void Navigate(int key, int step);
    void LeftButtonDown(QMouseEvent* event);
    void LeftButtonUp(QMouseEvent* event);
    void RightButton(QMouseEvent* event, bool down);
    // One step of a drag with the left button: outside the area the view moves on,
    // inside the cell under the mouse becomes current. Repeats while the mouse rests
    // outside.
    void DragStep();
    bool DragOutside(const QPoint& point);
    static unsigned KeyFlags(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers);

    CTblCtrl* m_pGrid;
    CTblSheet* m_pSheet = nullptr;
    int m_nDoubleBuffer = 0;
    QPixmap m_buffer;
    // 1 while the area has the keyboard focus.
    int m_bFocus = 0;
    int m_nRepeat = 0;
    int m_bTypeHasMouse = 0;
    // Wheel turns short of a notch, kept for the next turn.
    int m_nWheelRest = 0;
    bool m_bPainting = false;
    // The left button went down here and is not up yet.
    bool m_bLeftDown = false;
    QTimer m_dragTimer;
    QPoint m_dragPoint;
};
