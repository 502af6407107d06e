// What a grid asks and tells its application: each callback has a default here that
// lets the action happen or does nothing, and an application's grid overrides those it
// needs. "Allow" callbacks answer true to let the action happen. Sections are
// CTblCtrl::Section.
#pragma once

#include <cstdint>

class CTblCell;
class QPainter;
class QPoint;
class QRect;
class QString;
class QWidget;

class CTblCallbacks
{
public:
    virtual ~CTblCallbacks() = default;

    virtual void OnFocusGained(int section);
    virtual void OnGridReady();
    virtual void OnSheetReady(int sheet);
    virtual bool AllowCellMove(int oldCol, long oldRow, int newCol, long newRow);
    virtual bool AllowViewMove(int leftCol, long topRow, int newLeftCol, long newTopRow);
    virtual void OnBeyondLastRow(long rowCount, long wanted, long added);
    virtual void OnBeforeFirstRow(long first, long second);
    virtual bool AllowColResize(int col);
    virtual void OnColResizing(int col, int* width);
    virtual void OnColResized(int col, int* width);
    virtual bool AllowRowResize(long row);
    virtual void OnRowResizing(long row, int* height);
    virtual void OnRowResized(long row, int* height);
    virtual bool AllowColHeaderResize();
    virtual bool AllowRowHeaderResize();
    virtual void OnColHeaderResizing(int* height);
    virtual void OnRowHeaderResizing(int* width);
    virtual void OnColHeaderResized(int* height);
    virtual void OnRowHeaderResized(int* width);
    virtual void OnCurColChanged(int oldCol, int newCol);
    virtual void OnCurRowChanged(long oldRow, long newRow);
    virtual void OnCurCellChanged(int oldCol, int newCol, long oldRow, long newRow);
    virtual void OnScrolledToCol(int oldLeftCol, int newLeftCol);
    virtual void OnScrolledToRow(long oldTopRow, long newTopRow);
    virtual void OnCellLeftButton(int col, long row, bool down, const QRect& rect,
                                  const QPoint& point, int processed);
    virtual void OnCellRightButton(int col, long row, bool down, const QRect& rect,
                                   const QPoint& point, int processed);
    virtual void OnCellDoubleClick(int col, long row, const QRect& rect, const QPoint& point,
                                   int processed);
    virtual void OnCellMouseMove(int col, long row, const QPoint& point, unsigned keyFlags,
                                 int processed);
    virtual void OnColHeaderLeftButton(int col, long row, bool down, const QRect& rect,
                                       const QPoint& point, int processed);
    virtual void OnColHeaderRightButton(int col, long row, bool down, const QRect& rect,
                                        const QPoint& point, int processed);
    virtual void OnColHeaderDoubleClick(int col, long row, const QRect& rect, const QPoint& point,
                                        int processed);
    virtual void OnRowHeaderLeftButton(int col, long row, bool down, const QRect& rect,
                                       const QPoint& point, int processed);
    virtual void OnRowHeaderRightButton(int col, long row, bool down, const QRect& rect,
                                        const QPoint& point, int processed);
    virtual void OnRowHeaderDoubleClick(int col, long row, const QRect& rect, const QPoint& point,
                                        int processed);
    virtual void OnCornerLeftButton(bool down, const QRect& rect, const QPoint& point,
                                    int processed);
    virtual void OnCornerRightButton(bool down, const QRect& rect, const QPoint& point,
                                     int processed);
    virtual void OnCornerDoubleClick(const QRect& rect, const QPoint& point, int processed);
    // A key is a Qt key combined with its keyboard modifiers (QKeyCombination::toCombined);
    // a character its Unicode value. Either may be changed, or set to 0 to swallow it.
    virtual void OnGridKeyDown(int* key, int processed);
    virtual void OnGridChar(int* ch, int processed);
    virtual void OnCellFetch(int col, long row, CTblCell& cell);
    virtual void OnCellStore(int col, long row, CTblCell& cell);
    virtual void OnSourceEvent(int source, int message, intptr_t param);
    // The built-in types' events are listed with them (CTblDropListType::EventOpening ...).
    virtual bool OnCellTypeEvent(int typeIndex, int col, long row, int message, intptr_t param);
    virtual bool OnEditBegin(int col, long row, QWidget** editor);
    // Each character typed into the editor (8 for Backspace); false drops it.
    virtual bool OnEditKey(int col, long row, QWidget* editor, int* ch);
    virtual bool OnEditEnd(int col, long row, QWidget* editor, const QString& text, int cancelled);
    virtual bool OnEditNext(int oldCol, long oldRow, int* newCol, long* newRow);
    virtual void OnPopupCommand(int col, long row, int section, int id);
    virtual bool OnPopupOpen(int col, long row, int section);
    // The tip of a cell shows the text given; none by default.
    virtual bool OnCellTip(int col, long row, int section, QString& text);
    virtual bool OnVScrollTip(long row, QString& text);
    virtual bool OnHScrollTip(int col, QString& text);
    // Negative, 0 or positive as a sorts before, with or after b (CTblCell::Compare).
    virtual int CompareCells(const CTblCell* a, const CTblCell* b, int flags);
    virtual void OnPrepareDC(QPainter* dc, QPainter* bufferDC, int section);
    virtual void OnLayout(QRect* cells, QRect* colHeader, QRect* rowHeader, QRect* corner,
                          QRect* vScroll, QRect* hScroll, QRect* tabs);
    virtual void OnSheetTabClick(int tabId);
    virtual void OnFocusLost(int section);
    virtual bool AllowColDrag(int col);
    virtual bool AllowColDrop(int fromCol, int toCol);
    virtual void OnTrackerMoved(const QRect& oldRect, const QRect& newRect);
};
