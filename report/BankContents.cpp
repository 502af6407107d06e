#include "BankContents.h"

#include "BankTable.h"
#include "SoundFontBanks.h"

#include <QFileInfo>

#include <algorithm>
#include <tuple>
#include <unordered_map>

namespace {

// What selects a program: a drum kit and an instrument of equal numbers are two programs.
uint64_t ProgramKey(const CBankContents::Row& row)
{
    return static_cast<uint64_t>(row.drumKit) << 32 | uint64_t{row.program.variation} << 16 |
           row.program.program;
}

} // namespace

int CBankContents::Row::SynthBank() const
{
    return drumKit ? CSoundFontBanks::kDrumKitBank : program.variation;
}

bool CBankContents::Read(const CBankTable& table)
{
    const std::vector<Row> before = std::move(m_rows);
    m_rows.clear();
    m_bankNames.clear();
    QHash<QString, BankFile> kept;
    const SynthStatus& status = table.Status();
    for (uint16_t position = 0; position < std::min<uint32_t>(status.bankCount, MAX_BANKS);
         ++position) {
        const auto id = static_cast<uint16_t>(status.banks[position].id);
        const QString name = table.GetBankName(position);
        m_bankNames[id] = name;
        const QString path = id < MAX_BANKS ? table.GetBankPath(id) : QString();
        if (path.isEmpty())
            continue;
        const BankFile& file = kept[path] = ReadFile(path);
        if (file.readable)
            AppendRows(id, name, file.info);
    }
    // The files of banks no longer in the card are forgotten.
    m_files = std::move(kept);
    FindAnswers(table.SearchOrder());
    return m_rows != before;
}

const CBankContents::BankFile& CBankContents::ReadFile(const QString& path)
{
    const QFileInfo info(path);
    BankFile& file = m_files[path];
    if (file.size == info.size() && file.modified == info.lastModified())
        return file;
    file.size = info.size();
    file.modified = info.lastModified();
    file.readable = file.info.Read(path);
    return file;
}

void CBankContents::AppendRows(uint16_t id, const QString& name, const CBankFileInfo& info)
{
    for (int index = 0; index < info.GetInstrumentCount(); ++index)
        m_rows.push_back({id, name, false, info.GetInstrument(index), id});
    for (int index = 0; index < info.GetDrumKitCount(); ++index)
        m_rows.push_back({id, name, true, info.GetDrumKit(index), id});
}

// Each bank:program goes to the bank searched first among those that hold it.
void CBankContents::FindAnswers(const std::vector<uint16_t>& searchOrder)
{
    const auto rank = [&](uint16_t id) {
        return std::find(searchOrder.begin(), searchOrder.end(), id) - searchOrder.begin();
    };
    std::unordered_map<uint64_t, uint16_t> answers;
    for (const Row& row : m_rows) {
        const auto [answer, added] = answers.try_emplace(ProgramKey(row), row.bankId);
        if (!added && rank(row.bankId) < rank(answer->second))
            answer->second = row.bankId;
    }
    for (Row& row : m_rows)
        row.answeredBy = answers[ProgramKey(row)];
}

QString CBankContents::BankName(uint16_t id) const
{
    const auto found = m_bankNames.find(id);
    return found == m_bankNames.end() ? QString() : found->second;
}

bool CBankContents::Matches(const Row& row, const QString& filter)
{
    const QString text = filter.trimmed();
    if (text.isEmpty() || row.program.name.contains(text, Qt::CaseInsensitive))
        return true;
    bool isNumber = false;
    const int number = text.toInt(&isNumber);
    if (isNumber)
        return number == row.program.program || number == row.program.CubaseProgram();
    return text == QStringLiteral("%1:%2").arg(row.program.variation).arg(row.program.program);
}
