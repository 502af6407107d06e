#pragma once

#include <QByteArray>
#include <QString>

// Reads files compiled into the program's resources (":/text/...", ":/art/...").
class CResourceFile
{
public:
    // The file's bytes; on failure empty, with error describing why.
    static QByteArray Read(const QString& path, QString& error);
};
