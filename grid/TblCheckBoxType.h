// The check box cell type: a box that shows whether the cell's value is above 0, with the
// cell's label beside it. A click on the box or the space bar toggles the value between 0
// and 1. Cells of this type are not edited in place.
#pragma once

#include "TblCellType.h"

#include <algorithm>

class CTblCheckBoxType : public CTblCellType
{
public:
    // Type parameter bits.
    enum Param
    {
        ParamSunken = 0x0100,
        ParamRaised = 0x0200,
        ParamTick = 0x1000,
    };
    // The cell type event sent after a toggle.
    static constexpr int EventToggled = 53;

    CTblCheckBoxType();

    QString TypeName() const override;
    QUuid TypeIdentifier() const override;
    int HandleLeftButton(int col, long row, int pressed, const QRect& rect,
                         const QPoint& point) override;
    int HandleDoubleClick(int col, long row, const QRect& rect, const QPoint& point) override;
    int HandleChar(int col, long row, int* key) override;
    void DrawCell(QPainter& dc, const QRect& rect, int col, long row, const CTblCell& cell,
                  int selected, int current) override;

private:
    // The side of the box in a cell of that height.
    static int BoxSide(int height) { return std::min(height - 6, 12); }
    void DrawBox(QPainter& dc, const QRect& box, int param) const;
    static void DrawMark(QPainter& dc, const QRect& box, bool tick);
    // Stores the new value of a cell that is not read-only; false when it is.
    bool Toggle(int col, long row, bool set);

    QColor m_shadow;
    QColor m_light{0xE1, 0xE1, 0xE1};
    QColor m_face;
};
