#include "TblTipWnd.h"

#include "TblCellArea.h"
#include "TblCtrl.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>

CTblTipWnd::CTblTipWnd(CTblCtrl* grid) : QWidget(grid), m_pGrid(grid)
{
    hide();
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void CTblTipWnd::ShowTip(const QString& text, const QPoint& anchor, int minWidth, int flags)
{
    m_strText = text;
    const QFontMetrics metrics(font());
    // The text sits 2 pixels in from the left and 1 down, inside a one-pixel frame.
    const int width = std::max(metrics.horizontalAdvance(text) + 4, minWidth);
    const int height = metrics.height() + 2;
    int x = anchor.x();
    if (flags & AlignHCentre)
        x -= width / 2;
    else if (flags & AlignEnd)
        x -= width;
    int y = anchor.y();
    if (flags & AlignVCentre)
        y -= height / 2;
    else if (flags & AlignBottom)
        y -= height;
    const QRect client = m_pGrid->contentsRect();
    x = std::clamp(x, client.left(), std::max(client.right() + 1 - width, client.left()));
    y = std::clamp(y, client.top(), std::max(client.bottom() + 1 - height, client.top()));
    setGeometry(x, y, width, height);
    raise();
    show();
    repaint();
}

void CTblTipWnd::HideTip()
{
    hide();
    if (CTblCellArea* area = m_pGrid->GetCellArea())
        area->RepaintAll();
}

void CTblTipWnd::paintEvent(QPaintEvent*)
{
    QPainter dc(this);
    dc.fillRect(rect(), m_backColor);
    dc.setPen(m_textColor);
    dc.drawRect(rect().adjusted(0, 0, -1, -1));
    dc.setClipRect(rect().adjusted(1, 1, -1, -1));
    dc.drawText(2, 1 + dc.fontMetrics().ascent(), m_strText);
}
