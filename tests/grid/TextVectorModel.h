// The plainest table model that stores its texts: one QString per cell in a vector, row by
// row. The benchmark sets the memory a stored grid cell takes beside it.
#pragma once

#include <QAbstractTableModel>

#include <vector>

class CTextVectorModel : public QAbstractTableModel
{
public:
    CTextVectorModel(long rows, int cols)
        : m_nCols(cols), m_texts(static_cast<size_t>(rows) * static_cast<size_t>(cols))
    {
    }

    int rowCount(const QModelIndex& parent) const override
    {
        return parent.isValid() || m_nCols == 0 ? 0 : static_cast<int>(m_texts.size() / m_nCols);
    }
    int columnCount(const QModelIndex& parent) const override
    {
        return parent.isValid() ? 0 : m_nCols;
    }
    QVariant data(const QModelIndex& index, int role) const override
    {
        if (role != Qt::DisplayRole || !index.isValid())
            return {};
        return m_texts[Place(index.row(), index.column())];
    }
    // Stores a text as a program filling the model would, without an index or a variant.
    void SetText(long row, int col, const QString& text) { m_texts[Place(row, col)] = text; }

private:
    size_t Place(long row, int col) const
    {
        return static_cast<size_t>(row) * static_cast<size_t>(m_nCols) + static_cast<size_t>(col);
    }

    int m_nCols;
    std::vector<QString> m_texts;
};
