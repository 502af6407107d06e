#include "TblDropListWnd.h"

#include "TblCell.h"
#include "TblCellArea.h"
#include "TblCtrl.h"
#include "TblDropListType.h"

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>

CTblDropListWnd::CTblDropListWnd(CTblCtrl* grid, CTblDropListType* type, int col, long row,
                                 QWidget* parent)
    : QListWidget(parent), m_pGrid(grid), m_pType(type), m_nCol(col), m_nRow(row)
{
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setLineWidth(1);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformItemSizes(true);
}

CTblDropListWnd::~CTblDropListWnd()
{
    HoldMouse(false);
}

void CTblDropListWnd::HoldMouse(bool hold)
{
    if (hold == m_bHoldsMouse)
        return;
    m_bHoldsMouse = hold;
    // Every widget's mouse events pass here first while the list is open.
    if (hold)
        qApp->installEventFilter(this);
    else
        qApp->removeEventFilter(this);
}

bool CTblDropListWnd::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonDblClick &&
        type != QEvent::Wheel)
        return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || widget == this || isAncestorOf(widget) || (type == QEvent::Wheel && m_bClosed))
        return false;
    if (type == QEvent::Wheel) {
        // A scroll area takes the wheel on its viewport.
        QCoreApplication::sendEvent(viewport(), event);
    } else if (m_bPressPending) {
        // The press that took the focus and closed the list ends there.
        m_bPressPending = false;
        HoldMouse(false);
        m_pType->SetDropped(CTblDropListType::NoList, CTblDropListType::NoList);
    } else {
        Dismiss();
    }
    return true;
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
    if (!m_bPressPending)
        HoldMouse(false);
    m_bActive = 0;
    hide();
    deleteLater();
}

void CTblDropListWnd::focusInEvent(QFocusEvent* event)
{
    QListWidget::focusInEvent(event);
    HoldMouse(true);
    m_bActive = 1;
    m_bChosen = 0;
}

void CTblDropListWnd::focusOutEvent(QFocusEvent* event)
{
    QListWidget::focusOutEvent(event);
    if (m_bClosed || event->reason() == Qt::PopupFocusReason)
        return;
    // A press elsewhere took the focus: it comes next, and only closes the list.
    m_bPressPending = event->reason() == Qt::MouseFocusReason;
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
    // The cell the list was opened for, whatever has moved since.
    if (m_pGrid->OnCellTypeEvent(m_pType->m_nIndex, m_nCol, m_nRow, CTblDropListType::EventChosen,
                                 reinterpret_cast<intptr_t>(&text))) {
        CTblCell cell;
        m_pGrid->ReadCell(m_nCol, m_nRow, cell);
        cell.AssignText(text);
        m_pGrid->WriteCell(m_nCol, m_nRow, cell);
        m_pGrid->RepaintCell(m_nCol, m_nRow);
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
