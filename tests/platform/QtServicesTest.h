#pragma once

#include <QObject>

// Drives the Qt message box and file dialog services as a user would.
class QtServicesTest : public QObject
{
    Q_OBJECT

private slots:
    void messageBoxShowsTypeAndReturnsAnswer_data();
    void messageBoxShowsTypeAndReturnsAnswer();
    void openDialogFiltersByPatternAndReturnsFullPath();
    void openDialogDescribesTheCurrentFile();
    void saveDialogAddsDefaultExtension();
};
