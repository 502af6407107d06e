#include "BankContentsModel.h"

#include "ResourceIds.h"
#include "StringTable.h"

CBankContentsModel::CBankContentsModel(QObject* parent) : QAbstractTableModel(parent) {}

void CBankContentsModel::Read(const CBankTable& table)
{
    // Read beside the rows shown, which stay whole until the view is told of the change;
    // the copy keeps the files read before.
    CBankContents next = m_contents;
    if (!next.Read(table))
        return;
    beginResetModel();
    m_contents = std::move(next);
    endResetModel();
}

QString CBankContentsModel::BankTitle(uint16_t id) const
{
    return QStringLiteral("%1 %2").arg(id).arg(m_contents.BankName(id));
}

int CBankContentsModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_contents.Rows().size());
}

int CBankContentsModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant CBankContentsModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const CBankContents::Row& row = m_contents.Rows()[static_cast<std::size_t>(index.row())];
    switch (role) {
    case Qt::DisplayRole:
        return Display(row, index.column());
    case SortRole:
        return SortKey(row, index.column());
    case HiddenRole:
        return row.IsHidden();
    case Qt::TextAlignmentRole:
        if (index.column() >= ColVariation && index.column() <= ColCubaseProgram)
            return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
        return {};
    default:
        return {};
    }
}

QVariant CBankContentsModel::Display(const CBankContents::Row& row, int column) const
{
    switch (column) {
    case ColBank:
        return BankTitle(row.bankId);
    case ColKind:
        return row.drumKit ? QStringLiteral("Drum kit") : QStringLiteral("Instrument");
    case ColName:
        return row.program.name;
    case ColAnsweredBy:
        return row.IsHidden() ? BankTitle(row.answeredBy) : QStringLiteral("this bank");
    default:
        return SortKey(row, column);
    }
}

QVariant CBankContentsModel::SortKey(const CBankContents::Row& row, int column) const
{
    switch (column) {
    case ColBank:
        return row.bankId;
    case ColVariation:
        return row.program.variation;
    case ColProgram:
        return row.program.program;
    case ColCubaseBank:
        return row.program.CubaseBank();
    case ColCubaseProgram:
        return row.program.CubaseProgram();
    case ColAnsweredBy:
        return row.answeredBy;
    default:
        return Display(row, column);
    }
}

QVariant CBankContentsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (section) {
    case ColBank:
        return QStringLiteral("Bank");
    case ColKind:
        return QStringLiteral("Kind");
    case ColVariation:
        return CStringTable::Load(IDS_VARIATION);
    case ColProgram:
        return CStringTable::Load(IDS_MIDI_PROG);
    case ColCubaseBank:
        return CStringTable::Load(IDS_CUBASE_BANK);
    case ColCubaseProgram:
        return CStringTable::Load(IDS_CUBASE_PROG);
    case ColName:
        return CStringTable::Load(IDS_PROGRAM_NAME);
    case ColAnsweredBy:
        return QStringLiteral("Answered by");
    default:
        return {};
    }
}
