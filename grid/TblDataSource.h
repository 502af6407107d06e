// Where a grid's cells are stored: the grid reads and writes cells, asks permission to
// move and edit, and reports moves through this interface. Operations a source does not
// support answer -1.
#pragma once

#include <QString>

class CTblCell;
class CTblCtrl;
class QWidget;

class CTblDataSource
{
public:
    // FindFrom and FindAfter flags.
    static constexpr int FindPartial = 0x1;
    static constexpr int FindIgnoreCase = 0x2;
    static constexpr int FindAllColumns = 0x8;

    virtual ~CTblDataSource();

    CTblDataSource(const CTblDataSource&) = delete;
    CTblDataSource& operator=(const CTblDataSource&) = delete;

    virtual int AddRowBefore(long row);
    virtual int AddColumnBefore(int col);
    virtual int RemoveRow(long row);
    virtual int RemoveColumn(int col);
    virtual int RemoveCell(int col, long row);
    virtual int RemoveAll();
    // 0: the cell was found and its properties copied into cell; 1: nothing stored there.
    virtual int FetchCell(int col, long row, CTblCell& cell);
    virtual int StoreCell(int col, long row, const CTblCell& cell);
    // 0: a match, whose place is left in col and row; 1: none.
    virtual int FindFrom(const QString& text, int& col, long& row, int flags);
    virtual int FindAfter(const QString& text, int& col, long& row, int flags);
    virtual int SortRows(const int* cols, int count, int flags);
    virtual int SortRowsBy(int col, int flags);
    // Asked when navigation goes past the last row. A source that adds rows grows its
    // grid's row count itself (SetRowCount) and tells how many in added.
    virtual int ExtendRows(long rowCount, long wanted, long& added);
    virtual void RowChanged(long oldRow, long newRow);
    virtual void ColumnChanged(int oldCol, int newCol);
    // 1 allows the current cell to move; anything else refuses.
    virtual int AllowMove(int oldCol, long oldRow, int newCol, long newRow);
    virtual bool AllowEditBegin(int col, long row, QWidget** editor);
    virtual int AllowEditEnd(int col, long row, QWidget* editor, const QString& text,
                             int cancelled);
    virtual int AllowEditNext(int oldCol, long oldRow, int* newCol, long* newRow);
    // 0: col now holds the nearest column left of it in that row whose cell has text.
    virtual int PrevFilledColumn(int& col, long row);

    CTblCtrl* m_pGrid = nullptr;
    // -1 until the source is registered with a grid.
    int m_nIndex = -1;

protected:
    CTblDataSource() = default;
};
