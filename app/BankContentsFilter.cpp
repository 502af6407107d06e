#include "BankContentsFilter.h"

#include "BankContentsModel.h"

CBankContentsFilter::CBankContentsFilter(CBankContentsModel& model, QObject* parent)
    : QSortFilterProxyModel(parent), m_model(model)
{
    setSourceModel(&model);
    setSortRole(CBankContentsModel::SortRole);
}

void CBankContentsFilter::SetText(const QString& text)
{
    m_text = text.trimmed();
    invalidateFilter();
}

void CBankContentsFilter::SetBank(int id)
{
    m_bank = id;
    invalidateFilter();
}

bool CBankContentsFilter::filterAcceptsRow(int sourceRow, const QModelIndex&) const
{
    const CBankContents::Row& row = m_model.Contents().Rows()[static_cast<std::size_t>(sourceRow)];
    return (m_bank < 0 || row.bankId == m_bank) && CBankContents::Matches(row, m_text);
}
