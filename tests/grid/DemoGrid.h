// A grid that shows every kind of cell the grid draws: column and row headings, an arrow
// column, drop-down lists, check boxes, right-aligned numbers and long texts, with rows
// enough to scroll. The demo program and the widget tests share it.
#pragma once

#include "TblCell.h"
#include "TblCtrl.h"
#include "TblDropListType.h"

#include <QStringList>

namespace DemoGrid {

enum Column
{
    Marker,
    Name,
    Colour,
    Done,
    Amount,
    Note,
    ColumnCount
};

// The built-in cell types' indexes.
constexpr int DropListType = 1;
constexpr int CheckBoxType = 2;
constexpr int ArrowType = 3;
// Each item ends with a line feed.
inline const QString ColourItems = QStringLiteral("Red\nGreen\nBlue\n");

inline CTblCell& ColumnDefault(CTblCtrl& grid, int col)
{
    return *grid.GetSheet()->m_columns[static_cast<size_t>(col)].m_pDefaultCell;
}

inline void Fill(CTblCtrl& grid, long rows)
{
    grid.SetColumnCount(ColumnCount);
    grid.SetRowCount(rows);
    const QStringList headings{"", "Name", "Colour", "Done", "Amount", "Note"};
    const int widths[ColumnCount] = {22, 110, 90, 80, 70, 140};
    for (int col = 0; col < ColumnCount; ++col) {
        grid.SetCellText(col, -1, headings[col]);
        grid.SetColumnWidth(col, widths[col]);
    }
    ColumnDefault(grid, Marker).SetCellType(ArrowType);
    ColumnDefault(grid, Colour).SetCellType(DropListType);
    ColumnDefault(grid, Colour).SetLabel(ColourItems);
    ColumnDefault(grid, Done).SetCellType(CheckBoxType);
    ColumnDefault(grid, Done).SetLabel(QStringLiteral("Done"));
    ColumnDefault(grid, Amount).SetAlignment(CTblCell::AlignRight);
    ColumnDefault(grid, Note).SetTypeParam(CTblCellType::ParamEllipsis);
    for (long row = 0; row < rows; ++row) {
        grid.SetCellText(-1, row, QString::number(row + 1));
        grid.SetCellText(Name, row, QStringLiteral("Item %1").arg(row + 1));
        grid.SetCellText(Colour, row, QStringList{"Red", "Green", "Blue"}[row % 3]);
        grid.SetCellText(Done, row, row % 2 ? QStringLiteral("1") : QStringLiteral("0"));
        grid.SetCellText(Amount, row, QString::number((row + 1) * 125));
        grid.SetCellText(Note, row, QStringLiteral("A note long enough to need the ellipsis"));
    }
    grid.SetCurCellStyle(3);
}

} // namespace DemoGrid
