// What tells a file apart from the same file changed: path, size, time, device and
// inode (a file replaced by a rename is another file). Cheap enough to read at every play.
#pragma once

#include <QString>
#include <QStringList>

#include <vector>

struct FileIdentity
{
    QString path;
    // -1 when the file's status cannot be read.
    long long size = -1;
    long long seconds = 0;
    long long nanoseconds = 0;
    unsigned long long device = 0;
    unsigned long long inode = 0;

    // The status is read directly and kept as numbers: QFileInfo's times come through a
    // conversion to local time that costs more than the rest of a play's open.
    static FileIdentity Of(const QString& path);
    static std::vector<FileIdentity> OfEach(const QStringList& paths);
    bool operator==(const FileIdentity&) const = default;
};
using FileIdentities = std::vector<FileIdentity>;
