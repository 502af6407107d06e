#include "TblCheckBoxType.h"

#include "TblCell.h"
#include "TblCtrl.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPalette>

#include <cstdlib>

namespace {

// A one-pixel frame: first colour on top and left, second on bottom and right.
void DrawRing(QPainter& dc, const QRect& rect, const QColor& topLeft, const QColor& bottomRight)
{
    dc.fillRect(rect.left(), rect.top(), rect.width(), 1, topLeft);
    dc.fillRect(rect.left(), rect.top(), 1, rect.height(), topLeft);
    dc.fillRect(rect.left(), rect.bottom(), rect.width(), 1, bottomRight);
    dc.fillRect(rect.right(), rect.top(), 1, rect.height(), bottomRight);
}

} // namespace

CTblCheckBoxType::CTblCheckBoxType()
    : m_shadow(QGuiApplication::palette().color(QPalette::Dark)),
      m_face(QGuiApplication::palette().color(QPalette::Button))
{
    m_bEditable = 0;
    m_bOverflow = 0;
}

QString CTblCheckBoxType::TypeName() const
{
    return QStringLiteral("Standard CheckBox Type");
}

QUuid CTblCheckBoxType::TypeIdentifier() const
{
    static const QUuid id(QStringLiteral("{d52f11f9-1e6f-4015-84fb-7bbee6aa1e65}"));
    return id;
}

int CTblCheckBoxType::HandleLeftButton(int col, long row, int pressed, const QRect& rect,
                                       const QPoint& point)
{
    if (pressed || !m_pGrid)
        return 0;
    const int side = BoxSide(rect.height());
    const QRect box(rect.left() + 3, rect.top() + (rect.height() - side) / 2, side, side);
    if (side <= 0 || !box.contains(point))
        return 0;
    CTblCell cell;
    m_pGrid->ReadCell(col, row, cell);
    const bool set = cell.AsNumber() == 0.0;
    if (!Toggle(col, row, set))
        return 0;
    m_pGrid->OnCellTypeEvent(m_nIndex, col, row, EventToggled, 0);
    return 1;
}

int CTblCheckBoxType::HandleDoubleClick(int col, long row, const QRect& rect, const QPoint& point)
{
    // A press: boxes toggle on the release only, so a double click changes nothing.
    return HandleLeftButton(col, row, 1, rect, point);
}

int CTblCheckBoxType::HandleChar(int, long, int* key)
{
    if (!m_pGrid || *key != ' ')
        return 0;
    const int col = m_pGrid->GetCurCol();
    const long row = m_pGrid->GetCurRow();
    CTblCell cell;
    m_pGrid->ReadCell(col, row, cell);
    const QString* text = cell.TextValue();
    const bool wasSet = text && !text->isEmpty() &&
                        (std::atol(text->toLatin1().constData()) != 0 ||
                         text->startsWith(QLatin1Char('T'), Qt::CaseInsensitive));
    if (Toggle(col, row, !wasSet))
        m_pGrid->OnCellTypeEvent(m_nIndex, col, row, EventToggled, wasSet ? 0 : 1);
    return 1;
}

bool CTblCheckBoxType::Toggle(int col, long row, bool set)
{
    // Read-only may come from the column's defaults as well as from the stored cell.
    CTblCell composed;
    m_pGrid->ComposeCell(col, row, composed);
    if (composed.GetReadOnly())
        return false;
    CTblCell cell;
    m_pGrid->ReadCell(col, row, cell);
    cell.AssignNumber(set ? 1.0 : 0.0);
    m_pGrid->WriteCell(col, row, cell);
    m_pGrid->RepaintCell(col, row);
    return true;
}

void CTblCheckBoxType::DrawCell(QPainter& dc, const QRect& rect, int, long, const CTblCell& cell,
                                int selected, int current)
{
    m_bDrawLabel = 1;
    const QRect inner = DrawBorder(dc, rect, cell);
    const int side = BoxSide(inner.height());
    const int strip = std::max(side, 0) + 6;
    dc.fillRect(QRect(inner.left(), inner.top(), std::min(strip, inner.width()), inner.height()),
                BackColorOf(cell, selected, current));
    if (side > 5) {
        const QRect box(inner.left() + 3, inner.top() + (inner.height() - side) / 2, side, side);
        DrawBox(dc, box, cell.GetTypeParam());
        if (cell.AsNumber() > 0.0)
            DrawMark(dc, box, (cell.GetTypeParam() & ParamTick) != 0);
    }
    QRect label = inner;
    label.setLeft(inner.left() + strip);
    if (label.width() > 0)
        DrawText(dc, label, 0, cell, selected, current);
}

void CTblCheckBoxType::DrawBox(QPainter& dc, const QRect& box, int param) const
{
    const QColor black(Qt::black);
    if (param & ParamSunken) {
        DrawRing(dc, box, m_shadow, m_light);
        DrawRing(dc, box.adjusted(1, 1, -1, -1), black, m_face);
    } else if (param & ParamRaised) {
        DrawRing(dc, box, m_light, black);
        DrawRing(dc, box.adjusted(1, 1, -1, -1), m_face, m_shadow);
    } else {
        DrawRing(dc, box, black, black);
    }
    const int ring = (param & (ParamSunken | ParamRaised)) ? 2 : 1;
    dc.fillRect(box.adjusted(ring, ring, -ring, -ring),
                QGuiApplication::palette().color(QPalette::Base));
}

void CTblCheckBoxType::DrawMark(QPainter& dc, const QRect& box, bool tick)
{
    const QRect in = box.adjusted(3, 3, -3, -3);
    // Large boxes get strokes two pixels thick.
    const int strokes = box.width() > 9 ? 2 : 1;
    dc.save();
    dc.setRenderHint(QPainter::Antialiasing, false);
    dc.setPen(QPen(Qt::black, 1));
    for (int s = 0; s < strokes; ++s) {
        if (tick) {
            const QPoint knee(in.left() + in.width() / 3, in.bottom() - s);
            dc.drawLine(QPoint(in.left(), in.top() + in.height() / 2 - s), knee);
            dc.drawLine(knee, QPoint(in.right(), in.top() - s));
        } else {
            dc.drawLine(QPoint(in.left() + s, in.top()), QPoint(in.right(), in.bottom() - s));
            dc.drawLine(QPoint(in.left() + s, in.bottom()), QPoint(in.right(), in.top() + s));
        }
    }
    dc.restore();
}
