#include "ReportTest.h"

#include "BankFileWriter.h"
#include "MappingReport.h"

#include <QFile>

void ReportTest::SetUp()
{
    ASSERT_TRUE(m_dir.isValid());
    qputenv("KORVANE_CARD_STATE", m_dir.filePath("card.state").toLocal8Bit());
    qputenv("KORVANE_CARD_MEMORY", "4194304");
    m_card = std::make_unique<CSharedSynthLibrary>(QStringLiteral(KORVANE_CARD_LIBRARY));
    ASSERT_TRUE(m_card->IsLoaded()) << m_card->ErrorString().toStdString();
    m_table = std::make_unique<CBankTable>(*m_card);
    ASSERT_TRUE(m_table->Init(nullptr));
}

QString ReportTest::MakeBank(const QString& fileName, const std::string& bankName,
                             const std::vector<Program>& instruments,
                             const std::vector<Program>& drumKits)
{
    CBankFileWriter bank(bankName);
    for (const auto& [program, variation] : instruments)
        bank.AddInstrument(program, variation);
    for (const auto& [program, variation] : drumKits)
        bank.AddDrumKit(program, variation);
    const QString path = m_dir.filePath(fileName);
    std::string error;
    EXPECT_TRUE(bank.Write(path.toStdString(), &error)) << error;
    return path;
}

QString ReportTest::LoadBank(const QString& fileName, const std::string& bankName,
                             const std::vector<Program>& instruments,
                             const std::vector<Program>& drumKits)
{
    const QString path = MakeBank(fileName, bankName, instruments, drumKits);
    EXPECT_LT(m_table->LoadBank(path), SYNTH_LOAD_ERROR_BASE) << path.toStdString();
    return path;
}

QString ReportTest::WriteFile(const QString& name, const QByteArray& bytes)
{
    const QString path = m_dir.filePath(name);
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
    return path;
}

QString ReportTest::WriteTemplate(const QStringList& lines)
{
    QString text;
    for (const QString& line : lines)
        text += line + u'\n';
    return WriteFile(QStringLiteral("krv.mas"), text.toUtf8());
}

QStringList ReportTest::Generate(const QStringList& templateLines)
{
    const QString reportPath = m_dir.filePath(QStringLiteral("report.htm"));
    CMappingReport report(*m_table, WriteTemplate(templateLines), reportPath);
    EXPECT_TRUE(report.Generate()) << report.ErrorString().toStdString();
    return ReadReport(reportPath);
}

QStringList ReportTest::ReadReport(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        ADD_FAILURE() << "no report at " << path.toStdString();
        return {};
    }
    QStringList lines = QString::fromUtf8(file.readAll()).split(u'\n');
    EXPECT_EQ(lines.takeLast(), QString()) << "the last line ends without a line break";
    return lines;
}
