#include "TblCellType.h"

#include "TblCell.h"
#include "TblCtrl.h"
#include "TblDataSource.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPixmap>

#include <algorithm>

namespace {

// Border style bits of one side: one, two and three pixels wide.
int SideWidth(uint16_t border, uint16_t oneBit)
{
    if (border & (oneBit << 8))
        return 3;
    if (border & (oneBit << 4))
        return 2;
    return (border & oneBit) ? 1 : 0;
}

// A one-pixel frame: first colour on top and left, second on bottom and right.
void DrawFrame3D(QPainter& dc, const QRect& rect, const QColor& topLeft, const QColor& bottomRight)
{
    dc.fillRect(rect.left(), rect.top(), rect.width(), 1, topLeft);
    dc.fillRect(rect.left(), rect.top(), 1, rect.height(), topLeft);
    dc.fillRect(rect.left(), rect.bottom(), rect.width(), 1, bottomRight);
    dc.fillRect(rect.right(), rect.top(), 1, rect.height(), bottomRight);
}

// Narrows the painter's clipping to the rectangle.
void ClipTo(QPainter& dc, const QRect& rect)
{
    dc.setClipRect(rect, dc.hasClipping() ? Qt::IntersectClip : Qt::ReplaceClip);
}

} // namespace

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

void CTblCellType::DrawCell(QPainter& dc, const QRect& rect, int col, long row,
                            const CTblCell& cell, int selected, int current)
{
    DrawContent(dc, DrawBorder(dc, rect, cell), col, row, cell, selected, current);
}

void CTblCellType::DrawCellScaled(QPainter& dc, const QRect& rect, int col, long row,
                                  const CTblCell& cell)
{
    const CTblSheet* sheet = Sheet();
    int rowHeight = rect.height();
    if (sheet && row >= 0)
        rowHeight = sheet->RowSize(row);
    else if (sheet && -1 - row < sheet->HeadRowCount())
        rowHeight = sheet->m_headRowHeights[static_cast<size_t>(-1 - row)];
    const double factor = rowHeight > 0 ? static_cast<double>(rect.height()) / rowHeight : 1.0;
    QFont scaled = cell.GetFont()
                       ? *cell.GetFont()
                       : (sheet && sheet->m_pDefaultFont ? *sheet->m_pDefaultFont : dc.font());
    if (scaled.pixelSize() > 0)
        scaled.setPixelSize(std::max(1, qRound(scaled.pixelSize() * factor)));
    else
        scaled.setPointSizeF(std::max(0.5, scaled.pointSizeF() * factor));
    CTblCell copy(cell);
    copy.SetFont(&scaled);
    DrawCell(dc, rect, col, row, copy, 0, 0);
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

CTblSheet* CTblCellType::Sheet() const
{
    return m_pGrid ? m_pGrid->GetSheet() : nullptr;
}

int CTblCellType::TextMargin() const
{
    const CTblSheet* sheet = Sheet();
    return sheet ? sheet->m_nTextMargin : 4;
}

bool CTblCellType::Highlighted(int selected, int current) const
{
    const CTblSheet* sheet = Sheet();
    return selected || (current && sheet && (sheet->m_nCurCellStyle & 2));
}

QColor CTblCellType::BackColorOf(const CTblCell& cell, int selected, int current) const
{
    return Highlighted(selected, current) ? cell.GetHiBackColor() : cell.GetBackColor();
}

QRect CTblCellType::DrawBorder(QPainter& dc, const QRect& rect, const CTblCell& cell) const
{
    const CTblSheet* sheet = Sheet();
    const uint16_t border = cell.GetBorder();
    if (border & (CTblCell::BorderSunken | CTblCell::BorderRaised)) {
        const QColor white = m_pGrid ? m_pGrid->GetWhitePen().color() : QColor(Qt::white);
        const QColor shadow = m_pGrid ? m_pGrid->GetShadowPen().color() : QColor(Qt::darkGray);
        if (border & CTblCell::BorderSunken)
            DrawFrame3D(dc, rect, shadow, white);
        else
            DrawFrame3D(dc, rect, white, shadow);
        return rect.adjusted(1, 1, -1, -1);
    }
    int left = SideWidth(border, CTblCell::BorderLeft);
    int top = SideWidth(border, CTblCell::BorderTop);
    int right = SideWidth(border, CTblCell::BorderRight);
    int bottom = SideWidth(border, CTblCell::BorderBottom);
    const QColor lineColor =
        cell.GetPen() ? cell.GetPen()->color() : (sheet ? sheet->m_gridPen.color() : Qt::gray);
    const int x = rect.x();
    const int y = rect.y();
    const int w = rect.width();
    const int h = rect.height();
    dc.fillRect(x, y, left, h, lineColor);
    dc.fillRect(x, y, w, top, lineColor);
    dc.fillRect(x + w - right, y, right, h, lineColor);
    dc.fillRect(x, y + h - bottom, w, bottom, lineColor);
    // Grid lines at the right and bottom where the cell draws no line of its own.
    if (sheet && sheet->m_bGridLines) {
        const QColor gridColor = sheet->m_gridPen.color();
        if (right == 0) {
            right = 1;
            dc.fillRect(x + w - 1, y, 1, h, gridColor);
        }
        if (bottom == 0) {
            bottom = 1;
            dc.fillRect(x, y + h - 1, w, 1, gridColor);
        }
    }
    return QRect(x + left, y + top, std::max(w - left - right, 0), std::max(h - top - bottom, 0));
}

void CTblCellType::DrawContent(QPainter& dc, const QRect& inner, int col, long row,
                               const CTblCell& cell, int selected, int current) const
{
    CTblCell source;
    int shift = 0;
    if (FindOverflow(dc, col, row, cell, source, shift)) {
        // The text of the cell to the left, in this cell's colours.
        CTblCell shown(cell);
        shown.AssignText(*source.TextValue());
        shown.SetFont(source.GetFont());
        shown.SetTextColor(source.GetTextColor());
        DrawText(dc, inner, -shift, shown, selected, current);
        return;
    }
    DrawText(dc, inner, 0, cell, selected, current);
}

bool CTblCellType::FindOverflow(QPainter& dc, int col, long row, const CTblCell& cell,
                                CTblCell& source, int& shift) const
{
    const CTblSheet* sheet = Sheet();
    if (!sheet || !sheet->m_bTextOverflow || !m_bOverflow || col <= 0 || row < 0 ||
        col >= sheet->m_nColCount)
        return false;
    if (cell.TextLength() > 0 || cell.GetTypeParam() != 0 ||
        cell.HasAnyProperty(CTblCell::PropJoin))
        return false;
    // The source knows columns by their source numbers; find the shown column again.
    int found = sheet->m_columns[static_cast<size_t>(col)].m_nSourceCol;
    if (sheet->m_pDefaultSource->PrevFilledColumn(found, row) != 0)
        return false;
    int from = col - 1;
    while (from >= 0 && sheet->m_columns[static_cast<size_t>(from)].m_nSourceCol != found)
        --from;
    if (from < 0)
        return false;
    m_pGrid->ComposeCell(from, row, source);
    // Only left-aligned single-line text runs on to the right.
    const uint16_t align = source.GetAlignment();
    if (source.TextLength() == 0 || (align & (CTblCell::AlignRight | CTblCell::AlignHCenter)) ||
        (source.GetTypeParam() & (ParamWordWrap | ParamEllipsis)) ||
        !m_pGrid->TypeOf(source)->m_bOverflow)
        return false;
    const QFontMetrics metrics(source.GetFont() ? *source.GetFont() : dc.font(), dc.device());
    const int reach = metrics.horizontalAdvance(*source.TextValue()) + TextMargin();
    if (sheet->ColSize(from) >= reach)
        return false;
    int sum = 0;
    for (int n = from; n < col; ++n)
        sum += sheet->ColSize(n);
    if (sum >= reach)
        return false;
    shift = sum;
    return true;
}

void CTblCellType::DrawText(QPainter& dc, QRect rect, int shift, const CTblCell& cell, int selected,
                            int current) const
{
    QString text;
    if (m_bDrawLabel || cell.GetTypeParam() == ParamShowLabel)
        cell.LabelInto(text);
    else if (const QString* value = cell.TextValue())
        text = *value;
    dc.save();
    if (const QFont* font = cell.GetFont())
        dc.setFont(*font);
    const bool high = Highlighted(selected, current);
    const QColor back = high ? cell.GetHiBackColor() : cell.GetBackColor();
    dc.setPen(high ? cell.GetHiTextColor() : cell.GetTextColor());
    if (const QPixmap* bitmap = cell.GetBitmap(); bitmap && !bitmap->isNull())
        rect.setLeft(rect.left() + DrawBitmap(dc, rect, *bitmap, back));
    dc.fillRect(rect, back);
    ClipTo(dc, rect);
    const QFontMetrics metrics = dc.fontMetrics();
    const int param = cell.GetTypeParam();
    const int textWidth = metrics.horizontalAdvance(text);
    const int textHeight = metrics.height();
    const int margin = TextMargin();
    const int right = rect.x() + rect.width();
    const int bottom = rect.y() + rect.height();
    const uint16_t align = cell.GetAlignment();
    int x = rect.left() + margin + shift;
    if (align & CTblCell::AlignHCenter)
        x = rect.left() + (rect.width() - textWidth) / 2;
    else if (align & CTblCell::AlignRight)
        x = right - margin - textWidth;
    int y = rect.top() + 1;
    if (align & CTblCell::AlignVCenter)
        y = rect.top() + (rect.height() - textHeight) / 2;
    else if (align & CTblCell::AlignBottom)
        y = bottom - textHeight - 1;
    if (param & ParamWordWrap) {
        dc.drawText(rect, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, text);
    } else if ((param & ParamEllipsis) && rect.width() < textWidth + 6) {
        const QString dots = QStringLiteral("...");
        const int clipRight = right - metrics.horizontalAdvance(dots) - 3;
        dc.save();
        ClipTo(dc,
               QRect(rect.left(), rect.top(), std::max(clipRight - rect.left(), 0), rect.height()));
        dc.drawText(rect.left() + 3, y + metrics.ascent(), text);
        dc.restore();
        dc.drawText(clipRight, y + metrics.ascent(), dots);
    } else {
        dc.drawText(x, y + metrics.ascent(), text);
    }
    dc.restore();
}

int CTblCellType::DrawBitmap(QPainter& dc, const QRect& rect, const QPixmap& bitmap,
                             const QColor& back)
{
    const int room = rect.height() - 4;
    const bool scaled = bitmap.height() > room;
    // Too tall: scaled down to the room, keeping its proportions; else centred vertically.
    int width = scaled ? (room > 0 ? bitmap.width() * room / bitmap.height() : 0) : bitmap.width();
    const int height = scaled ? std::max(room, 0) : bitmap.height();
    const int top = scaled ? rect.top() + 2 : rect.top() + (rect.height() - height) / 2;
    int sourceWidth = bitmap.width();
    const int widest = std::max(rect.width() - 4, 0);
    if (width > widest) {
        sourceWidth = sourceWidth * widest / width;
        width = widest;
    }
    dc.fillRect(QRect(rect.left(), rect.top(), width + 4, rect.height()), back);
    if (width > 0 && height > 0)
        dc.drawPixmap(QRect(rect.left() + 2, top, width, height), bitmap,
                      QRect(0, 0, sourceWidth, bitmap.height()));
    return width + 4;
}
