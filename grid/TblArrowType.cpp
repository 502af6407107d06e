#include "TblArrowType.h"

#include "TblCell.h"

#include <QPainter>
#include <QPolygon>

#include <algorithm>

namespace {

// A filled arrowhead of half-height size whose point is at tipX, pointing right (direction
// 1) or left (-1).
void DrawHead(QPainter& dc, int tipX, int centreY, int size, int direction)
{
    const int baseX = tipX - direction * size;
    dc.drawPolygon(QPolygon(
        {QPoint(baseX, centreY - size), QPoint(tipX, centreY), QPoint(baseX, centreY + size)}));
}

} // namespace

CTblArrowType::CTblArrowType()
{
    m_bEditable = 0;
}

void CTblArrowType::DrawCell(QPainter& dc, const QRect& rect, int, long, const CTblCell& cell,
                             int selected, int current)
{
    const QRect inner = DrawBorder(dc, rect, cell);
    // The arrow marks the current row in the highlight colour whatever the current cell style.
    dc.fillRect(inner, selected || current ? cell.GetHiBackColor() : cell.GetBackColor());
    if (inner.width() <= 3)
        return;
    const int param = cell.GetTypeParam();
    const int size = std::clamp(std::min(inner.width(), inner.height()) / 4, 1, 5);
    const QPoint centre = inner.center();
    dc.save();
    dc.setRenderHint(QPainter::Antialiasing, false);
    dc.setPen(cell.GetTextColor());
    dc.setBrush(cell.GetTextColor());
    if (param == 0 || (param & GlyphRight)) {
        DrawHead(dc, centre.x() + size / 2, centre.y(), size, 1);
    } else if (param & GlyphLeft) {
        DrawHead(dc, centre.x() - size / 2, centre.y(), size, -1);
    } else if (param & GlyphApart) {
        DrawHead(dc, centre.x() - 1 - size, centre.y(), size, -1);
        DrawHead(dc, centre.x() + 1 + size, centre.y(), size, 1);
    } else if (param & GlyphTogether) {
        DrawHead(dc, centre.x() - 1, centre.y(), size, 1);
        DrawHead(dc, centre.x() + 1, centre.y(), size, -1);
    }
    dc.restore();
}
