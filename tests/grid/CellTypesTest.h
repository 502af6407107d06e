// What the built-in cell types draw, checked on the pixels users see, and how the check
// box and the drop-down list react to the mouse and the keyboard.
#pragma once

#include <QObject>

class TestCellTypes : public QObject
{
    Q_OBJECT

private slots:
    void rightAlignedTextEndsAtTheMarginBeforeTheGridLine();
    void headingTextIsCentredBothWays();
    void currentCellIsHighlightedWhenTheStyleSaysSo();
    void longTextRunsOnIntoEmptyCellsOnly();
    void ellipsisOnlyWhenTheTextDoesNotFit();
    void wrapLabelAndBitmapLayouts();
    void arrowGlyphFollowsTheParameter();
    void checkBoxTogglesOnReleaseInsideTheBoxOnly();
    void checkBoxSpaceTogglesTheCurrentCell();
    void readOnlyCheckBoxNeverChanges();
    void smallCheckBoxDrawsOnlyItsLabel();
    void dropListItemsComeFromTheLabel_data();
    void dropListItemsComeFromTheLabel();
    void dropListIsAtMost16ItemsTall();
    void dropListNearTheBottomOpensAbove();
    void choosingAnItemWritesItUnlessRefused();
    void openListHoldsTheMouse();
    void dropButtonClosesAnOpenList();
    void keysCloseTheListWithoutChange();
    void readOnlyDropListDoesNotOpen();
    void demoGridShowsEveryKindOfCell();
};
