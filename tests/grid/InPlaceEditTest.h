// The in-place editor in a shown grid: opening it, the keys that end or continue an
// edit, growing with the text, the focus leaving it, and the refusals.
#pragma once

#include <QObject>

class TestInPlaceEdit : public QObject
{
    Q_OBJECT

private slots:
    void doubleClickOpensTheEditorOverTheCell();
    void firstCharacterReplacesTheText();
    void escapeKeepsTheOldText();
    void enterOnTheLastRowContinuesOnRowZero();
    void tabAndShiftTabWrapAroundTheRow();
    void arrowsEndTheEditUntilTheEditorHasGrown();
    void editorGrowsCellByCellAndNeverShrinks();
    void clickOnAnotherCellStoresTheTextAndMovesThere();
    void headingCellIsEditedInItsHeading();
    void editorTextStaysWhereTheCellTextWas();
    void focusLeavingTheGridAbandonsTheEdit();
    void refusedEndKeepsTheEditorOpen();
    void refusedCharactersAreDropped();
    void cellsThatCannotBeEdited();
    void dropListEditorLeavesTheButtonFree();
};
