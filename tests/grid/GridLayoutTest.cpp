#include "GridLayoutTest.h"

#include "EventGrid.h"
#include "GridWindow.h"
#include "RecordingSource.h"
#include "TblSheetTabs.h"
#include "TblTipWnd.h"
#include "TblVScrollBar.h"

#include <QFontMetrics>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTest>
#include <QToolTip>

namespace {

QWidget* Window(CTblCtrl& grid, int section)
{
    return grid.GetChildWindow(section)->Widget();
}

QScrollBar* VBar(CTblCtrl& grid)
{
    return static_cast<QScrollBar*>(Window(grid, CTblCtrl::SectionVScroll));
}

// A part of a scroll bar (arrows, groove, box) in the bar's coordinates.
QRect BarPart(QScrollBar* bar, QStyle::SubControl part)
{
    QStyleOptionSlider option;
    option.initFrom(bar);
    option.orientation = bar->orientation();
    option.minimum = bar->minimum();
    option.maximum = bar->maximum();
    option.sliderPosition = bar->sliderPosition();
    option.sliderValue = bar->value();
    option.singleStep = bar->singleStep();
    option.pageStep = bar->pageStep();
    option.upsideDown = bar->invertedAppearance();
    if (bar->orientation() == Qt::Horizontal)
        option.state |= QStyle::State_Horizontal;
    return bar->style()->subControlRect(QStyle::CC_ScrollBar, &option, part, bar);
}

} // namespace

void TestGridLayout::takesThePlaceholdersPlaceThenCallsOnGridReady()
{
    CallLog log;
    CEventGrid grid(log);
    CGridWindow window(QRect(15, 12, 300, 200));
    QVERIFY(window.Show(grid));
    QCOMPARE(grid.parentWidget(), &window.m_window);
    QCOMPARE(grid.geometry(), QRect(15, 12, 300, 200));
    QVERIFY(!window.m_pPlaceholder->isVisible());
    // The id now finds the grid, and OnGridReady ran once the windows were laid out.
    QCOMPARE(grid.property(CTblCtrl::ControlIdProperty).toInt(), CGridWindow::PlaceholderId);
    QVERIFY(!window.m_pPlaceholder->property(CTblCtrl::ControlIdProperty).isValid());
    const int cellWidth = 300 - 2 - grid.GetSheet()->m_nRowHeaderWidth;
    QCOMPARE(log, (CallLog{Call("OnGridReady", true, cellWidth)}));
    // The border, and the focus reaching the cells through the grid.
    QCOMPARE(grid.contentsRect(), QRect(1, 1, 298, 198));
    QCOMPARE(grid.focusProxy(), grid.GetCellArea());
    QCOMPARE(grid.AttachToDlgItem(&window.m_window, CGridWindow::PlaceholderId), 1);
}

void TestGridLayout::attachingWithoutPlaceholderDoesNothing()
{
    CallLog log;
    CEventGrid grid(log);
    CGridWindow window;
    QCOMPARE(grid.AttachToDlgItem(&window.m_window, 999), 1);
    QCOMPARE(grid.AttachToDlgItem(nullptr, CGridWindow::PlaceholderId), 1);
    // A window without parent.
    QCOMPARE(grid.AttachToWidget(&window.m_window), 1);
    QVERIFY(grid.GetCellArea() == nullptr);
    QVERIFY(log.empty());
    QVERIFY(window.m_pPlaceholder->property(CTblCtrl::ControlIdProperty).isValid());
}

void TestGridLayout::aListLaidOutWhenReadyFillsTheCellArea()
{
    CallLog log;
    CEventGrid grid(log);
    // An application's list: 4 proportional columns, 8 rows, no row heading, laid out
    // when the grid is ready, in a placeholder that leaves a cell area 187 pixels wide.
    grid.m_onReady = [](CEventGrid& ready) {
        ready.SetDefaultRowHeight(17);
        ready.SetColumnCount(4, 1);
        ready.SetRowCount(8, 1);
        ready.SetColumnWidth(0, 12);
        ready.SetColumnWidth(1, 70);
        ready.SetColumnWidth(2, 30);
        for (int col = 0; col < 4; ++col) {
            ready.SetCellText(col, -1, QStringLiteral("H%1").arg(col));
            ready.SetCellAlignment(col, -1, CTblCell::AlignHCenter);
        }
        ready.SetDefaultFont(ready.RegisterFont(QString(), 14, 0));
        ready.SetRowHeaderWidth(0);
        ready.SetCurCellStyle(3);
        ready.FitColumnsToWidth(0, 3);
        ready.Redraw();
    };
    CGridWindow window(QRect(10, 10, 189, 170));
    QVERIFY(window.Show(grid));
    QCOMPARE(grid.GetSheet()->m_nCellAreaWidth, 187);
    QCOMPARE((std::vector<int>{grid.GetColumnWidth(0), grid.GetColumnWidth(1),
                               grid.GetColumnWidth(2), grid.GetColumnWidth(3)}),
             (std::vector<int>{12, 70, 30, 75}));
    QVERIFY(!Window(grid, CTblCtrl::SectionRowHeader)->isVisible());
    QVERIFY(!Window(grid, CTblCtrl::SectionVScroll)->isVisible());
    QVERIFY(!Window(grid, CTblCtrl::SectionHScroll)->isVisible());
    QCOMPARE(grid.GetCellArea()->geometry(), QRect(1, 21, 187, 148));
    // Its edit notifications go to the window holding it.
    QCOMPARE(grid.parentWidget(), &window.m_window);
}

void TestGridLayout::scrollBarsShowOnlyWhenNeeded()
{
    CallLog log;
    CEventGrid grid(log);
    CGridWindow window(QRect(10, 10, 300, 200));
    QVERIFY(window.Show(grid));
    // 3 x 75 pixels in 258, 8 x 20 pixels in 178: everything fits.
    grid.SetColumnCount(3);
    grid.SetRowCount(8);
    QVERIFY(!Window(grid, CTblCtrl::SectionVScroll)->isVisible());
    QVERIFY(!Window(grid, CTblCtrl::SectionHScroll)->isVisible());
    QCOMPARE(grid.GetCellArea()->size(), QSize(258, 178));
    // Shorter than the rows: the vertical bar comes back and the layout is redone.
    grid.resize(300, 170);
    QTRY_VERIFY_WITH_TIMEOUT(Window(grid, CTblCtrl::SectionVScroll)->isVisible(), 5000);
    const int extent = grid.style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, &grid);
    QCOMPARE(grid.GetCellArea()->width(), 258 - extent);
    QVERIFY(grid.GetSheet()->m_nMaxTopRow > 0);
    QVERIFY(!Window(grid, CTblCtrl::SectionHScroll)->isVisible());
    // Narrower than the columns as well: both bars.
    grid.resize(200, 170);
    QVERIFY(Window(grid, CTblCtrl::SectionHScroll)->isVisible());
    // No tab strip.
    QCOMPARE(grid.GetSheet()->m_rcHScroll.left(), 0);
    grid.resize(300, 200);
    QVERIFY(!Window(grid, CTblCtrl::SectionVScroll)->isVisible());
    QVERIFY(!Window(grid, CTblCtrl::SectionHScroll)->isVisible());
    QCOMPARE(grid.GetSheet()->m_nTopRow, 0L);
}

void TestGridLayout::theApplicationCanChangeTheLayout()
{
    CallLog log;
    CEventGrid grid(log);
    // The application keeps 30 pixels free at the right of the cells.
    grid.m_onLayout = [](QRect* cells, QRect* colHeader, QRect*, QRect*, QRect*, QRect*, QRect*) {
        cells->setRight(cells->right() - 30);
        colHeader->setRight(colHeader->right() - 30);
    };
    CGridWindow window(QRect(10, 10, 300, 200));
    QVERIFY(window.Show(grid));
    QCOMPARE(grid.GetCellArea()->width(), 228);
    QCOMPARE(grid.GetSheet()->m_nCellAreaWidth, 228);
    QCOMPARE(Window(grid, CTblCtrl::SectionColHeader)->width(), 228);
}

void TestGridLayout::tabStripTakesTheScrollBarsRow()
{
    CallLog log;
    CEventGrid grid(log);
    CGridWindow window(QRect(10, 10, 300, 200));
    QVERIFY(window.Show(grid));
    grid.SetColumnCount(2);
    grid.SetRowCount(2);
    QVERIFY(!Window(grid, CTblCtrl::SectionTabs)->isVisible());
    grid.GetSheet()->m_nTabWidth = 120;
    grid.RecalcLayout();
    // With tabs the bottom row is kept, the horizontal bar starting after them.
    QVERIFY(Window(grid, CTblCtrl::SectionTabs)->isVisible());
    QCOMPARE(grid.GetSheet()->m_rcTabs.width(), 120);
    QCOMPARE(grid.GetSheet()->m_rcHScroll.left(), 120);
    // Never wider than leaves 30 pixels beside the row heading.
    grid.GetSheet()->m_nTabWidth = 1000;
    grid.RecalcLayout();
    QCOMPARE(grid.GetSheet()->m_rcTabs.width(), 298 - 40 - 30);
    // The configured width is kept.
    QCOMPARE(grid.GetSheet()->m_nTabWidth, 1000);
}

void TestGridLayout::eachWindowPreparesItsOwnSection()
{
    CallLog log;
    CEventGrid grid(log);
    CGridWindow window;
    QVERIFY(window.Show(grid));
    grid.SetColumnCount(2);
    grid.SetRowCount(2);
    const std::pair<int, int> expected[] = {
        {CTblCtrl::SectionCells, CTblCtrl::SectionCells},
        {CTblCtrl::SectionColHeader, CTblCtrl::SectionColHeader},
        {CTblCtrl::SectionRowHeader, CTblCtrl::SectionRowHeader},
        // The corner box paints as part of the column heading.
        {CTblCtrl::SectionCorner, CTblCtrl::SectionColHeader},
    };
    for (const auto& [section, prepared] : expected) {
        grid.m_sections.clear();
        Window(grid, section)->grab();
        QCOMPARE(grid.m_sections, std::set<int>{prepared});
    }
}

void TestGridLayout::largeRowCountsScaleTheBarTo1000Positions()
{
    CallLog log;
    CEventGrid grid(log);
    CGridWindow window;
    QVERIFY(window.Show(grid));
    grid.SetColumnCount(3);
    grid.SetRowCount(200);
    QScrollBar* bar = VBar(grid);
    const CTblSheet& sheet = *grid.GetSheet();
    // Few rows: one position per top row, a page of the rows that show.
    QCOMPARE(bar->maximum(), static_cast<int>(sheet.m_nMaxTopRow));
    QCOMPARE(bar->pageStep(), sheet.m_nCellAreaHeight / 20);
    grid.SetRowCount(5000);
    QCOMPARE(bar->minimum(), 0);
    QCOMPARE(bar->maximum(), CTblVScrollBar::ScaledPositions);
    grid.GetSheet()->m_bVScrollTips = 1;
    // Drag the box to the middle of the groove and let go.
    const QRect groove = BarPart(bar, QStyle::SC_ScrollBarGroove);
    const QRect box = BarPart(bar, QStyle::SC_ScrollBarSlider);
    const QPoint grip = box.center();
    const int travel = groove.height() - box.height();
    const QPoint middle(grip.x(), groove.top() + travel / 2 + box.height() / 2);
    QTest::mousePress(bar, Qt::LeftButton, {}, grip);
    QTest::mouseMove(bar, middle);
    // Not before the box is let go, but a tip tells where the view would go.
    QCOMPARE(sheet.m_nTopRow, 0L);
    QVERIFY(grid.GetTipWnd()->isVisible());
    QVERIFY(grid.GetTipWnd()->Text().startsWith(QStringLiteral("Row ")));
    QTest::mouseRelease(bar, Qt::LeftButton, {}, middle);
    QVERIFY(!grid.GetTipWnd()->isVisible());
    const long half = sheet.m_nMaxTopRow / 2;
    QVERIFY2(std::abs(sheet.m_nTopRow - half) <= sheet.m_nMaxTopRow / 50,
             qPrintable(
                 QStringLiteral("top row %1 of %2").arg(sheet.m_nTopRow).arg(sheet.m_nMaxTopRow)));
    // A pixel of the groove is worth several positions.
    QVERIFY2(std::abs(bar->value() - 500) <= 10, qPrintable(QString::number(bar->value())));
    QVERIFY(grid.GetCellArea()->hasFocus());
}

void TestGridLayout::scrollBarArrowsAndPagesStepTheView()
{
    CallLog log;
    CEventGrid grid(log);
    CGridWindow window;
    QVERIFY(window.Show(grid));
    grid.SetColumnCount(3);
    grid.SetRowCount(200);
    window.m_pOther->setFocus();
    QScrollBar* bar = VBar(grid);
    QTest::mouseClick(bar, Qt::LeftButton, {}, BarPart(bar, QStyle::SC_ScrollBarAddLine).center());
    QCOMPARE(grid.GetSheet()->m_nTopRow, 1L);
    QCOMPARE(bar->value(), 1);
    // Scrolling gives the cells the focus.
    QVERIFY(grid.GetCellArea()->hasFocus());
    // A page below the box: a view's height of rows further.
    const QRect box = BarPart(bar, QStyle::SC_ScrollBarSlider);
    const QRect groove = BarPart(bar, QStyle::SC_ScrollBarGroove);
    QTest::mouseClick(bar, Qt::LeftButton, {},
                      QPoint(box.center().x(), (box.bottom() + groove.bottom()) / 2));
    const long page = grid.GetSheet()->m_nCellAreaHeight / 20;
    QVERIFY2(std::abs(grid.GetSheet()->m_nTopRow - (1 + page)) <= 1,
             qPrintable(QString::number(grid.GetSheet()->m_nTopRow)));
    QCOMPARE(bar->value(), static_cast<int>(grid.GetSheet()->m_nTopRow));
    // The wheel over the bar scrolls rows, as over the cells.
    const long top = grid.GetSheet()->m_nTopRow;
    Wheel(bar, -120);
    QCOMPARE(grid.GetSheet()->m_nTopRow, top + 3);
}

void TestGridLayout::scrollBarModes()
{
    CallLog log;
    CEventGrid grid(log);
    CGridWindow window;
    QVERIFY(window.Show(grid));
    grid.SetColumnCount(3);
    grid.SetRowCount(200);
    QScrollBar* bar = VBar(grid);
    // Mode 1: the view follows the box while it is dragged.
    grid.GetSheet()->m_nVScrollMode = 1;
    const QPoint grip = BarPart(bar, QStyle::SC_ScrollBarSlider).center();
    QTest::mousePress(bar, Qt::LeftButton, {}, grip);
    QTest::mouseMove(bar, grip + QPoint(0, 40));
    QVERIFY(grid.GetSheet()->m_nTopRow > 0);
    QTest::mouseRelease(bar, Qt::LeftButton, {}, grip + QPoint(0, 40));
    // Mode 2: three positions, the arrows stepping the view and the box back in the middle.
    grid.ScrollToRow(10);
    grid.GetSheet()->m_nVScrollMode = 2;
    grid.Redraw();
    QCOMPARE(bar->maximum(), 2);
    QCOMPARE(bar->value(), 1);
    QTest::mouseClick(bar, Qt::LeftButton, {}, BarPart(bar, QStyle::SC_ScrollBarSubLine).center());
    QCOMPARE(grid.GetSheet()->m_nTopRow, 9L);
    QCOMPARE(bar->value(), 1);
}

void TestGridLayout::sourceMayAddRowsWhileTheCellsArePainted_data()
{
    QTest::addColumn<int>("buffered");
    QTest::newRow("straight to the window") << 0;
    // The rows added bring the vertical bar, which resizes the area while it paints.
    QTest::newRow("through an off-screen image") << 1;
}

void TestGridLayout::sourceMayAddRowsWhileTheCellsArePainted()
{
    QFETCH(int, buffered);

    CallLog log;
    CEventGrid grid(log);
    auto source = std::make_unique<CRecordingSource>(log);
    source->m_nRowsToAdd = 1;
    grid.GetSheet()->ReplaceDefaultSource(std::move(source));
    CGridWindow window;
    QVERIFY(window.Show(grid));
    grid.GetCellArea()->SetDoubleBuffer(buffered);
    grid.SetColumnCount(2);
    grid.SetRowCount(3);
    // Each row painted last with room below asks for one more, until the area is full.
    const int height = grid.GetSheet()->m_nCellAreaHeight;
    QTRY_VERIFY_WITH_TIMEOUT(grid.GetRowCount() * 20 >= height, 5000);
    QCoreApplication::processEvents();
    QCOMPARE(grid.GetRowCount(), long((grid.GetSheet()->m_nCellAreaHeight + 19) / 20));
    QVERIFY(std::find(log.begin(), log.end(), Call("OnBeyondLastRow", 4L, 1L, 1L)) != log.end());
}

void TestGridLayout::sheetTabsReportTheirIdAndScrollIntoView()
{
    CallLog log;
    CEventGrid grid(log);
    CGridWindow window;
    QVERIFY(window.Show(grid));
    grid.GetSheet()->m_nTabWidth = 150;
    grid.RecalcLayout();
    CTblSheetTabs* tabs = grid.GetSheetTabs();
    for (int n = 0; n < CTblSheetTabs::MaxTabs; ++n)
        QCOMPARE(tabs->AddTab(QStringLiteral("Sheet %1").arg(n + 1), 100 + n), n);
    QCOMPARE(tabs->AddTab(QStringLiteral("one too many"), 999), -1);
    log.clear();
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->TabRect(1).center());
    QCOMPARE(tabs->GetCurTab(), 1);
    QCOMPARE(log, (CallLog{Call("OnSheetTabClick", 101)}));
    // A tab far along the strip comes into view with room beside it.
    QVERIFY(tabs->SetCurTab(40));
    const QRect shown = tabs->TabRect(40);
    QVERIFY(shown.left() >= 0 && shown.right() + 19 <= tabs->width() + 1);
    QVERIFY(tabs->GetOffset() > 0);
    QVERIFY(!tabs->SetCurTab(64));
    // A label's line fits inside its tab's outline.
    QVERIFY(QFontMetrics(tabs->LabelFont()).height() <= tabs->TabRect(0).height() - 2);
}

void TestGridLayout::cellTipsShowTheApplicationsText()
{
    CallLog log;
    CEventGrid grid(log);
    CGridWindow window;
    QVERIFY(window.Show(grid));
    grid.SetColumnCount(3);
    grid.SetRowCount(10);
    QWidget* area = grid.GetCellArea();
    const QPoint at = CellCentre(grid, 1, 2);
    QHelpEvent off(QEvent::ToolTip, at, area->mapToGlobal(at));
    QApplication::sendEvent(area, &off);
    QVERIFY(!QToolTip::isVisible());
    grid.GetSheet()->m_bCellTips = 1;
    QHelpEvent on(QEvent::ToolTip, at, area->mapToGlobal(at));
    QApplication::sendEvent(area, &on);
    QTRY_VERIFY_WITH_TIMEOUT(QToolTip::isVisible(), 5000);
    QCOMPARE(QToolTip::text(), QStringLiteral("Col:1 Row:2"));
    QToolTip::hideText();
}
