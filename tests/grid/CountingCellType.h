// A normal cell type that counts the cells it draws, row by row.
#pragma once

#include "TblCellType.h"

#include <map>

class CCountingCellType : public CTblCellType
{
public:
    void DrawCell(QPainter& dc, const QRect& rect, int col, long row, const CTblCell& cell,
                  int selected, int current) override
    {
        ++m_drawnRows[row];
        CTblCellType::DrawCell(dc, rect, col, row, cell, selected, current);
    }

    // Cells drawn per row since the last clear.
    std::map<long, int> m_drawnRows;
};
