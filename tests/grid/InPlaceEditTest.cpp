#include "InPlaceEditTest.h"

#include "DemoGrid.h"
#include "EventGrid.h"
#include "GridWindow.h"
#include "TblEditWnd.h"

#include <QStyle>
#include <QTest>

#include <algorithm>

namespace {

bool Logged(const CallLog& log, const std::string& call)
{
    return std::find(log.begin(), log.end(), call) != log.end();
}

QString TextAt(CTblCtrl& grid, int col, long row)
{
    QString text;
    grid.GetCellText(col, row, text);
    return text;
}

// A shown grid of 4 columns and 5 rows whose cells hold "c,r".
class CEditWindow
{
public:
    explicit CEditWindow(CEventGrid& grid) : m_grid(grid)
    {
        m_bShown = m_window.Show(grid);
        grid.SetColumnCount(4);
        grid.SetRowCount(5);
        for (long row = 0; row < 5; ++row) {
            for (int col = 0; col < 4; ++col)
                grid.SetCellText(col, row, QStringLiteral("%1,%2").arg(col).arg(row));
        }
    }

    CTblEditWnd* Editor() const { return m_grid.GetEditWnd(); }

    // Waits for the edit to end or to move to another cell (it ends after the focus
    // change, when the events are processed).
    bool EditEndedAt(int col, long row) const
    {
        return QTest::qWaitFor(
            [&] {
                return !m_grid.IsEditing() || m_grid.GetEditCol() != col ||
                       m_grid.GetEditRow() != row;
            },
            5000);
    }

    CGridWindow m_window;
    CEventGrid& m_grid;
    bool m_bShown;
};

} // namespace

void TestInPlaceEdit::doubleClickOpensTheEditorOverTheCell()
{
    CallLog log;
    CEventGrid grid(log);
    grid.m_bEditOnDoubleClick = true;
    CEditWindow window(grid);
    QVERIFY(window.m_bShown);
    const QPoint at = CellCentre(grid, 2, 3);
    QTest::mouseClick(grid.GetCellArea(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(grid.GetCellArea(), Qt::LeftButton, {}, at);
    QVERIFY(grid.IsEditing());
    QCOMPARE(grid.GetEditCol(), 2);
    QCOMPARE(grid.GetEditRow(), 3L);
    QVERIFY(window.Editor()->isVisible());
    QCOMPARE(window.Editor()->parentWidget(), grid.GetCellArea());
    QCOMPARE(window.Editor()->Text(), QStringLiteral("2,3"));
    // Over the cell, its grid lines left visible.
    QRect cell;
    grid.VisibleCellRect(2, 3, cell);
    QCOMPARE(window.Editor()->geometry(), cell.adjusted(0, 0, -1, -1));
    QTRY_VERIFY_WITH_TIMEOUT(window.Editor()->hasFocus(), 5000);
    QCOMPARE(window.Editor()->textCursor().selectedText(), QStringLiteral("2,3"));
}

void TestInPlaceEdit::firstCharacterReplacesTheText()
{
    CallLog log;
    CEventGrid grid(log);
    CEditWindow window(grid);
    QVERIFY(window.m_bShown);
    QCOMPARE(grid.BeginEditAt(1, 1, 'x'), 0);
    QCOMPARE(window.Editor()->Text(), QStringLiteral("x"));
    QTest::keyClicks(window.Editor(), QStringLiteral("yz"));
    QTest::keyClick(window.Editor(), Qt::Key_Return);
    QVERIFY(window.EditEndedAt(1, 1));
    QCOMPARE(TextAt(grid, 1, 1), QStringLiteral("xyz"));
    QVERIFY(Logged(log, Call("OnEditEnd", 1, 1, "xyz", 0)));
    // Enter goes on to the cell below.
    QVERIFY(Logged(log, Call("OnEditNext", 1, 1, 1, 2)));
    QVERIFY(grid.IsEditing());
    QCOMPARE(grid.GetCurRow(), 2L);
    QCOMPARE(window.Editor()->Text(), QStringLiteral("1,2"));
}

void TestInPlaceEdit::escapeKeepsTheOldText()
{
    CallLog log;
    CEventGrid grid(log);
    CEditWindow window(grid);
    QVERIFY(window.m_bShown);
    QCOMPARE(grid.BeginEditAt(2, 2, 0), 0);
    QTest::keyClicks(window.Editor(), QStringLiteral("new"));
    QTest::keyClick(window.Editor(), Qt::Key_Escape);
    QVERIFY(window.EditEndedAt(2, 2));
    QVERIFY(!grid.IsEditing());
    QCOMPARE(TextAt(grid, 2, 2), QStringLiteral("2,2"));
    QVERIFY(Logged(log, Call("OnEditEnd", 2, 2, "new", 1)));
    QVERIFY(!window.Editor()->isVisible());
    QVERIFY(grid.GetCellArea()->hasFocus());
}

void TestInPlaceEdit::enterOnTheLastRowContinuesOnRowZero()
{
    CallLog log;
    CEventGrid grid(log);
    CEditWindow window(grid);
    QVERIFY(window.m_bShown);
    QCOMPARE(grid.BeginEditAt(2, 4, 0), 0);
    QTest::keyClick(window.Editor(), Qt::Key_Return);
    QVERIFY(window.EditEndedAt(2, 4));
    QVERIFY(Logged(log, Call("OnEditNext", 2, 4, 2, 0)));
    QVERIFY(grid.IsEditing());
    QCOMPARE(grid.GetEditRow(), 0L);
    QCOMPARE(grid.GetCurRow(), 0L);
    // The application may stop the continuation: editing then ends where it was.
    grid.m_bAllowEditNext = false;
    QTest::keyClick(window.Editor(), Qt::Key_Return);
    QVERIFY(window.EditEndedAt(2, 0));
    QVERIFY(!grid.IsEditing());
    QCOMPARE(grid.GetCurRow(), 0L);
}

void TestInPlaceEdit::tabAndShiftTabWrapAroundTheRow()
{
    CallLog log;
    CEventGrid grid(log);
    CEditWindow window(grid);
    QVERIFY(window.m_bShown);
    QCOMPARE(grid.BeginEditAt(3, 2, 0), 0);
    QTest::keyClick(window.Editor(), Qt::Key_Tab);
    QVERIFY(window.EditEndedAt(3, 2));
    QVERIFY(Logged(log, Call("OnEditNext", 3, 2, 0, 2)));
    QCOMPARE(grid.GetEditCol(), 0);
    QTest::keyClick(window.Editor(), Qt::Key_Backtab, Qt::ShiftModifier);
    QVERIFY(window.EditEndedAt(0, 2));
    QVERIFY(Logged(log, Call("OnEditNext", 0, 2, 3, 2)));
    QCOMPARE(grid.GetEditCol(), 3);
    QCOMPARE(grid.GetEditRow(), 2L);
    // Stored unchanged.
    QCOMPARE(TextAt(grid, 3, 2), QStringLiteral("3,2"));
}

void TestInPlaceEdit::arrowsEndTheEditUntilTheEditorHasGrown()
{
    CallLog log;
    CEventGrid grid(log);
    CEditWindow window(grid);
    QVERIFY(window.m_bShown);
    QCOMPARE(grid.BeginEditAt(1, 2, 0), 0);
    QTest::keyClick(window.Editor(), Qt::Key_Down);
    QVERIFY(window.EditEndedAt(1, 2));
    QCOMPARE(grid.GetEditRow(), 3L);
    QTest::keyClick(window.Editor(), Qt::Key_Up);
    QVERIFY(window.EditEndedAt(1, 3));
    QCOMPARE(grid.GetEditRow(), 2L);
    // Grown, the editor keeps the arrows for its lines.
    QTest::keyClicks(window.Editor(), QStringLiteral("a rather longer text than fits"));
    QVERIFY(window.Editor()->m_nCurHeight != window.Editor()->m_nStartHeight);
    QTest::keyClick(window.Editor(), Qt::Key_Up);
    QTest::qWait(20);
    QVERIFY(grid.IsEditing());
    QCOMPARE(grid.GetEditRow(), 2L);
}

void TestInPlaceEdit::editorGrowsCellByCellAndNeverShrinks()
{
    CallLog log;
    CEventGrid grid(log);
    CEditWindow window(grid);
    QVERIFY(window.m_bShown);
    QCOMPARE(grid.BeginEditAt(0, 1, 0), 0);
    CTblEditWnd* editor = window.Editor();
    const QRect start = editor->geometry();
    QTest::keyClicks(editor, QStringLiteral("a text that needs more than one column"));
    const QRect grown = editor->geometry();
    QVERIFY(grown.width() > start.width());
    QCOMPARE(grown.topLeft(), start.topLeft());
    // Its right edge stops a pixel before a column's end, inside the area.
    const int end = grown.x() + grown.width() + 1;
    QVERIFY2(end % 75 == 0 && end <= grid.GetCellArea()->width(),
             qPrintable(QStringLiteral("editor ends at %1").arg(end)));
    QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(editor, Qt::Key_Backspace);
    QCOMPARE(editor->Text(), QString());
    QCOMPARE(editor->geometry(), grown);
    // A text wider than the area wraps: the editor takes the area's width and grows down
    // by whole rows.
    QTest::keyClicks(editor, QString(60, QLatin1Char('w')) + QStringLiteral(" ") +
                                 QString(60, QLatin1Char('w')));
    const QRect tall = editor->geometry();
    QCOMPARE(tall.x() + tall.width(), grid.GetCellArea()->width());
    QVERIFY(tall.height() > grown.height());
    QCOMPARE((tall.y() + tall.height() + 1) % 20, 0);
}

void TestInPlaceEdit::clickOnAnotherCellStoresTheTextAndMovesThere()
{
    CallLog log;
    CEventGrid grid(log);
    CEditWindow window(grid);
    QVERIFY(window.m_bShown);
    QCOMPARE(grid.BeginEditAt(1, 1, 0), 0);
    QTRY_VERIFY_WITH_TIMEOUT(window.Editor()->hasFocus(), 5000);
    QTest::keyClicks(window.Editor(), QStringLiteral("abc"));
    // The one click ends the edit and moves the current cell there.
    QTest::mouseClick(grid.GetCellArea(), Qt::LeftButton, {}, CellCentre(grid, 3, 3));
    QVERIFY(!grid.IsEditing());
    QCOMPARE(TextAt(grid, 1, 1), QStringLiteral("abc"));
    QVERIFY(Logged(log, Call("OnEditEnd", 1, 1, "abc", 0)));
    QCOMPARE(grid.GetCurCol(), 3);
    QCOMPARE(grid.GetCurRow(), 3L);
    QVERIFY(Logged(log, Call("OnCellLeftButton", 3, 3, true, 0)));
}

void TestInPlaceEdit::headingCellIsEditedInItsHeading()
{
    CallLog log;
    CEventGrid grid(log);
    CEditWindow window(grid);
    QVERIFY(window.m_bShown);
    grid.SetCellText(2, -1, QStringLiteral("Head"));
    grid.MoveToCell(1, 1);
    CTblEditWnd* editor = window.Editor();
    const auto editHeading = [&](int col, long row, CTblCtrl::Section section) {
        QCOMPARE(grid.BeginEditAt(col, row, 0), 0);
        QWidget* heading = grid.GetChildWindow(section)->Widget();
        QCOMPARE(editor->parentWidget(), heading);
        QTRY_VERIFY_WITH_TIMEOUT(editor->hasFocus(), 5000);
        QTest::keyClicks(editor, QStringLiteral("H%1").arg(col + row));
        // Enter stores the heading's text; editing goes on to no other cell.
        QTest::keyClick(editor, Qt::Key_Return);
        QTRY_VERIFY_WITH_TIMEOUT(!grid.IsEditing(), 5000);
    };
    editHeading(2, -1, CTblCtrl::SectionColHeader);
    QCOMPARE(TextAt(grid, 2, -1), QStringLiteral("H1"));
    // Over the heading cell, above its column (beside its row).
    QRect body;
    QVERIFY(grid.VisibleCellRect(2, 0, body));
    QCOMPARE(editor->geometry().left(), body.left());
    editHeading(-1, 3, CTblCtrl::SectionRowHeader);
    QCOMPARE(TextAt(grid, -1, 3), QStringLiteral("H2"));
    QVERIFY(grid.VisibleCellRect(0, 3, body));
    QCOMPARE(editor->geometry().top(), body.top());
    // The body cells and the current cell are as they were.
    QCOMPARE(TextAt(grid, 2, 0), QStringLiteral("2,0"));
    QCOMPARE(TextAt(grid, 0, 3), QStringLiteral("0,3"));
    QCOMPARE(grid.GetCurCol(), 1);
    QCOMPARE(grid.GetCurRow(), 1L);
    // The corner cells show in no heading.
    QCOMPARE(grid.BeginEditAt(-1, -1, 0), 1);
}

void TestInPlaceEdit::editorTextStaysWhereTheCellTextWas()
{
    CallLog log;
    CEventGrid grid(log);
    CEditWindow window(grid);
    QVERIFY(window.m_bShown);
    grid.SetCellText(1, 1, QStringLiteral("Tk"));
    QWidget* area = grid.GetCellArea();
    QRect cell;
    QVERIFY(grid.VisibleCellRect(1, 1, cell));
    // Inside the grid lines and the current cell's frame.
    const QRect inside = cell.adjusted(2, 2, -2, -2);
    const QRect before = InkBox(FreshPaint(area), inside);
    QVERIFY(!before.isEmpty());
    QCOMPARE(grid.BeginEditAt(1, 1, 0), 0);
    CTblEditWnd* editor = window.Editor();
    QTRY_VERIFY_WITH_TIMEOUT(editor->hasFocus(), 5000);
    // Without the selection's colours and the caret, only the text is dark.
    editor->setCursorWidth(0);
    QTest::keyClick(editor, Qt::Key_End);
    QCOMPARE(InkBox(FreshPaint(area), inside), before);
}

void TestInPlaceEdit::focusLeavingTheGridAbandonsTheEdit()
{
    CallLog log;
    CEventGrid grid(log);
    CEditWindow window(grid);
    QVERIFY(window.m_bShown);
    QCOMPARE(grid.BeginEditAt(1, 1, 0), 0);
    QTRY_VERIFY_WITH_TIMEOUT(window.Editor()->hasFocus(), 5000);
    QTest::keyClicks(window.Editor(), QStringLiteral("lost"));
    QTest::mouseClick(window.m_window.m_pOther, Qt::LeftButton);
    QVERIFY(window.EditEndedAt(1, 1));
    QCOMPARE(TextAt(grid, 1, 1), QStringLiteral("1,1"));
    QVERIFY(Logged(log, Call("OnEditEnd", 1, 1, "lost", 1)));
    // The focus stays where the user put it.
    QVERIFY(window.m_window.m_pOther->hasFocus());
    // A press on a heading abandons the edit as well, and the cells get the focus.
    QCOMPARE(grid.BeginEditAt(2, 2, 'h'), 0);
    QTest::mouseClick(grid.GetChildWindow(CTblCtrl::SectionColHeader)->Widget(), Qt::LeftButton, {},
                      QPoint(30, 10));
    QVERIFY(window.EditEndedAt(2, 2));
    QCOMPARE(TextAt(grid, 2, 2), QStringLiteral("2,2"));
    QVERIFY(Logged(log, Call("OnEditEnd", 2, 2, "h", 1)));
    QVERIFY(grid.GetCellArea()->hasFocus());
}

void TestInPlaceEdit::refusedEndKeepsTheEditorOpen()
{
    CallLog log;
    CEventGrid grid(log);
    CEditWindow window(grid);
    QVERIFY(window.m_bShown);
    grid.m_nEditEndRefusals = 2;
    QCOMPARE(grid.BeginEditAt(1, 1, 0), 0);
    QTRY_VERIFY_WITH_TIMEOUT(window.Editor()->hasFocus(), 5000);
    QTest::keyClicks(window.Editor(), QStringLiteral("no"));
    QTest::keyClick(window.Editor(), Qt::Key_Return);
    QTRY_VERIFY_WITH_TIMEOUT(Logged(log, Call("OnEditEnd", 1, 1, "no", 0)), 5000);
    QVERIFY(grid.IsEditing());
    QTRY_VERIFY_WITH_TIMEOUT(window.Editor()->hasFocus(), 5000);
    QCOMPARE(TextAt(grid, 1, 1), QStringLiteral("1,1"));
    // Leaving the grid is refused as well: the editor takes the focus back.
    log.clear();
    QTest::mouseClick(window.m_window.m_pOther, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(!log.empty(), 5000);
    QVERIFY(grid.IsEditing());
    QTRY_VERIFY_WITH_TIMEOUT(window.Editor()->hasFocus(), 5000);
    // Agreed at last.
    QTest::keyClick(window.Editor(), Qt::Key_Escape);
    QVERIFY(window.EditEndedAt(1, 1));
    QVERIFY(!grid.IsEditing());
}

void TestInPlaceEdit::refusedCharactersAreDropped()
{
    CallLog log;
    CEventGrid grid(log);
    CEditWindow window(grid);
    QVERIFY(window.m_bShown);
    grid.m_acceptedKeys = {'\b', '\t', '0', '1', '2', '3', '4', '5', '6', '7', '8', '9'};
    QCOMPARE(grid.BeginEditAt(2, 0, 0), 0);
    QTest::keyClicks(window.Editor(), QStringLiteral("12a3"));
    QCOMPARE(window.Editor()->Text(), QStringLiteral("123"));
    QTest::keyClick(window.Editor(), Qt::Key_Backspace);
    QCOMPARE(window.Editor()->Text(), QStringLiteral("12"));
}

void TestInPlaceEdit::cellsThatCannotBeEdited()
{
    CallLog log;
    CEventGrid grid(log);
    CEditWindow window(grid);
    QVERIFY(window.m_bShown);
    DemoGrid::ColumnDefault(grid, 0).SetCellType(DemoGrid::CheckBoxType);
    CTblCell readOnly;
    grid.ReadCell(1, 1, readOnly);
    readOnly.SetReadOnly(1);
    grid.WriteCell(1, 1, readOnly);
    // Check boxes are not edited in place.
    QCOMPARE(grid.BeginEditAt(0, 1, 0), 1);
    // Read-only.
    QCOMPARE(grid.BeginEditAt(1, 1, 0), 1);
    grid.m_bAllowEditBegin = false;
    // Refused by the application.
    QCOMPARE(grid.BeginEditAt(2, 1, 0), 1);
    grid.m_bAllowEditBegin = true;
    grid.m_bAllowCellMove = false;
    // The move there was refused.
    QCOMPARE(grid.BeginEditAt(3, 3, 0), 2);
    // No such column.
    QCOMPARE(grid.BeginEditAt(9, 1, 0), 2);
    QVERIFY(!grid.IsEditing());
    QVERIFY(!window.Editor()->isVisible());
    // Nothing to end.
    QCOMPARE(grid.EndEdit(QStringLiteral("x"), 0, 0, 0, 0), 1);
    QCOMPARE(TextAt(grid, 2, 1), QStringLiteral("2,1"));
}

void TestInPlaceEdit::dropListEditorLeavesTheButtonFree()
{
    CallLog log;
    CEventGrid grid(log);
    CEditWindow window(grid);
    QVERIFY(window.m_bShown);
    DemoGrid::ColumnDefault(grid, 2).SetCellType(DemoGrid::DropListType);
    QCOMPARE(grid.BeginEditAt(2, 2, 0), 0);
    QRect cell;
    grid.VisibleCellRect(2, 2, cell);
    const int button = grid.style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    QCOMPARE(window.Editor()->width(), cell.width() - 1 - (button + 1));
}
