// The row heading: the heading cells at the left of the rows, for sizing rows and the
// heading width. With uniform row heights, dragging a row border sets the common height.
#pragma once

#include "TblHeader.h"

class CTblRowHeader : public CTblHeader
{
    Q_OBJECT

public:
    explicit CTblRowHeader(CTblCtrl* grid);

protected:
    bool AllowItemResize(long item) override;
    void OnItemResizing(long item, int* size) override;
    void OnItemResized(long item, int* size) override;
    void ApplyItemSize(long item, int size) override;
    bool AllowHeadingResize() override;
    void OnHeadingResizing(int* total) override;
    void OnHeadingResized(int* total) override;
    void OnLeftButton(int col, long row, bool down, const QRect& rect, const QPoint& point,
                      int processed) override;
    void OnRightButton(int col, long row, bool down, const QRect& rect, const QPoint& point,
                       int processed) override;
    void OnDoubleClick(int col, long row, const QRect& rect, const QPoint& point,
                       int processed) override;
};
