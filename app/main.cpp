#include "CardCommands.h"
#include "CommandLine.h"
#include "FluidSynthLog.h"
#include "WindowLibrary.h"

#include <QCoreApplication>

// A command runs without a window, so it needs no desktop: it gets a core application only,
// and the window's libraries are loaded only when a window opens.
int main(int argc, char** argv)
{
    const CCommandLine commandLine(CCommandLine::FromArgv(argc, argv));
    if (commandLine.GetMode() == CCommandLine::Mode::Command) {
        QCoreApplication app(argc, argv);
        QCoreApplication::setApplicationName(QStringLiteral("korvane"));
        QTextStream out(stdout);
        QTextStream err(stderr);
        const int status = commandLine.Run(out, err);
        // What FluidSynth said is worth reading only when something went wrong.
        if (status == CCardCommands::ExitCard || status == CCardCommands::ExitFile)
            CFluidSynthLog::WriteHeld(err);
        return status;
    }
    return CWindowLibrary::Run(argc, argv, commandLine.SynthChoice(), commandLine.FileToOpen());
}
