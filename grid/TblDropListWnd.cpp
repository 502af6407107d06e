#include "TblDropListWnd.h"

#include "TblCell.h"
#include "TblCellArea.h"
#include "TblCtrl.h"
#include "TblDropListType.h"

#include <QFocusEvent>
#include <QKeyEvent>

CTblDropListWnd::CTblDropListWnd(CTblCtrl* grid, CTblDropListType* type, QWidget* parent)
    : QListWidget(parent), m_pGrid(grid), m_pType(type)
{
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setLineWidth(1);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformItemSizes(true);
}

void CTblDropListWnd::SetItems(const QStringList& items, int itemHeight)
{
    for (const QString& text : items) {
        auto* item = new QListWidgetItem(text, this);
        item->setSizeHint(QSize(0, itemHeight));
    }
}

void CTblDropListWnd::Close()
{
    if (m_bClosed)
        return;
    m_bClosed = true;
    HideAndDelete();
}

void CTblDropListWnd::HideAndDelete()
{
    m_bActive = 0;
    hide();
    deleteLater();
}

void CTblDropListWnd::focusInEvent(QFocusEvent* event)
{
    QListWidget::focusInEvent(event);
    m_bActive = 1;
    m_bChosen = 0;
}

void CTblDropListWnd::focusOutEvent(QFocusEvent* event)
{
    QListWidget::focusOutEvent(event);
    if (m_bClosed || event->reason() == Qt::PopupFocusReason)
        return;
    if (!m_bChosen)
        m_pType->SetDropped(CTblDropListType::ClosedByFocus, CTblDropListType::ClosedByFocus);
    m_bChosen = 0;
    Close();
    if (CTblCellArea* area = m_pGrid->GetCellArea())
        area->repaint();
}

void CTblDropListWnd::mouseReleaseEvent(QMouseEvent* event)
{
    QListWidget::mouseReleaseEvent(event);
    if (!m_bClosed && !selectedItems().isEmpty())
        Choose();
}

void CTblDropListWnd::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Escape:
        Dismiss();
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (selectedItems().isEmpty())
            Dismiss();
        else
            Choose();
        return;
    default:
        QListWidget::keyPressEvent(event);
    }
}

void CTblDropListWnd::Choose()
{
    QString text = selectedItems().constFirst()->text();
    m_bChosen = 1;
    const int col = m_pType->m_nDroppedCol;
    const long row = m_pType->m_nDroppedRow;
    if (col >= 0 && row >= 0 &&
        m_pGrid->OnCellTypeEvent(m_pType->m_nIndex, col, row, CTblDropListType::EventChosen,
                                 reinterpret_cast<intptr_t>(&text))) {
        CTblCell cell;
        m_pGrid->ReadCell(col, row, cell);
        cell.AssignText(text);
        m_pGrid->WriteCell(col, row, cell);
        m_pGrid->RepaintCell(col, row);
    }
    m_bActive = 0;
    m_pType->SetDropped(CTblDropListType::NoList, CTblDropListType::NoList);
    FocusGridAndClose();
}

void CTblDropListWnd::Dismiss()
{
    m_bActive = 0;
    m_pType->SetDropped(CTblDropListType::NoList, CTblDropListType::NoList);
    FocusGridAndClose();
}

void CTblDropListWnd::FocusGridAndClose()
{
    if (m_bClosed)
        return;
    // Closed first, so that the focus leaving now does not count as a loss.
    m_bClosed = true;
    if (CTblCellArea* area = m_pGrid->GetCellArea())
        area->setFocus(Qt::OtherFocusReason);
    HideAndDelete();
}
