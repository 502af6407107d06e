// The cell record: unset properties and their defaults, numbers and truth values read
// from text, copying between records, and the default sort order.
#include "TblCell.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QLocale>
#include <QPalette>

#include <clocale>
#include <cstring>

namespace {

CTblCell TextCell(const QString& text, int16_t type = CTblCell::TypeText)
{
    CTblCell cell;
    cell.AssignText(text);
    cell.SetDataType(type);
    return cell;
}

TEST(TblCellTest, UnsetPropertiesAnswerTheirDefaults)
{
    const CTblCell cell;
    const QPalette palette = QGuiApplication::palette();
    EXPECT_EQ(cell.TextValue(), nullptr);
    EXPECT_EQ(cell.TextLength(), 0);
    EXPECT_EQ(cell.ValueType(), CTblCell::TypeText);
    EXPECT_EQ(cell.GetTextColor(), palette.color(QPalette::Text));
    EXPECT_EQ(cell.GetBackColor(), palette.color(QPalette::Base));
    EXPECT_EQ(cell.GetHiTextColor(), palette.color(QPalette::HighlightedText));
    EXPECT_EQ(cell.GetHiBackColor(), palette.color(QPalette::Highlight));
    EXPECT_EQ(cell.GetBorder(), 0);
    EXPECT_EQ(cell.GetAlignment(), 0);
    EXPECT_EQ(cell.GetCellType(), 0);
    EXPECT_EQ(cell.GetTypeParam(), 0);
    EXPECT_EQ(cell.GetReadOnly(), 0);
    EXPECT_EQ(cell.GetFont(), nullptr);
    EXPECT_EQ(cell.GetStyle(), nullptr);
    EXPECT_EQ(cell.GetExtraData(), nullptr);
    QString label = "untouched";
    EXPECT_EQ(cell.LabelInto(label), 1);
    EXPECT_EQ(label, "untouched");
    int16_t columns = 0;
    int32_t rows = 0;
    int32_t place = 0;
    EXPECT_EQ(cell.JoinValues(columns, rows, place), 1);
}

TEST(TblCellTest, AValueMaskedOutIsNotSet)
{
    CTblCell cell;
    cell.SetAlignment(CTblCell::AlignRight);
    cell.AssignText("kept");
    cell.ReplaceMask(CTblCell::PropText);
    EXPECT_EQ(cell.GetAlignment(), 0);
    ASSERT_NE(cell.TextValue(), nullptr);
    cell.Reset();
    EXPECT_EQ(cell.GetMask(), 0u);
    EXPECT_EQ(cell.TextValue(), nullptr);
}

TEST(TblCellTest, AssignNumberUsesTheDecimalsWhenSet)
{
    CTblCell cell;
    cell.AssignNumber(3.14159);
    EXPECT_EQ(*cell.TextValue(), "3.141590");
    EXPECT_EQ(cell.ValueType(), CTblCell::TypeNumber);
    cell.SetDecimals(2);
    cell.AssignNumber(3.14159);
    EXPECT_EQ(*cell.TextValue(), "3.14");
    cell.SetDecimals(-3);
    cell.AssignNumber(2.4);
    EXPECT_EQ(*cell.TextValue(), "2");
}

TEST(TblCellTest, NumbersKeepADotInEveryLocale)
{
    const QLocale previous;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const char* cLocale = std::setlocale(LC_NUMERIC, "de_DE.UTF-8");
    CTblCell cell;
    cell.SetDecimals(1);
    cell.AssignNumber(1.26);
    EXPECT_EQ(*cell.TextValue(), "1.3");
    EXPECT_DOUBLE_EQ(TextCell("2.75").AsNumber(), 2.75);
    if (cLocale)
        std::setlocale(LC_NUMERIC, "C");
    QLocale::setDefault(previous);
}

TEST(TblCellTest, AsNumberReadsTheLeadingNumber)
{
    EXPECT_DOUBLE_EQ(TextCell("2.5e3").AsNumber(), 2500.0);
    EXPECT_DOUBLE_EQ(TextCell("  -7.5 Ko").AsNumber(), -7.5);
    EXPECT_DOUBLE_EQ(TextCell("+4").AsNumber(), 4.0);
    EXPECT_DOUBLE_EQ(TextCell("abc").AsNumber(), 0.0);
    EXPECT_DOUBLE_EQ(CTblCell().AsNumber(), 0.0);
}

TEST(TblCellTest, AsBoolIsTrueForTAndNonZeroNumbers)
{
    for (const char* text : {"true", "T", "1", "  12", "-3", "99999999999999999999"})
        EXPECT_TRUE(TextCell(text).AsBool()) << text;
    for (const char* text : {"false", "0", "", "F", "x1"})
        EXPECT_FALSE(TextCell(text).AsBool()) << text;
    EXPECT_FALSE(CTblCell().AsBool());
}

TEST(TblCellTest, CopyIntoAddsOnlyWhatIsSet)
{
    CTblCell defaults;
    defaults.SetBackColor(Qt::yellow);
    defaults.SetAlignment(CTblCell::AlignRight);
    CTblCell stored;
    stored.AssignText("value");
    stored.SetAlignment(CTblCell::AlignHCenter);
    stored.CopyInto(defaults);
    EXPECT_EQ(defaults.GetBackColor(), QColor(Qt::yellow));
    EXPECT_EQ(defaults.GetAlignment(), CTblCell::AlignHCenter);
    EXPECT_EQ(*defaults.TextValue(), "value");
}

TEST(TblCellTest, ReplaceIntoGivesTheTargetExactlyTheSourceProperties)
{
    CTblCell target;
    target.SetBackColor(Qt::yellow);
    const char bytes[] = "abc";
    target.SetExtraData(bytes, sizeof bytes);
    CTblCell source;
    source.SetLabel("label");
    source.ReplaceInto(target);
    EXPECT_EQ(target.GetMask(), CTblCell::PropLabel);
    EXPECT_EQ(target.GetExtraData(), nullptr);
    EXPECT_EQ(target.GetBackColor(), CTblCell().GetBackColor());
    QString label;
    EXPECT_EQ(target.LabelInto(label), 0);
    EXPECT_EQ(label, "label");
}

TEST(TblCellTest, ExtraDataAndJoinValuesAreCopiedDeeply)
{
    CTblCell source;
    const uint8_t bytes[4] = {1, 2, 3, 4};
    ASSERT_EQ(source.SetExtraData(bytes, sizeof bytes), 0);
    source.SetJoin(2, 3, 5);
    CTblCell copy(source);
    ASSERT_NE(copy.GetExtraData(), source.GetExtraData());
    const uint8_t other[4] = {9, 9, 9, 9};
    source.SetExtraData(other, sizeof other);
    ASSERT_EQ(copy.GetExtraLength(), 4u);
    EXPECT_EQ(std::memcmp(copy.GetExtraData(), bytes, 4), 0);
    int16_t columns = 0;
    int32_t rows = 0;
    int32_t place = 0;
    EXPECT_EQ(copy.JoinValues(columns, rows, place), 0);
    EXPECT_EQ(columns, 2);
    EXPECT_EQ(rows, 3);
    EXPECT_EQ(place, 5);
}

TEST(TblCellTest, CompareOrdersMissingAndEmptyFirst)
{
    const CTblCell empty;
    const CTblCell text = TextCell("a");
    EXPECT_EQ(CTblCell::Compare(nullptr, nullptr, 0), 0);
    EXPECT_EQ(CTblCell::Compare(nullptr, &empty, 0), -1);
    EXPECT_EQ(CTblCell::Compare(&empty, nullptr, 0), 1);
    EXPECT_EQ(CTblCell::Compare(&empty, &text, 0), -1);
    EXPECT_EQ(CTblCell::Compare(&text, &empty, 0), 1);
    EXPECT_EQ(CTblCell::Compare(&empty, &empty, 0), 0);
    EXPECT_EQ(CTblCell::Compare(&empty, &text, CTblCell::CompareDescending), 1);
}

TEST(TblCellTest, CompareByTheFirstCellsDataType)
{
    const CTblCell nine = TextCell("9", CTblCell::TypeNumber);
    const CTblCell ten = TextCell("10", CTblCell::TypeNumber);
    const CTblCell nineText = TextCell("9");
    const CTblCell tenText = TextCell("10");
    EXPECT_EQ(CTblCell::Compare(&nine, &ten, 0), -1);
    EXPECT_EQ(CTblCell::Compare(&nineText, &tenText, 0), 1);
    EXPECT_EQ(CTblCell::Compare(&nine, &tenText, 0), -1);
    EXPECT_EQ(CTblCell::Compare(&nineText, &ten, 0), 1);
    EXPECT_EQ(CTblCell::Compare(&ten, &nine, CTblCell::CompareDescending), -1);
    const CTblCell type5 = TextCell("3", 5);
    EXPECT_EQ(CTblCell::Compare(&type5, &ten, 0), -1);
}

} // namespace
