// Every instrument and drum kit of the banks in the card, one row each, read with the
// report's bank reader, and which bank answers each bank:program: of the banks that hold
// it, the one the card searches first.
#pragma once

#include "BankFileInfo.h"
#include "BankProgramEntry.h"

#include <QDateTime>
#include <QHash>
#include <QString>

#include <cstdint>
#include <map>
#include <vector>

class CBankTable;

class CBankContents
{
public:
    struct Row
    {
        uint16_t bankId = 0;
        QString bankName; // the name the card gives the bank, as the main list shows it
        bool drumKit = false;
        BankProgramEntry program;
        uint16_t answeredBy = 0; // the ID of the bank that answers this bank:program

        // A bank searched before this one holds the same bank:program.
        bool IsHidden() const { return answeredBy != bankId; }
        // The bank number a synthesizer selects the program by, as SoundFonts number their
        // presets: the variation, or 128 for a drum kit.
        int SynthBank() const;
        bool operator==(const Row&) const = default;
    };

    // Reads the programs of the table's banks: per bank in the order of the card's status,
    // its instruments, then its drum kits, as the report lists them. A bank whose file
    // cannot be read has no rows. A file read before and unchanged since (same size and
    // modification time) is not read again. True when the rows differ from the last ones.
    bool Read(const CBankTable& table);

    const std::vector<Row>& Rows() const { return m_rows; }
    // The name of a bank of the last read; "" for an ID the card did not hold.
    QString BankName(uint16_t id) const;
    // Whether a filter typed by the user picks the row: the name holds the text (in any
    // case), or the text is its MIDI or Cubase program number, or "variation:program".
    static bool Matches(const Row& row, const QString& filter);

private:
    struct BankFile
    {
        qint64 size = -1;
        QDateTime modified;
        bool readable = false;
        CBankFileInfo info;
    };

    const BankFile& ReadFile(const QString& path);
    void AppendRows(uint16_t id, const QString& name, const CBankFileInfo& info);
    void FindAnswers(const std::vector<uint16_t>& searchOrder);

    QHash<QString, BankFile> m_files;
    std::map<uint16_t, QString> m_bankNames;
    std::vector<Row> m_rows;
};
