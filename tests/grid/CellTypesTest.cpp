#include "CellTypesTest.h"

#include "DemoGrid.h"
#include "EventGrid.h"
#include "GridWindow.h"
#include "TblCheckBoxType.h"
#include "TblDropListType.h"
#include "TblDropListWnd.h"

#include <QFontMetrics>
#include <QImage>
#include <QListWidget>
#include <QPainter>
#include <QScrollBar>
#include <QTest>

namespace {

constexpr QRgb GridLine = 0xFFDCDCDC;

int InkCount(const QImage& image, const QRect& area)
{
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x)
            count += IsInk(image.pixel(x, y)) ? 1 : 0;
    }
    return count;
}

QImage Grab(QWidget* widget)
{
    return widget->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

QRect CellRect(CTblCtrl& grid, int col, long row)
{
    QRect rect;
    grid.VisibleCellRect(col, row, rect);
    return rect;
}

// One cell drawn by its type alone, in an image of the cell's size.
QImage Draw(CTblCtrl& grid, const CTblCell& cell, const QSize& size)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::magenta);
    QPainter dc(&image);
    dc.setFont(grid.font());
    grid.TypeOf(cell)->DrawCell(dc, QRect(QPoint(), size), 0, 0, cell, 0, 0);
    return image;
}

CTblDropListType* DropList(CTblCtrl& grid)
{
    return static_cast<CTblDropListType*>(grid.GetCellType(DemoGrid::DropListType));
}

double NumberAt(CTblCtrl& grid, int col, long row)
{
    CTblCell cell;
    grid.ReadCell(col, row, cell);
    return cell.AsNumber();
}

QString TextAt(CTblCtrl& grid, int col, long row)
{
    QString text;
    grid.GetCellText(col, row, text);
    return text;
}

// A shown grid of check boxes (column 0) and drop-down lists (column 1).
class CTypesWindow
{
public:
    CTypesWindow(CEventGrid& grid, long rows) : m_grid(grid)
    {
        m_bShown = m_window.Show(grid);
        grid.SetColumnCount(3);
        grid.SetRowCount(rows);
        DemoGrid::ColumnDefault(grid, 0).SetCellType(DemoGrid::CheckBoxType);
        DemoGrid::ColumnDefault(grid, 0).SetLabel(QStringLiteral("Done"));
        DemoGrid::ColumnDefault(grid, 1).SetCellType(DemoGrid::DropListType);
        DemoGrid::ColumnDefault(grid, 1).SetLabel(QStringLiteral("A\nB\nC\n"));
        grid.SetCellText(1, 1, QStringLiteral("A"));
    }

    // Presses the drop button of a shown drop-list cell.
    void PressButton(int col, long row)
    {
        const QRect rect = CellRect(m_grid, col, row);
        const QPoint at(rect.right() - 3, rect.center().y());
        QTest::mouseClick(m_grid.GetCellArea(), Qt::LeftButton, {}, at);
    }

    CTblDropListWnd* List() const { return DropList(m_grid)->GetListWnd(); }

    // The lists of column 1 get this many items: "item 0", "item 1" ...
    void SetItemCount(int count)
    {
        QStringList items;
        for (int n = 0; n < count; ++n)
            items << QStringLiteral("item %1").arg(n);
        DemoGrid::ColumnDefault(m_grid, 1).SetLabel(items.join(QLatin1Char('\n')) +
                                                    QLatin1Char('\n'));
    }

    CGridWindow m_window;
    CEventGrid& m_grid;
    bool m_bShown;
};

bool Logged(const CallLog& log, const std::string& call)
{
    return std::find(log.begin(), log.end(), call) != log.end();
}

} // namespace

void TestCellTypes::rightAlignedTextEndsAtTheMarginBeforeTheGridLine()
{
    CallLog log;
    CEventGrid grid(log);
    CGridWindow window;
    QVERIFY(window.Show(grid));
    grid.SetColumnCount(2);
    grid.SetColumnWidth(0, 120);
    grid.SetRowCount(3);
    grid.SetCellText(0, 1, QStringLiteral("8888"));
    grid.SetCellAlignment(0, 1, CTblCell::AlignRight);
    const QImage image = Grab(grid.GetCellArea());
    const QRect cell = CellRect(grid, 0, 1);
    // The grid lines: one pixel at the right and at the bottom of every cell.
    QCOMPARE(image.pixel(cell.right(), cell.center().y()), GridLine);
    QCOMPARE(image.pixel(cell.center().x(), cell.bottom()), GridLine);
    QCOMPARE(image.pixel(cell.right() - 1, cell.center().y()),
             image.pixel(cell.left() + 1, cell.center().y()));
    // The text's advance ends 4 pixels before the line; its ink ends where the glyph does.
    const QFontMetrics metrics(grid.GetCellArea()->font());
    const int advanceEnd = cell.right() - 4;
    const int lastInk = advanceEnd - 1 - metrics.rightBearing(QLatin1Char('8'));
    const QRect ink = InkBox(image, cell.adjusted(0, 0, -1, -1));
    QVERIFY2(
        std::abs(ink.right() - lastInk) <= 1,
        qPrintable(QStringLiteral("ink ends at %1, expected %2").arg(ink.right()).arg(lastInk)));
    QVERIFY(ink.top() >= cell.top() + 1);
}

void TestCellTypes::headingTextIsCentredBothWays()
{
    CallLog log;
    CEventGrid grid(log);
    CGridWindow window;
    QVERIFY(window.Show(grid));
    grid.SetColumnCount(2);
    grid.SetColumnWidth(0, 140);
    grid.SetCellText(0, -1, QStringLiteral("Heading"));
    const QImage image = Grab(grid.GetChildWindow(CTblCtrl::SectionColHeader)->Widget());
    // Inside the raised frame: one pixel on every side.
    const QRect inner(1, 1, 138, 18);
    const QRect ink = InkBox(image, inner);
    QVERIFY(!ink.isEmpty());
    QVERIFY2(std::abs((ink.left() - inner.left()) - (inner.right() - ink.right())) <= 3,
             qPrintable(QStringLiteral("ink from %1 to %2").arg(ink.left()).arg(ink.right())));
    QVERIFY2(std::abs((ink.top() - inner.top()) - (inner.bottom() - ink.bottom())) <= 4,
             qPrintable(QStringLiteral("ink from %1 to %2").arg(ink.top()).arg(ink.bottom())));
}

void TestCellTypes::currentCellIsHighlightedWhenTheStyleSaysSo()
{
    CallLog log;
    CEventGrid grid(log);
    CGridWindow window;
    QVERIFY(window.Show(grid));
    grid.SetColumnCount(3);
    grid.SetRowCount(5);
    grid.MoveToCell(1, 2);
    const QColor highlight = grid.palette().color(QPalette::Highlight);
    const QColor base = grid.palette().color(QPalette::Base);
    const auto backAt = [&grid](int col, long row) {
        const QRect cell = CellRect(grid, col, row);
        return QColor(Grab(grid.GetCellArea()).pixel(cell.center()));
    };
    // Style 1 frames the current cell, no highlight.
    QCOMPARE(backAt(1, 2), base);
    QVERIFY(grid.SetCurCellStyle(3) == 0);
    QCOMPARE(backAt(1, 2), highlight);
    QCOMPARE(backAt(0, 2), base);
    QCOMPARE(backAt(1, 1), base);
    grid.GetSheet()->m_bRowHighlight = 1;
    // The whole row counts as current.
    QCOMPARE(backAt(0, 2), highlight);
}

void TestCellTypes::longTextRunsOnIntoEmptyCellsOnly()
{
    CallLog log;
    CEventGrid grid(log);
    CGridWindow window;
    QVERIFY(window.Show(grid));
    grid.SetColumnCount(3);
    grid.SetRowCount(4);
    const QString longText = QStringLiteral("WWWWWWWWWWWWWWWWWWWW");
    grid.SetCellText(0, 1, longText);
    grid.SetCellText(0, 2, longText);
    grid.SetCellText(1, 2, QStringLiteral("x"));
    grid.SetCellText(0, 3, longText);
    grid.SetCellAlignment(0, 3, CTblCell::AlignRight);
    const auto inkIn = [&grid](int col, long row) {
        return InkCount(Grab(grid.GetCellArea()), CellRect(grid, col, row).adjusted(0, 0, -2, -2));
    };
    // The text goes on in the empty cell.
    QVERIFY(inkIn(1, 1) > 20);
    // A cell with text of its own shows only that.
    QVERIFY(inkIn(1, 2) < 20);
    QVERIFY(inkIn(2, 2) == 0);
    // Right-aligned text does not run on to the right.
    QCOMPARE(inkIn(1, 3), 0);
    grid.GetSheet()->m_bTextOverflow = 0;
    grid.Redraw();
    QCOMPARE(inkIn(1, 1), 0);
}

void TestCellTypes::ellipsisOnlyWhenTheTextDoesNotFit()
{
    CallLog log;
    CEventGrid grid(log);
    const QSize size(80, 20);
    CTblCell plain;
    plain.AssignText(QStringLiteral("Short"));
    CTblCell dotted(plain);
    dotted.SetTypeParam(CTblCellType::ParamEllipsis);
    QCOMPARE(Draw(grid, dotted, size), Draw(grid, plain, size));
    plain.AssignText(QStringLiteral("A text far too long for eighty pixels"));
    dotted.AssignText(*plain.TextValue());
    const QImage cut = Draw(grid, plain, size);
    const QImage dots = Draw(grid, dotted, size);
    QVERIFY(cut != dots);
    // The dots end 3 pixels before the edge; plain text runs up to it.
    QVERIFY(InkBox(dots, QRect(QPoint(), size)).right() <= size.width() - 4);
}

void TestCellTypes::wrapLabelAndBitmapLayouts()
{
    CallLog log;
    CEventGrid grid(log);
    const QSize size(90, 60);
    const int lineHeight = QFontMetrics(grid.font()).height();
    CTblCell cell;
    cell.AssignText(QStringLiteral("several words that need more than one line"));
    cell.SetBackColor(Qt::white);
    QVERIFY(InkBox(Draw(grid, cell, size), QRect(QPoint(), size)).height() < lineHeight);
    cell.SetTypeParam(CTblCellType::ParamWordWrap);
    QVERIFY(InkBox(Draw(grid, cell, size), QRect(QPoint(), size)).height() > lineHeight);
    // Parameter 8 shows the label; without a label nothing.
    cell.SetTypeParam(CTblCellType::ParamShowLabel);
    QCOMPARE(InkCount(Draw(grid, cell, size), QRect(QPoint(), size)), 0);
    cell.SetLabel(QStringLiteral("label"));
    QVERIFY(InkCount(Draw(grid, cell, size), QRect(QPoint(), size)) > 0);
    // A bitmap 2 pixels in from the left, centred; a taller one scaled to the height less 4.
    cell.SetTypeParam(0);
    cell.AssignText(QString());
    QPixmap square(8, 8);
    square.fill(Qt::black);
    cell.SetBitmap(&square);
    const QImage small = Draw(grid, cell, QSize(40, 20));
    QCOMPARE(InkBox(small, QRect(0, 0, 40, 20)), QRect(2, 5, 8, 8));
    QPixmap tall(10, 40);
    tall.fill(Qt::black);
    cell.SetBitmap(&tall);
    const QImage scaled = Draw(grid, cell, QSize(40, 20));
    QCOMPARE(InkBox(scaled, QRect(0, 0, 40, 20)), QRect(2, 2, 3, 15));
    // Drawn scaled into twice a row's height, the text is twice as tall.
    grid.SetRowCount(1);
    CTblCell text;
    text.AssignText(QStringLiteral("Hg"));
    QImage twice(80, 40, QImage::Format_RGB32);
    twice.fill(Qt::white);
    QPainter dc(&twice);
    dc.setFont(grid.font());
    grid.TypeOf(text)->DrawCellScaled(dc, QRect(0, 0, 80, 40), 0, 0, text);
    dc.end();
    const int plainHeight = InkBox(Draw(grid, text, QSize(80, 20)), QRect(0, 0, 80, 20)).height();
    const int scaledHeight = InkBox(twice, QRect(0, 0, 80, 40)).height();
    QVERIFY2(std::abs(scaledHeight - 2 * plainHeight) <= 3,
             qPrintable(QStringLiteral("%1 and %2").arg(plainHeight).arg(scaledHeight)));
}

void TestCellTypes::arrowGlyphFollowsTheParameter()
{
    CallLog log;
    CEventGrid grid(log);
    const QSize size(21, 21);
    CTblCell cell;
    cell.SetCellType(DemoGrid::ArrowType);
    cell.SetBackColor(Qt::white);
    cell.SetTextColor(Qt::black);
    const auto leftHeavy = [&](int param) {
        cell.SetTypeParam(param);
        const QImage image = Draw(grid, cell, size);
        const QRect ink = InkBox(image, QRect(QPoint(), size));
        const int leftColumn = InkCount(image, QRect(ink.left(), 0, 1, size.height()));
        const int rightColumn = InkCount(image, QRect(ink.right(), 0, 1, size.height()));
        return leftColumn > rightColumn;
    };
    // A right-pointing head has its base, the tallest column, at the left.
    QVERIFY(leftHeavy(0));
    QVERIFY(leftHeavy(CTblArrowType::GlyphRight));
    QVERIFY(!leftHeavy(CTblArrowType::GlyphLeft));
    cell.SetTypeParam(0x1);
    QCOMPARE(InkCount(Draw(grid, cell, size), QRect(QPoint(), size)), 0);
}

void TestCellTypes::checkBoxTogglesOnReleaseInsideTheBoxOnly()
{
    CallLog log;
    CEventGrid grid(log);
    CTypesWindow window(grid, 4);
    QVERIFY(window.m_bShown);
    QWidget* area = grid.GetCellArea();
    const QRect cell = CellRect(grid, 0, 1);
    // The box: 12 pixels, 3 in from the left, centred in the 20-pixel row.
    const QPoint box(cell.left() + 3 + 6, cell.top() + 4 + 6);
    log.clear();
    QTest::mousePress(area, Qt::LeftButton, {}, box);
    QCOMPARE(NumberAt(grid, 0, 1), 0.0);
    QTest::mouseRelease(area, Qt::LeftButton, {}, box);
    QCOMPARE(NumberAt(grid, 0, 1), 1.0);
    QVERIFY(Logged(log, Call("OnCellTypeEvent", DemoGrid::CheckBoxType, 0, 1,
                             CTblCheckBoxType::EventToggled)));
    QVERIFY(Logged(log, Call("OnCellLeftButton", 0, 1, false, 1)));
    // Beside the box, on the label: nothing.
    QTest::mouseClick(area, Qt::LeftButton, {}, QPoint(cell.left() + 40, box.y()));
    QCOMPARE(NumberAt(grid, 0, 1), 1.0);
    // A double click: the first click toggles, the second press does not, its release
    // toggles back.
    QTest::mouseClick(area, Qt::LeftButton, {}, box);
    QTest::mouseDClick(area, Qt::LeftButton, {}, box);
    QCOMPARE(NumberAt(grid, 0, 1), 0.0);
    QTest::mouseRelease(area, Qt::LeftButton, {}, box);
    QCOMPARE(NumberAt(grid, 0, 1), 1.0);
}

void TestCellTypes::checkBoxSpaceTogglesTheCurrentCell()
{
    CallLog log;
    CEventGrid grid(log);
    CTypesWindow window(grid, 4);
    QVERIFY(window.m_bShown);
    grid.SetCellText(0, 2, QStringLiteral("true"));
    grid.MoveToCell(0, 2);
    log.clear();
    QTest::keyClick(grid.GetCellArea(), Qt::Key_Space);
    // Text beginning with t counts as set.
    QCOMPARE(NumberAt(grid, 0, 2), 0.0);
    QVERIFY(Logged(log, Call("OnCellTypeEvent", DemoGrid::CheckBoxType, 0, 2,
                             CTblCheckBoxType::EventToggled)));
    QVERIFY(Logged(log, Call("OnGridChar", int(' '), 1)));
    QTest::keyClick(grid.GetCellArea(), Qt::Key_Space);
    QCOMPARE(NumberAt(grid, 0, 2), 1.0);
}

void TestCellTypes::readOnlyCheckBoxNeverChanges()
{
    CallLog log;
    CEventGrid grid(log);
    CTypesWindow window(grid, 4);
    QVERIFY(window.m_bShown);
    QWidget* area = grid.GetCellArea();
    // Read-only by the cell itself (row 1) and by the column's defaults (column 2).
    CTblCell stored;
    stored.AssignText(QStringLiteral("1"));
    stored.SetReadOnly(1);
    grid.WriteCell(0, 1, stored);
    DemoGrid::ColumnDefault(grid, 2).SetCellType(DemoGrid::CheckBoxType);
    DemoGrid::ColumnDefault(grid, 2).SetReadOnly(1);
    for (const auto& [col, row] : {std::pair{0, 1L}, std::pair{2, 2L}}) {
        const double before = NumberAt(grid, col, row);
        const QRect cell = CellRect(grid, col, row);
        QTest::mouseClick(area, Qt::LeftButton, {}, QPoint(cell.left() + 9, cell.top() + 10));
        QTest::keyClick(area, Qt::Key_Space);
        QCOMPARE(NumberAt(grid, col, row), before);
    }
    QVERIFY(!Logged(log, Call("OnCellTypeEvent", DemoGrid::CheckBoxType, 0, 1,
                              CTblCheckBoxType::EventToggled)));
}

void TestCellTypes::smallCheckBoxDrawsOnlyItsLabel()
{
    CallLog log;
    CEventGrid grid(log);
    CTblCell cell;
    cell.SetCellType(DemoGrid::CheckBoxType);
    cell.AssignNumber(1);
    cell.SetLabel(QStringLiteral("Label"));
    cell.SetBackColor(Qt::white);
    // 12 pixels high: an inner height of 11 (the grid line takes one), a side of 5.
    const QImage small = Draw(grid, cell, QSize(80, 12));
    QCOMPARE(InkCount(small, QRect(0, 0, 11, 11)), 0);
    QVERIFY(InkCount(small, QRect(11, 0, 68, 11)) > 0);
    const QImage large = Draw(grid, cell, QSize(80, 20));
    // Box and mark.
    QVERIFY(InkCount(large, QRect(0, 0, 18, 19)) > 20);
}

void TestCellTypes::dropListItemsComeFromTheLabel_data()
{
    QTest::addColumn<QString>("label");
    QTest::addColumn<QStringList>("items");

    QTest::newRow("three items") << "one\ntwo\nthree\n" << QStringList{"one", "two", "three"};
    QTest::newRow("text after the last line feed")
        << "one\ntwo\nthree" << QStringList{"one", "two"};
    QTest::newRow("no line feed") << "one" << QStringList{};
    QTest::newRow("empty item") << "one\n\nthree\n" << QStringList{"one", "", "three"};
}

void TestCellTypes::dropListItemsComeFromTheLabel()
{
    QFETCH(QString, label);
    QFETCH(QStringList, items);

    CallLog log;
    CEventGrid grid(log);
    CTypesWindow window(grid, 4);
    QVERIFY(window.m_bShown);
    DemoGrid::ColumnDefault(grid, 1).SetLabel(label);
    grid.MoveToCell(1, 2);
    QTest::keyClick(grid.GetCellArea(), Qt::Key_Return);
    QVERIFY(window.List());
    QStringList shown;
    for (int n = 0; n < window.List()->count(); ++n)
        shown << window.List()->item(n)->text();
    QCOMPARE(shown, items);
    QVERIFY(Logged(log, Call("OnCellTypeEvent", DemoGrid::DropListType, 1, 2,
                             CTblDropListType::EventOpening)));
}

void TestCellTypes::dropListIsAtMost16ItemsTall()
{
    CallLog log;
    CEventGrid grid(log);
    CTypesWindow window(grid, 4);
    QVERIFY(window.m_bShown);
    window.SetItemCount(20);
    window.PressButton(1, 0);
    QVERIFY(window.List());
    // Without a font of the cell or the sheet an item is as high as the cells' own font.
    const int cellsFont = QFontMetrics(grid.GetCellArea()->font()).height();
    QCOMPARE(window.List()->height(), 16 * cellsFont + 2);
    QCOMPARE(window.List()->visualItemRect(window.List()->item(0)).height(), cellsFont);
    const QRect cell = CellRect(grid, 1, 0);
    QCOMPARE(window.List()->geometry().topLeft(), QPoint(cell.left() + 10, cell.bottom() + 1));
    QCOMPARE(window.List()->width(), cell.width());
    QTest::keyClick(window.List(), Qt::Key_Escape);
    // With the sheet's font the items are as high as it, and the list a few items tall.
    const int font = grid.RegisterFont(QString(), 16, 0);
    grid.SetDefaultFont(font);
    DemoGrid::ColumnDefault(grid, 1).SetLabel(QStringLiteral("a\nb\n"));
    window.PressButton(1, 0);
    QVERIFY(window.List());
    QCOMPARE(window.List()->height(), 3 * QFontMetrics(*grid.GetFont(font)).height() + 2);
}

void TestCellTypes::dropListNearTheBottomOpensAbove()
{
    CallLog log;
    CEventGrid grid(log);
    CTypesWindow window(grid, 40);
    QVERIFY(window.m_bShown);
    const long last = grid.GetSheet()->m_nCellAreaHeight / 20 - 1;
    window.PressButton(1, last);
    QVERIFY(window.List());
    const QRect list = window.List()->geometry();
    QCOMPARE(list.bottom(), grid.GetCellArea()->height() - 1);
    QCOMPARE(list.height(), 4 * QFontMetrics(grid.GetCellArea()->font()).height() + 2);
    QVERIFY(list.top() < CellRect(grid, 1, last).bottom());
}

void TestCellTypes::choosingAnItemWritesItUnlessRefused()
{
    CallLog log;
    CEventGrid grid(log);
    CTypesWindow window(grid, 4);
    QVERIFY(window.m_bShown);
    window.PressButton(1, 2);
    CTblDropListWnd* list = window.List();
    QVERIFY(list);
    QTRY_VERIFY_WITH_TIMEOUT(list->hasFocus(), 5000);
    QCOMPARE(list->IsActive(), 1);
    log.clear();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(list->item(1)).center());
    QCOMPARE(TextAt(grid, 1, 2), QStringLiteral("B"));
    QVERIFY(Logged(
        log, Call("OnCellTypeEvent", DemoGrid::DropListType, 1, 2, CTblDropListType::EventChosen)));
    QVERIFY(!window.List());
    QVERIFY(grid.GetCellArea()->hasFocus());
    QCOMPARE(DropList(grid)->m_nDroppedCol, CTblDropListType::NoList);
    // The application turns the choice down: the cell keeps its text.
    grid.m_onCellTypeEvent = [](int message, intptr_t) {
        return message != CTblDropListType::EventChosen;
    };
    window.PressButton(1, 2);
    list = window.List();
    QVERIFY(list);
    QTest::keyClick(list, Qt::Key_Down);
    QTest::keyClick(list, Qt::Key_Return);
    QCOMPARE(TextAt(grid, 1, 2), QStringLiteral("B"));
    QVERIFY(!window.List());
}

void TestCellTypes::openListHoldsTheMouse()
{
    CallLog log;
    CEventGrid grid(log);
    CTypesWindow window(grid, 40);
    QVERIFY(window.m_bShown);
    window.SetItemCount(20);
    window.PressButton(1, 2);
    CTblDropListWnd* list = window.List();
    QVERIFY(list);
    QTRY_VERIFY_WITH_TIMEOUT(list->hasFocus(), 5000);
    // The wheel over the cells scrolls the list, not the grid under it.
    Wheel(grid.GetCellArea(), -120);
    QCOMPARE(grid.GetSheet()->m_nTopRow, 0L);
    QVERIFY(list->verticalScrollBar()->value() > 0);
    QCOMPARE(window.List(), list);
    // The choice lands in the cell the list was opened for, even when the application
    // has moved the current cell meanwhile.
    grid.MoveToCell(2, 5);
    QListWidgetItem* item = list->itemAt(list->viewport()->rect().center());
    QVERIFY(item);
    const QString chosen = item->text();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(item).center());
    QCOMPARE(TextAt(grid, 1, 2), chosen);
    QVERIFY(!window.List());
    // A click outside closes the list without a choice and acts on nothing under it.
    window.PressButton(1, 2);
    QVERIFY(window.List());
    QTRY_VERIFY_WITH_TIMEOUT(window.List()->hasFocus(), 5000);
    log.clear();
    QTest::mouseClick(grid.GetCellArea(), Qt::LeftButton, {}, CellCentre(grid, 2, 8));
    QVERIFY(!window.List());
    QCOMPARE(TextAt(grid, 1, 2), chosen);
    QCOMPARE(grid.GetCurRow(), 2L);
    QVERIFY(!Logged(log, Call("OnCellLeftButton", 2, 8, true, 0)));
}

void TestCellTypes::dropButtonClosesAnOpenList()
{
    CallLog log;
    CEventGrid grid(log);
    CTypesWindow window(grid, 4);
    QVERIFY(window.m_bShown);
    window.PressButton(1, 1);
    QVERIFY(window.List());
    QTRY_VERIFY_WITH_TIMEOUT(window.List()->hasFocus(), 5000);
    // The press takes the focus from the list, which closes; it does not open again.
    window.PressButton(1, 1);
    QVERIFY(!window.List());
    QCOMPARE(TextAt(grid, 1, 1), QStringLiteral("A"));
    window.PressButton(1, 1);
    QVERIFY(window.List());
}

void TestCellTypes::keysCloseTheListWithoutChange()
{
    CallLog log;
    CEventGrid grid(log);
    CTypesWindow window(grid, 4);
    QVERIFY(window.m_bShown);
    for (const Qt::Key key : {Qt::Key_Escape, Qt::Key_Return}) {
        window.PressButton(1, 1);
        QVERIFY(window.List());
        QTest::keyClick(window.List(), key);
        QVERIFY(!window.List());
        QCOMPARE(TextAt(grid, 1, 1), QStringLiteral("A"));
        QVERIFY(grid.GetCellArea()->hasFocus());
        // Closed by a key, the next press of the button opens it again.
        window.PressButton(1, 1);
        QVERIFY(window.List());
        QTest::keyClick(window.List(), Qt::Key_Escape);
    }
}

void TestCellTypes::readOnlyDropListDoesNotOpen()
{
    CallLog log;
    CEventGrid grid(log);
    CTypesWindow window(grid, 4);
    QVERIFY(window.m_bShown);
    DemoGrid::ColumnDefault(grid, 1).SetReadOnly(1);
    window.PressButton(1, 1);
    QVERIFY(!window.List());
    QTest::keyClick(grid.GetCellArea(), Qt::Key_Down, Qt::ControlModifier);
    QVERIFY(!window.List());
    QCOMPARE(TextAt(grid, 1, 1), QStringLiteral("A"));
}

void TestCellTypes::demoGridShowsEveryKindOfCell()
{
    CallLog log;
    CEventGrid grid(log);
    CGridWindow window(QRect(10, 10, 560, 360));
    QVERIFY(window.Show(grid));
    DemoGrid::Fill(grid, 200);
    grid.SetRowHeaderWidth(40);
    QVERIFY(grid.GetChildWindow(CTblCtrl::SectionVScroll)->Widget()->isVisible());
    QVERIFY(grid.GetChildWindow(CTblCtrl::SectionHScroll)->Widget()->isVisible());
    const QImage cells = Grab(grid.GetCellArea());
    const auto inner = [&grid](int col, long row) {
        return CellRect(grid, col, row).adjusted(0, 0, -2, -2);
    };
    // An arrow in every marker cell, a mark in checked boxes only, the button's face on
    // every drop-down cell, the amounts and names as text.
    QVERIFY(InkCount(cells, inner(DemoGrid::Marker, 1)) >= 5);
    const QRect box(CellRect(grid, DemoGrid::Done, 1).left() + 5,
                    CellRect(grid, DemoGrid::Done, 1).top() + 6, 8, 8);
    QVERIFY(InkCount(cells, box) >= 6);
    QVERIFY(InkCount(cells, box.translated(0, 20)) == 0);
    const QRect colour = CellRect(grid, DemoGrid::Colour, 3);
    QCOMPARE(QColor(cells.pixel(colour.right() - 4, colour.top() + 3)),
             grid.palette().color(QPalette::Button));
    QVERIFY(InkCount(cells, inner(DemoGrid::Amount, 3)) > 10);
    QVERIFY(InkCount(cells, inner(DemoGrid::Name, 3)) > 10);
    const QImage headings = Grab(grid.GetChildWindow(CTblCtrl::SectionColHeader)->Widget());
    QVERIFY(InkCount(headings, QRect(30, 2, 100, 16)) > 10);
    const QImage rowHeadings = Grab(grid.GetChildWindow(CTblCtrl::SectionRowHeader)->Widget());
    QVERIFY(InkCount(rowHeadings, QRect(2, 2, 36, 16)) > 3);
}
