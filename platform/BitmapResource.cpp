#include "BitmapResource.h"

#include <QFile>

namespace {

// The sizes each icon is drawn in; the window system picks the one it needs.
constexpr int ICON_SIZES[] = {16, 32, 48};

QString BitmapPath(int id)
{
    return QStringLiteral(":/art/bitmaps/%1.xpm").arg(id);
}

QString IconPath(int id, int size)
{
    return QStringLiteral(":/art/icons/%1-%2.xpm").arg(id).arg(size);
}

} // namespace

// The artwork is compiled into a static library, whose members a program keeps only when it
// names them. Calling the resource initialiser keeps it, and registers the artwork before the
// first look-up. It has to be called from the global namespace.
static void RegisterArtwork()
{
    static const bool registered = [] {
        Q_INIT_RESOURCE(korvane_res);
        return true;
    }();
    Q_UNUSED(registered);
}

QPixmap CBitmapResource::Load(int id)
{
    RegisterArtwork();
    return QPixmap(BitmapPath(id));
}

QIcon CBitmapResource::Icon(int id)
{
    RegisterArtwork();
    QIcon icon;
    for (const int size : ICON_SIZES) {
        // An icon given a file that does not exist would no longer count as null.
        const QString path = IconPath(id, size);
        if (QFile::exists(path))
            icon.addFile(path, QSize(size, size));
    }
    return icon;
}
