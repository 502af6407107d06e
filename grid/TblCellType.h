// How cells look and react: the base of every cell type and itself the normal text cell.
// One object serves every cell that names its index; the grid's windows hand it the
// drawing and the mouse and keyboard events of those cells.
#pragma once

#include <QString>
#include <QUuid>

class CTblCell;
class CTblCtrl;
class QPainter;
class QPoint;
class QRect;
class QSize;

class CTblCellType
{
public:
    CTblCellType() = default;
    virtual ~CTblCellType();

    CTblCellType(const CTblCellType&) = delete;
    CTblCellType& operator=(const CTblCellType&) = delete;

    virtual QString TypeName() const;
    virtual QUuid TypeIdentifier() const;
    // Lets the type shrink the in-place editor's rectangle; 0 when it left it alone.
    virtual int FitEditorRect(QRect* rect);
    virtual int SystemColorsChanged();
    // Event handlers answer 1 when they handled the event, 0 otherwise. A key argument
    // may be set to 0 to swallow the key.
    virtual int HandleLeftButton(int col, long row, int pressed, const QRect& rect,
                                 const QPoint& point);
    virtual int HandleRightButton(int col, long row, int pressed, const QRect& rect,
                                  const QPoint& point);
    virtual int HandleDoubleClick(int col, long row, const QRect& rect, const QPoint& point);
    virtual int HandleKeyDown(int col, long row, int* key);
    virtual int HandleChar(int col, long row, int* key);
    virtual int HandleMouseMove(int col, long row, const QPoint& point, unsigned keyFlags);
    // Paints the composed cell into its rectangle. The base body fills the background and
    // writes the text; borders, bitmaps, overflow and the other text layouts belong to
    // the drawing code that builds on it.
    virtual void DrawCell(QPainter& dc, const QRect& rect, int col, long row, const CTblCell& cell,
                          int selected, int current);
    virtual void DrawCellScaled(QPainter& dc, const QRect& rect, int col, long row,
                                const CTblCell& cell);
    virtual int CellGotFocus(int col, long row, const CTblCell& cell);
    virtual int CellLostFocus(int col, long row, const CTblCell& cell);
    // The size the cell needs, measured in its font or else the font selected into dc.
    virtual void PreferredSize(QPainter& dc, QSize* size, const CTblCell& cell);

    int m_bEditable = 1;
    int m_bDrawLabel = 0;
    int m_bOverflow = 1;
    CTblCtrl* m_pGrid = nullptr;
    int m_nIndex = -1;
};
