// The memory source: storing and fetching anywhere (headings and gaps included), rows and
// columns added and removed, searching, sorting, and what a read costs.
#include "TblCell.h"
#include "TblCtrl.h"
#include "TblMemSource.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {

CTblCell Text(const QString& text, int16_t type = CTblCell::TypeText)
{
    CTblCell cell;
    cell.AssignText(text);
    cell.SetDataType(type);
    return cell;
}

QString Fetched(CTblDataSource& source, int col, long row)
{
    CTblCell cell;
    if (source.FetchCell(col, row, cell) != 0)
        return "<none>";
    return cell.TextValue() ? *cell.TextValue() : "<no text>";
}

// A column's texts from row 0 to row count - 1.
QStringList Column(CTblDataSource& source, int col, long count)
{
    QStringList texts;
    for (long row = 0; row < count; ++row)
        texts << Fetched(source, col, row);
    return texts;
}

TEST(MemSourceTest, WritingOnlyTheAlignmentKeepsTheText)
{
    CTblMemSource source;
    source.StoreCell(1, 2, Text("kept"));
    CTblCell cell;
    ASSERT_EQ(source.FetchCell(1, 2, cell), 0);
    cell.SetAlignment(CTblCell::AlignRight);
    source.StoreCell(1, 2, cell);
    CTblCell back;
    source.FetchCell(1, 2, back);
    EXPECT_EQ(*back.TextValue(), "kept");
    EXPECT_EQ(back.GetAlignment(), CTblCell::AlignRight);
}

TEST(MemSourceTest, StoringReplacesWhatWasStored)
{
    CTblMemSource source;
    CTblCell first = Text("old");
    first.SetBackColor(Qt::red);
    source.StoreCell(0, 0, first);
    CTblCell second;
    second.SetLabel("new");
    source.StoreCell(0, 0, second);
    CTblCell back;
    source.FetchCell(0, 0, back);
    EXPECT_EQ(back.GetMask(), CTblCell::PropLabel);
}

TEST(MemSourceTest, HeadingRowsAndColumnsLieBeforeRowAndColumnZero)
{
    CTblMemSource source;
    source.StoreCell(0, 0, Text("body"));
    source.StoreCell(2, -1, Text("column heading"));
    source.StoreCell(-2, 3, Text("row heading"));
    EXPECT_EQ(Fetched(source, 2, -1), "column heading");
    EXPECT_EQ(Fetched(source, -2, 3), "row heading");
    EXPECT_EQ(Fetched(source, 0, 0), "body");
    EXPECT_EQ(Fetched(source, 2, -2), "<none>");
}

TEST(MemSourceTest, SparseStoresLeaveGapsEmpty)
{
    CTblMemSource source;
    source.StoreCell(0, 5, Text("five"));
    CTblCell cell;
    cell.SetBackColor(Qt::green);
    EXPECT_EQ(source.FetchCell(0, 3, cell), 1);
    EXPECT_EQ(cell.GetMask(), CTblCell::PropBackColor);
    EXPECT_EQ(source.FetchCell(0, 6, cell), 1);
    EXPECT_EQ(source.FetchCell(4, 5, cell), 1);
    EXPECT_EQ(Fetched(source, 0, 5), "five");
}

TEST(MemSourceTest, FetchKeepsTheCallersDefaultsForUnsetProperties)
{
    CTblMemSource source;
    source.StoreCell(0, 0, Text("x"));
    CTblCell cell;
    cell.SetBackColor(Qt::green);
    ASSERT_EQ(source.FetchCell(0, 0, cell), 0);
    EXPECT_EQ(cell.GetBackColor(), QColor(Qt::green));
    EXPECT_EQ(*cell.TextValue(), "x");
}

TEST(MemSourceTest, AddingAndRemovingRowsMovesTheRowsBelow)
{
    CTblMemSource source;
    for (long row = 0; row < 3; ++row)
        source.StoreCell(0, row, Text(QString::number(row)));
    source.StoreCell(0, -1, Text("heading"));
    EXPECT_EQ(source.AddRowBefore(1), 0);
    EXPECT_EQ(Column(source, 0, 4), QStringList({"0", "<none>", "1", "2"}));
    EXPECT_EQ(source.AddRowBefore(0), 0);
    EXPECT_EQ(Column(source, 0, 5), QStringList({"<none>", "0", "<none>", "1", "2"}));
    EXPECT_EQ(source.RemoveRow(0), 0);
    EXPECT_EQ(source.RemoveRow(1), 0);
    EXPECT_EQ(Column(source, 0, 4), QStringList({"0", "1", "2", "<none>"}));
    EXPECT_EQ(source.AddRowBefore(40), 0);
    EXPECT_EQ(source.RemoveRow(40), 0);
    EXPECT_EQ(Fetched(source, 0, -1), "heading");
}

TEST(MemSourceTest, RemovingTheOnlyRowKeepsTheHeadingsInPlace)
{
    CTblMemSource source;
    source.StoreCell(0, 0, Text("body"));
    source.StoreCell(0, -1, Text("heading"));
    source.RemoveRow(0);
    EXPECT_EQ(Fetched(source, 0, 0), "<none>");
    EXPECT_EQ(Fetched(source, 0, -1), "heading");
    source.StoreCell(0, 2, Text("two"));
    EXPECT_EQ(Column(source, 0, 3), QStringList({"<none>", "<none>", "two"}));
}

TEST(MemSourceTest, AddingAndRemovingColumnsActsOnEveryRow)
{
    CTblMemSource source;
    for (long row = 0; row < 2; ++row) {
        for (int col = 0; col < 3; ++col)
            source.StoreCell(col, row, Text(QString("%1%2").arg(row).arg(col)));
    }
    source.StoreCell(0, 2, Text("short row"));
    source.AddColumnBefore(1);
    EXPECT_EQ(Fetched(source, 1, 0), "<none>");
    EXPECT_EQ(Fetched(source, 2, 1), "11");
    EXPECT_EQ(Fetched(source, 0, 2), "short row");
    source.RemoveColumn(0);
    EXPECT_EQ(Fetched(source, 1, 0), "01");
    EXPECT_EQ(Fetched(source, 2, 1), "12");
    EXPECT_EQ(Fetched(source, 0, 2), "<none>");
    source.RemoveColumn(2);
    EXPECT_EQ(Fetched(source, 2, 0), "<none>");
    EXPECT_EQ(Fetched(source, 1, 1), "11");
}

TEST(MemSourceTest, RemovingCellsAndEverything)
{
    CTblMemSource source;
    source.StoreCell(1, 1, Text("a"));
    source.StoreCell(0, 0, Text("b"));
    EXPECT_EQ(source.RemoveCell(1, 1), 0);
    EXPECT_EQ(Fetched(source, 1, 1), "<none>");
    EXPECT_EQ(source.RemoveCell(5, 1), 1);
    EXPECT_EQ(source.RemoveCell(0, 9), 1);
    EXPECT_EQ(source.RemoveAll(), 0);
    EXPECT_EQ(Fetched(source, 0, 0), "<none>");
    source.StoreCell(0, 0, Text("again"));
    EXPECT_EQ(Fetched(source, 0, 0), "again");
}

TEST(MemSourceTest, FindWholePartialAndIgnoringCase)
{
    CTblMemSource source;
    source.StoreCell(1, 0, Text("Alpha"));
    source.StoreCell(0, 1, Text("beta"));
    source.StoreCell(1, 2, Text("alphabet"));
    source.StoreCell(1, 3, Text("ALPHA"));
    int col = 1;
    long row = 0;
    EXPECT_EQ(source.FindFrom("alpha", col, row, 0), 1);
    EXPECT_EQ(source.FindFrom("alpha", col, row, CTblDataSource::FindIgnoreCase), 0);
    EXPECT_EQ(row, 0);
    EXPECT_EQ(source.FindAfter("alpha", col, row, CTblDataSource::FindIgnoreCase), 0);
    EXPECT_EQ(row, 3);
    EXPECT_EQ(source.FindAfter("alpha", col, row, CTblDataSource::FindIgnoreCase), 1);
    EXPECT_EQ(source.FindFrom("pha", col, row, CTblDataSource::FindPartial), 0);
    EXPECT_EQ(row, 0);
    EXPECT_EQ(source.FindAfter("pha", col, row, CTblDataSource::FindPartial), 0);
    EXPECT_EQ(row, 2);
    col = 1;
    EXPECT_EQ(source.FindFrom("beta", col, row, 0), 1);
}

TEST(MemSourceTest, FindInAllColumnsGoesAlongEachRow)
{
    CTblMemSource source;
    source.StoreCell(2, 0, Text("x"));
    source.StoreCell(0, 1, Text("x"));
    source.StoreCell(3, 1, Text("x"));
    int col = 7;
    long row = 7;
    const int flags = CTblDataSource::FindAllColumns;
    ASSERT_EQ(source.FindFrom("x", col, row, flags), 0);
    EXPECT_EQ(std::make_pair(col, row), std::make_pair(2, 0L));
    ASSERT_EQ(source.FindAfter("x", col, row, flags), 0);
    EXPECT_EQ(std::make_pair(col, row), std::make_pair(0, 1L));
    ASSERT_EQ(source.FindAfter("x", col, row, flags), 0);
    EXPECT_EQ(std::make_pair(col, row), std::make_pair(3, 1L));
    EXPECT_EQ(source.FindAfter("x", col, row, flags), 1);
}

TEST(MemSourceTest, SortingNumbersAsNumbersAndAsText)
{
    for (const auto& [type, expected] :
         {std::pair{CTblCell::TypeNumber, QStringList({"9", "10", "100"})},
          std::pair{CTblCell::TypeText, QStringList({"10", "100", "9"})}}) {
        CTblMemSource source;
        long row = 0;
        for (const char* text : {"10", "9", "100"}) {
            source.StoreCell(0, row, Text(text, type));
            source.StoreCell(1, row++, Text(QString("beside %1").arg(text)));
        }
        source.StoreCell(0, -1, Text("heading"));
        EXPECT_EQ(source.SortRowsBy(0, 0), 0);
        EXPECT_EQ(Column(source, 0, 3), expected);
        EXPECT_EQ(Fetched(source, 1, 0), "beside " + expected[0]) << "whole rows move";
        EXPECT_EQ(Fetched(source, 0, -1), "heading");
    }
}

TEST(MemSourceTest, SortingDescendingWithMissingCellsAndTies)
{
    CTblMemSource source;
    const QStringList keys = {"b", "", "a", "b", "a"};
    for (long row = 0; row < keys.size(); ++row) {
        if (!keys[row].isEmpty())
            source.StoreCell(0, row, Text(keys[row]));
        source.StoreCell(1, row, Text(QString::number(row)));
    }
    const int cols[] = {0, 1};
    source.SortRows(cols, 2, CTblCell::CompareDescending);
    EXPECT_EQ(Column(source, 1, 5), QStringList({"3", "0", "4", "2", "1"}));
    source.SortRowsBy(0, 0);
    EXPECT_EQ(Column(source, 1, 5), QStringList({"1", "4", "2", "3", "0"})) << "stable";
}

TEST(MemSourceTest, SortingAsksTheGridsComparison)
{
    struct ReverseGrid : CTblCtrl
    {
        int CompareCells(const CTblCell* a, const CTblCell* b, int flags) override
        {
            return -CTblCtrl::CompareCells(a, b, flags);
        }
    } grid;
    CTblDataSource& source = *grid.GetSheet()->m_pDefaultSource;
    for (long row = 0; row < 3; ++row)
        source.StoreCell(0, row, Text(QString::number(row)));
    source.SortRowsBy(0, 0);
    EXPECT_EQ(Column(source, 0, 3), QStringList({"2", "1", "0"}));
}

TEST(MemSourceTest, PrevFilledColumnFindsTheNearestTextToTheLeft)
{
    CTblMemSource source;
    source.StoreCell(1, 0, Text("one"));
    source.StoreCell(2, 0, Text(""));
    source.StoreCell(3, 0, Text("three"));
    source.StoreCell(5, 0, CTblCell());
    source.StoreCell(6, 0, CTblCell());
    source.RemoveCell(6, 0);
    int col = 5;
    EXPECT_EQ(source.PrevFilledColumn(col, 0), 0);
    EXPECT_EQ(col, 3);
    col = 3;
    EXPECT_EQ(source.PrevFilledColumn(col, 0), 0);
    EXPECT_EQ(col, 1);
    col = 1;
    EXPECT_EQ(source.PrevFilledColumn(col, 0), 1);
    // Past the last column node (here one without a cell) the search starts from it.
    col = 9;
    EXPECT_EQ(source.PrevFilledColumn(col, 0), 0);
    EXPECT_EQ(col, 3);
    col = 4;
    EXPECT_EQ(source.PrevFilledColumn(col, 7), 1);
}

TEST(MemSourceTest, ReadingRowByRowCostsOneStepPerCell)
{
    CTblMemSource source;
    constexpr long rows = 1000;
    constexpr int cols = 4;
    for (long row = 0; row < rows; ++row) {
        for (int col = 0; col < cols; ++col)
            source.StoreCell(col, row, Text("x"));
    }
    const uint64_t before = source.CursorSteps();
    CTblCell cell;
    for (long row = 0; row < rows; ++row) {
        for (int col = 0; col < cols; ++col)
            ASSERT_EQ(source.FetchCell(col, row, cell), 0);
    }
    EXPECT_LE(source.CursorSteps() - before, static_cast<uint64_t>(rows * cols));
    // The last row is reached from the end of the list, not walked to from row 0.
    const uint64_t atEnd = source.CursorSteps();
    source.FetchCell(0, 0, cell);
    source.FetchCell(0, rows - 1, cell);
    EXPECT_EQ(source.CursorSteps(), atEnd);
}

TEST(MemSourceTest, RowIndexAgreesWithTheRowsAfterInsertsAndRemovals)
{
    // The reference: the texts of rows -3 .. n-1 in order, kept in a vector.
    CTblMemSource source;
    std::vector<QString> expected;
    long first = -3;
    for (long row = first; row < 200; ++row) {
        expected.push_back(QString::number(row));
        source.StoreCell(0, row, Text(expected.back()));
    }
    std::mt19937 random(16);
    const auto anyRow = [&] {
        return std::uniform_int_distribution<long>(first, first + std::ssize(expected) - 1)(random);
    };
    for (int step = 0; step < 400; ++step) {
        const long row = anyRow();
        const auto at = expected.begin() + (row - first);
        switch (step % 3) {
        case 0:
            source.AddRowBefore(row);
            expected.insert(at, "<none>");
            first -= row < 0 ? 1 : 0;
            break;
        case 1:
            if (row == 0 && first + std::ssize(expected) == 1)
                break;
            source.RemoveRow(row);
            expected.erase(at);
            first += row < 0 ? 1 : 0;
            break;
        default:
            *at = QStringLiteral("s%1").arg(step);
            source.StoreCell(0, row, Text(*at));
        }
        // Far jumps and neighbours, in random order, as a user's scrolling reads them.
        for (int probe = 0; probe < 5; ++probe) {
            const long target = anyRow();
            ASSERT_EQ(Fetched(source, 0, target), expected[static_cast<size_t>(target - first)])
                << "step " << step << ", row " << target;
        }
    }
    EXPECT_EQ(Fetched(source, 0, first - 1), "<none>");
    EXPECT_EQ(Fetched(source, 0, first + std::ssize(expected)), "<none>");
}

TEST(MemSourceTest, TextAloneReadsBackExactlyWhateverItsLength)
{
    // Texts of up to 15 bytes in Latin-1 or UTF-8, and longer ones (or any with a lone
    // surrogate) in Latin-1, UTF-8 or UTF-16, are kept in different compact forms, each here
    // replacing a full record.
    CTblMemSource source;
    const QStringList texts{"", "R123456C7", "a text longer than fifteen",
                            QString::fromUtf8("\xE2\x82\xAC 5"), QString(15, QChar(0xE9)),
                            QString(5, QChar(0x20AC)), QString(5, QChar(0x20AC)) + "a",
                            QString::fromUtf8("\xE2\x82\xAC and a text longer than fifteen"),
                            QString(20, QChar(0x4E00)),
                            // A lone surrogate, which UTF-8 cannot carry.
                            QString(QChar(0xDC80)) + "ab"};
    CTblCell colored = Text("old");
    colored.SetBackColor(Qt::red);
    for (int col = 0; col < texts.size(); ++col) {
        source.StoreCell(col, 0, colored);
        source.StoreCell(col, 0, Text(texts[col]));
        CTblCell back;
        // A fetch adds to what the reader had set.
        back.SetAlignment(CTblCell::AlignRight);
        ASSERT_EQ(source.FetchCell(col, 0, back), 0);
        EXPECT_EQ(*back.TextValue(), texts[col]);
        EXPECT_EQ(back.GetMask(),
                  CTblCell::PropText | CTblCell::PropDataType | CTblCell::PropAlignment);
    }
    // A number's data type is more than a text alone.
    source.StoreCell(0, 1, Text("10", CTblCell::TypeNumber));
    CTblCell back;
    source.FetchCell(0, 1, back);
    EXPECT_EQ(back.ValueType(), CTblCell::TypeNumber);
}

TEST(MemSourceTest, TheBaseSourceSupportsNothing)
{
    struct Bare : CTblDataSource
    {
    } source;
    CTblCell cell;
    int col = 0;
    long row = 0;
    long added = 5;
    EXPECT_EQ(source.FetchCell(0, 0, cell), -1);
    EXPECT_EQ(source.StoreCell(0, 0, cell), -1);
    EXPECT_EQ(source.AddRowBefore(0), -1);
    EXPECT_EQ(source.RemoveAll(), -1);
    EXPECT_EQ(source.FindFrom("x", col, row, 0), -1);
    EXPECT_EQ(source.SortRowsBy(0, 0), -1);
    EXPECT_EQ(source.PrevFilledColumn(col, 0), -1);
    EXPECT_EQ(source.ExtendRows(3, 1, added), -1);
    EXPECT_EQ(added, 0);
    EXPECT_EQ(source.AllowMove(0, 0, 1, 1), 1);
    EXPECT_EQ(source.m_nIndex, -1);
}

} // namespace
