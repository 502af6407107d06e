#include "FileKind.h"

#include <QFileInfo>

CFileKind::Kind CFileKind::Of(const QString& path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == u"pre")
        return Preset;
    if (suffix == u"94b" || suffix == u"sf2" || suffix == u"sf3")
        return Bank;
    return Other;
}
