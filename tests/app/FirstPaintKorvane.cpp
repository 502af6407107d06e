// The program itself, its window loaded from its library as the program loads it, ended by
// its first paint (see StartupBench.cpp).
#include "FirstPaintProbe.h"
#include "WindowLibrary.h"

#include <QCoreApplication>

namespace {

// Runs as the window's library makes the application object.
void InstallProbe()
{
    auto* probe = new CFirstPaintProbe;
    probe->setParent(QCoreApplication::instance());
    QCoreApplication::instance()->installEventFilter(probe);
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(InstallProbe)

int main(int argc, char** argv)
{
    return CWindowLibrary::Run(argc, argv, QString(), QString());
}
