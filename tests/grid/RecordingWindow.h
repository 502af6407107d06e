// A stand-in child window that logs what the grid asks of it.
#pragma once

#include "CallLog.h"
#include "TblChildWindow.h"

#include <QWidget>

class CRecordingWindow : public CTblChildWindow
{
public:
    CRecordingWindow(CallLog& log, int section) : m_log(log), m_nSection(section) {}

    QWidget* Widget() override { return &m_widget; }
    void SetSheet(CTblSheet* sheet) override { m_pSheet = sheet; }
    void UpdateAfterMove() override { m_log.push_back(Call("UpdateAfterMove", m_nSection)); }
    void RepaintAll() override { m_log.push_back(Call("RepaintAll", m_nSection)); }
    void RepaintCell(int col, long row) override
    {
        m_log.push_back(Call("RepaintCell", m_nSection, col, row));
    }

    CTblSheet* m_pSheet = nullptr;
    QWidget m_widget;

private:
    CallLog& m_log;
    int m_nSection;
};
