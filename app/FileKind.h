// The kinds of file the program opens, told by their extension: presets, and the bank files
// of either card (the simulated card's banks and SoundFonts). A file handed over by a file
// manager or dropped on the window is opened only when it is one of these.
#pragma once

#include <QString>

class CFileKind
{
public:
    enum Kind
    {
        Preset,
        Bank,
        Other
    };

    static Kind Of(const QString& path);
};
