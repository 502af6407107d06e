// Writes the MIDI mapping report: the user-editable template "krv.mas", divided into
// sections by marker lines, expanded with the banks in the card and the program lists
// of their files.
#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <utility>
#include <vector>

class CBankFileInfo;
class CBankTable;
class QFile;
class QIODevice;
class QTextStream;

class CMappingReport
{
public:
    CMappingReport(const CBankTable& bankTable, const QString& templatePath,
                   const QString& reportPath);

    // The report path that stands for the standard output, as for most command-line tools
    // (the window only ever hands absolute paths).
    static constexpr QLatin1StringView kStandardOutput{"-"};

    // Writes the report file whole from the template, or leaves it as it was. False when
    // the template cannot be read or the report cannot be written; ErrorString says why.
    bool Generate();
    // The report of the template read from input, written to output in the template's
    // encoding: UTF-8 when the template is valid UTF-8, else Windows-1252.
    void Generate(QIODevice& input, QIODevice& output);
    QString ErrorString() const { return m_error; }

    // Writes the report of the bank table's banks to reportPath from the template
    // "krv.mas" beside the executable. False when the report could not be written, with
    // the reason in *error when given.
    static bool WriteMidiMapping(const CBankTable& bankTable, const QString& reportPath,
                                 QString* error = nullptr);

    // The preset as the report names it: the preset file's name up to its first dot, in
    // upper case (MY for My.Set.pre); a preset state without file keeps its whole name.
    static QString PresetName(const QString& presetPath);
    // The preset file's creation date, "dd/MM/yyyy" in local time. Without a preset file
    // the state's own name stands in for the date: "No-preset Mode", or "Untitled" for a
    // new preset not yet saved; a preset file that has gone missing gives "".
    static QString PresetCreationDate(const QString& presetPath);

private:
    // What a header or mapping header line turned out to be.
    enum class LineStatus : unsigned
    {
        Processed = 0x0BADCAFE,
        BankBlockStart = 0x0BADCAFF,
        ProgramBlocksStart = 0x0BADCB03
    };

    // Placeholders tried in order, each with the text that replaces it.
    using Choices = std::vector<std::pair<QLatin1StringView, std::function<QString()>>>;

    bool GenerateToStandardOutput(QFile& input);
    void Expand(QString& templateText, QString& report);
    LineStatus ProcessHeaderLine(QString& line) const;
    void ExpandBankBlock(QTextStream& output) const;
    static LineStatus ProcessMappingHeaderLine(QString& line);
    void ExpandProgramBlocks(QTextStream& output) const;
    void ExpandList(QTextStream& output, const CBankFileInfo& bank, bool drumKits) const;
    static void ExpandProgram(QTextStream& output, const QStringList& block,
                              const Choices& choices);

    static void ReadSection(QTextStream& input, QStringList& lines, QLatin1StringView endMarker);

    QString ReportDirectory() const;
    QString ReportFileName() const;

    static bool ReplaceFirstOf(QString& line, const Choices& choices);
    static void Replace(QString& line, QLatin1StringView placeholder, const QString& value);

    QString m_strTemplatePath;
    QString m_strReportPath;
    QStringList m_firstProgLines;
    QStringList m_blockLines;
    const CBankTable* m_pBankTable;
    QString m_error;
};
