// The command line's help texts: the summary of every command (--help) and each command's
// own usage (`korvane help load`, `korvane load --help`), written from one table so that
// the two never disagree.
#pragma once

#include <QString>
#include <QStringList>

class CCommandHelp
{
public:
    // Usage, commands, options and exit statuses of the whole program.
    static QString Summary();
    // The command's usage lines, what it does and its options; empty for an unknown command.
    static QString ForCommand(const QString& command);
    // Every command, in the order of the summary.
    static QStringList Commands();
};
