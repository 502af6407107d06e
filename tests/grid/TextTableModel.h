// A table model whose cells read as the benchmark grid's do, so that both paint the same
// texts. It works the texts out as asked rather than storing them.
#pragma once

#include <QAbstractTableModel>

class CTextTableModel : public QAbstractTableModel
{
public:
    // The kinds of text the benchmark stores: short Latin-1 texts, which the grid keeps in
    // compact cells, longer ones, and short ones with a character beyond Latin-1.
    enum TextKind
    {
        ShortLatin1,
        TwentyFourCharacters,
        WithEuroSign
    };

    CTextTableModel(long rows, int cols) : m_nRows(rows), m_nCols(cols) {}

    // The text of a cell, the same length in every cell: "R000123C4" for the short kind,
    // 24 characters, or "R000123€4". Each is made at its exact size, as a program
    // reading texts from a file would store them.
    static QString CellText(long row, int col, int kind = ShortLatin1)
    {
        static const QString patterns[] = {QStringLiteral("R%1C%2"),
                                           QStringLiteral("R%1C%2 and more text."),
                                           QStringLiteral("R%1\u20ac%2")};
        return patterns[kind].arg(row, 6, 10, QLatin1Char('0')).arg(col);
    }

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
        return CellText(index.row(), index.column());
    }

private:
    long m_nRows;
    int m_nCols;
};
