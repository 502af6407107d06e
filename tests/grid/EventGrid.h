// A grid for the widget tests: it logs the input, editing, layout and cell-type callbacks
// besides the navigation ones, and answers the permissions the test sets.
#pragma once

#include "RecordingGrid.h"

#include <QPainter>
#include <QTest>

#include <functional>
#include <set>

// Prints a call log in QCOMPARE's failure messages.
template <> inline char* QTest::toString<CallLog>(const CallLog& log)
{
    std::string text;
    for (const std::string& call : log)
        text += call + ' ';
    return qstrdup(text.c_str());
}

class CEventGrid : public CRecordingGrid
{
public:
    explicit CEventGrid(CallLog& log) : CRecordingGrid(log), m_log(log) {}

    void OnGridReady() override
    {
        m_log.push_back(
            Call("OnGridReady", GetCellArea() != nullptr, GetSheet()->m_nCellAreaWidth));
        if (m_onReady)
            m_onReady(*this);
    }
    void OnCellLeftButton(int col, long row, bool down, const QRect&, const QPoint&,
                          int processed) override
    {
        m_log.push_back(Call("OnCellLeftButton", col, row, down, processed));
    }
    void OnCellRightButton(int col, long row, bool down, const QRect&, const QPoint&, int) override
    {
        m_log.push_back(Call("OnCellRightButton", col, row, down));
    }
    void OnCellDoubleClick(int col, long row, const QRect&, const QPoint&, int processed) override
    {
        m_log.push_back(Call("OnCellDoubleClick", col, row, processed));
        if (m_bEditOnDoubleClick)
            BeginEdit();
    }
    void OnGridKeyDown(int* key, int processed) override
    {
        m_log.push_back(Call("OnGridKeyDown", *key & ~Qt::KeyboardModifierMask, processed));
    }
    void OnGridChar(int* ch, int processed) override
    {
        m_log.push_back(Call("OnGridChar", *ch, processed));
    }
    bool AllowColResize(int col) override
    {
        m_log.push_back(Call("AllowColResize", col));
        return m_bAllowColResize;
    }
    void OnColResized(int col, int* width) override
    {
        m_log.push_back(Call("OnColResized", col, *width));
    }
    void OnColHeaderLeftButton(int col, long row, bool down, const QRect&, const QPoint&,
                               int) override
    {
        m_log.push_back(Call("OnColHeaderLeftButton", col, row, down));
    }
    bool AllowColDrop(int from, int to) override
    {
        m_log.push_back(Call("AllowColDrop", from, to));
        return true;
    }
    bool OnCellTypeEvent(int typeIndex, int col, long row, int message, intptr_t param) override
    {
        m_log.push_back(Call("OnCellTypeEvent", typeIndex, col, row, message));
        if (m_onCellTypeEvent)
            return m_onCellTypeEvent(message, param);
        return true;
    }
    bool OnEditBegin(int col, long row, QWidget**) override
    {
        m_log.push_back(Call("OnEditBegin", col, row));
        return m_bAllowEditBegin;
    }
    bool OnEditKey(int, long, QWidget*, int* ch) override
    {
        return m_acceptedKeys.empty() || m_acceptedKeys.count(*ch) > 0;
    }
    bool OnEditEnd(int col, long row, QWidget*, const QString& text, int cancelled) override
    {
        m_log.push_back(Call("OnEditEnd", col, row, text.toStdString(), cancelled));
        return m_nEditEndRefusals-- <= 0;
    }
    bool OnEditNext(int oldCol, long oldRow, int* newCol, long* newRow) override
    {
        m_log.push_back(Call("OnEditNext", oldCol, oldRow, *newCol, *newRow));
        return m_bAllowEditNext;
    }
    void OnPrepareDC(QPainter*, QPainter*, int section) override { m_sections.insert(section); }
    void OnLayout(QRect* cells, QRect* colHeader, QRect* rowHeader, QRect* corner, QRect* vScroll,
                  QRect* hScroll, QRect* tabs) override
    {
        if (m_onLayout)
            m_onLayout(cells, colHeader, rowHeader, corner, vScroll, hScroll, tabs);
    }
    void OnSheetTabClick(int tabId) override { m_log.push_back(Call("OnSheetTabClick", tabId)); }
    bool OnCellTip(int col, long row, int, QString& text) override
    {
        text = QStringLiteral("Col:%1 Row:%2").arg(col).arg(row);
        return true;
    }
    bool OnVScrollTip(long row, QString& text) override
    {
        text = QStringLiteral("Row %1").arg(row);
        return true;
    }

    std::function<void(CEventGrid&)> m_onReady;
    std::function<bool(int message, intptr_t param)> m_onCellTypeEvent;
    std::function<void(QRect*, QRect*, QRect*, QRect*, QRect*, QRect*, QRect*)> m_onLayout;
    bool m_bEditOnDoubleClick = false;
    bool m_bAllowColResize = true;
    bool m_bAllowEditBegin = true;
    bool m_bAllowEditNext = true;
    // How many times OnEditEnd refuses before it agrees.
    int m_nEditEndRefusals = 0;
    // Characters OnEditKey lets through; empty: all of them.
    std::set<int> m_acceptedKeys;
    std::set<int> m_sections;

private:
    CallLog& m_log;
};
