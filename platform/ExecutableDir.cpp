#include "ExecutableDir.h"

#include <QCoreApplication>

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
    return dir.isEmpty() ? QCoreApplication::applicationDirPath() : dir;
}

void CExecutableDir::Override(const QString& dir)
{
    OverridingDir() = dir;
}
