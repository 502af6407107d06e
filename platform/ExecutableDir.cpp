#include "ExecutableDir.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace {
QString& OverridingDir()
{
    static QString dir;
    return dir;
}
} // namespace

QString CExecutableDir::Path()
{
    const QString& dir = OverridingDir();
    if (!dir.isEmpty())
        return dir;
    // Before the application object exists (the program loads the window's library that
    // makes it), the kernel's link to the running executable says where it lies.
    if (!QCoreApplication::instance())
        return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalPath();
    return QCoreApplication::applicationDirPath();
}

void CExecutableDir::Override(const QString& dir)
{
    OverridingDir() = dir;
}
