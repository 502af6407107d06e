// The list a drop-list cell opens under itself: choosing an item (a click, or Enter on the
// selected item) writes the item's text into the cell; Escape, Enter without a selection
// and the loss of the focus close it without a change.
#pragma once

#include <QListWidget>

class CTblCtrl;
class CTblDropListType;

class CTblDropListWnd : public QListWidget
{
    Q_OBJECT

public:
    CTblDropListWnd(CTblCtrl* grid, CTblDropListType* type, QWidget* parent);

    void SetItems(const QStringList& items, int itemHeight);
    // Hides the list; it is deleted once control is back in the event loop.
    void Close();
    bool IsClosed() const { return m_bClosed; }
    // 1 while the list has the focus.
    int IsActive() const { return m_bActive; }

protected:
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

    CTblCtrl* m_pGrid;
    CTblDropListType* m_pType;
    int m_bActive = 0;
    int m_bChosen = 0;
    bool m_bClosed = false;
};
