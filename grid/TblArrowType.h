// The arrow marker cell type: a small arrow glyph instead of text, for marking rows.
// Cells of this type are not edited in place.
#pragma once

#include "TblCellType.h"

class CTblArrowType : public CTblCellType
{
public:
    CTblArrowType();
};
