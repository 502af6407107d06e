// What the column heading and the row heading share: they paint their heading cells
// along the columns (rows) as the cell area scrolls them, and let the mouse size a column
// (row) by its border and the heading itself by its inner border. Along is the axis of
// the columns (rows); across is the axis of the heading's own rows (columns).
#pragma once

#include "TblChildWindow.h"

#include <QWidget>

#include <vector>

class CTblCtrl;

class CTblHeader : public QWidget, public CTblChildWindow
{
    Q_OBJECT

public:
    QWidget* Widget() override { return this; }
    void SetSheet(CTblSheet* sheet) override;
    void UpdateAfterMove() override;
    void RepaintAll() override;
    // A heading repaints as a whole.
    void RepaintCell(int col, long row) override;
    // The rectangle of one of the heading's cells; false when it is not shown.
    bool HeadingCellRect(int col, long row, QRect& rect) const;

protected:
    CTblHeader(CTblCtrl* grid, Qt::Orientation along, int section);

    // The callbacks and operations that differ between the two headings.
    virtual bool AllowItemResize(long item) = 0;
    virtual void OnItemResizing(long item, int* size) = 0;
    virtual void OnItemResized(long item, int* size) = 0;
    virtual void ApplyItemSize(long item, int size) = 0;
    virtual bool AllowHeadingResize() = 0;
    virtual void OnHeadingResizing(int* total) = 0;
    virtual void OnHeadingResized(int* total) = 0;
    virtual void OnLeftButton(int col, long row, bool down, const QRect& rect, const QPoint& point,
                              int processed) = 0;
    virtual void OnRightButton(int col, long row, bool down, const QRect& rect, const QPoint& point,
                               int processed) = 0;
    virtual void OnDoubleClick(int col, long row, const QRect& rect, const QPoint& point,
                               int processed) = 0;
    // The size a border dragged from startPos to pos gives the item.
    virtual int DraggedSize(int startSize, int startPos, int pos) const;
    // Dragging an item to a new place; only the column heading moves columns.
    virtual void StartItemDrag(long item);
    virtual void ItemDragMove(const QPoint& point);
    virtual void EndItemDrag();
    virtual bool IsItemDragged(long item) const;

    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

    bool Horizontal() const { return m_along == Qt::Horizontal; }
    long Count() const;
    long FirstShown() const;
    long NextShown(long item) const;
    int ItemSize(long item) const;
    int Along(const QPoint& point) const { return Horizontal() ? point.x() : point.y(); }
    int Across(const QPoint& point) const { return Horizontal() ? point.y() : point.x(); }
    int AlongExtent() const { return Horizontal() ? width() : height(); }
    QRect MakeRect(int along, int alongSize, int across, int acrossSize) const;
    // The shown item at a position along and where it starts; -1 when none.
    long ItemAt(int pos, int& start) const;
    // Where a shown item starts along; false when it is not shown.
    bool ItemStart(long item, int& start) const;
    // A two-pixel line across the heading and the cell area at a position along.
    void ShowMarker(int along);
    void HideMarker();

    CTblCtrl* m_pGrid;
    CTblSheet* m_pSheet = nullptr;

private:
    enum class Sizing
    {
        None,
        Item,
        Heading
    };

    // The heading cell under a point.
    struct Hit
    {
        int col = -1;
        long row = -1;
        QRect rect;
        bool found = false;
    };

    std::vector<int>& HeadSizes() const;
    int& HeadTotal() const;
    Hit HitAt(const QPoint& point) const;
    // What a press at the point would size, with the item or heading index.
    Sizing SizingAt(const QPoint& point, long& index);
    void ShowCursorFor(Sizing sizing);
    void StartSizing(Sizing sizing, long index, const QPoint& point);
    void SizeTo(const QPoint& point);
    void EndSizing();
    // Across position where the heading cells of index k start.
    int HeadStart(int k) const;

    Qt::Orientation m_along;
    int m_nSection;
    QWidget* m_pMarker;
    Sizing m_sizing = Sizing::None;
    long m_nSizeIndex = -1;
    int m_nStartSize = 0;
    int m_nStartPos = 0;
    int m_nStartTotal = 0;
    // Rows above the mouse when a row border drag began, for uniform row heights.
    long m_nItemsAbove = 0;
};
