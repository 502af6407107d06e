// A program run as a script runs it: as a process of its own, without a display (so that a
// command that opened a window would fail), with what it printed and its exit status.
#pragma once

#include <QString>
#include <QStringList>

struct CProgramRun
{
    // Runs program in workingDirectory with this process's environment, its standard
    // output into outputFile when one is given; the status stays -1 when it did not end by
    // itself within 30 seconds.
    static CProgramRun Run(const QString& program, const QStringList& arguments,
                           const QString& workingDirectory, const QString& outputFile = {});

    int status = -1;
    QString out;
    QString err;
};
