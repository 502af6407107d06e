// The grid's in-place edit, one at a time: the editor opens over a cell (in the cell
// area, or in its heading for a heading cell) when the cell type, the data source and the
// application agree, the text is stored when the edit ends, and the edit may go on to the
// next cell. The results are those of the CTblCtrl methods it serves.
#pragma once

class CTblCtrl;
class QRect;
class QString;
class QWidget;

class CTblEditSession
{
public:
    explicit CTblEditSession(CTblCtrl& grid) : m_grid(grid) {}

    // CTblCtrl::BeginEditAt, EndEdit, CancelEdit and EndEditForPress.
    int Begin(int col, long row, int firstChar);
    int End(const QString& text, int cancelled, int cont, int nextCol, long nextRow);
    void Cancel();
    bool EndForPress();

    bool IsEditing() const { return m_bEditing; }
    int Col() const { return m_nCol; }
    long Row() const { return m_nRow; }
    QWidget* Editor() const { return m_pEditor; }

private:
    // Begin's work once the session is taken; its result is Begin's.
    int Open(int col, long row, int firstChar);
    // A body cell becomes the current cell first (which may move the edit to a joined
    // block's first cell); a heading cell is edited where it is. False when the move fails.
    bool MoveToEditedCell(int& col, long& row);
    // Shows the editor over rect in host with the focus; a first character is typed into it.
    void ShowEditor(QWidget* editor, QWidget* host, const QRect& rect, int firstChar);
    // The window an edited cell shows in (the cell area, or the heading of a heading
    // cell) with the cell's rectangle there, scrolled into view; none when not shown.
    QWidget* EditorHost(int col, long row, QRect& rect);
    // Opens the editor on the next cell (wrapped round the ends) when both agree.
    void Continue(int col, long row, int nextCol, long nextRow);
    static void SetEditorText(QWidget* editor, const QString& text);
    void HideEditor(QWidget* editor);

    CTblCtrl& m_grid;
    bool m_bEditing = false;
    int m_nCol = -1;
    long m_nRow = -1;
    QWidget* m_pEditor = nullptr;
};
