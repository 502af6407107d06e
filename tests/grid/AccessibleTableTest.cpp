#include "AccessibleTableTest.h"

#include "GridWindow.h"

#include <QAccessible>
#include <QTest>

#include <utility>

namespace {

// Three columns headed "Id", "Name", "Size" and five rows; cell (col, row) reads "col,row".
void FillGrid(CTblCtrl& grid)
{
    grid.SetColumnCount(3);
    grid.SetRowCount(5);
    const QString headings[] = {QStringLiteral("Id"), QStringLiteral("Name"),
                                QStringLiteral("Size")};
    for (int col = 0; col < 3; ++col) {
        grid.SetCellText(col, -1, headings[col]);
        for (long row = 0; row < 5; ++row)
            grid.SetCellText(col, row, QStringLiteral("%1,%2").arg(col).arg(row));
    }
}

QAccessibleInterface* TableOf(CTblCtrl& grid)
{
    return QAccessible::queryAccessibleInterface(grid.GetCellArea());
}

} // namespace

void TestAccessibleTable::tableReadsTheGridsCellsAndHeadings()
{
    CTblCtrl grid;
    CGridWindow window;
    QVERIFY(window.Show(grid));
    FillGrid(grid);
    QAccessibleInterface* table = TableOf(grid);
    QVERIFY(table && table->tableInterface());
    QCOMPARE(table->role(), QAccessible::Table);
    QCOMPARE(table->tableInterface()->rowCount(), 5);
    QCOMPARE(table->tableInterface()->columnCount(), 3);
    QCOMPARE(table->childCount(), 15);
    QCOMPARE(table->tableInterface()->columnDescription(1), QStringLiteral("Name"));

    QAccessibleInterface* cell = table->tableInterface()->cellAt(3, 1);
    QVERIFY(cell && cell->tableCellInterface());
    QCOMPARE(cell->text(QAccessible::Name), QStringLiteral("1,3"));
    QCOMPARE(cell->role(), QAccessible::Cell);
    QCOMPARE(cell->parent(), table);
    // One interface per cell, wherever it is asked for, at the index that finds it again.
    QCOMPARE(table->indexOfChild(cell), 3 * 3 + 1);
    QCOMPARE(table->child(3 * 3 + 1), cell);
    QCOMPARE(table->childAt(cell->rect().center().x(), cell->rect().center().y()), cell);
    const QList<QAccessibleInterface*> headers = cell->tableCellInterface()->columnHeaderCells();
    QCOMPARE(headers.size(), 1);
    QCOMPARE(headers.first()->text(QAccessible::Name), QStringLiteral("Name"));
    QCOMPARE(headers.first()->role(), QAccessible::ColumnHeader);
    QVERIFY(!table->tableInterface()->cellAt(5, 0));
    QVERIFY(!table->tableInterface()->cellAt(0, 3));
}

void TestAccessibleTable::keyMovesTheFocusedCellAndTellsOfIt()
{
    CTblCtrl grid;
    CGridWindow window;
    QVERIFY(window.Show(grid));
    FillGrid(grid);
    grid.MoveToCell(1, 2);
    grid.GetCellArea()->setFocus();
    QTRY_VERIFY(grid.GetCellArea()->hasFocus());
    QAccessibleTableInterface* table = TableOf(grid)->tableInterface();
    QAccessibleInterface* from = table->cellAt(2, 1);
    QVERIFY(from->state().focused && from->state().selected);

    QTest::keyClick(grid.GetCellArea(), Qt::Key_Down);
    QAccessibleInterface* to = table->cellAt(3, 1);
    QVERIFY(to->state().focused && to->state().selected);
    QVERIFY(!from->state().focused && !from->state().selected);
    QCOMPARE(TableOf(grid)->focusChild(), to);
    QCOMPARE(table->selectedCells(), QList<QAccessibleInterface*>{to});

    // Away from the grid the current cell is still selected, but no longer focused.
    window.m_pOther->setFocus();
    QTRY_VERIFY(!grid.GetCellArea()->hasFocus());
    QVERIFY(!to->state().focused && to->state().selected);
}

// A cell a reader holds reads what is written there; cells of rows that go are let go.
void TestAccessibleTable::writesAndCountsReachTheCellsAReaderHolds()
{
    CTblCtrl grid;
    CGridWindow window;
    QVERIFY(window.Show(grid));
    FillGrid(grid);
    QAccessibleInterface* table = TableOf(grid);
    QAccessibleInterface* held = table->tableInterface()->cellAt(4, 2);
    const QAccessible::Id heldId = QAccessible::uniqueId(held);

    grid.SetCellText(2, 4, QStringLiteral("new"));
    QCOMPARE(held->text(QAccessible::Name), QStringLiteral("new"));

    grid.SetRowCount(3);
    QCOMPARE(table->tableInterface()->rowCount(), 3);
    QCOMPARE(table->childCount(), 9);
    QVERIFY(!QAccessible::accessibleInterface(heldId));
    QVERIFY(!table->tableInterface()->cellAt(4, 2));
}

// The grid's one editor goes from column to column: it takes each column's heading as its
// name.
void TestAccessibleTable::editorIsNamedAfterItsColumn()
{
    CTblCtrl grid;
    CGridWindow window;
    QVERIFY(window.Show(grid));
    FillGrid(grid);
    for (const auto& [col, heading] : {std::pair(1, "Name"), std::pair(2, "Size")}) {
        QCOMPARE(grid.BeginEditAt(col, 0, 0), 0);
        QVERIFY(grid.GetEditor());
        QCOMPARE(grid.GetEditor()->accessibleName(), QLatin1String(heading));
        grid.CancelEdit();
        QTRY_VERIFY(!grid.IsEditing());
    }
}

QTEST_MAIN(TestAccessibleTable)
