// The drop-down list cell type: a cell with a button at its right that opens a list of
// the items written in the cell's label, one per line; choosing an item writes its text
// into the cell.
#pragma once

#include "TblCellType.h"

#include <QPointer>
#include <QRect>

class CTblDropListWnd;

class CTblDropListType : public CTblCellType
{
public:
    // Type parameter bit: the button shows only on the current cell.
    static constexpr int ParamButtonWhenCurrent = 0x0200;
    // Cell type events: the list is about to open (parameter: the QStringList of items,
    // which the application may change); an item was chosen (parameter: the QString of
    // its text; the application answers false to keep the cell as it is).
    static constexpr int EventOpening = 100;
    static constexpr int EventChosen = 101;
    // Dropped column and row while no list is open, and just after a list closed because
    // it lost the focus (the click that took the focus must not open it again).
    static constexpr int NoList = -1;
    static constexpr int ClosedByFocus = -2;

    CTblDropListType();
    ~CTblDropListType() override;

    QString TypeName() const override;
    QUuid TypeIdentifier() const override;
    // Keeps the editor off the button.
    int FitEditorRect(QRect* rect) override;
    int HandleLeftButton(int col, long row, int pressed, const QRect& rect,
                         const QPoint& point) override;
    int HandleDoubleClick(int col, long row, const QRect& rect, const QPoint& point) override;
    int HandleKeyDown(int col, long row, int* key) override;
    int HandleChar(int col, long row, int* key) override;
    int HandleMouseMove(int col, long row, const QPoint& point, unsigned keyFlags) override;
    void DrawCell(QPainter& dc, const QRect& rect, int col, long row, const CTblCell& cell,
                  int selected, int current) override;
    // A list open for the cell that loses the focus is forgotten.
    int CellLostFocus(int col, long row, const CTblCell& cell) override;

    // Opens the list under the grid's current cell, unless one is open already or the
    // cell is read-only.
    void OpenList();
    // The open list; none while no list is open.
    CTblDropListWnd* GetListWnd() const;
    void SetDropped(int col, long row);

    int m_nButtonWidth;
    int m_bButtonPressed = 0;
    QRect m_rcButton;
    // The cell whose list is open, or NoList, or ClosedByFocus.
    int m_nDroppedCol = NoList;
    long m_nDroppedRow = NoList;

private:
    bool OnButton(const QRect& rect, const QPoint& point) const;
    void CloseList();
    void DrawButton(QPainter& dc, const QRect& button, bool sunken) const;

    QColor m_face;
    QPointer<CTblDropListWnd> m_pList;
};
