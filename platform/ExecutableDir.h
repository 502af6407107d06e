#pragma once

#include <QString>

// The directory of the program's executable, where the files that travel with the program
// lie; tests point it elsewhere.
class CExecutableDir
{
public:
    // The overriding directory when one is set, else the application's directory (also
    // before the application object exists).
    static QString Path();
    // Makes Path() return dir; an empty dir restores the application's directory.
    static void Override(const QString& dir);
};
