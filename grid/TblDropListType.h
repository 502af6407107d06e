// The drop-down list cell type: a cell with a button at its right that opens a list of
// the items written in the cell's label, one per line.
#pragma once

#include "TblCellType.h"

#include <QRect>

class CTblDropListType : public CTblCellType
{
public:
    CTblDropListType();

    QString TypeName() const override;
    QUuid TypeIdentifier() const override;
    // Keeps the editor off the button.
    int FitEditorRect(QRect* rect) override;
    // A list open for the cell that loses the focus is forgotten.
    int CellLostFocus(int col, long row, const CTblCell& cell) override;

    int m_nButtonWidth;
    int m_bButtonPressed = 0;
    QRect m_rcButton;
    // The cell whose list is open; -1 when none is, -2 just after a list closed because it
    // lost the focus.
    int m_nDroppedCol = -1;
    long m_nDroppedRow = -1;
};
