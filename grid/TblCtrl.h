// A spreadsheet-like grid control: sheets of cells with column and row headings, cells
// kept by data sources, drawn and handled by cell types, and a current cell that the
// keyboard, the mouse and the application move. An application specialises it by
// overriding its callbacks (CTblCallbacks, and the two at the end of the class).
#pragma once

#include "TblArrowType.h"
#include "TblCallbacks.h"
#include "TblCell.h"
#include "TblCellType.h"
#include "TblCheckBoxType.h"
#include "TblDropListType.h"
#include "TblEditSession.h"
#include "TblFontList.h"
#include "TblJoinGeometry.h"
#include "TblNavigator.h"
#include "TblSheet.h"

#include <QColor>
#include <QString>
#include <QWidget>

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

class CTblCellArea;
class CTblChildWindow;
class CTblColHeader;
class CTblCornerBox;
class CTblDataSource;
class CTblEditWnd;
class CTblHScrollBar;
class CTblLayout;
class CTblRowHeader;
class CTblSheetTabs;
class CTblTipWnd;
class CTblVScrollBar;
class QAction;
class QMenu;

class CTblCtrl : public QWidget, public CTblCallbacks
{
    Q_OBJECT

public:
    // The grid's windows, numbered as the callbacks report them.
    enum Section
    {
        SectionCells = 1,
        SectionColHeader = 2,
        SectionRowHeader = 3,
        SectionCorner = 4,
        SectionTabs = 5,
        SectionVScroll = 6,
        SectionHScroll = 7,
    };

    static constexpr int MaxSheets = 1024;
    static constexpr int MaxColumns = 32000;
    static constexpr int MaxSize = 1024;
    // Above this many rows every row has the default height.
    static constexpr long UniformRowsAbove = 64000;
    // Pop-up menu items with this id or above reach OnPopupCommand.
    static constexpr int FirstPopupCommand = 1000;
    // FitColumnsToContent flag: measure the column-heading rows too.
    static constexpr int FitHeadings = 0x1;

    // The dynamic property of a dialog's child widget that holds its control id.
    static constexpr char ControlIdProperty[] = "controlId";

    explicit CTblCtrl(QWidget* parent = nullptr);
    ~CTblCtrl() override;

    // Takes the place of the descendant of parent whose ControlIdProperty is id: its
    // parent, geometry, id, visibility and place in the tab order; the placeholder is
    // hidden and left to its owner. Then creates the grid's windows, lays them out and
    // calls OnGridReady. 0 when attached; 1 when there is no such placeholder or the grid
    // has its windows already. The grid becomes a child of the placeholder's parent, so it
    // must be made with new or go before that parent does (as a member of its class).
    int AttachToDlgItem(QWidget* parent, int id);
    // The same with the placeholder widget itself.
    int AttachToWidget(QWidget* placeholder);

    // Counts and sizes. Results: 0 success, 1 bad argument or nothing to do, 2 refused.
    int SetDefaultRowHeight(int height);
    int SetColumnCount(int count, int redraw = 1);
    int SetRowCount(long count, int redraw = 1);
    int GetColumnCount() const { return m_pSheet->m_nColCount; }
    long GetRowCount() const { return m_pSheet->m_nRowCount; }
    // A negative column is a row-heading column: its width is set and the result is 1.
    int SetColumnWidth(int col, int width);
    int GetColumnWidth(int col) const;
    int SetHeadingColumnWidth(int col, int width);
    int SetHeadingRowHeight(long row, int height);
    int SetRowSize(long row, int height);
    int GetRowSize(long row) const;
    int SetUniformRows(int uniform);
    int SetColHeaderHeight(int height);
    int SetRowHeaderWidth(int width);
    // Leading columns and rows that never scroll.
    int SetLockedCounts(int cols, long rows);
    int SetCurCellStyle(int style);

    // Fonts, kept by the grid and addressed by index.
    int SetDefaultFont(int index);
    // A negative height is the font's pixel size, a positive one the height of its line;
    // pitchAndFamily holds a style hint in its high bits and 1 for fixed pitch in its low ones.
    int RegisterFontEx(int height, int weight, uint8_t italic, uint8_t underline, uint8_t strikeOut,
                       uint8_t pitchAndFamily, const QString& faceName);
    int RegisterFont(const QString& faceName, int height, int weight);
    const QFont* GetFont(int index) const { return m_fonts.At(index); }
    int GetFontUseCount(int index) const { return m_fonts.UseCount(index); }

    // Cells. ReadCell gives what the data source stores; ComposeCell the cell as it is
    // drawn and edited, on the heading or column defaults.
    int ReadCell(int col, long row, CTblCell& cell);
    int ComposeCell(int col, long row, CTblCell& cell);
    int WriteCell(int col, long row, CTblCell& cell);
    int SetCellText(int col, long row, const QString& text);
    int GetCellText(int col, long row, QString& text);
    int SetCellAlignment(int col, long row, uint16_t alignment);

    // The current cell and the view. Moves answer 0 moved or nothing to do, 1 when the
    // target cannot be reached, 2 when the data source or a callback refused.
    int GetCurCol() const { return m_pSheet->m_nCurCol; }
    long GetCurRow() const { return m_pSheet->m_nCurRow; }
    int MoveToCell(int col, long row) { return m_navigator.MoveToCell(col, row); }
    int MoveToRow(long row) { return m_navigator.MoveToRow(row); }
    int MoveToCol(int col) { return m_navigator.MoveToCol(col); }
    int ScrollToRow(long row) { return m_navigator.ScrollToRow(row); }
    int ScrollToCol(int col) { return m_navigator.ScrollToCol(col); }
    // Step kinds: CTblSheet::Step.
    int StepRow(int kind) { return m_navigator.StepRow(kind); }
    int StepCol(int kind) { return m_navigator.StepCol(kind); }
    int ScrollRows(int kind) { return m_navigator.ScrollRows(kind); }
    int ScrollCols(int kind) { return m_navigator.ScrollCols(kind); }
    // Gives the keyboard focus to the next (previous) control outside the grid that takes
    // Tab, as Ctrl+Tab (Ctrl+Shift+Tab) does.
    void LeaveGrid(bool forward) { m_navigator.LeaveGrid(forward); }

    int FitColumnsToWidth(int first, int last);
    int FitColumnsToContent(int first, int last, long rowLimit, int flags);
    int MoveColumn(int from, int to, int before);

    int SetSheetCount(int count);
    int ShowSheet(int index, int redraw = 1);
    int GetSheetCount() const { return static_cast<int>(m_sheets.size()); }
    int GetCurSheet() const { return m_nCurSheet; }
    CTblSheet* GetSheet() const { return m_pSheet; }

    // Windows: the grid's child windows plug in by section.
    void SetChildWindow(int section, CTblChildWindow* window);
    CTblChildWindow* GetChildWindow(int section) const;
    // Lays the child windows out over the client area (on every resize).
    void RecalcLayout();
    int Redraw();
    int RepaintCell(int col, long row);
    int GetRedraw() const { return m_nRedraw; }
    bool IsEditing() const { return m_edit.IsEditing(); }
    // The cell at a point of the cell area, with its rectangle (a joined block's
    // first cell and the block's rectangle). 1 when no cell is there.
    int CellAtPoint(int x, int y, int& col, long& row, QRect& rect)
    {
        return m_joins.CellAtPoint(x, y, col, row, rect);
    }
    // The rectangle of a body cell (of its whole block when it is joined) in the cell
    // area as it is scrolled; false when no part of it is shown.
    bool VisibleCellRect(int col, long row, QRect& rect)
    {
        return m_joins.VisibleCellRect(col, row, rect);
    }
    // For a composed cell that belongs to a joined block: the block's first cell and its
    // rectangle in the cell area. False when the cell is not joined (or joins are off).
    bool JoinedBlockRect(const CTblCell& cell, int col, long row, int& firstCol, long& firstRow,
                         QRect& rect) const
    {
        return m_joins.JoinedBlockRect(cell, col, row, firstCol, firstRow, rect);
    }
    // Asks the sheet's default source for rows past the last one (OnBeyondLastRow
    // follows); true when the row count grew.
    bool RequestRowsPastEnd(long wanted) { return m_navigator.RequestRowsPastEnd(wanted); }

    // In-place editing. BeginEditAt answers 0 when the editor opened, 1 when the cell
    // cannot be edited or a callback refused, 2 when the move to the cell failed.
    // EndEdit answers 0 when the data source or the application refused the end (the
    // edit goes on), 1 otherwise; with cont it opens the editor on the next cell.
    int BeginEdit() { return m_edit.Begin(m_pSheet->m_nCurCol, m_pSheet->m_nCurRow, 0); }
    int BeginEditAt(int col, long row, int firstChar) { return m_edit.Begin(col, row, firstChar); }
    int EndEdit(const QString& text, int cancelled, int cont, int nextCol, long nextRow)
    {
        return m_edit.End(text, cancelled, cont, nextCol, nextRow);
    }
    // Ends an edit in progress without storing its text.
    void CancelEdit() { m_edit.Cancel(); }
    // Ends an edit of the grid's own editor at once, storing its text, for a press on
    // another cell; true when no edit is left in progress (false when it was refused).
    bool EndEditForPress() { return m_edit.EndForPress(); }
    int GetEditCol() const { return m_edit.Col(); }
    long GetEditRow() const { return m_edit.Row(); }
    // The editor of the edit in progress (the grid's own or one an application gave).
    QWidget* GetEditor() const { return m_edit.Editor(); }

    // The grid's windows; none before AttachToDlgItem.
    CTblCellArea* GetCellArea() const { return m_pCellArea; }
    CTblEditWnd* GetEditWnd() const { return m_pEditWnd; }
    CTblSheetTabs* GetSheetTabs() const { return m_pSheetTabs; }
    CTblTipWnd* GetTipWnd() const { return m_pTipWnd; }

    // The pens of raised and sunken 3-D frames.
    const QPen& GetWhitePen() const { return m_whitePen; }
    const QPen& GetShadowPen() const { return m_shadowPen; }

    QMenu* GetPopupMenu() const { return m_pPopupMenu; }
    // Opens the pop-up menu at a screen point: 1 when the sheet has no pop-up menu,
    // 2 when OnPopupOpen refused, 3 when the menu has no items.
    int ShowPopupMenu(int col, long row, const QPoint& screenPoint, int section);

    // The index of the registered type, -1 for none.
    int RegisterCellType(CTblCellType* type);
    CTblCellType* GetCellType(int index) const;
    // The type that draws and handles a composed cell: its own, else the normal type.
    CTblCellType* TypeOf(const CTblCell& cell) const;
    CTblCellType* TypeAt(int col, long row);
    int GetCellTypeCount() const { return static_cast<int>(m_cellTypes.size()); }
    // The index of the registered source (1 and up), -1 for none.
    int RegisterDataSource(CTblDataSource* source);
    CTblDataSource* GetDataSource(int index) const;

    // Callbacks that draw with the grid's palette and style; the others are CTblCallbacks'.
    virtual QColor GetDefaultBackColor(int section);
    virtual void DrawCurrentCellFrame(QPainter& dc, const QRect& rect);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    // The edit session reads the data sources and opens editors in the headings.
    friend class CTblEditSession;

    CTblDataSource* SourceOf(int col, int& sourceCol) const;
    void ShowSheetAt(int index, int redraw, const int* inheritedTabWidth);
    // Gives each of the grid's windows its rectangle of the layout, from origin.
    void PlaceWindows(const CTblLayout& layout, const QPoint& origin);
    void OnPopupAction(QAction* action);
    void CreateWindows();
    // The cell area takes the focus from the grid's other windows, but not from its own
    // editor or list, nor from controls outside the grid.
    void FocusCellsIfInGrid();

    CTblCellType m_normalType;
    CTblDropListType m_dropListType;
    CTblCheckBoxType m_checkBoxType;
    CTblArrowType m_arrowType;
    CTblFontList m_fonts;
    std::vector<CTblCellType*> m_cellTypes;
    std::vector<CTblDataSource*> m_sources;
    std::vector<std::unique_ptr<CTblSheet>> m_sheets;
    int m_nCurSheet = -1;
    CTblSheet* m_pSheet = nullptr;
    std::array<CTblChildWindow*, SectionHScroll + 1> m_windows{};
    QMenu* m_pPopupMenu = nullptr;
    int m_nPopupCol = -1;
    long m_nPopupRow = -1;
    int m_nPopupSection = 0;
    CTblCellArea* m_pCellArea = nullptr;
    CTblColHeader* m_pColHeader = nullptr;
    CTblRowHeader* m_pRowHeader = nullptr;
    CTblCornerBox* m_pCornerBox = nullptr;
    CTblSheetTabs* m_pSheetTabs = nullptr;
    CTblVScrollBar* m_pVScrollBar = nullptr;
    CTblHScrollBar* m_pHScrollBar = nullptr;
    CTblTipWnd* m_pTipWnd = nullptr;
    CTblEditWnd* m_pEditWnd = nullptr;
    QPen m_whitePen;
    QPen m_shadowPen;
    int m_nRedraw = 0;
    bool m_bInLayout = false;
    CTblJoinGeometry m_joins{*this};
    CTblNavigator m_navigator{*this, m_joins};
    CTblEditSession m_edit{*this};
};
