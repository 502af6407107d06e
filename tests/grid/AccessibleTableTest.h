// The grid's cell area as assistive technology reads it: a table of the grid's cells and
// headings, the current cell focused, and the events that keep a reader up to date.
#pragma once

#include <QObject>

class TestAccessibleTable : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void tableReadsTheGridsCellsAndHeadings();
    void keyMovesTheFocusedCellAndTellsOfIt();
    void writesAndCountsReachTheCellsAReaderHolds();
};
