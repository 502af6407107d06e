#include "FileIdentity.h"

#include "NativePath.h"

#include <sys/stat.h>

FileIdentity FileIdentity::Of(const QString& path)
{
    FileIdentity identity;
    identity.path = path;
    struct stat status = {};
    if (::stat(CNativePath::Encode(path).constData(), &status) == 0) {
        identity.size = status.st_size;
        identity.seconds = status.st_mtim.tv_sec;
        identity.nanoseconds = status.st_mtim.tv_nsec;
        identity.device = status.st_dev;
        identity.inode = status.st_ino;
    }
    return identity;
}

std::vector<FileIdentity> FileIdentity::OfEach(const QStringList& paths)
{
    std::vector<FileIdentity> identities;
    identities.reserve(static_cast<std::size_t>(paths.size()));
    for (const QString& path : paths)
        identities.push_back(Of(path));
    return identities;
}
