// The program's command line: with no argument the window starts, with a single bank or
// preset file the window starts and opens it, and with a command the command runs on the
// card without any window (so a script or a cron job needs no desktop).
#pragma once

#include <QString>
#include <QStringList>
#include <QTextStream>

class CCardCommands;

class CCommandLine
{
public:
    enum class Mode
    {
        Window,
        OpenFile,
        Command
    };

    // arguments as the program got them, its own name first.
    explicit CCommandLine(const QStringList& arguments);
    static QStringList FromArgv(int argc, char** argv);

    Mode GetMode() const { return m_mode; }
    // The bank or preset to open in the window, as an absolute path.
    QString FileToOpen() const { return m_strFile; }
    // The card named by --synth; empty for the one chosen otherwise.
    QString SynthChoice() const { return m_strSynth; }

    // Runs the command (a QCoreApplication must exist) and returns the exit status.
    int Run(QTextStream& out, QTextStream& err) const;

private:
    int Dispatch(CCardCommands& commands) const;
    // Empty when the command's arguments and options fit it, else what is wrong.
    QString CheckShape() const;
    // The audition's channel: --channel's, else 16.
    int Channel() const;
    int ShowHelp(QTextStream& out, QTextStream& err) const;
    // The problem, and where to read more: the command's usage when it is known.
    static int UsageError(QTextStream& err, const QString& problem,
                          const QString& command = QString());
    // Flushes out; status, or ExitFile after a message on err when out could not be written.
    static int EndOutput(QTextStream& out, QTextStream& err, int status);

    Mode m_mode = Mode::Window;
    QString m_strError;
    QString m_strCommand;
    QStringList m_arguments;
    QStringList m_options;
    QString m_strTemplate;
    QString m_strSynth;
    QString m_strChannel;
    QString m_strBank;
    QString m_strFile;
};
