// What assistive technology (a screen reader, through AT-SPI on Linux) sees of a grid's
// cell area: a table of the current sheet's rows and columns, whose cells are read from the
// grid as they are drawn, whose column headings are the heading cells, and whose focused
// and selected cell is the current one. The cells are painted, not widgets, so each gets
// an interface of its own when a client first asks for it, kept until the counts change.
#pragma once

#include <QAccessibleWidget>

#include <map>
#include <utility>

class CTblCellArea;
class CTblCtrl;
class QObject;
class QString;

class CTblAccessibleTable : public QAccessibleWidget, public QAccessibleTableInterface
{
public:
    explicit CTblAccessibleTable(CTblCellArea* area);
    ~CTblAccessibleTable() override;

    // The factory Qt asks for the interface of an object: the table for a cell area.
    static QAccessibleInterface* Create(const QString& className, QObject* object);
    // What the grid tells assistive technology; nothing while none listens, nor before the
    // grid has its cell area.
    static void AnnounceCurrentCell(CTblCellArea* area);
    static void AnnounceCellChanged(CTblCellArea* area, int col, long row);
    static void AnnounceLayoutChanged(CTblCellArea* area);

    CTblCtrl* Grid() const;
    // The child index of a body cell, -1 outside the rows and columns.
    int IndexOf(int col, long row) const;
    // The interface of a cell (row -1: a column heading), made on the first request.
    QAccessibleInterface* Cell(int col, long row);

    void* interface_cast(QAccessible::InterfaceType type) override;
    QAccessible::Role role() const override;
    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* childAt(int x, int y) const override;
    QAccessibleInterface* focusChild() const override;

    QAccessibleInterface* caption() const override { return nullptr; }
    QAccessibleInterface* summary() const override { return nullptr; }
    QAccessibleInterface* cellAt(int row, int column) const override;
    int columnCount() const override;
    int rowCount() const override;
    QString columnDescription(int column) const override;
    QString rowDescription(int row) const override;
    int selectedCellCount() const override;
    QList<QAccessibleInterface*> selectedCells() const override;
    int selectedColumnCount() const override { return 0; }
    int selectedRowCount() const override { return 0; }
    QList<int> selectedColumns() const override { return {}; }
    QList<int> selectedRows() const override { return {}; }
    bool isColumnSelected(int) const override { return false; }
    bool isRowSelected(int) const override { return false; }
    bool selectRow(int) override { return false; }
    bool selectColumn(int) override { return false; }
    bool unselectRow(int) override { return false; }
    bool unselectColumn(int) override { return false; }
    void modelChange(QAccessibleTableModelChangeEvent* event) override;

private:
    CTblCellArea* Area() const;
    // The cell interfaces made so far, by row and column; they go with the table.
    void ForgetCells();

    std::map<std::pair<long, int>, QAccessible::Id> m_cells;
};
