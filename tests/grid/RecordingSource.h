// A memory source that logs what navigation tells and asks it; it can refuse moves and
// add rows when asked to.
#pragma once

#include "CallLog.h"
#include "TblCtrl.h"
#include "TblMemSource.h"

class CRecordingSource : public CTblMemSource
{
public:
    explicit CRecordingSource(CallLog& log) : m_log(log) {}

    int ExtendRows(long rowCount, long wanted, long& added) override
    {
        m_log.push_back(Call("ExtendRows", rowCount, wanted));
        added = m_nRowsToAdd;
        if (added > 0)
            m_pGrid->SetRowCount(rowCount + added, 0);
        return 0;
    }
    void RowChanged(long oldRow, long newRow) override
    {
        m_log.push_back(Call("RowChanged", oldRow, newRow));
    }
    void ColumnChanged(int oldCol, int newCol) override
    {
        m_log.push_back(Call("ColumnChanged", oldCol, newCol));
    }
    int AllowMove(int oldCol, long oldRow, int newCol, long newRow) override
    {
        m_log.push_back(Call("AllowMove", oldCol, oldRow, newCol, newRow));
        return m_nAllowMove;
    }

    long m_nRowsToAdd = 0;
    int m_nAllowMove = 1;

private:
    CallLog& m_log;
};
