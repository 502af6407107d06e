#include "TblCellType.h"

#include "TblCell.h"
#include "TblCtrl.h"

#include <QFontMetrics>
#include <QPainter>

CTblCellType::~CTblCellType() = default;

QString CTblCellType::TypeName() const
{
    return QStringLiteral("Normal Cell Type (default)");
}

QUuid CTblCellType::TypeIdentifier() const
{
    static const QUuid id(QStringLiteral("{4fc7f122-1159-42ed-86a1-54172a7adabf}"));
    return id;
}

int CTblCellType::FitEditorRect(QRect*)
{
    return 0;
}

int CTblCellType::SystemColorsChanged()
{
    return 0;
}

int CTblCellType::HandleLeftButton(int, long, int, const QRect&, const QPoint&)
{
    return 0;
}

int CTblCellType::HandleRightButton(int, long, int, const QRect&, const QPoint&)
{
    return 0;
}

int CTblCellType::HandleDoubleClick(int, long, const QRect&, const QPoint&)
{
    return 0;
}

int CTblCellType::HandleKeyDown(int, long, int*)
{
    return 0;
}

int CTblCellType::HandleChar(int, long, int*)
{
    return 0;
}

int CTblCellType::HandleMouseMove(int, long, const QPoint&, unsigned)
{
    return 0;
}

void CTblCellType::DrawCell(QPainter& dc, const QRect& rect, int, long, const CTblCell& cell,
                            int selected, int)
{
    dc.fillRect(rect, selected ? cell.GetHiBackColor() : cell.GetBackColor());
    const QString* text = cell.TextValue();
    if (!text)
        return;
    const int margin = m_pGrid ? m_pGrid->GetSheet()->m_nTextMargin : 4;
    dc.setPen(selected ? cell.GetHiTextColor() : cell.GetTextColor());
    dc.drawText(rect.adjusted(margin, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, *text);
}

void CTblCellType::DrawCellScaled(QPainter& dc, const QRect& rect, int col, long row,
                                  const CTblCell& cell)
{
    DrawCell(dc, rect, col, row, cell, 0, 0);
}

int CTblCellType::CellGotFocus(int, long, const CTblCell&)
{
    return 0;
}

int CTblCellType::CellLostFocus(int, long, const CTblCell&)
{
    return 0;
}

void CTblCellType::PreferredSize(QPainter& dc, QSize* size, const CTblCell& cell)
{
    if (cell.TextLength() == 0) {
        *size = QSize(9, 5);
        return;
    }
    const QFontMetrics metrics(cell.GetFont() ? *cell.GetFont() : dc.font(), dc.device());
    *size = QSize(metrics.horizontalAdvance(*cell.TextValue()) + 6, metrics.height() + 2);
}
