// Keys, clicks, drags, the wheel and the headings' mouse handling in a shown grid, and the
// cell area painting only what a move changed.
#pragma once

#include <QObject>

class TestGridInput : public QObject
{
    Q_OBJECT

private slots:
    void clickMovesToTheCellButBelowTheRowsNothing();
    void wheelNotchScrollsThreeRows();
    void keysNavigate_data();
    void keysNavigate();
    void pageKeysMoveByAViewOfRows();
    void heldKeysAccelerate();
    void dragBelowTheCellsKeepsScrolling();
    void rightButtonOpensThePopupMenuOnTheCell();
    void scrollingOneRowRedrawsOnlyTheUncoveredRow();
    void textWrittenByTheProgramIsRepainted();
    void shiftedImageMatchesAFreshPaint_data();
    void shiftedImageMatchesAFreshPaint();
    void joinedBlockStaysOutOfTheLockedBands();
    void tabMovesTheCellAndCtrlTabLeavesTheGrid();
    void headingsAndCornerSizeByTheirBorders();
    void columnBorderDragSizesTheColumn();
    void refusedColumnResizeKeepsTheArrowCursor();
    void columnDroppedElsewhereMoves();
};
