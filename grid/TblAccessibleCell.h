// One cell of a grid's accessible table (CTblAccessibleTable): its text as the grid draws
// it, its place, and whether it is the current cell. Row -1 is the column's heading.
#pragma once

#include <QAccessibleInterface>
#include <QPointer>

#include <optional>

class CTblCellArea;
class CTblCtrl;

class CTblAccessibleCell : public QAccessibleInterface, public QAccessibleTableCellInterface
{
public:
    CTblAccessibleCell(CTblCellArea* area, int col, long row);

    // The text a cell shows, as the grid composes it for drawing (row or column -1: a heading).
    static QString Text(CTblCtrl& grid, int col, long row);

    bool IsHeading() const { return m_nRow < 0; }
    // A client has read the cell's text, which is no longer what it read.
    bool TextDiffersFromRead() const;
    // The cell is the grid's current cell.
    bool IsCurrent() const;

    void* interface_cast(QAccessible::InterfaceType type) override;
    bool isValid() const override;
    QObject* object() const override { return nullptr; }
    QAccessibleInterface* parent() const override;
    QAccessibleInterface* child(int) const override { return nullptr; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QString text(QAccessible::Text t) const override;
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override;
    QAccessible::Role role() const override;
    QAccessible::State state() const override;

    bool isSelected() const override { return IsCurrent(); }
    QList<QAccessibleInterface*> columnHeaderCells() const override;
    QList<QAccessibleInterface*> rowHeaderCells() const override { return {}; }
    int columnIndex() const override { return m_nCol; }
    int rowIndex() const override;
    int columnExtent() const override { return 1; }
    int rowExtent() const override { return 1; }
    QAccessibleInterface* table() const override { return parent(); }

private:
    CTblCtrl* Grid() const;

    QPointer<CTblCellArea> m_area;
    int m_nCol;
    long m_nRow;
    // What a client last read of the cell's text; none before the first read.
    mutable std::optional<QString> m_readText;
};
