#include "DroppedFiles.h"

#include "FileKind.h"
#include "NativePath.h"

#include <QMimeData>
#include <QUrl>

namespace {

// The file's own bytes: a name that is not valid UTF-8 arrives percent-encoded, and Qt's
// own decoding would replace those bytes and lose the file.
QString LocalPath(const QUrl& url)
{
    if (!url.isLocalFile())
        return QString();
    return CNativePath::Decode(
        QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1()));
}

} // namespace

CDroppedFiles::CDroppedFiles(const QMimeData* data)
{
    if (!data || !data->hasUrls())
        return;
    QStringList paths;
    int presets = 0;
    for (const QUrl& url : data->urls()) {
        const QString path = LocalPath(url);
        const CFileKind::Kind kind = CFileKind::Of(path);
        if (path.isEmpty() || kind == CFileKind::Other)
            return;
        presets += kind == CFileKind::Preset ? 1 : 0;
        paths << path;
    }
    // One preset replaces the banks in the card: it comes alone.
    if (presets > 0 && paths.size() > 1)
        return;
    m_paths = paths;
    m_bPreset = presets == 1;
}
