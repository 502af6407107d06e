// The files of the banks that the command line or the window put in the card, kept between
// runs: the card itself knows only names and sizes, and a later command or window (a report,
// a preset save) needs the files. A bank is recognised by its ID, name and size, so a bank that
// another program has put in the same slot since is not taken for the one remembered.
#pragma once

#include <QMap>
#include <QString>

#include <utility>

class CBankTable;

class CBankPathMemory
{
public:
    explicit CBankPathMemory(QString filePath) : m_strFilePath(std::move(filePath)) {}

    // Each card keeps its own files, so that using one card never makes another forget
    // them: the simulated card (and any other library) beside its state file, as
    // "<state>.paths"; the server card one per server address, beside the server card's
    // state file, as "<state>.<host:port>.paths". Empty when no such place is known.
    static QString FileFor(const QString& libraryPath);
    // The file of the card this run uses: the one named for it (as --synth names it),
    // else the chosen one.
    static QString FileForCard(const QString& cardForThisRun = QString());

    // Gives the table the files of the banks still in the card as they were remembered.
    void Restore(CBankTable& table) const;
    // Remembers the files the table knows for the banks in the card, and only those, but
    // none that the card itself gives; the file is written only when that changes what it
    // holds, so a command that changes no file writes nothing. False when the file could not
    // be written, and when the card's status could not be read: a card that does not answer
    // (a server that is down) forgets nothing.
    bool Save(const CBankTable& table) const;

private:
    // What Save writes for the table: each setting's key and value.
    static QMap<QString, QString> Remembered(const CBankTable& table);
    // What the file holds now, as Remembered gives it.
    QMap<QString, QString> Held() const;

    QString m_strFilePath;
};
