// How cells look and react: the base of every cell type and itself the normal text cell.
// One object serves every cell that names its index; the grid's windows hand it the
// drawing and the mouse and keyboard events of those cells.
#pragma once

#include <QColor>
#include <QRect>
#include <QString>
#include <QUuid>

class CTblCell;
class CTblCtrl;
class CTblSheet;
class QPainter;
class QPixmap;
class QPoint;
class QSize;

class CTblCellType
{
public:
    // Type parameter bits of the text layouts every type shares.
    enum TextParam
    {
        ParamWordWrap = 0x02,
        ParamEllipsis = 0x04,
        // This exact value draws the label instead of the text.
        ParamShowLabel = 0x08,
    };

    CTblCellType() = default;
    virtual ~CTblCellType();

    CTblCellType(const CTblCellType&) = delete;
    CTblCellType& operator=(const CTblCellType&) = delete;

    virtual QString TypeName() const;
    virtual QUuid TypeIdentifier() const;
    // Lets the type shrink the in-place editor's rectangle; 0 when it left it alone.
    virtual int FitEditorRect(QRect* rect);
    virtual int SystemColorsChanged();
    // Event handlers answer 1 when they handled the event, 0 otherwise. A key is a Qt key
    // combined with its keyboard modifiers (QKeyCombination::toCombined), a character its
    // Unicode value; either may be set to 0 to swallow it.
    virtual int HandleLeftButton(int col, long row, int pressed, const QRect& rect,
                                 const QPoint& point);
    virtual int HandleRightButton(int col, long row, int pressed, const QRect& rect,
                                  const QPoint& point);
    virtual int HandleDoubleClick(int col, long row, const QRect& rect, const QPoint& point);
    virtual int HandleKeyDown(int col, long row, int* key);
    virtual int HandleChar(int col, long row, int* key);
    virtual int HandleMouseMove(int col, long row, const QPoint& point, unsigned keyFlags);
    // Paints the composed cell into its rectangle: border, then text (or the text of a
    // cell to the left that runs on into this empty one).
    virtual void DrawCell(QPainter& dc, const QRect& rect, int col, long row, const CTblCell& cell,
                          int selected, int current);
    // Draws the cell with its font scaled by the rectangle's height over the row's height.
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

protected:
    // The sheet the type draws for; none before the type is registered.
    CTblSheet* Sheet() const;
    int TextMargin() const;
    // Highlight colours apply to selected cells and to the current cell when the sheet's
    // current cell style asks for them.
    bool Highlighted(int selected, int current) const;
    QColor BackColorOf(const CTblCell& cell, int selected, int current) const;
    // Draws the border lines and the sheet's grid lines; answers the rectangle inside them.
    QRect DrawBorder(QPainter& dc, const QRect& rect, const CTblCell& cell) const;
    // Draws what a normal cell shows inside its border: its text, or the overflowing text
    // of a cell to the left.
    void DrawContent(QPainter& dc, const QRect& inner, int col, long row, const CTblCell& cell,
                     int selected, int current) const;
    // Draws the cell's text (or label) into the rectangle, a left-aligned text shifted left
    // by shift pixels; the background is filled first.
    void DrawText(QPainter& dc, QRect rect, int shift, const CTblCell& cell, int selected,
                  int current) const;

private:
    // A cell to the left whose text runs on into this empty one: its composed cell and
    // how far left of this cell its text starts.
    bool FindOverflow(QPainter& dc, int col, long row, const CTblCell& cell, CTblCell& source,
                      int& shift) const;
    static int DrawBitmap(QPainter& dc, const QRect& rect, const QPixmap& bitmap,
                          const QColor& back);
};
