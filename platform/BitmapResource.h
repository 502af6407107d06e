// The program's bitmaps and icons, looked up by their numeric resource ids.
#pragma once

#include <QIcon>
#include <QPixmap>

class CBitmapResource
{
public:
    // The bitmap with that id at its size in the file; a null pixmap for an unknown id.
    static QPixmap Load(int id);
    // The icon with that id in every size drawn for it; a null icon for an unknown id.
    static QIcon Icon(int id);
};
