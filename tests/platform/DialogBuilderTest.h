#pragma once

#include <QObject>

// Builds the program's dialogs from their templates and checks what the user gets.
class DialogBuilderTest : public QObject
{
    Q_OBJECT

private slots:
    void largerDesktopFontGrowsTheLayout();
    void mainWindowControlsSitWhereTheTemplateSays();
    void optionsDialogBehaviour();
    void factoryReplacesControls();
    void windowDecorationsFollowTheTemplate();
    void groupBoxesLeaveClicksAndTabStopsApply();
    void groupFrameRunsThroughItsTitleAboveTheControls();
    void fontSizeScalesDialogUnits();
};
