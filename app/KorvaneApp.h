// The application object: runs the main window modally and ends when it closes.
#pragma once

#include "QtMessageBox.h"

#include <QApplication>

class CKorvaneApp : public QApplication
{
    Q_OBJECT

public:
    // The window's message boxes are Qt's for as long as the application lives.
    CKorvaneApp(int& argc, char** argv);
    ~CKorvaneApp() override;

    // Loads the library of the card (the chosen one when card is not empty), runs the main
    // window, opening fileToOpen in it when given, and returns the exit code.
    int InitInstance(const QString& card = QString(), const QString& fileToOpen = QString());

private:
    CQtMessageBox m_messageBoxes;
};
