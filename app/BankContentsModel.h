// The rows of the bank contents as a table for a view and for the command line: one column
// per figure the report gives, the hidden rows marked, numbers sorted as numbers.
#pragma once

#include "BankContents.h"

#include <QAbstractTableModel>

class CBankContentsModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column
    {
        ColBank,
        ColKind,
        ColVariation,
        ColProgram,
        ColCubaseBank,
        ColCubaseProgram,
        ColName,
        ColAnsweredBy,
        ColumnCount
    };
    // What a column sorts by: its number for the numeric ones, its text for the others.
    static constexpr int SortRole = Qt::UserRole;
    // Whether a bank searched first hides the row (the view greys it).
    static constexpr int HiddenRole = Qt::UserRole + 1;

    explicit CBankContentsModel(QObject* parent = nullptr);

    // Reads the table's banks again; the view is told only when a row changed.
    void Read(const CBankTable& table);
    const CBankContents& Contents() const { return m_contents; }
    // The bank as the list names it: its ID and name.
    QString BankTitle(uint16_t id) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    QVariant Display(const CBankContents::Row& row, int column) const;
    QVariant SortKey(const CBankContents::Row& row, int column) const;

    CBankContents m_contents;
};
