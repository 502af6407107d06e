#include "MappingReport.h"

#include "BankFileInfo.h"
#include "BankTable.h"
#include "ExecutableDir.h"
#include "MemoryFormat.h"
#include "NativePath.h"
#include "ResourceIds.h"
#include "StringTable.h"
#include "WholeFile.h"
#include "Windows1252.h"

#include <QBuffer>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>

#include <algorithm>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

constexpr int IDS_TITLE = 183;
constexpr int IDS_AUTHOR = 184;
constexpr int IDS_AUTHOR_EMAIL = 185;
constexpr int IDS_FILE_DATE = 188;
constexpr int IDS_CREATION_DATE = 189;
constexpr int IDS_MEMORY_USE = 190;
constexpr int IDS_BANK = 191;
constexpr int IDS_PRIORITY = 192;
constexpr int IDS_BANK_FILES = 193;
constexpr int IDS_BANK_INTERNAL = 194;
constexpr int IDS_MIDI_MAPPING = 195;
constexpr int IDS_TEMPLATE = 211;

// Far beyond any real template (the one shipped is a few KiB); a larger file is refused
// before it is read, since the whole report is built in memory.
constexpr qint64 kMaxTemplateBytes = 4 * 1024 * 1024;

// Section markers.
constexpr auto START_BANK = "[KRV_TAG_STARTBANK]"_L1;
constexpr auto END_BANK = "[KRV_TAG_ENDBANK]"_L1;
constexpr auto START_PROGRAMS = "[KRV_TAG_STARTNICEPROG]"_L1;
constexpr auto END_FIRST_PROGRAM = "[KRV_TAG_ENDNICEPROG]"_L1;
constexpr auto END_NEXT_PROGRAM = "[KRV_TAG_ENDPROG]"_L1;

// Placeholders of the header.
constexpr auto TITLE = "[IDS_KRVTITLE]"_L1;
constexpr auto AUTHOR = "[IDS_KRVAUTHOR]"_L1;
constexpr auto AUTHOR_EMAIL = "[IDS_KRVAUTHOREMAIL]"_L1;
constexpr auto REPORT_DIR = "[IDS_KRVMAPPRESETFILEDIR]"_L1;
constexpr auto REPORT_NAME = "[IDS_KRVMAPPRESETFILENAME]"_L1;
constexpr auto FILE_DATE = "[IDS_KRVMAPFILEDATE]"_L1;
constexpr auto CREATION_DATE = "[IDS_KRVCREATIONDATE]"_L1;
constexpr auto MEMORY_USE = "[IDS_KRVMEMORYUSE]"_L1;
constexpr auto PRESET_NAME = "[IDS_KRVPRESETFILENAME]"_L1;
constexpr auto CREATED_DATE = "[IDS_KRVCREATEDDATE]"_L1;
constexpr auto MEMORY_USED = "[IDS_KRVMEMORYUSED]"_L1;
constexpr auto BANK = "[IDS_KRVBANK]"_L1;
constexpr auto PRIORITY = "[IDS_KRVPRIORITY]"_L1;
constexpr auto BANK_FILES = "[IDS_KRVBANKFILES]"_L1;
constexpr auto BANK_INTERNAL = "[IDS_KRVBANKINTERNAL]"_L1;

// Placeholders of the bank block.
constexpr auto BANK_FILE_NAME = "[IDS_KRVBANKFILENAME]"_L1;
constexpr auto BANK_INTERNAL_NAME = "[IDS_KRVBANKINTERNALNAME]"_L1;
constexpr auto BANK_PRIORITY = "[IDS_KRVBANKPRIORITY]"_L1;
constexpr auto BANK_MEMORY_USED = "[IDS_KRVBANKMEMORYUSED]"_L1;

// Placeholders of the mapping header.
constexpr auto MIDI_MAPPING = "[IDS_KRVMIDIMAPPING]"_L1;
constexpr auto MIDI_PROG = "[IDS_KRVMIDIPROG]"_L1;
constexpr auto VARIATION = "[IDS_KRVVARIATION]"_L1;
constexpr auto CUBASE_PROG = "[IDS_KRVCUBASEPROG]"_L1;
constexpr auto CUBASE_BANK = "[IDS_KRVCUBASEBANK]"_L1;
constexpr auto PROGRAM_NAME_HEADING = "[IDS_KRVPROGNAME]"_L1;

// Placeholders of the program blocks.
constexpr auto BANK_REAL_NAME = "[IDS_KRVBANKREALNAME]"_L1;
constexpr auto LIST_NAME = "[IDS_KRVINSTRUMENT]"_L1;
constexpr auto PROGRAM = "[IDS_KRVBANKMIDIPROG]"_L1;
constexpr auto PROGRAM_VARIATION = "[IDS_KRVBANKKVARIATION]"_L1;
constexpr auto PROGRAM_CUBASE_PROG = "[IDS_KRVBANKCUBASEPROG]"_L1;
constexpr auto PROGRAM_CUBASE_BANK = "[IDS_KRVBANKCUBASEBANK]"_L1;
// The preset's own name, which SoundFonts give and bank files do not.
constexpr auto PROGRAM_NAME = "[IDS_KRVBANKPROGNAME]"_L1;

std::function<QString()> Text(int id)
{
    return [id] { return CStringTable::Load(id); };
}

// The report is HTML: inserted texts (file names, bank names read from files) must show
// as they are and never add mark-up. Control characters, which a bank name's raw bytes
// may hold, have no place in an HTML document either.
QString HtmlEscaped(const QString& text)
{
    QString escaped = text.toHtmlEscaped();
    escaped.replace(u'\'', u"&#39;"_s);
    for (QChar& c : escaped) {
        if (c.category() == QChar::Other_Control)
            c = QChar::ReplacementCharacter;
    }
    return escaped;
}

// A file's name as the report shows it; see CNativePath::Display.
QString FileName(const QString& path)
{
    return CNativePath::Display(path.mid(path.lastIndexOf(u'/') + 1));
}

QString Problem(const QString& path, const QString& reason)
{
    return u"%1: %2"_s.arg(QDir::toNativeSeparators(path), reason);
}

bool ReadLine(QTextStream& input, QString& line)
{
    if (input.atEnd())
        return false;
    line = input.readLine();
    return true;
}

void WriteLine(QTextStream& output, const QString& line)
{
    output << line << '\n';
}

uint32_t BankCount(const SynthStatus& status)
{
    return std::min<uint32_t>(status.bankCount, MAX_BANKS);
}

QString BankPath(const CBankTable& table, const SynthBankEntry& entry)
{
    return entry.id < MAX_BANKS ? table.GetBankPath(static_cast<uint16_t>(entry.id)) : QString();
}

} // namespace

CMappingReport::CMappingReport(const CBankTable& bankTable, const QString& templatePath,
                               const QString& reportPath)
    : m_strTemplatePath(templatePath), m_strReportPath(reportPath), m_pBankTable(&bankTable)
{
}

bool CMappingReport::WriteMidiMapping(const CBankTable& bankTable, const QString& reportPath,
                                      QString* error)
{
    const QString directory = CExecutableDir::Path();
    QString problem = u"The program's directory cannot be found."_s;
    if (!directory.isEmpty()) {
        CMappingReport report(bankTable, QDir(directory).filePath(CStringTable::Load(IDS_TEMPLATE)),
                              reportPath);
        if (report.Generate())
            return true;
        problem = report.ErrorString();
    }
    if (error != nullptr)
        *error = problem;
    return false;
}

bool CMappingReport::Generate()
{
    m_error.clear();
    const QFileInfo templateFile(m_strTemplatePath);
    QFile input(m_strTemplatePath);
    if (!templateFile.isFile()) {
        m_error =
            Problem(m_strTemplatePath, templateFile.exists() ? u"Not a file"_s : u"No such file"_s);
        return false;
    }
    if (templateFile.size() > kMaxTemplateBytes) {
        m_error =
            Problem(m_strTemplatePath, u"Too large for a report template (more than %1 MiB)"_s.arg(
                                           kMaxTemplateBytes / (1024 * 1024)));
        return false;
    }
    if (!input.open(QIODevice::ReadOnly)) {
        m_error = Problem(m_strTemplatePath, input.errorString());
        return false;
    }
    if (m_strReportPath == kStandardOutput)
        return GenerateToStandardOutput(input);
    // The report replaces the target only once it is complete; a link is written through.
    QString problem;
    const bool written = CWholeFile::Write(
        m_strReportPath,
        [&](QIODevice& output) {
            Generate(input, output);
            return input.error() == QFileDevice::NoError;
        },
        &problem);
    if (input.error() != QFileDevice::NoError)
        m_error = Problem(m_strTemplatePath, input.errorString());
    else if (!written)
        m_error = Problem(m_strReportPath, problem);
    return written;
}

// The whole report is made before any of it is written, so that a template that cannot be
// read to its end writes nothing.
bool CMappingReport::GenerateToStandardOutput(QFile& input)
{
    QBuffer report;
    report.open(QIODevice::WriteOnly);
    Generate(input, report);
    if (input.error() != QFileDevice::NoError) {
        m_error = Problem(m_strTemplatePath, input.errorString());
        return false;
    }
    QFile output;
    if (!output.open(STDOUT_FILENO, QIODevice::WriteOnly) ||
        output.write(report.data()) != report.size() || !output.flush()) {
        m_error = Problem(u"standard output"_s, output.errorString());
        return false;
    }
    return true;
}

// The template's sections follow each other in a fixed order, each ended by its marker
// line, which is not written. A template that lacks a marker has its section run to the
// end of the file; the sections after it are then empty.
//
// The report keeps the template's own bytes around the values: a template that is valid
// UTF-8 is read and written as UTF-8, any other as Windows-1252, whose bytes all read as
// characters and write back as the same bytes. Values are written in that encoding too.
void CMappingReport::Generate(QIODevice& input, QIODevice& output)
{
    // The size was checked before; a file that grew since (or a special file that tells no
    // size) is still read no further than a template can be.
    const QByteArray bytes = input.read(kMaxTemplateBytes);
    const bool utf8 = bytes.isValidUtf8();
    QString templateText = utf8 ? QString::fromUtf8(bytes) : CWindows1252::Decode(bytes);
    QString report;
    Expand(templateText, report);
    output.write(utf8 ? report.toUtf8() : CWindows1252::EncodeForHtml(report));
}

void CMappingReport::Expand(QString& templateText, QString& report)
{
    QTextStream in(&templateText, QIODevice::ReadOnly);
    QTextStream out(&report, QIODevice::WriteOnly);
    QString line;

    while (ReadLine(in, line) && ProcessHeaderLine(line) != LineStatus::BankBlockStart)
        WriteLine(out, line);

    m_blockLines.clear();
    ReadSection(in, m_blockLines, END_BANK);
    ExpandBankBlock(out);

    // The middle section is written as it stands, up to the line that opens the mapping
    // header.
    bool inMappingHeader = false;
    while (!inMappingHeader && ReadLine(in, line)) {
        inMappingHeader = line.contains(MIDI_MAPPING);
        if (!inMappingHeader)
            WriteLine(out, line);
    }
    while (inMappingHeader && ProcessMappingHeaderLine(line) != LineStatus::ProgramBlocksStart) {
        WriteLine(out, line);
        inMappingHeader = ReadLine(in, line);
    }

    m_firstProgLines.clear();
    ReadSection(in, m_firstProgLines, END_FIRST_PROGRAM);
    m_blockLines.clear();
    ReadSection(in, m_blockLines, END_NEXT_PROGRAM);
    ExpandProgramBlocks(out);

    while (ReadLine(in, line))
        WriteLine(out, line);
}

// Stores the lines up to the end marker's line or the end of the file.
void CMappingReport::ReadSection(QTextStream& input, QStringList& lines,
                                 QLatin1StringView endMarker)
{
    QString line;
    while (ReadLine(input, line) && !line.contains(endMarker))
        lines.append(line);
}

// The title ends a line's handling; the author, contact and report file placeholders
// are all replaced; of the others only the first the line holds is.
CMappingReport::LineStatus CMappingReport::ProcessHeaderLine(QString& line) const
{
    if (line.contains(TITLE)) {
        Replace(line, TITLE, CStringTable::Load(IDS_TITLE));
        return LineStatus::Processed;
    }
    Replace(line, AUTHOR, CStringTable::Load(IDS_AUTHOR));
    Replace(line, AUTHOR_EMAIL, CStringTable::Load(IDS_AUTHOR_EMAIL));
    Replace(line, REPORT_DIR, ReportDirectory());
    Replace(line, REPORT_NAME, ReportFileName());
    const Choices choices = {
        {FILE_DATE,
         [] {
             return CStringTable::Load(IDS_FILE_DATE) +
                    QDateTime::currentDateTime().toString(u"dd/MM/yyyy 'at' HH:mm:ss");
         }},
        {CREATION_DATE, Text(IDS_CREATION_DATE)},
        {MEMORY_USE, Text(IDS_MEMORY_USE)},
        {PRESET_NAME, [this] { return PresetName(m_pBankTable->GetPresetPath()); }},
        {CREATED_DATE, [this] { return PresetCreationDate(m_pBankTable->GetPresetPath()); }},
        {MEMORY_USED, [this] { return CMemoryFormat::Kilobytes(m_pBankTable->GetUsedMemory()); }},
        {BANK, Text(IDS_BANK)},
        {PRIORITY, Text(IDS_PRIORITY)},
        {BANK_FILES, Text(IDS_BANK_FILES)},
        {BANK_INTERNAL, Text(IDS_BANK_INTERNAL)},
    };
    if (ReplaceFirstOf(line, choices))
        return LineStatus::Processed;
    return line.contains(START_BANK) ? LineStatus::BankBlockStart : LineStatus::Processed;
}

// The bank block once per bank in the card, in the order of the card's status.
void CMappingReport::ExpandBankBlock(QTextStream& output) const
{
    const SynthStatus& status = m_pBankTable->Status();
    for (uint16_t position = 0; position < BankCount(status); ++position) {
        const SynthBankEntry& entry = status.banks[position];
        const Choices choices = {
            {BANK_FILE_NAME, [&] { return FileName(BankPath(*m_pBankTable, entry)); }},
            {BANK_INTERNAL_NAME, [&] { return m_pBankTable->GetBankName(position); }},
            {BANK_PRIORITY, [&] { return QString::number(entry.priority); }},
            {BANK_MEMORY_USED, [&] { return CMemoryFormat::Kilobytes(entry.size); }},
        };
        for (QString line : m_blockLines) {
            ReplaceFirstOf(line, choices);
            WriteLine(output, line);
        }
    }
}

CMappingReport::LineStatus CMappingReport::ProcessMappingHeaderLine(QString& line)
{
    const Choices choices = {
        {MIDI_MAPPING, Text(IDS_MIDI_MAPPING)}, {MIDI_PROG, Text(IDS_MIDI_PROG)},
        {VARIATION, Text(IDS_VARIATION)},       {CUBASE_PROG, Text(IDS_CUBASE_PROG)},
        {CUBASE_BANK, Text(IDS_CUBASE_BANK)},   {PROGRAM_NAME_HEADING, Text(IDS_PROGRAM_NAME)},
    };
    if (ReplaceFirstOf(line, choices))
        return LineStatus::Processed;
    return line.contains(START_PROGRAMS) ? LineStatus::ProgramBlocksStart : LineStatus::Processed;
}

// Every instrument and then every drum kit of each bank's file. A bank whose file cannot
// be read ends the listing: the banks before it stay, it and those after it are left out.
void CMappingReport::ExpandProgramBlocks(QTextStream& output) const
{
    const SynthStatus& status = m_pBankTable->Status();
    CBankFileInfo bank;
    for (uint32_t position = 0; position < BankCount(status); ++position) {
        if (!bank.Read(BankPath(*m_pBankTable, status.banks[position])))
            return;
        ExpandList(output, bank, false);
        ExpandList(output, bank, true);
    }
}

// A list's first record gets the first-program block, which names the bank and the list;
// every further record gets the next-program block.
void CMappingReport::ExpandList(QTextStream& output, const CBankFileInfo& bank, bool drumKits) const
{
    const int count = drumKits ? bank.GetDrumKitCount() : bank.GetInstrumentCount();
    for (int index = 0; index < count; ++index) {
        const BankProgramEntry entry =
            drumKits ? bank.GetDrumKit(index) : bank.GetInstrument(index);
        Choices choices = {
            {PROGRAM, [&] { return QString::number(entry.program); }},
            {PROGRAM_VARIATION, [&] { return QString::number(entry.variation); }},
            {PROGRAM_CUBASE_PROG, [&] { return QString::number(entry.CubaseProgram()); }},
            {PROGRAM_CUBASE_BANK, [&] { return QString::number(entry.CubaseBank()); }},
            {PROGRAM_NAME, [&] { return entry.name; }},
        };
        if (index > 0) {
            ExpandProgram(output, m_blockLines, choices);
            continue;
        }
        const QString listName = drumKits ? u"Drumset"_s : u"Instruments"_s;
        choices.insert(choices.begin(), {{BANK_REAL_NAME, [&] { return bank.GetName(); }},
                                         {LIST_NAME, [&] { return listName; }}});
        ExpandProgram(output, m_firstProgLines, choices);
    }
}

void CMappingReport::ExpandProgram(QTextStream& output, const QStringList& block,
                                   const Choices& choices)
{
    for (QString line : block) {
        ReplaceFirstOf(line, choices);
        WriteLine(output, line);
    }
}

// Replaces every occurrence of the first placeholder of choices that the line holds;
// false when it holds none.
bool CMappingReport::ReplaceFirstOf(QString& line, const Choices& choices)
{
    for (const auto& [placeholder, value] : choices) {
        if (line.contains(placeholder)) {
            Replace(line, placeholder, value());
            return true;
        }
    }
    return false;
}

void CMappingReport::Replace(QString& line, QLatin1StringView placeholder, const QString& value)
{
    if (line.contains(placeholder))
        line.replace(placeholder, HtmlEscaped(value));
}

QString CMappingReport::ReportDirectory() const
{
    return m_strReportPath.left(m_strReportPath.lastIndexOf(u'/') + 1);
}

QString CMappingReport::ReportFileName() const
{
    return FileName(m_strReportPath);
}

QString CMappingReport::PresetName(const QString& presetPath)
{
    const QString name = FileName(presetPath);
    return name.left(name.indexOf(u'.')).toUpper();
}

QString CMappingReport::PresetCreationDate(const QString& presetPath)
{
    if (presetPath == CStringTable::Load(IDS_NO_PRESET_MODE) ||
        presetPath == CStringTable::Load(IDS_UNTITLED))
        return presetPath;
    // A relative path is no preset file: it would name a file in whatever directory the
    // program happens to run in.
    // The times are taken from the open file: its name may hold bytes that are not UTF-8.
    QFile file;
    if (!QFileInfo(presetPath).isAbsolute() || !CNativePath::OpenRegular(presetPath, file))
        return QString();
    QDateTime created = file.fileTime(QFileDevice::FileBirthTime);
    if (!created.isValid())
        created = file.fileTime(QFileDevice::FileModificationTime);
    return created.toString(u"dd/MM/yyyy");
}
