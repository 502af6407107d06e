// The box where the column heading and the row heading meet: it shows the corner cell
// (-1, -1) and lets the mouse size the row-heading width at its right edge and the
// column-heading height at its bottom edge.
#pragma once

#include "TblChildWindow.h"

#include <QWidget>

class CTblCtrl;

class CTblCornerBox : public QWidget, public CTblChildWindow
{
    Q_OBJECT

public:
    explicit CTblCornerBox(CTblCtrl* grid);

    QWidget* Widget() override { return this; }
    void SetSheet(CTblSheet* sheet) override;
    void UpdateAfterMove() override {}
    void RepaintAll() override;
    void RepaintCell(int col, long row) override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    enum class Sizing
    {
        None,
        Width,
        Height
    };

    Sizing SizingAt(const QPoint& point);
    // The size the mouse asks for, after the sizing callback; applied by the grid.
    void SizeTo(const QPoint& point, bool final);

    CTblCtrl* m_pGrid;
    CTblSheet* m_pSheet = nullptr;
    Sizing m_armed = Sizing::None;
    Sizing m_sizing = Sizing::None;
};
