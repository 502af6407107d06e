#include "TblDropListType.h"

#include <QApplication>
#include <QStyle>

CTblDropListType::CTblDropListType()
    : m_nButtonWidth(QApplication::style()->pixelMetric(QStyle::PM_ScrollBarExtent))
{
    m_bOverflow = 0;
}

QString CTblDropListType::TypeName() const
{
    return QStringLiteral("Standard DropList");
}

QUuid CTblDropListType::TypeIdentifier() const
{
    static const QUuid id(QStringLiteral("{273483c8-277f-4a97-837c-39ef4a57f4a7}"));
    return id;
}

int CTblDropListType::FitEditorRect(QRect* rect)
{
    rect->setRight(rect->right() - (m_nButtonWidth + 1));
    return 1;
}

int CTblDropListType::CellLostFocus(int, long, const CTblCell&)
{
    m_nDroppedCol = -1;
    m_nDroppedRow = -1;
    return -1;
}
