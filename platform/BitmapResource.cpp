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

QPixmap CBitmapResource::Load(int id)
{
    // Checked first so that an unknown id stays quiet instead of warning from the image reader.
    const QString path = BitmapPath(id);
    return QFile::exists(path) ? QPixmap(path) : QPixmap();
}

QIcon CBitmapResource::Icon(int id)
{
    QIcon icon;
    for (const int size : ICON_SIZES) {
        const QString path = IconPath(id, size);
        if (QFile::exists(path))
            icon.addFile(path, QSize(size, size));
    }
    return icon;
}
