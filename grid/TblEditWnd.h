// The in-place editor: a borderless text box that the grid lays over a cell. Tab, Enter,
// Escape, the Up and Down arrows and a click elsewhere end the edit; the text goes back to
// the cell through the grid's EndEdit once the editor has lost the focus. It grows to the
// right and downwards, cell by cell, as the text gets longer.
#pragma once

#include <QPlainTextEdit>

class CTblCtrl;

class CTblEditWnd : public QPlainTextEdit
{
    Q_OBJECT

public:
    explicit CTblEditWnd(CTblCtrl* grid);

    QString Text() const { return toPlainText(); }
    void SetText(const QString& text);
    // Readies the editor for an edit as it gets the focus: flags cleared, heights taken,
    // grown to the text, the whole text selected.
    void Prepare();
    // Ends the edit without storing the text.
    void Cancel();
    // Hides the editor, handing the focus to the cell area if it had it; ends nothing.
    void Close();
    // Ends the edit at once, storing the text unless the focus left the grid: a press in
    // the grid that took the focus acts on the cell under it when the edit has ended.
    void EndNow();

    int m_bCancelled = 0;
    int m_bContinue = 0;
    int m_nNextCol = 0;
    long m_nNextRow = 0;
    int m_bAutoSize = 1;
    // The height when the editor got the focus (its client height + 4, which the
    // borderless editor's own height never equals) and its height since it last grew:
    // the two differ once it has grown.
    int m_nStartHeight = 0;
    int m_nCurHeight = 0;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    // Ends the edit with a key: the focus goes back to the cell area and the edit ends
    // when the editor's focus handling is over.
    void EndWithKey();
    void ContinueAt(int col, long row);
    void ScheduleEnd();
    void EndPendingEdit();
    void Grow();
    // The edge (right or bottom, exclusive) of the cell of the host under a point; -1
    // when no cell is there.
    int CellEdgeAt(const QPoint& point, bool right) const;

    CTblCtrl* m_pGrid;
    bool m_bEndPending = false;
    bool m_bClosing = false;
};
