// The window's code, which no command needs, is a library of its own beside the program
// (libkorvane-window.so): a command maps Qt Core alone, and the window's libraries (Qt
// Widgets, Qt Gui and what they need) are loaded only when a window opens.
#pragma once

#include <QString>

class CWindowLibrary
{
public:
    // The library's one entry point: builds the application on the program's arguments and
    // runs the window with the card named for this run (empty for the chosen one), opening
    // fileToOpen when it is not empty; returns the exit status.
    using Entry = int (*)(int* argc, char** argv, const QString* card, const QString* fileToOpen);
    static constexpr char kEntryName[] = "KorvaneRunWindow";
    // The exit status when the library cannot be loaded.
    static constexpr int ExitNoWindow = 1;

    // Loads the library from the program's directory (by its whole path, so that nothing
    // else is searched) and runs the window; ExitNoWindow after saying why on standard
    // error when the library cannot be loaded.
    static int Run(int& argc, char** argv, const QString& card, const QString& fileToOpen);
};
