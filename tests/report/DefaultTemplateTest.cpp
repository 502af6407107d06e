// The default template "krv.mas" as shipped: every placeholder in a section that replaces
// it, the listing a user gets from it, and valid HTML by Debian's tidy.
#include "MappingReport.h"
#include "ReportTest.h"

#include <QFile>
#include <QProcess>

namespace {

using DefaultTemplateTest = ReportTest;

const QStringList kPlaceholders = {
    "[IDS_KRVTITLE]",
    "[IDS_KRVAUTHOR]",
    "[IDS_KRVAUTHOREMAIL]",
    "[IDS_KRVMAPPRESETFILEDIR]",
    "[IDS_KRVMAPPRESETFILENAME]",
    "[IDS_KRVMAPFILEDATE]",
    "[IDS_KRVCREATIONDATE]",
    "[IDS_KRVMEMORYUSE]",
    "[IDS_KRVPRESETFILENAME]",
    "[IDS_KRVCREATEDDATE]",
    "[IDS_KRVMEMORYUSED]",
    "[IDS_KRVBANK]",
    "[IDS_KRVPRIORITY]",
    "[IDS_KRVBANKFILES]",
    "[IDS_KRVBANKINTERNAL]",
    "[IDS_KRVBANKFILENAME]",
    "[IDS_KRVBANKINTERNALNAME]",
    "[IDS_KRVBANKPRIORITY]",
    "[IDS_KRVBANKMEMORYUSED]",
    "[IDS_KRVMIDIMAPPING]",
    "[IDS_KRVMIDIPROG]",
    "[IDS_KRVVARIATION]",
    "[IDS_KRVCUBASEPROG]",
    "[IDS_KRVCUBASEBANK]",
    "[IDS_KRVBANKREALNAME]",
    "[IDS_KRVINSTRUMENT]",
    "[IDS_KRVBANKMIDIPROG]",
    "[IDS_KRVBANKKVARIATION]",
    "[IDS_KRVBANKCUBASEPROG]",
    "[IDS_KRVBANKCUBASEBANK]",
    "[IDS_KRVPROGNAME]",
    "[IDS_KRVBANKPROGNAME]",
};

QString ReadText(const QString& path)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return QString::fromUtf8(file.readAll());
}

// The row the default template gives one program record; a bank file names no preset.
QString Row(int program, int variation)
{
    return QStringLiteral(
               "<tr>\n<td>%1</td>\n<td>%2</td>\n<td>%3</td>\n<td>%4</td>\n<td></td>\n</tr>\n")
        .arg(program)
        .arg(variation)
        .arg(program + 1)
        .arg(variation * 128);
}

// tidy's findings on the file; empty when it has neither errors nor warnings.
QString TidyFindings(const QString& path)
{
    QProcess tidy;
    tidy.start(QStringLiteral("tidy"), {"-errors", "-quiet", path});
    if (!tidy.waitForFinished(30000))
        return QStringLiteral("tidy cannot be run (install Debian's tidy): ") + tidy.errorString();
    const QString findings = QString::fromUtf8(tidy.readAllStandardError());
    if (tidy.exitStatus() != QProcess::NormalExit || tidy.exitCode() != 0)
        return QStringLiteral("exit code %1\n").arg(tidy.exitCode()) + findings;
    return findings;
}

} // namespace

TEST_F(DefaultTemplateTest, HoldsEveryPlaceholder)
{
    const QString text = ReadText(QStringLiteral(KORVANE_DEFAULT_TEMPLATE));
    for (const QString& placeholder : kPlaceholders)
        EXPECT_TRUE(text.contains(placeholder)) << placeholder.toStdString();
}

// Nothing is left unreplaced, so every placeholder sits in a section that handles it.
TEST_F(DefaultTemplateTest, ListsEveryProgramOfEveryBankAsValidHtml)
{
    LoadBank("grand piano.94b", "PIANO", {{0, 0}, {1, 8}, {127, 255}}, {{0, 0}, {16, 1}});
    LoadBank("a&b.94b", "<i>kit", {}, {{25, 127}});
    ASSERT_EQ(m_table->SetBankPriority(1, 3), 0);
    const QString reportPath = m_dir.filePath(QStringLiteral("report.htm"));
    CMappingReport report(*m_table, QStringLiteral(KORVANE_DEFAULT_TEMPLATE), reportPath);
    ASSERT_TRUE(report.Generate()) << report.ErrorString().toStdString();

    const QString text = ReadText(reportPath);
    EXPECT_FALSE(text.contains(QStringLiteral("[IDS_")));
    EXPECT_FALSE(text.contains(QStringLiteral("[KRV_TAG_")));
    for (const QString& row :
         {Row(0, 0) + Row(1, 8) + Row(127, 255), Row(0, 0) + Row(16, 1), Row(25, 127)})
        EXPECT_TRUE(text.contains(row)) << row.toStdString();
    EXPECT_EQ(text.count(QStringLiteral("<span class=\"kind\">Instruments</span>")), 1);
    EXPECT_EQ(text.count(QStringLiteral("<span class=\"kind\">Drumset</span>")), 2);
    EXPECT_TRUE(text.contains(QStringLiteral("<td>a&amp;b.94b</td>\n<td>&lt;i&gt;kit</td>")));
    EXPECT_TRUE(text.contains(QStringLiteral("NO-PRESET MODE")));
    EXPECT_EQ(TidyFindings(reportPath), QString());
}

TEST_F(DefaultTemplateTest, AReportWithoutBanksIsValidHtml)
{
    const QString reportPath = m_dir.filePath(QStringLiteral("empty.htm"));
    CMappingReport report(*m_table, QStringLiteral(KORVANE_DEFAULT_TEMPLATE), reportPath);
    ASSERT_TRUE(report.Generate()) << report.ErrorString().toStdString();
    EXPECT_EQ(TidyFindings(reportPath), QString());
}
