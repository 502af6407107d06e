// One column of a sheet: its width, the data source of its cells with the column number
// that source knows it by, and the column's default cell.
#pragma once

#include "TblCell.h"

#include <memory>

class CTblDataSource;

class CTblColumnInfo
{
public:
    int m_nWidth = 0;
    CTblDataSource* m_pSource = nullptr;
    std::unique_ptr<CTblCell> m_pDefaultCell;
    // Moving a column moves its whole entry, so it keeps reading the same source column.
    int m_nSourceCol = 0;
};
