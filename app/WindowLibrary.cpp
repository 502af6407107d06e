#include "WindowLibrary.h"

#include "ExecutableDir.h"

#include <QLibrary>
#include <QTextStream>

int CWindowLibrary::Run(int& argc, char** argv, const QString& card, const QString& fileToOpen)
{
    // Never unloaded: the window's code may have left exit handlers behind.
    QLibrary library(CExecutableDir::Path() + QStringLiteral("/" KORVANE_WINDOW_LIBRARY));
    const auto entry = reinterpret_cast<Entry>(library.resolve(kEntryName));
    if (!entry) {
        QTextStream(stderr) << "korvane: the window cannot be opened: " << library.errorString()
                            << '\n';
        return ExitNoWindow;
    }
    return entry(&argc, argv, &card, &fileToOpen);
}
