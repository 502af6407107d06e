// A table model whose cells read as the benchmark grid's do: the cell's number in the
// table, counted row by row. It works the texts out as asked rather than storing them.
#pragma once

#include <QAbstractTableModel>

class CTextTableModel : public QAbstractTableModel
{
public:
    CTextTableModel(long rows, int cols) : m_nRows(rows), m_nCols(cols) {}

    int rowCount(const QModelIndex& parent) const override
    {
        return parent.isValid() ? 0 : static_cast<int>(m_nRows);
    }
    int columnCount(const QModelIndex& parent) const override
    {
        return parent.isValid() ? 0 : m_nCols;
    }
    QVariant data(const QModelIndex& index, int role) const override
    {
        if (role != Qt::DisplayRole || !index.isValid())
            return {};
        return QString::number(static_cast<long>(index.row()) * m_nCols + index.column());
    }

private:
    long m_nRows;
    int m_nCols;
};
