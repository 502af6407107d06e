// The grid's windows: taking a placeholder's place, the layout with its scroll bars and
// tabs, the sections windows prepare their painting for, the scroll bars' ranges and
// box, the tip window and the sheet tabs.
#pragma once

#include <QObject>

class TestGridLayout : public QObject
{
    Q_OBJECT

private slots:
    void takesThePlaceholdersPlaceThenCallsOnGridReady();
    void attachingWithoutPlaceholderDoesNothing();
    void aListLaidOutWhenReadyFillsTheCellArea();
    void scrollBarsShowOnlyWhenNeeded();
    void theApplicationCanChangeTheLayout();
    void tabStripTakesTheScrollBarsRow();
    void eachWindowPreparesItsOwnSection();
    void largeRowCountsScaleTheBarTo1000Positions();
    void scrollBarArrowsAndPagesStepTheView();
    void scrollBarModes();
    void sourceMayAddRowsWhileTheCellsArePainted_data();
    void sourceMayAddRowsWhileTheCellsArePainted();
    void sheetTabsReportTheirIdAndScrollIntoView();
    void cellTipsShowTheApplicationsText();
};
