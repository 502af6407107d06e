#include "TblEditSession.h"

#include "TblAccessibleCell.h"
#include "TblCellArea.h"
#include "TblColHeader.h"
#include "TblCtrl.h"
#include "TblDataSource.h"
#include "TblEditWnd.h"
#include "TblRowHeader.h"
#include "TblSheet.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QMetaProperty>

int CTblEditSession::Begin(int col, long row, int firstChar)
{
    if (m_bEditing || !m_grid.GetCellArea())
        return 1;
    // Taken at once: what Open calls may try to begin an edit too.
    m_bEditing = true;
    const int result = Open(col, row, firstChar);
    if (result != 0)
        m_bEditing = false;
    return result;
}

int CTblEditSession::Open(int col, long row, int firstChar)
{
    CTblSheet& s = *m_grid.GetSheet();
    const bool multiple = s.m_selection.IsMultiple();
    s.m_selection.Clear();
    if (multiple)
        m_grid.GetCellArea()->RepaintAll();
    if (!MoveToEditedCell(col, row))
        return 2;
    m_nCol = col;
    m_nRow = row;
    CTblCell cell;
    m_grid.ComposeCell(col, row, cell);
    CTblCellType* type = m_grid.TypeOf(cell);
    QRect rect;
    QWidget* host = type->m_bEditable ? EditorHost(col, row, rect) : nullptr;
    if (!host)
        return 1;
    // The grid lines at the right and bottom stay visible.
    rect.adjust(0, 0, -1, -1);
    type->FitEditorRect(&rect);
    if (cell.GetReadOnly())
        return 1;
    const QString text = cell.TextValue() ? *cell.TextValue() : QString();
    QWidget* editor = s.m_pEditor ? s.m_pEditor : m_grid.GetEditWnd();
    SetEditorText(editor, text);
    int sourceCol = col;
    if (!m_grid.SourceOf(col, sourceCol)->AllowEditBegin(col, row, &editor) ||
        !m_grid.OnEditBegin(col, row, &editor) || !editor)
        return 1;
    m_pEditor = editor;
    SetEditorText(editor, text);
    // The field a screen reader lands on is named after its column.
    editor->setAccessibleName(CTblAccessibleCell::Text(m_grid, col, -1));
    editor->setFont(cell.GetFont() ? *cell.GetFont()
                                   : (s.m_pDefaultFont ? *s.m_pDefaultFont : m_grid.font()));
    ShowEditor(editor, host, rect, firstChar);
    return 0;
}

bool CTblEditSession::MoveToEditedCell(int& col, long& row)
{
    if (col < 0 || row < 0)
        return true;
    const CTblSheet& s = *m_grid.GetSheet();
    if ((col != s.m_nCurCol || row != s.m_nCurRow) && m_grid.MoveToCell(col, row) != 0)
        return false;
    // The move may have clamped the row or snapped to a joined block's first cell.
    col = s.m_nCurCol;
    row = s.m_nCurRow;
    return col >= 0 && row >= 0;
}

void CTblEditSession::ShowEditor(QWidget* editor, QWidget* host, const QRect& rect, int firstChar)
{
    if (editor->parentWidget() != host)
        editor->setParent(host);
    editor->setGeometry(rect);
    editor->raise();
    editor->show();
    editor->activateWindow();
    editor->setFocus(Qt::OtherFocusReason);
    if (CTblEditWnd* own = m_grid.GetEditWnd(); editor == own)
        own->Prepare();
    if (firstChar > 0) {
        // As if typed: the character replaces the text, which is all selected.
        QKeyEvent typed(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier,
                        QString(QChar(static_cast<char16_t>(firstChar))));
        QCoreApplication::sendEvent(editor, &typed);
    }
}

int CTblEditSession::End(const QString& text, int cancelled, int cont, int nextCol, long nextRow)
{
    const bool editing = m_bEditing;
    if (!editing)
        cancelled = 1;
    const int col = m_nCol;
    const long row = m_nRow;
    QWidget* editor = m_pEditor;
    int sourceCol = col;
    if (m_grid.SourceOf(col, sourceCol)->AllowEditEnd(col, row, editor, text, cancelled) != 1 ||
        !m_grid.OnEditEnd(col, row, editor, text, cancelled))
        return editing ? 0 : 1;
    // Editing goes on to another cell only from the cells, not from a heading.
    const bool inCells = editor && editor->parentWidget() == m_grid.GetCellArea();
    HideEditor(editor);
    m_bEditing = false;
    if (!editing)
        return 1;
    if (!cancelled) {
        m_grid.SetCellText(col, row, text);
        m_grid.RepaintCell(col, row);
    }
    if (cont && inCells)
        Continue(col, row, nextCol, nextRow);
    return 1;
}

QWidget* CTblEditSession::EditorHost(int col, long row, QRect& rect)
{
    // The corner cells show in no heading.
    if (col < 0 && row < 0)
        return nullptr;
    CTblHeader* header = nullptr;
    if (col < 0)
        header = m_grid.m_pRowHeader;
    else if (row < 0)
        header = m_grid.m_pColHeader;
    // The cell may have been scrolled out of view.
    const auto shown = [&] {
        return header ? header->HeadingCellRect(col, row, rect)
                      : m_grid.VisibleCellRect(col, row, rect);
    };
    if (!shown()) {
        const CTblSheet& s = *m_grid.GetSheet();
        if (col >= 0)
            m_grid.ScrollToCol(s.LeftColShowing(col));
        if (row >= 0)
            m_grid.ScrollToRow(s.TopRowShowing(row));
    }
    if (!shown())
        return nullptr;
    return header ? static_cast<QWidget*>(header) : m_grid.GetCellArea();
}

void CTblEditSession::Continue(int col, long row, int nextCol, long nextRow)
{
    const CTblSheet& s = *m_grid.GetSheet();
    if (nextCol < 0)
        nextCol = s.m_nColCount - 1;
    else if (nextCol >= s.m_nColCount)
        nextCol = 0;
    if (nextRow < 0)
        nextRow = s.m_nRowCount - 1;
    else if (nextRow >= s.m_nRowCount)
        nextRow = 0;
    int sourceCol = col;
    if (m_grid.SourceOf(col, sourceCol)->AllowEditNext(col, row, &nextCol, &nextRow) != 1 ||
        !m_grid.OnEditNext(col, row, &nextCol, &nextRow))
        return;
    Begin(nextCol, nextRow, 0);
}

void CTblEditSession::Cancel()
{
    if (!m_bEditing)
        return;
    if (CTblEditWnd* own = m_grid.GetEditWnd(); m_pEditor == own)
        own->Cancel();
    else
        End(QString(), 1, 0, 0, 0);
}

bool CTblEditSession::EndForPress()
{
    if (CTblEditWnd* own = m_grid.GetEditWnd(); m_bEditing && m_pEditor == own)
        own->EndNow();
    return !m_bEditing;
}

void CTblEditSession::SetEditorText(QWidget* editor, const QString& text)
{
    if (auto* own = qobject_cast<CTblEditWnd*>(editor)) {
        own->SetText(text);
        return;
    }
    // Another editor gets the text through its user property (a line edit's text).
    if (editor) {
        const QMetaProperty property = editor->metaObject()->userProperty();
        if (property.isValid())
            property.write(editor, text);
    }
}

void CTblEditSession::HideEditor(QWidget* editor)
{
    if (!editor)
        return;
    if (CTblEditWnd* own = m_grid.GetEditWnd(); editor == own) {
        own->Close();
        return;
    }
    CTblCellArea* area = m_grid.GetCellArea();
    if (editor->hasFocus() && area)
        area->setFocus(Qt::OtherFocusReason);
    editor->hide();
}
