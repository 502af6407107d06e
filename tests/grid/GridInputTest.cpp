#include "GridInputTest.h"

#include "CountingCellType.h"
#include "EventGrid.h"
#include "GridWindow.h"

#include <QAction>
#include <QMenu>
#include <QScreen>
#include <QTest>

#include <algorithm>

namespace {

bool Logged(const CallLog& log, const std::string& call)
{
    return std::find(log.begin(), log.end(), call) != log.end();
}

QWidget* ColHeader(CTblCtrl& grid)
{
    return grid.GetChildWindow(CTblCtrl::SectionColHeader)->Widget();
}

// A shown grid of three columns whose cells count how often they are drawn.
struct CCountedGrid
{
    CallLog log;
    CEventGrid grid{log};
    CCountingCellType counting;
    CGridWindow window;

    // Shows the grid with that many rows; true once its first paint is over.
    bool Show(long rows)
    {
        grid.GetSheet()->m_gridDefCell.SetCellType(grid.RegisterCellType(&counting));
        if (!window.Show(grid))
            return false;
        grid.SetColumnCount(3);
        grid.SetRowCount(rows);
        const bool painted = QTest::qWaitFor([this] { return !counting.m_drawnRows.empty(); });
        QCoreApplication::processEvents();
        return painted;
    }
};

} // namespace

void TestGridInput::clickMovesToTheCellButBelowTheRowsNothing()
{
    CallLog log;
    CEventGrid grid(log);
    CGridWindow window;
    QVERIFY(window.Show(grid));
    grid.SetColumnCount(3);
    grid.SetRowCount(5);
    QWidget* area = grid.GetCellArea();
    log.clear();
    QTest::mouseClick(area, Qt::LeftButton, {}, CellCentre(grid, 2, 3));
    QCOMPARE(grid.GetCurCol(), 2);
    QCOMPARE(grid.GetCurRow(), 3L);
    QVERIFY(Logged(log, Call("OnCellLeftButton", 2, 3, true, 0)));
    QVERIFY(Logged(log, Call("OnCellLeftButton", 2, 3, false, 0)));
    log.clear();
    QTest::mouseClick(area, Qt::LeftButton, {}, QPoint(30, 5 * 20 + 10));
    QCOMPARE(log, (CallLog{Call("OnCellLeftButton", -1, -1, true, 0),
                           Call("OnCellLeftButton", -1, -1, false, 0)}));
    QCOMPARE(grid.GetCurCol(), 2);
    QCOMPARE(grid.GetCurRow(), 3L);
}

void TestGridInput::wheelNotchScrollsThreeRows()
{
    CallLog log;
    CEventGrid grid(log);
    CGridWindow window;
    QVERIFY(window.Show(grid));
    grid.SetColumnCount(3);
    grid.SetRowCount(200);
    QWidget* area = grid.GetCellArea();
    Wheel(area, -120);
    QCOMPARE(grid.GetSheet()->m_nTopRow, 3L);
    Wheel(area, -240);
    QCOMPARE(grid.GetSheet()->m_nTopRow, 9L);
    Wheel(area, 120);
    QCOMPARE(grid.GetSheet()->m_nTopRow, 6L);
    // Half notches (a fine wheel or a touchpad) add up to whole ones.
    Wheel(area, -60);
    QCOMPARE(grid.GetSheet()->m_nTopRow, 6L);
    Wheel(area, -60);
    QCOMPARE(grid.GetSheet()->m_nTopRow, 9L);
    // The wheel moves the view, not the current cell.
    QCOMPARE(grid.GetCurRow(), 0L);
}

void TestGridInput::keysNavigate_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<int>("col");
    QTest::addColumn<int>("row");

    // From column 2, row 5 of 8 columns and 200 rows.
    QTest::newRow("down") << int(Qt::Key_Down) << 0 << 2 << 6;
    QTest::newRow("up") << int(Qt::Key_Up) << 0 << 2 << 4;
    QTest::newRow("left") << int(Qt::Key_Left) << 0 << 1 << 5;
    QTest::newRow("right") << int(Qt::Key_Right) << 0 << 3 << 5;
    QTest::newRow("home") << int(Qt::Key_Home) << 0 << 0 << 5;
    QTest::newRow("end") << int(Qt::Key_End) << 0 << 7 << 5;
    QTest::newRow("ctrl home") << int(Qt::Key_Home) << int(Qt::ControlModifier) << 2 << 0;
    QTest::newRow("ctrl end") << int(Qt::Key_End) << int(Qt::ControlModifier) << 2 << 199;
    QTest::newRow("other key") << int(Qt::Key_A) << 0 << 2 << 5;
}

void TestGridInput::keysNavigate()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(int, col);
    QFETCH(int, row);

    CallLog log;
    CEventGrid grid(log);
    CGridWindow window;
    QVERIFY(window.Show(grid));
    grid.SetColumnCount(8);
    grid.SetRowCount(200);
    grid.MoveToCell(2, 5);
    log.clear();
    QTest::keyClick(grid.GetCellArea(), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QCOMPARE(grid.GetCurCol(), col);
    QCOMPARE(grid.GetCurRow(), long(row));
    QVERIFY(Logged(log, Call("OnGridKeyDown", key, 0)));
}

void TestGridInput::pageKeysMoveByAViewOfRows()
{
    CallLog log;
    CEventGrid grid(log);
    CGridWindow window;
    QVERIFY(window.Show(grid));
    grid.SetColumnCount(3);
    grid.SetRowCount(200);
    grid.MoveToRow(50);
    // The step takes rows while what is left of the view's height is not negative.
    const long page = grid.GetSheet()->m_nCellAreaHeight / 20 + 1;
    QTest::keyClick(grid.GetCellArea(), Qt::Key_PageDown);
    QCOMPARE(grid.GetCurRow(), 50 + page);
    QTest::keyClick(grid.GetCellArea(), Qt::Key_PageUp);
    QCOMPARE(grid.GetCurRow(), 50L);
}

void TestGridInput::heldKeysAccelerate()
{
    CallLog log;
    CEventGrid grid(log);
    CGridWindow window;
    QVERIFY(window.Show(grid));
    grid.SetColumnCount(3);
    grid.SetRowCount(200);
    grid.GetSheet()->m_nKeyAccelDiv = 2;
    QWidget* area = grid.GetCellArea();
    // The n-th press of a held key steps (n / 2) cubed + 1 rows.
    const long expected[] = {1, 3, 5, 14, 23};
    for (long row : expected) {
        QTest::keyPress(area, Qt::Key_Down);
        QCOMPARE(grid.GetCurRow(), row);
    }
    QTest::keyRelease(area, Qt::Key_Down);
    QTest::keyPress(area, Qt::Key_Down);
    QCOMPARE(grid.GetCurRow(), 24L);
}

void TestGridInput::dragBelowTheCellsKeepsScrolling()
{
    CallLog log;
    CEventGrid grid(log);
    CGridWindow window;
    QVERIFY(window.Show(grid));
    grid.SetColumnCount(3);
    grid.SetRowCount(200);
    QWidget* area = grid.GetCellArea();
    QTest::mousePress(area, Qt::LeftButton, {}, CellCentre(grid, 1, 1));
    QTest::mouseMove(area, CellCentre(grid, 1, 4));
    QCOMPARE(grid.GetCurRow(), 4L);
    // Held still below the cells, the current row goes on moving down.
    const long shown = grid.GetSheet()->m_nCellAreaHeight / 20;
    QTest::mouseMove(area, QPoint(CellCentre(grid, 1, 4).x(), area->height() + 30));
    QTRY_VERIFY_WITH_TIMEOUT(grid.GetCurRow() > shown + 10, 10000);
    QTest::mouseRelease(area, Qt::LeftButton, {}, QPoint(10, area->height() + 30));
    const long stopped = grid.GetCurRow();
    QTest::qWait(50);
    QCOMPARE(grid.GetCurRow(), stopped);
    QCOMPARE(grid.GetCurCol(), 1);
    QVERIFY(grid.GetSheet()->m_nTopRow > 0);
}

void TestGridInput::rightButtonOpensThePopupMenuOnTheCell()
{
    CallLog log;
    CEventGrid grid(log);
    CGridWindow window;
    QVERIFY(window.Show(grid));
    grid.SetColumnCount(3);
    grid.SetRowCount(10);
    QAction* action = grid.GetPopupMenu()->addAction(QStringLiteral("Do it"));
    action->setData(CTblCtrl::FirstPopupCommand);
    QTest::mouseClick(grid.GetCellArea(), Qt::RightButton, {}, CellCentre(grid, 1, 2));
    // The sheet has no pop-up menu.
    QVERIFY(!grid.GetPopupMenu()->isVisible());
    QCOMPARE(grid.GetCurRow(), 2L);
    grid.GetSheet()->m_bPopupMenu = 1;
    log.clear();
    QTest::mouseClick(grid.GetCellArea(), Qt::RightButton, {}, CellCentre(grid, 2, 3));
    QTRY_VERIFY_WITH_TIMEOUT(grid.GetPopupMenu()->isVisible(), 5000);
    action->trigger();
    grid.GetPopupMenu()->hide();
    QVERIFY(Logged(log, Call("OnCellRightButton", 2, 3, true)));
    QVERIFY(Logged(log, Call("OnPopupOpen", 2, 3, 1)));
    QVERIFY(Logged(log, Call("OnPopupCommand", 2, 3, 1, CTblCtrl::FirstPopupCommand)));
}

void TestGridInput::scrollingOneRowRedrawsOnlyTheUncoveredRow()
{
    CCountedGrid counted;
    QVERIFY(counted.Show(200));
    CEventGrid& grid = counted.grid;
    CCountingCellType& counting = counted.counting;
    const int height = grid.GetSheet()->m_nCellAreaHeight;
    counting.m_drawnRows.clear();
    grid.ScrollRows(CTblSheet::StepForward);
    QTRY_VERIFY_WITH_TIMEOUT(!counting.m_drawnRows.empty(), 5000);
    // Only rows reaching into the bottom 20 pixels, where the shift uncovered the view.
    const long firstUncovered = 1 + (height - 20) / 20;
    for (const auto& [row, cells] : counting.m_drawnRows) {
        QVERIFY2(row >= firstUncovered && row <= 1 + height / 20,
                 qPrintable(QStringLiteral("row %1 redrawn").arg(row)));
        QCOMPARE(cells, 3);
    }
    // A full repaint, for comparison, draws every row shown.
    counting.m_drawnRows.clear();
    grid.Redraw();
    QTRY_VERIFY_WITH_TIMEOUT(!counting.m_drawnRows.empty(), 5000);
    QVERIFY(static_cast<int>(counting.m_drawnRows.size()) >= height / 20);
}

// The program writes a shown cell: its row is drawn again with the new text, without a
// Redraw from the program.
void TestGridInput::textWrittenByTheProgramIsRepainted()
{
    CCountedGrid counted;
    QVERIFY(counted.Show(20));
    CCountingCellType& counting = counted.counting;
    counting.m_drawnRows.clear();
    counted.grid.SetCellText(1, 2, QStringLiteral("127"));
    QTRY_VERIFY_WITH_TIMEOUT(counting.m_drawnRows.count(2) != 0, 5000);
    QCOMPARE(counting.m_drawnRows.begin()->first, 2L);
    QCOMPARE(counting.m_drawnRows.size(), size_t{1});
}

void TestGridInput::shiftedImageMatchesAFreshPaint_data()
{
    QTest::addColumn<int>("buffered");
    QTest::newRow("straight to the window") << 0;
    QTest::newRow("through an off-screen image") << 1;
}

void TestGridInput::shiftedImageMatchesAFreshPaint()
{
    QFETCH(int, buffered);

    CallLog log;
    CEventGrid grid(log);
    CGridWindow window;
    QVERIFY(window.Show(grid));
    grid.SetColumnCount(8);
    grid.SetRowCount(300);
    grid.SetLockedCounts(1, 2);
    for (long row = 0; row < 300; ++row) {
        for (int col = 0; col < 8; ++col)
            grid.SetCellText(col, row, QStringLiteral("%1:%2").arg(col).arg(row));
    }
    CTblCellArea* area = grid.GetCellArea();
    area->SetDoubleBuffer(buffered);
    const auto onScreen = [&window, area] { return OnScreen(window, area); };
    const auto freshPaint = [area] { return FreshPaint(area); };
    QTRY_COMPARE_WITH_TIMEOUT(onScreen(), freshPaint(), 5000);
    // Rows and columns, one at a time and both at once, with locked bands that must stay.
    Wheel(area, -120);
    QCOMPARE(onScreen(), freshPaint());
    QTest::keyClick(area, Qt::Key_Down);
    grid.ScrollToCol(3);
    QCOMPARE(onScreen(), freshPaint());
    grid.MoveToCell(6, 40);
    QCOMPARE(onScreen(), freshPaint());
    // A cell repainted and the view shifted before any paint: the repaint moves along.
    grid.SetCellText(5, 41, QStringLiteral("changed"));
    grid.RepaintCell(5, 41);
    grid.ScrollToRow(grid.GetSheet()->m_nTopRow + 1);
    QCOMPARE(onScreen(), freshPaint());
    QCOMPARE(grid.GetSheet()->m_nLockedRows, 2L);
}

void TestGridInput::joinedBlockStaysOutOfTheLockedBands()
{
    CallLog log;
    CEventGrid grid(log);
    CGridWindow window;
    QVERIFY(window.Show(grid));
    grid.SetColumnCount(8);
    grid.SetRowCount(100);
    grid.SetLockedCounts(1, 2);
    // A yellow block of 2 x 3 cells from column 2, row 10.
    for (int place = 0; place < 6; ++place) {
        const int col = 2 + place % 2;
        const long row = 10 + place / 2;
        CTblCell cell;
        cell.AssignText(QStringLiteral("joined"));
        cell.SetJoin(2, 3, place);
        cell.SetBackColor(Qt::yellow);
        grid.WriteCell(col, row, cell);
    }
    CTblCellArea* area = grid.GetCellArea();
    const CTblSheet& sheet = *grid.GetSheet();
    const auto yellowIn = [](const QImage& image, const QRect& band) {
        for (int y = band.top(); y <= band.bottom(); ++y) {
            for (int x = band.left(); x <= band.right(); ++x) {
                if (image.pixel(x, y) == QColor(Qt::yellow).rgb())
                    return true;
            }
        }
        return false;
    };
    grid.ScrollToRow(9);
    QTRY_COMPARE_WITH_TIMEOUT(OnScreen(window, area), FreshPaint(area), 5000);
    // Row by row the block goes up under the locked rows, and column by column under the
    // locked column: shifted or painted afresh, it shows only in the scrolling part.
    for (int step = 0; step < 3; ++step) {
        grid.ScrollToRow(sheet.m_nTopRow + 1);
        QCOMPARE(OnScreen(window, area), FreshPaint(area));
        QVERIFY(!yellowIn(FreshPaint(area), QRect(0, 0, area->width(), sheet.m_nLockedRowsHeight)));
    }
    QVERIFY(yellowIn(FreshPaint(area), QRect(0, sheet.m_nLockedRowsHeight, area->width(), 20)));
    grid.ScrollToCol(3);
    QCOMPARE(OnScreen(window, area), FreshPaint(area));
    QVERIFY(!yellowIn(FreshPaint(area), QRect(0, 0, sheet.m_nLockedColsWidth, area->height())));
    QVERIFY(yellowIn(FreshPaint(area), QRect(sheet.m_nLockedColsWidth, 0, 30, area->height())));
}

void TestGridInput::tabMovesTheCellAndCtrlTabLeavesTheGrid()
{
    CallLog log;
    CEventGrid grid(log);
    CGridWindow window;
    auto* before = new QLineEdit(&window.m_window);
    before->setGeometry(300, 330, 60, 24);
    QVERIFY(window.Show(grid));
    QWidget::setTabOrder(before, &grid);
    QWidget::setTabOrder(&grid, window.m_pOther);
    grid.SetColumnCount(3);
    grid.SetRowCount(5);
    CTblCellArea* area = grid.GetCellArea();
    area->setFocus();
    QTRY_VERIFY_WITH_TIMEOUT(area->hasFocus(), 5000);
    // Tab goes along the row and on to the next; Shift+Tab back again. The grid's key
    // callback sees each.
    QTest::keyClick(area, Qt::Key_Tab);
    QCOMPARE(grid.GetCurCol(), 1);
    QVERIFY(Logged(log, Call("OnGridKeyDown", int(Qt::Key_Tab), 0)));
    QTest::keyClick(area, Qt::Key_Tab);
    QTest::keyClick(area, Qt::Key_Tab);
    QCOMPARE(grid.GetCurCol(), 0);
    QCOMPARE(grid.GetCurRow(), 1L);
    QTest::keyClick(area, Qt::Key_Backtab, Qt::ShiftModifier);
    QCOMPARE(grid.GetCurCol(), 2);
    QCOMPARE(grid.GetCurRow(), 0L);
    QVERIFY(area->hasFocus());
    // Ctrl+Tab leaves for the next control, Ctrl+Shift+Tab for the one before.
    QTest::keyClick(area, Qt::Key_Tab, Qt::ControlModifier);
    QTRY_VERIFY_WITH_TIMEOUT(window.m_pOther->hasFocus(), 5000);
    area->setFocus();
    QTRY_VERIFY_WITH_TIMEOUT(area->hasFocus(), 5000);
    QTest::keyClick(area, Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
    QTRY_VERIFY_WITH_TIMEOUT(before->hasFocus(), 5000);
    QCOMPARE(grid.GetCurCol(), 2);
    // A layout (a new row count, a resize) does not take the focus back.
    grid.SetRowCount(50);
    grid.resize(grid.width() - 10, grid.height() - 10);
    QVERIFY(before->hasFocus());
}

void TestGridInput::headingsAndCornerSizeByTheirBorders()
{
    CallLog log;
    CEventGrid grid(log);
    CGridWindow window;
    QVERIFY(window.Show(grid));
    grid.SetColumnCount(3);
    grid.SetRowCount(70000);
    // The heading's own bottom border sizes the heading height.
    QWidget* header = ColHeader(grid);
    Hover(header, QPoint(30, 19));
    QCOMPARE(header->cursor().shape(), Qt::SizeVerCursor);
    QTest::mousePress(header, Qt::LeftButton, {}, QPoint(30, 19));
    QTest::mouseMove(header, QPoint(30, 35));
    QTest::mouseRelease(header, Qt::LeftButton, {}, QPoint(30, 35));
    QCOMPARE(grid.GetSheet()->m_nColHeaderHeight, 36);
    QCOMPARE(grid.GetCellArea()->y() - grid.contentsRect().top(), 36);
    // Uniform rows: the height is the mouse's position over the rows above it.
    QWidget* rows = grid.GetChildWindow(CTblCtrl::SectionRowHeader)->Widget();
    QTest::mousePress(rows, Qt::LeftButton, {}, QPoint(10, 60));
    QTest::mouseMove(rows, QPoint(10, 90));
    QTest::mouseRelease(rows, Qt::LeftButton, {}, QPoint(10, 90));
    QCOMPARE(grid.GetRowSize(5000), 30);
    // The corner's right edge sizes the row heading.
    QWidget* corner = grid.GetChildWindow(CTblCtrl::SectionCorner)->Widget();
    QTest::mousePress(corner, Qt::LeftButton, {}, QPoint(38, 10));
    QTest::mouseMove(corner, QPoint(60, 10));
    QTest::mouseRelease(corner, Qt::LeftButton, {}, QPoint(60, 10));
    QCOMPARE(grid.GetSheet()->m_nRowHeaderWidth, 60);
    QCOMPARE(grid.GetCellArea()->x() - grid.contentsRect().left(), 60);
}

void TestGridInput::columnBorderDragSizesTheColumn()
{
    CallLog log;
    CEventGrid grid(log);
    CGridWindow window;
    QVERIFY(window.Show(grid));
    grid.SetColumnCount(4);
    grid.SetRowCount(5);
    QWidget* header = ColHeader(grid);
    Hover(header, QPoint(74, 10));
    QCOMPARE(header->cursor().shape(), Qt::SizeHorCursor);
    Hover(header, QPoint(40, 10));
    QCOMPARE(header->cursor().shape(), Qt::ArrowCursor);
    QTest::mousePress(header, Qt::LeftButton, {}, QPoint(74, 10));
    QTest::mouseMove(header, QPoint(114, 10));
    // The heading follows the mouse.
    QCOMPARE(grid.GetColumnWidth(0), 115);
    QTest::mouseRelease(header, Qt::LeftButton, {}, QPoint(114, 10));
    QCOMPARE(grid.GetColumnWidth(0), 115);
    QVERIFY(Logged(log, Call("OnColResized", 0, 115)));
    QVERIFY(grid.GetCellArea()->hasFocus());
}

void TestGridInput::refusedColumnResizeKeepsTheArrowCursor()
{
    CallLog log;
    CEventGrid grid(log);
    grid.m_bAllowColResize = false;
    CGridWindow window;
    QVERIFY(window.Show(grid));
    grid.SetColumnCount(4);
    grid.SetRowCount(5);
    QWidget* header = ColHeader(grid);
    Hover(header, QPoint(75, 10));
    QVERIFY(Logged(log, Call("AllowColResize", 0)));
    QCOMPARE(header->cursor().shape(), Qt::ArrowCursor);
    QTest::mousePress(header, Qt::LeftButton, {}, QPoint(75, 10));
    QTest::mouseMove(header, QPoint(120, 10));
    QTest::mouseRelease(header, Qt::LeftButton, {}, QPoint(120, 10));
    QCOMPARE(grid.GetColumnWidth(0), 75);
}

void TestGridInput::columnDroppedElsewhereMoves()
{
    CallLog log;
    CEventGrid grid(log);
    CGridWindow window;
    QVERIFY(window.Show(grid));
    grid.SetColumnCount(4);
    grid.SetRowCount(5);
    for (int col = 0; col < 4; ++col)
        grid.SetCellText(col, -1, QString(QChar('A' + col)));
    grid.GetSheet()->m_bColMoving = 1;
    QWidget* header = ColHeader(grid);
    log.clear();
    // Dragged from column 0 into the right half of column 2: it goes after column 2.
    QTest::mousePress(header, Qt::LeftButton, {}, QPoint(37, 10));
    QTest::mouseMove(header, QPoint(2 * 75 + 60, 10));
    QTest::mouseRelease(header, Qt::LeftButton, {}, QPoint(2 * 75 + 60, 10));
    QVERIFY(Logged(log, Call("OnColHeaderLeftButton", 0, -1, true)));
    QVERIFY(Logged(log, Call("AllowColDrop", 0, 2)));
    QStringList order;
    for (int col = 0; col < 4; ++col) {
        QString text;
        grid.GetCellText(col, -1, text);
        order << text;
    }
    QCOMPARE(order, (QStringList{"B", "C", "A", "D"}));
    // Without column moving the same drag changes nothing.
    grid.GetSheet()->m_bColMoving = 0;
    QTest::mousePress(header, Qt::LeftButton, {}, QPoint(37, 10));
    QTest::mouseMove(header, QPoint(3 * 75 + 60, 10));
    QTest::mouseRelease(header, Qt::LeftButton, {}, QPoint(3 * 75 + 60, 10));
    QString first;
    grid.GetCellText(0, -1, first);
    QCOMPARE(first, QStringLiteral("B"));
}
