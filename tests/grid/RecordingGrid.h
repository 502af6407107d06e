// A grid whose navigation callbacks write to a call log and whose permissions the test sets.
#pragma once

#include "CallLog.h"
#include "TblCtrl.h"

class CRecordingGrid : public CTblCtrl
{
public:
    explicit CRecordingGrid(CallLog& log) : m_log(log) {}

    bool AllowCellMove(int oldCol, long oldRow, int newCol, long newRow) override
    {
        m_log.push_back(Call("AllowCellMove", oldCol, oldRow, newCol, newRow));
        return m_bAllowCellMove;
    }
    bool AllowViewMove(int leftCol, long topRow, int newLeftCol, long newTopRow) override
    {
        m_log.push_back(Call("AllowViewMove", leftCol, topRow, newLeftCol, newTopRow));
        return m_bAllowViewMove;
    }
    void OnBeyondLastRow(long rowCount, long wanted, long added) override
    {
        m_log.push_back(Call("OnBeyondLastRow", rowCount, wanted, added));
    }
    void OnCurColChanged(int oldCol, int newCol) override
    {
        m_log.push_back(Call("OnCurColChanged", oldCol, newCol));
    }
    void OnCurRowChanged(long oldRow, long newRow) override
    {
        m_log.push_back(Call("OnCurRowChanged", oldRow, newRow));
    }
    void OnCurCellChanged(int oldCol, int newCol, long oldRow, long newRow) override
    {
        m_log.push_back(Call("OnCurCellChanged", oldCol, newCol, oldRow, newRow));
    }
    void OnScrolledToCol(int oldLeftCol, int newLeftCol) override
    {
        m_log.push_back(Call("OnScrolledToCol", oldLeftCol, newLeftCol));
    }
    void OnScrolledToRow(long oldTopRow, long newTopRow) override
    {
        m_log.push_back(Call("OnScrolledToRow", oldTopRow, newTopRow));
    }
    void OnSheetReady(int sheet) override
    {
        m_log.push_back(Call("OnSheetReady", sheet, GetSheet()->m_nTabWidth));
    }
    void OnCellFetch(int col, long row, CTblCell& cell) override
    {
        if (m_bLogFetches)
            m_log.push_back(Call("OnCellFetch", col, row));
        if (m_fetchedBackColor.isValid())
            cell.SetBackColor(m_fetchedBackColor);
    }
    void OnCellStore(int col, long row, CTblCell& cell) override
    {
        m_log.push_back(Call("OnCellStore", col, row));
        if (!m_strStoreSuffix.isEmpty() && cell.TextValue())
            cell.AssignText(*cell.TextValue() + m_strStoreSuffix);
    }
    bool OnPopupOpen(int col, long row, int section) override
    {
        m_log.push_back(Call("OnPopupOpen", col, row, section));
        return m_bAllowPopup;
    }
    void OnPopupCommand(int col, long row, int section, int id) override
    {
        m_log.push_back(Call("OnPopupCommand", col, row, section, id));
    }

    bool m_bAllowCellMove = true;
    bool m_bAllowViewMove = true;
    bool m_bAllowPopup = true;
    bool m_bLogFetches = false;
    QColor m_fetchedBackColor;
    QString m_strStoreSuffix;

private:
    CallLog& m_log;
};
