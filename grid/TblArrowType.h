// The arrow marker cell type: a small arrow glyph instead of text, for marking rows.
// Cells of this type are not edited in place.
#pragma once

#include "TblCellType.h"

class CTblArrowType : public CTblCellType
{
public:
    // Type parameter bits choosing the glyph; no parameter at all draws the right arrow.
    enum Glyph
    {
        GlyphRight = 0x10,
        GlyphLeft = 0x20,
        GlyphApart = 0x40,
        GlyphTogether = 0x80,
    };

    CTblArrowType();

    void DrawCell(QPainter& dc, const QRect& rect, int col, long row, const CTblCell& cell,
                  int selected, int current) override;
};
