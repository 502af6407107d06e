// The files of the banks that the command line or the window put in the card, kept between
// runs: the card itself knows only names and sizes, and a later command or window (a report,
// a preset save) needs the files. A bank is recognised by its ID, name and size, so a bank that
// another program has put in the same slot since is not taken for the one remembered.
#pragma once

#include <QString>

#include <utility>

class CBankTable;

class CBankPathMemory
{
public:
    explicit CBankPathMemory(QString filePath) : m_strFilePath(std::move(filePath)) {}

    // Beside the card's state file when KORVANE_CARD_STATE names one, else
    // $XDG_STATE_HOME/korvane/bank-paths (~/.local/state when the variable is unset).
    static QString DefaultFile();

    // Gives the table the files of the banks still in the card as they were remembered.
    void Restore(CBankTable& table) const;
    // Remembers the files the table knows for the banks in the card, and only those.
    // False when the file could not be written.
    bool Save(const CBankTable& table) const;

private:
    QString m_strFilePath;
};
