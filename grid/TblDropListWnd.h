// The list a drop-list cell opens under itself: choosing an item (a click, or Enter on the
// selected item) writes the item's text into the cell it was opened for; Escape, Enter
// without a selection, a click outside it and the loss of the focus close it without a
// change. While it is open it holds the mouse: the wheel scrolls it wherever the mouse is,
// and nothing under a click outside it acts on that click.
#pragma once

#include <QListWidget>

class CTblCtrl;
class CTblDropListType;

class CTblDropListWnd : public QListWidget
{
    Q_OBJECT

public:
    CTblDropListWnd(CTblCtrl* grid, CTblDropListType* type, int col, long row, QWidget* parent);
    ~CTblDropListWnd() override;

    void SetItems(const QStringList& items, int itemHeight);
    // Hides the list; it is deleted once control is back in the event loop.
    void Close();
    bool IsClosed() const { return m_bClosed; }
    // 1 while the list has the focus.
    int IsActive() const { return m_bActive; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void Choose();
    // Closes without a change; the next click on the button opens the list again.
    void Dismiss();
    void FocusGridAndClose();
    void HideAndDelete();
    void HoldMouse(bool hold);

    CTblCtrl* m_pGrid;
    CTblDropListType* m_pType;
    int m_nCol;
    long m_nRow;
    int m_bActive = 0;
    int m_bChosen = 0;
    bool m_bClosed = false;
    bool m_bHoldsMouse = false;
    // The focus went to where the mouse was pressed; that press is still to come.
    bool m_bPressPending = false;
};
