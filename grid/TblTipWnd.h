// A small tip window of the grid: a line of text in black on light yellow inside a black
// frame, placed next to a point (the scroll box being dragged) and kept inside the grid.
#pragma once

#include <QColor>
#include <QWidget>

class CTblCtrl;

class CTblTipWnd : public QWidget
{
    Q_OBJECT

public:
    // Placement flags: where the tip lies against its anchor point.
    enum Align
    {
        AlignEnd = 0x02,
        AlignHCentre = 0x04,
        AlignBottom = 0x10,
        AlignVCentre = 0x20,
    };

    explicit CTblTipWnd(CTblCtrl* grid);

    // Shows the text at the anchor (grid coordinates), at least minWidth wide; flags
    // combine the Align values (none: the tip starts at the anchor, right and down).
    void ShowTip(const QString& text, const QPoint& anchor, int minWidth, int flags);
    // Hides the tip and repaints the cells it covered.
    void HideTip();
    QString Text() const { return m_strText; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    CTblCtrl* m_pGrid;
    QString m_strText;
    QColor m_textColor{Qt::black};
    QColor m_backColor{0xFF, 0xFF, 0xE0};
};
