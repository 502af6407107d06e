#include "BankContentsFilter.h"

#include "BankContentsModel.h"

#include <QApplication>
#include <QPalette>

CBankContentsFilter::CBankContentsFilter(CBankContentsModel& model, QObject* parent)
    : QSortFilterProxyModel(parent), m_model(model)
{
    setSourceModel(&model);
    setSortRole(CBankContentsModel::SortRole);
}

// The rows are mapped anew in one change of layout: invalidateFilter would tell the view of
// every run of rows that comes or goes, which for a filter that keeps scattered rows of a
// large card takes far longer than mapping them all.
void CBankContentsFilter::SetText(const QString& text)
{
    m_text = text.trimmed();
    invalidate();
}

void CBankContentsFilter::SetBank(int id)
{
    m_bank = id;
    invalidate();
}

bool CBankContentsFilter::filterAcceptsRow(int sourceRow, const QModelIndex&) const
{
    const CBankContents::Row& row = m_model.Contents().Rows()[static_cast<std::size_t>(sourceRow)];
    return (m_bank < 0 || row.bankId == m_bank) && CBankContents::Matches(row, m_text);
}

QVariant CBankContentsFilter::data(const QModelIndex& index, int role) const
{
    if (role == Qt::ForegroundRole &&
        QSortFilterProxyModel::data(index, CBankContentsModel::HiddenRole).toBool())
        return QApplication::palette().brush(QPalette::Disabled, QPalette::Text);
    return QSortFilterProxyModel::data(index, role);
}
