#include "ResourceFile.h"

#include <QFile>

QByteArray CResourceFile::Read(const QString& path, QString& error)
{
    // The resources come from an object library that reaches programs through static
    // archives; naming its initialiser here makes the linker keep them in every program
    // that reads one.
    static const bool registered = [] {
        Q_INIT_RESOURCE(korvane_res);
        return true;
    }();
    Q_UNUSED(registered);

    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = QStringLiteral("cannot read resource %1: %2").arg(path, file.errorString());
        return {};
    }
    return file.readAll();
}
