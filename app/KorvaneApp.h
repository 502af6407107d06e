// The application object: runs the main window modally and ends when it closes.
#pragma once

#include <QApplication>

class CKorvaneApp : public QApplication
{
    Q_OBJECT

public:
    CKorvaneApp(int& argc, char** argv);

    // Loads the card's library, runs the main window, returns the exit code.
    int InitInstance();
};
