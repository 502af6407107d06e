// The bank contents: the same rows as the report, and the bank that answers each
// bank:program, on banks loaded into a simulated card.
#include "BankContents.h"
#include "ReportTest.h"
#include "SoundFontBanks.h"
#include "SoundFontWriter.h"

#include <QRegularExpression>

#include <tuple>

namespace {

using BankContentsTest = ReportTest;

// program, variation, Cubase program, Cubase bank, name
using Numbers = std::tuple<int, int, int, int, QString>;

// Every record of the report's program blocks, from a template that gives one per line.
std::vector<Numbers> ReportRecords(const QStringList& report)
{
    static const QRegularExpression record(
        QStringLiteral("^row (\\d+) (\\d+) (\\d+) (\\d+) (.*)$"));
    std::vector<Numbers> records;
    for (const QString& line : report) {
        const QRegularExpressionMatch match = record.match(line);
        if (match.hasMatch())
            records.emplace_back(match.captured(1).toInt(), match.captured(2).toInt(),
                                 match.captured(3).toInt(), match.captured(4).toInt(),
                                 match.captured(5));
    }
    return records;
}

QStringList ReportTemplate()
{
    // A line replaces only its first placeholder: each figure is built on a line of its own
    // and joined by the test.
    const QStringList block = {"row [IDS_KRVBANKMIDIPROG]", "[IDS_KRVBANKKVARIATION]",
                               "[IDS_KRVBANKCUBASEPROG]", "[IDS_KRVBANKCUBASEBANK]",
                               "[IDS_KRVBANKPROGNAME]"};
    return QStringList{"[KRV_TAG_STARTBANK]", "[KRV_TAG_ENDBANK]", "[IDS_KRVMIDIMAPPING]",
                       "[KRV_TAG_STARTNICEPROG]"} +
           block + QStringList{"[KRV_TAG_ENDNICEPROG]"} + block + QStringList{"[KRV_TAG_ENDPROG]"};
}

QStringList JoinRecords(const QStringList& lines)
{
    QStringList joined;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (lines[i].startsWith(u"row ") && i + 4 < lines.size())
            joined << QStringList(lines.mid(i, 5)).join(u' ');
    }
    return joined;
}

} // namespace

TEST_F(BankContentsTest, RowsAreTheReportsRowsForABankFileAndASoundFont)
{
    LoadBank("a.94b", "ALPHA", {{0, 8}, {127, 0}}, {{0, 255}});
    CSoundFontWriter font("Studio Set");
    font.AddPreset("Violin", 0, 40);
    font.AddPreset("Bright Violin", 8, 40);
    font.AddPreset("Standard", 128, 0);
    const QString path = m_dir.filePath(QStringLiteral("studio.sf2"));
    ASSERT_TRUE(font.Write(path.toStdString()));
    ASSERT_LT(m_table->LoadBank(path), SYNTH_LOAD_ERROR_BASE);

    CBankContents contents;
    EXPECT_TRUE(contents.Read(*m_table));
    std::vector<Numbers> rows;
    for (const CBankContents::Row& row : contents.Rows())
        rows.emplace_back(row.program.program, row.program.variation, row.program.CubaseProgram(),
                          row.program.CubaseBank(), row.program.name);
    const std::vector<Numbers> report = ReportRecords(JoinRecords(Generate(ReportTemplate())));
    ASSERT_EQ(report.size(), 6U);
    EXPECT_EQ(rows, report);
    // The drum kits are told apart, which the numbers alone do not do.
    EXPECT_TRUE(contents.Rows()[2].drumKit);
    EXPECT_EQ(contents.Rows()[5].SynthBank(), CSoundFontBanks::kDrumKitBank);
    EXPECT_EQ(contents.Rows()[4].SynthBank(), 8);
    EXPECT_FALSE(contents.Read(*m_table)) << "nothing changed";
}

// Instruments and drum kits of the same numbers are different programs; the higher priority
// answers, and of equal priorities the lower ID.
TEST_F(BankContentsTest, TheBankSearchedFirstAnswersAndHidesTheSameProgramInOthers)
{
    LoadBank("a.94b", "ALPHA", {{0, 0}, {5, 0}});
    LoadBank("b.94b", "BRAVO", {{0, 0}}, {{0, 0}});
    LoadBank("c.94b", "CHARLIE", {{5, 1}}, {{0, 0}});
    const auto answers = [&] {
        CBankContents contents;
        contents.Read(*m_table);
        std::vector<std::tuple<int, bool, int, int, int>> seen;
        for (const CBankContents::Row& row : contents.Rows())
            seen.emplace_back(row.bankId, row.drumKit, row.program.variation, row.program.program,
                              row.answeredBy);
        return seen;
    };
    using Answers = std::vector<std::tuple<int, bool, int, int, int>>;
    EXPECT_EQ(answers(), (Answers{{0, false, 0, 0, 0},
                                  {0, false, 0, 5, 0},
                                  {1, false, 0, 0, 0},
                                  {1, true, 0, 0, 1},
                                  {2, false, 1, 5, 2},
                                  {2, true, 0, 0, 1}}));
    ASSERT_EQ(m_table->SetBankPriority(2, 3), 0);
    ASSERT_EQ(m_table->SetBankPriority(1, 2), 0);
    EXPECT_EQ(answers(), (Answers{{0, false, 0, 0, 1},
                                  {0, false, 0, 5, 0},
                                  {1, false, 0, 0, 1},
                                  {1, true, 0, 0, 2},
                                  {2, false, 1, 5, 2},
                                  {2, true, 0, 0, 2}}));
}

TEST(BankContentsFilterTest, AFilterPicksByNameOrByNumber)
{
    CBankContents::Row row;
    row.program = {4, 8, QStringLiteral("Grand Piano")};
    for (const char* picks : {"", "  ", "piano", "GRAND", "4", "5", " 5 ", "8:4"})
        EXPECT_TRUE(CBankContents::Matches(row, QString::fromLatin1(picks))) << picks;
    for (const char* misses : {"organ", "3", "6", "8", "0:4", "8:5", "4:8", "x4"})
        EXPECT_FALSE(CBankContents::Matches(row, QString::fromLatin1(misses))) << misses;
}
