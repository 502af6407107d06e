// The application object: runs the main window modally and ends when it closes.
#pragma once

#include <QApplication>

class CKorvaneApp : public QApplication
{
    Q_OBJECT

public:
    CKorvaneApp(int& argc, char** argv);

    // Loads the library of the card (the chosen one when card is not empty), runs the main
    // window, opening fileToOpen in it when given, and returns the exit code.
    int InitInstance(const QString& card = QString(), const QString& fileToOpen = QString());
};
