// The report template engine and the program blocks: sections, placeholder rules and
// numbering, with banks loaded into a simulated card, and what happens with bad input.
#include "MappingReport.h"
#include "BankFileWriter.h"
#include "ExecutableDir.h"
#include "NativePath.h"
#include "ReportTest.h"
#include "SoundFontWriter.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <fcntl.h>
#include <unistd.h>

namespace {

using MappingReportTest = ReportTest;

// A template whose bank block lists the file names and whose program blocks give one
// line per record: "<bank> <list> <prog> <variation> <cubase prog> <cubase bank>".
const QStringList kListingTemplate = {
    "[KRV_TAG_STARTBANK]",        "bank [IDS_KRVBANKFILENAME]",  "[KRV_TAG_ENDBANK]",
    "[IDS_KRVMIDIMAPPING]",       "[KRV_TAG_STARTNICEPROG]",     "[IDS_KRVBANKREALNAME]",
    "[IDS_KRVINSTRUMENT]",        "first [IDS_KRVBANKMIDIPROG]", "[IDS_KRVBANKKVARIATION]",
    "[IDS_KRVBANKCUBASEPROG]",    "[IDS_KRVBANKCUBASEBANK]",     "[KRV_TAG_ENDNICEPROG]",
    "next [IDS_KRVBANKMIDIPROG]", "[IDS_KRVBANKKVARIATION]",     "[IDS_KRVBANKCUBASEPROG]",
    "[IDS_KRVBANKCUBASEBANK]",    "[KRV_TAG_ENDPROG]",           "end",
};

QStringList FirstBlock(const QString& bank, const QString& list, int program, int variation,
                       int cubaseProg, int cubaseBank)
{
    return {bank,
            list,
            QStringLiteral("first %1").arg(program),
            QString::number(variation),
            QString::number(cubaseProg),
            QString::number(cubaseBank)};
}

QStringList NextBlock(int program, int variation, int cubaseProg, int cubaseBank)
{
    return {QStringLiteral("next %1").arg(program), QString::number(variation),
            QString::number(cubaseProg), QString::number(cubaseBank)};
}

} // namespace

TEST_F(MappingReportTest, WholeRunOfTheThirteenLineTemplate)
{
    LoadBank("piano.94b", "PIANO", {{0, 0}, {5, 0}});
    const QStringList report = Generate({
        "[IDS_KRVTITLE]",
        "[KRV_TAG_STARTBANK]",
        "Bank [IDS_KRVBANKFILENAME]",
        "[KRV_TAG_ENDBANK]",
        "[IDS_KRVMIDIPROG]",
        "[IDS_KRVMIDIMAPPING]",
        "[KRV_TAG_STARTNICEPROG]",
        "[IDS_KRVBANKREALNAME] [IDS_KRVINSTRUMENT]",
        "[IDS_KRVBANKCUBASEPROG]",
        "[KRV_TAG_ENDNICEPROG]",
        "[IDS_KRVBANKCUBASEPROG]",
        "[KRV_TAG_ENDPROG]",
        "[IDS_KRVTITLE]",
    });
    EXPECT_EQ(report,
              QStringList({"Korvane", "Bank piano.94b", "[IDS_KRVMIDIPROG]", " MIDI mappings",
                           "PIANO [IDS_KRVINSTRUMENT]", "1", "6", "[IDS_KRVTITLE]"}));
}

TEST_F(MappingReportTest, HeaderRules)
{
    const QStringList report = Generate({
        "[IDS_KRVTITLE] [IDS_KRVAUTHOR]",
        "[IDS_KRVAUTHOR] <[IDS_KRVAUTHOREMAIL]> [IDS_KRVBANK] [IDS_KRVPRIORITY]",
        "[IDS_KRVMAPPRESETFILEDIR]|[IDS_KRVMAPPRESETFILENAME]",
        "[IDS_KRVCREATIONDATE] [IDS_KRVMEMORYUSE]",
        "[IDS_KRVMEMORYUSED]/[IDS_KRVMEMORYUSED]",
        "[IDS_KRVPRESETFILENAME] [IDS_KRVCREATEDDATE]",
        "[IDS_KRVCREATEDDATE]",
        "[IDS_KRVBANKFILES] [IDS_KRVBANKINTERNAL]",
        "[IDS_KRVBANKINTERNAL] [KRV_TAG_STARTBANK] kept, as a header line",
        "[ids_krvtitle] [IDS_KRVTITLE [IDS_KRVBANKFILENAME]",
        "[KRV_TAG_STARTBANK] dropped",
        "[KRV_TAG_ENDBANK]",
        "middle [IDS_KRVTITLE] [IDS_KRVBANK]",
        "[IDS_KRVMIDIMAPPING] [IDS_KRVMIDIPROG]",
        "[IDS_KRVMIDIPROG] [IDS_KRVVARIATION]",
        "[IDS_KRVVARIATION]",
        "[IDS_KRVCUBASEPROG] [IDS_KRVCUBASEBANK]",
        "[IDS_KRVCUBASEBANK] [IDS_KRVCUBASEBANK]",
        "[IDS_KRVTITLE] [KRV_TAG_STARTNICEPROG] dropped",
        "[KRV_TAG_ENDNICEPROG]",
        "[KRV_TAG_ENDPROG]",
        "trailer [IDS_KRVTITLE] [IDS_KRVMIDIPROG]",
    });
    const QString dir = m_dir.path() + u'/';
    EXPECT_EQ(report, QStringList({
                          "Korvane [IDS_KRVAUTHOR]",
                          "By the Korvane team <korvane@example.org> Banks [IDS_KRVPRIORITY]",
                          dir + "|report.htm",
                          "Creation date [IDS_KRVMEMORYUSE]",
                          "  0.0 Ko/  0.0 Ko",
                          "NO-PRESET MODE [IDS_KRVCREATEDDATE]",
                          "No-preset Mode",
                          "Files [IDS_KRVBANKINTERNAL]",
                          "Internal names [KRV_TAG_STARTBANK] kept, as a header line",
                          "[ids_krvtitle] [IDS_KRVTITLE [IDS_KRVBANKFILENAME]",
                          "middle [IDS_KRVTITLE] [IDS_KRVBANK]",
                          " MIDI mappings [IDS_KRVMIDIPROG]",
                          "MIDI prog [IDS_KRVVARIATION]",
                          "Variation",
                          "Cubase Prog. [IDS_KRVCUBASEBANK]",
                          "Cubase Bank Cubase Bank",
                          "trailer [IDS_KRVTITLE] [IDS_KRVMIDIPROG]",
                      }));
}

TEST_F(MappingReportTest, GenerationDateIsTheCurrentLocalTime)
{
    const QDateTime before = QDateTime::currentDateTime();
    const QStringList report = Generate({"<[IDS_KRVAUTHOR] [IDS_KRVMAPFILEDATE]>"});
    const QDateTime after = QDateTime::currentDateTime();
    ASSERT_EQ(report.size(), 1);
    const QRegularExpressionMatch match =
        QRegularExpression(
            R"(^<By the Korvane team File generation date: (\d\d/\d\d/\d{4} at \d\d:\d\d:\d\d)>$)")
            .match(report[0]);
    ASSERT_TRUE(match.hasMatch()) << report[0].toStdString();
    const QDateTime written =
        QDateTime::fromString(match.captured(1), QStringLiteral("dd/MM/yyyy 'at' HH:mm:ss"));
    EXPECT_GE(written, before.addMSecs(-before.time().msec()));
    EXPECT_LE(written, after);
}

TEST_F(MappingReportTest, BankBlockOncePerBankWithTheFirstPlaceholderOfEachLine)
{
    LoadBank("one.94b", "ONE", {{1, 1}});
    LoadBank("two.94b", "TWO", {}, {{2, 2}});
    ASSERT_EQ(m_table->SetBankPriority(1, 42), 0);
    const QStringList report = Generate({
        "[KRV_TAG_STARTBANK]",
        "[IDS_KRVBANKFILENAME] [IDS_KRVBANKINTERNALNAME] [IDS_KRVBANKFILENAME]",
        "[IDS_KRVBANKINTERNALNAME] [IDS_KRVBANKPRIORITY]",
        "[IDS_KRVBANKPRIORITY]|[IDS_KRVBANKMEMORYUSED]|[IDS_KRVTITLE]",
        "[IDS_KRVBANKMEMORYUSED]",
        "[KRV_TAG_ENDBANK]",
    });
    EXPECT_EQ(report, QStringList({
                          "one.94b [IDS_KRVBANKINTERNALNAME] one.94b",
                          "ONE [IDS_KRVBANKPRIORITY]",
                          "0|[IDS_KRVBANKMEMORYUSED]|[IDS_KRVTITLE]",
                          "  0.0 Ko",
                          "two.94b [IDS_KRVBANKINTERNALNAME] two.94b",
                          "TWO [IDS_KRVBANKPRIORITY]",
                          "42|[IDS_KRVBANKMEMORYUSED]|[IDS_KRVTITLE]",
                          "  0.0 Ko",
                      }));
}

TEST_F(MappingReportTest, BankMemoryIsShownInKilobytes)
{
    const QString path = MakeBank("big.94b", "BIG", {});
    QFile file(path);
    ASSERT_TRUE(file.resize(3 * 1024 * 1024));
    ASSERT_EQ(m_table->LoadBank(path), 0);
    const QStringList report = Generate({"[IDS_KRVMEMORYUSED]", "[KRV_TAG_STARTBANK]",
                                         "[IDS_KRVBANKMEMORYUSED]", "[KRV_TAG_ENDBANK]"});
    EXPECT_EQ(report, QStringList({"3072.0 Ko", "3072.0 Ko"}));
}

TEST_F(MappingReportTest, ProgramBlocksListInstrumentsThenDrumKitsWithTheFourNumbers)
{
    LoadBank("a.94b", "ALPHA", {{0, 8}, {127, 0}, {0, 0}}, {{0, 255}});
    LoadBank("b.94b", "BRAVO", {{3, 1}});
    QStringList expected = {"bank a.94b", "bank b.94b", " MIDI mappings"};
    expected << FirstBlock("ALPHA", "Instruments", 0, 8, 1, 1024) << NextBlock(127, 0, 128, 0)
             << NextBlock(0, 0, 1, 0) << FirstBlock("ALPHA", "Drumset", 0, 255, 1, 32640)
             << FirstBlock("BRAVO", "Instruments", 3, 1, 4, 128) << "end";
    EXPECT_EQ(Generate(kListingTemplate), expected);
}

TEST_F(MappingReportTest, ProgramBlockLinesReplaceOnlyTheirFirstPlaceholder)
{
    LoadBank("a.94b", "ALPHA", {{1, 2}, {3, 4}});
    const QStringList report = Generate({
        "[KRV_TAG_STARTBANK]",
        "[KRV_TAG_ENDBANK]",
        "[IDS_KRVMIDIMAPPING]",
        "[KRV_TAG_STARTNICEPROG]",
        "[IDS_KRVBANKCUBASEBANK] [IDS_KRVBANKREALNAME] [IDS_KRVBANKREALNAME]",
        "[IDS_KRVINSTRUMENT] [IDS_KRVBANKMIDIPROG]",
        "[IDS_KRVBANKCUBASEBANK] [IDS_KRVBANKCUBASEPROG] [IDS_KRVBANKKVARIATION]",
        "[KRV_TAG_ENDNICEPROG]",
        "[IDS_KRVBANKREALNAME] [IDS_KRVINSTRUMENT] [IDS_KRVBANKCUBASEBANK]",
        "[IDS_KRVBANKCUBASEPROG] [IDS_KRVBANKKVARIATION] [IDS_KRVVARIATION]",
        "[KRV_TAG_ENDPROG]",
    });
    EXPECT_EQ(report, QStringList({" MIDI mappings", "[IDS_KRVBANKCUBASEBANK] ALPHA ALPHA",
                                   "Instruments [IDS_KRVBANKMIDIPROG]",
                                   "[IDS_KRVBANKCUBASEBANK] [IDS_KRVBANKCUBASEPROG] 2",
                                   "[IDS_KRVBANKREALNAME] [IDS_KRVINSTRUMENT] 512",
                                   "[IDS_KRVBANKCUBASEPROG] 4 [IDS_KRVVARIATION]"}));
}

TEST_F(MappingReportTest, ABankWithoutDrumKitsGetsNoDrumsetBlock)
{
    LoadBank("a.94b", "ALPHA", {{7, 0}});
    QStringList expected = {"bank a.94b", " MIDI mappings"};
    expected << FirstBlock("ALPHA", "Instruments", 7, 0, 8, 0) << "end";
    EXPECT_EQ(Generate(kListingTemplate), expected);
}

TEST_F(MappingReportTest, ABankWhoseFileCannotBeReadEndsTheListing)
{
    const QString first = LoadBank("a.94b", "ALPHA", {{1, 0}});
    const QString second = LoadBank("b.94b", "BRAVO", {{2, 0}});
    LoadBank("c.94b", "CHARLIE", {{3, 0}});

    ASSERT_TRUE(QFile::remove(second));
    QStringList expected = {"bank a.94b", "bank b.94b", "bank c.94b", " MIDI mappings"};
    expected << FirstBlock("ALPHA", "Instruments", 1, 0, 2, 0) << "end";
    EXPECT_EQ(Generate(kListingTemplate), expected);

    ASSERT_TRUE(QFile::remove(first));
    expected = QStringList{"bank a.94b", "bank b.94b", "bank c.94b", " MIDI mappings", "end"};
    EXPECT_EQ(Generate(kListingTemplate), expected);
}

// Banks that were in the card before the program started have no recorded file.
TEST_F(MappingReportTest, BanksLoadedBeforeTheStartAreListedWithoutFileOrPrograms)
{
    LoadBank("a.94b", "ALPHA", {{1, 0}});
    m_table = std::make_unique<CBankTable>(*m_card);
    ASSERT_TRUE(m_table->Init(nullptr));
    EXPECT_EQ(Generate(kListingTemplate), QStringList({"bank ", " MIDI mappings", "end"}));
}

TEST_F(MappingReportTest, ATruncatedBankFileIsListedAsFarAsItGoes)
{
    const QString cut = LoadBank("a.94b", "ALPHA", {{1, 0}, {2, 0}, {3, 0}}, {{9, 0}});
    LoadBank("b.94b", "BRAVO", {{4, 0}});
    QFile file(cut);
    ASSERT_TRUE(file.resize(26 + 2 * 6 + 3)); // two whole instruments and half of the third
    QStringList expected = {"bank a.94b", "bank b.94b", " MIDI mappings"};
    expected << FirstBlock("ALPHA", "Instruments", 1, 0, 2, 0) << NextBlock(2, 0, 3, 0)
             << FirstBlock("BRAVO", "Instruments", 4, 0, 5, 0) << "end";
    EXPECT_EQ(Generate(kListingTemplate), expected);
}

TEST_F(MappingReportTest, WithNoBankOnlyTheFixedSectionsAreWritten)
{
    QStringList expected = {"header", "middle", " MIDI mappings", "end"};
    EXPECT_EQ(Generate(QStringList{"header"} + kListingTemplate.mid(0, 3) + QStringList{"middle"} +
                       kListingTemplate.mid(3)),
              expected);
}

// Each section ends at its marker or at the end of the template; the sections after a
// missing marker are empty.
TEST_F(MappingReportTest, ATemplateThatLacksMarkersEndsAtTheEndOfTheFile)
{
    LoadBank("a.94b", "ALPHA", {{1, 0}});
    LoadBank("b.94b", "BRAVO", {{2, 0}});
    EXPECT_EQ(Generate({"[IDS_KRVTITLE]", "", "[IDS_KRVBANKFILENAME] [IDS_KRVMIDIPROG]"}),
              QStringList({"Korvane", "", "[IDS_KRVBANKFILENAME] [IDS_KRVMIDIPROG]"}));
    EXPECT_EQ(Generate({"top", "[KRV_TAG_STARTBANK]", "[IDS_KRVBANKINTERNALNAME]"}),
              QStringList({"top", "ALPHA", "BRAVO"}));
    EXPECT_EQ(Generate(kListingTemplate.mid(0, 5) + QStringList{"[IDS_KRVBANKREALNAME]"}),
              QStringList({"bank a.94b", "bank b.94b", " MIDI mappings", "ALPHA", "BRAVO"}));
    EXPECT_EQ(Generate(kListingTemplate.mid(0, 4)),
              QStringList({"bank a.94b", "bank b.94b", " MIDI mappings"}));
    EXPECT_EQ(Generate({}), QStringList());
}

TEST_F(MappingReportTest, InsertedTextsAreHtmlEscaped)
{
    LoadBank("R&B's.94b", "<b>x</b>", {{1, 0}});
    LoadBank("ctl.94b", "A\x01Z", {});
    const QString reportPath = m_dir.filePath(QStringLiteral("a<\"b\">.htm"));
    CMappingReport report(*m_table,
                          WriteTemplate(QStringList{"[IDS_KRVMAPPRESETFILENAME]"} +
                                        kListingTemplate.mid(0, 6) +
                                        QStringList{"[KRV_TAG_ENDNICEPROG]", "[KRV_TAG_ENDPROG]"}),
                          reportPath);
    ASSERT_TRUE(report.Generate());
    EXPECT_EQ(ReadReport(reportPath),
              QStringList({"a&lt;&quot;b&quot;&gt;.htm", "bank R&amp;B&#39;s.94b", "bank ctl.94b",
                           " MIDI mappings", "&lt;b&gt;x&lt;/b&gt;"}));

    EXPECT_EQ(Generate({"[KRV_TAG_STARTBANK]", "[IDS_KRVBANKINTERNALNAME]"}),
              QStringList({"&lt;b&gt;x&lt;/b&gt;", QStringLiteral("A\uFFFDZ")}));
}

// A template that is not UTF-8 is Windows-1252: its bytes come out as they are, and the
// values go in as Windows-1252 too, with HTML references for what it cannot hold. Bank
// names are Windows-1252 whatever the template; a file name that is not UTF-8 shows its
// bytes as Windows-1252 characters.
TEST_F(MappingReportTest, ATemplateInWindows1252IsWrittenUnchangedAroundItsValues)
{
    LoadBank(QStringLiteral("R&B\u00e9.94b"), "\x80<\x81>", {});
    LoadBank(QStringLiteral("\u0394.94b"), "D", {});
    const QByteArray latinFile = QFile::encodeName(m_dir.path()) + "/latin\xff.94b";
    CBankFileWriter("L").Write(latinFile.toStdString());
    ASSERT_LT(m_table->LoadBank(CNativePath::Decode(latinFile)), SYNTH_LOAD_ERROR_BASE);

    const QString templatePath =
        WriteFile(QStringLiteral("latin.mas"), "[KRV_TAG_STARTBANK]\n"
                                               "\xab[IDS_KRVBANKINTERNALNAME]\xbb\n"
                                               "\x93[IDS_KRVBANKFILENAME]\x94\n"
                                               "[KRV_TAG_ENDBANK]\n"
                                               "\x80 end\x81\xff\n");
    const QString reportPath = m_dir.filePath(QStringLiteral("report.htm"));
    CMappingReport report(*m_table, templatePath, reportPath);
    ASSERT_TRUE(report.Generate());
    QFile written(reportPath);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_EQ(written.readAll(),
              QByteArray("\xab\x80&lt;&#65533;&gt;\xbb\n\x93R&amp;B\xe9.94b\x94\n"
                         "\xab"
                         "D\xbb\n\x93&#916;.94b\x94\n"
                         "\xabL\xbb\n\x93latin\xff.94b\x94\n"
                         "\x80 end\x81\xff\n"));

    EXPECT_EQ(
        Generate({"[KRV_TAG_STARTBANK]", "[IDS_KRVBANKINTERNALNAME]", "[IDS_KRVBANKFILENAME]"}),
        QStringList({QStringLiteral("\u20ac&lt;\uFFFD&gt;"), QStringLiteral("R&amp;B\u00e9.94b"),
                     "D", QStringLiteral("\u0394.94b"), "L", QStringLiteral("latin\u00ff.94b")}));
}

TEST_F(MappingReportTest, TemplateLinesMayEndInCrLf)
{
    const QString templatePath =
        WriteFile(QStringLiteral("crlf.mas"), "[IDS_KRVTITLE]\r\nplain\r\nlast");
    const QString reportPath = m_dir.filePath(QStringLiteral("report.htm"));
    CMappingReport report(*m_table, templatePath, reportPath);
    ASSERT_TRUE(report.Generate());
    EXPECT_EQ(ReadReport(reportPath), QStringList({"Korvane", "plain", "last"}));
}

// A report is written whole or not at all: a failure leaves what was there before.
TEST_F(MappingReportTest, AReportThatCannotBeWrittenLeavesNothingBehind)
{
    const QString reportPath = WriteFile(QStringLiteral("old.htm"), "old report\n");
    const QString missing = m_dir.filePath(QStringLiteral("missing.mas"));
    CMappingReport noTemplate(*m_table, missing, reportPath);
    EXPECT_FALSE(noTemplate.Generate());
    EXPECT_TRUE(noTemplate.ErrorString().contains(missing))
        << noTemplate.ErrorString().toStdString();
    CMappingReport directoryTemplate(*m_table, m_dir.path(), reportPath);
    EXPECT_FALSE(directoryTemplate.Generate());
    // A huge template is refused before a byte of it is read (the file is sparse).
    QFile huge(m_dir.filePath(QStringLiteral("huge.mas")));
    ASSERT_TRUE(huge.open(QIODevice::WriteOnly));
    ASSERT_TRUE(huge.resize(qint64(2) << 30));
    huge.close();
    CMappingReport hugeTemplate(*m_table, huge.fileName(), reportPath);
    EXPECT_FALSE(hugeTemplate.Generate());
    EXPECT_EQ(hugeTemplate.ErrorString(),
              huge.fileName() + ": Too large for a report template (more than 4 MiB)");
    ASSERT_TRUE(huge.remove());
    EXPECT_EQ(ReadReport(reportPath), QStringList{"old report"});

    const QString templatePath = WriteTemplate({"[IDS_KRVTITLE]"});
    const QString noDirectory = m_dir.filePath(QStringLiteral("no-such-dir/report.htm"));
    CMappingReport noTarget(*m_table, templatePath, noDirectory);
    EXPECT_FALSE(noTarget.Generate());
    EXPECT_TRUE(noTarget.ErrorString().contains(noDirectory));
    CMappingReport directoryTarget(*m_table, templatePath, m_dir.path());
    EXPECT_FALSE(directoryTarget.Generate());

    const QStringList before = QDir(m_dir.path()).entryList(QDir::Files);
    EXPECT_TRUE(before.contains("old.htm"));
    EXPECT_EQ(before.filter(".htm").size(), 1) << before.join(' ').toStdString();
}

TEST_F(MappingReportTest, WriteMidiMappingUsesTheTemplateBesideTheExecutable)
{
    CExecutableDir::Override(m_dir.path());
    const QString reportPath = m_dir.filePath(QStringLiteral("out.htm"));
    QString error;
    EXPECT_FALSE(CMappingReport::WriteMidiMapping(*m_table, reportPath, &error));
    EXPECT_TRUE(error.contains(m_dir.filePath(QStringLiteral("krv.mas")))) << error.toStdString();
    EXPECT_FALSE(QFile::exists(reportPath));

    WriteTemplate({"[IDS_KRVTITLE]"});
    EXPECT_TRUE(CMappingReport::WriteMidiMapping(*m_table, reportPath, &error));
    CExecutableDir::Override(QString());
    EXPECT_EQ(ReadReport(reportPath), QStringList{"Korvane"});
}

TEST(MappingReportPreset, NameIsTheFileNameUpToItsFirstDotInUpperCase)
{
    EXPECT_EQ(CMappingReport::PresetName("/home/me/My.Set.pre"), "MY");
    EXPECT_EQ(CMappingReport::PresetName("/home/me.d/banks"), "BANKS");
    EXPECT_EQ(CMappingReport::PresetName("No-preset Mode"), "NO-PRESET MODE");
    EXPECT_EQ(CMappingReport::PresetName("Untitled"), "UNTITLED");
}

TEST(MappingReportPreset, CreationDateOrTheStateWithoutFile)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QDate before = QDate::currentDate();
    const QString preset = dir.filePath(QStringLiteral("My.Set.pre"));
    QFile file(preset);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    const QString date = CMappingReport::PresetCreationDate(preset);
    EXPECT_TRUE(date == before.toString(u"dd/MM/yyyy") ||
                date == QDate::currentDate().toString(u"dd/MM/yyyy"))
        << date.toStdString();
    const QByteArray odd = QFile::encodeName(dir.path()) + "/odd\xff.pre";
    ::close(::creat(odd.constData(), 0600));
    EXPECT_EQ(CMappingReport::PresetCreationDate(CNativePath::Decode(odd)), date);

    EXPECT_EQ(CMappingReport::PresetCreationDate("No-preset Mode"), "No-preset Mode");
    EXPECT_EQ(CMappingReport::PresetCreationDate("Untitled"), "Untitled");
    EXPECT_EQ(CMappingReport::PresetCreationDate(dir.filePath("gone.pre")), "");
    EXPECT_EQ(CMappingReport::PresetCreationDate(dir.path()), "") << "a directory is no preset";
    const QString workingDir = QDir::currentPath();
    QDir::setCurrent(dir.path());
    EXPECT_EQ(CMappingReport::PresetCreationDate("My.Set.pre"), "") << "only a full path names one";
    QDir::setCurrent(workingDir);
}

TEST_F(MappingReportTest, SoundFontPresetsAreListedByNameBesideBankFiles)
{
    CSoundFontWriter font("Studio Set");
    font.AddPreset("Violin", 0, 40);
    font.AddPreset("\x93Slow\x94 \x96 Violin", 8, 40); // Windows-1252 quotes and dash
    font.AddPreset("Standard", 128, 0);
    const QString path = m_dir.filePath(QStringLiteral("studio.sf2"));
    ASSERT_TRUE(font.Write(path.toStdString()));
    ASSERT_LT(m_table->LoadBank(path), SYNTH_LOAD_ERROR_BASE);
    LoadBank("piano.94b", "PIANO", {{5, 1}});

    const QStringList report = Generate({
        "[KRV_TAG_STARTBANK]",
        "[IDS_KRVBANKINTERNALNAME]",
        "[KRV_TAG_ENDBANK]",
        "[IDS_KRVMIDIMAPPING]",
        "[IDS_KRVPROGNAME]",
        "[KRV_TAG_STARTNICEPROG]",
        "[IDS_KRVBANKREALNAME]",
        "[IDS_KRVINSTRUMENT]",
        "prog [IDS_KRVBANKMIDIPROG]",
        "[IDS_KRVBANKCUBASEBANK]",
        "name [IDS_KRVBANKPROGNAME]",
        "[KRV_TAG_ENDNICEPROG]",
        "prog [IDS_KRVBANKMIDIPROG]",
        "[IDS_KRVBANKCUBASEBANK]",
        "name [IDS_KRVBANKPROGNAME]",
        "[KRV_TAG_ENDPROG]",
    });
    EXPECT_EQ(report, QStringList({"Studio Set",
                                   "PIANO",
                                   " MIDI mappings",
                                   "Name",
                                   "Studio Set",
                                   "Instruments",
                                   "prog 40",
                                   "0",
                                   "name Violin",
                                   "prog 40",
                                   "1024",
                                   QStringLiteral("name \u201cSlow\u201d \u2013 Violin"),
                                   "Studio Set",
                                   "Drumset",
                                   "prog 0",
                                   "0",
                                   "name Standard",
                                   "PIANO",
                                   "Instruments",
                                   "prog 5",
                                   "128",
                                   "name "}));
}
