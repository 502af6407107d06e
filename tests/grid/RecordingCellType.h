// A cell type that logs focus changes and reports a preferred width of 10 pixels per
// character of the cell's text.
#pragma once

#include "CallLog.h"
#include "TblCell.h"
#include "TblCellType.h"

#include <QSize>

class CRecordingCellType : public CTblCellType
{
public:
    explicit CRecordingCellType(CallLog& log) : m_log(log) {}

    int CellGotFocus(int col, long row, const CTblCell&) override
    {
        m_log.push_back(Call("CellGotFocus", col, row));
        return 0;
    }
    int CellLostFocus(int col, long row, const CTblCell&) override
    {
        m_log.push_back(Call("CellLostFocus", col, row));
        return 0;
    }
    void PreferredSize(QPainter&, QSize* size, const CTblCell& cell) override
    {
        *size = QSize(10 * cell.TextLength(), 20);
    }

private:
    CallLog& m_log;
};
