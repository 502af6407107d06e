#include "CommandLine.h"
#include "KorvaneApp.h"

#include <QCoreApplication>

// A command runs without a window, so it needs no desktop: it gets a core application only.
int main(int argc, char** argv)
{
    const CCommandLine commandLine(CCommandLine::FromArgv(argc, argv));
    if (commandLine.GetMode() == CCommandLine::Mode::Command) {
        QCoreApplication app(argc, argv);
        QCoreApplication::setApplicationName(QStringLiteral("korvane"));
        QTextStream out(stdout);
        QTextStream err(stderr);
        return commandLine.Run(out, err);
    }
    CKorvaneApp app(argc, argv);
    return app.InitInstance(commandLine.SynthChoice(), commandLine.FileToOpen());
}
