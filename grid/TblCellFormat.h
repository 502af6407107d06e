// An object a cell may name to adjust the composed cell just before it is drawn or edited
// (for example to format a number); the application owns it.
#pragma once

class CTblCell;

class CTblCellFormat
{
public:
    virtual ~CTblCellFormat() = default;

    virtual void AdjustCell(int col, long row, CTblCell& cell) = 0;
};
