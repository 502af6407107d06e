// The grid's cell area as assistive technology reads it: a table of the grid's cells and
// headings with the current cell focused. The events that tell a reader of changes need
// Qt's accessibility switched on, which only a real bus gives (tests/app's AT-SPI test).
#pragma once

#include <QObject>

class TestAccessibleTable : public QObject
{
    Q_OBJECT

private slots:
    void tableReadsTheGridsCellsAndHeadings();
    void keyMovesTheFocusedCellAndTellsOfIt();
    void writesAndCountsReachTheCellsAReaderHolds();
    void editorIsNamedAfterItsColumn();
};
