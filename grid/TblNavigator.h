// Moves the current cell and scrolls the view of the grid's current sheet: a target is
// clamped to the rows and columns (the source may add rows past the end) and snapped to
// joined blocks, the data source and the application may refuse the move, the selection
// follows, and the source, the application, the cell types and the windows hear what
// changed. The results are those of the CTblCtrl methods of the same names.
#pragma once

class CTblCtrl;
class CTblJoinGeometry;
class CTblSheet;

class CTblNavigator
{
public:
    CTblNavigator(CTblCtrl& grid, const CTblJoinGeometry& joins) : m_grid(grid), m_joins(joins) {}

    int MoveToCell(int col, long row);
    int MoveToRow(long row);
    int MoveToCol(int col);
    int ScrollToRow(long row);
    int ScrollToCol(int col);
    int StepRow(int kind);
    int StepCol(int kind);
    int ScrollRows(int kind);
    int ScrollCols(int kind);
    bool RequestRowsPastEnd(long wanted);
    void LeaveGrid(bool forward);

    // After column widths (row heights) or counts changed: the locked columns' width (rows'
    // height), then the view within its new limits.
    void ApplyColumnGeometry();
    void ApplyRowGeometry();
    // The largest top row (left column) for the cell area's size, with the view brought
    // within it.
    void ApplyLargestTopRow();
    void ApplyLargestLeftCol();

private:
    CTblSheet& Sheet() const;
    // Along an axis, a target inside a joined block becomes the block's first index, or
    // the index past it when the move goes forward out of the block.
    long SnapToJoin(long target, bool alongRows);
    int ClampCol(int& col);
    int ClampRow(long& row);
    // A plain move out of a multiple selection starts from the selection's anchor.
    void TakeSelectionAnchor();
    void UpdateSelection();
    void NotifyChange();
    void TellCellType(int col, long row, bool gained);

    CTblCtrl& m_grid;
    const CTblJoinGeometry& m_joins;
};
