// The check box cell type: a box that shows whether the cell's value is above 0, with the
// cell's label beside it. Cells of this type are not edited in place.
#pragma once

#include "TblCellType.h"

class CTblCheckBoxType : public CTblCellType
{
public:
    CTblCheckBoxType();

    QString TypeName() const override;
    QUuid TypeIdentifier() const override;
};
