#include "StringTable.h"
#include "QtPrinters.h"
#include "ResourceFile.h"

#include <gtest/gtest.h>

namespace {

// Texts from every group of the table, with their leading and trailing spaces, odd
// spellings and non-ASCII characters.
TEST(StringTable, KnownIdsGiveTheirExactText)
{
    const std::pair<int, const char16_t*> sample[] = {
        {101, u"&About Korvane"},
        {103, u"N°"},
        {108, u"Lumo Sound sound banks(*.94b)|*.94b|"},
        {109, u"Please select a bank !"},
        {110, u"Warning"},
        {114, u"MIDI files (*.mid)|*.mid|"},
        {115, u"Synth Error: SYNTHERR_UNREF "},
        {123, u"Synth Error: SYNTHERR_CANNOTDELETE "},
        {124, u"Error"},
        {126, u"Korvane Presets (*.pre]|*.pre|"},
        {181, u"Bank: "},
        {182, u"krv.opt"},
        {188, u"File generation date: "},
        {195, u" MIDI mappings"},
        {201, u"Korvane options"},
        {205, u"Unable to find the preset file."},
        {208, u"Unable to load bank:"},
        {212, u"Presest is modified. Do you want to save it ?"},
    };
    for (const auto& [id, text] : sample)
        EXPECT_EQ(CStringTable::Load(id), QString::fromUtf16(text)) << id;
}

TEST(StringTable, UnknownIdsGiveEmptyText)
{
    for (int id : {0, -1, -115, 10, 100, 102, 111, 200, 213, 100000})
        EXPECT_EQ(CStringTable::Load(id), QString()) << id;
}

TEST(StringTable, CompiledInTableHasNoMalformedLine)
{
    QString error;
    const QByteArray data = CResourceFile::Read(QStringLiteral(":/text/strings.txt"), error);
    ASSERT_EQ(error, QString());
    QStringList errors;
    const QHash<int, QString> table = CStringTable::Parse(QString::fromUtf8(data), errors);
    EXPECT_EQ(errors, QStringList());
    EXPECT_EQ(table.value(127), QStringLiteral("Untitled"));
}

TEST(StringTableParse, ResolvesEscapesAndKeepsSpaces)
{
    QStringList errors;
    const QHash<int, QString> table =
        CStringTable::Parse(QStringLiteral("# comment\r\n\r\n"
                                           "1 \"say \\\"hi\\\"  \"\r\n"
                                           "2 \"a\\\\b\\tc\\r\\nd\"\n"
                                           "3 \"\"\n"),
                            errors);
    EXPECT_EQ(errors, QStringList());
    EXPECT_EQ(table.size(), 3);
    EXPECT_EQ(table.value(1), QStringLiteral("say \"hi\"  "));
    EXPECT_EQ(table.value(2), QStringLiteral("a\\b\tc\r\nd"));
    EXPECT_TRUE(table.contains(3));
    EXPECT_EQ(table.value(3), QString());
}

TEST(StringTableParse, ReportsMalformedLinesAndKeepsTheRest)
{
    QStringList errors;
    const QHash<int, QString> table =
        CStringTable::Parse(QStringLiteral("5 \"five\"\n"
                                           "6 \"no closing quote\n"
                                           "7 \"text\" after\n"
                                           "8 \"bad \\q escape\"\n"
                                           "x \"not a number\"\n"
                                           "0 \"zero\"\n"
                                           "9  \"two spaces\"\n"
                                           "5 \"again\"\n"
                                           "10 \"ends in a backslash\\\n"),
                            errors);
    EXPECT_EQ(table.keys(), QList<int>{5});
    EXPECT_EQ(table.value(5), QStringLiteral("five"));
    ASSERT_EQ(errors.size(), 8);
    EXPECT_TRUE(errors[0].startsWith(QStringLiteral("line 2:"))) << errors[0].toStdString();
    EXPECT_TRUE(errors[6].contains(QStringLiteral("id 5 defined twice")))
        << errors[6].toStdString();
}

} // namespace
