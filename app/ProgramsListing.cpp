#include "ProgramsListing.h"

#include "BankContentsModel.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <vector>

namespace {

using Column = CBankContentsModel::Column;

const CBankContents::Row& RowAt(const CBankContentsModel& model, int row)
{
    return model.Contents().Rows()[static_cast<std::size_t>(row)];
}

QString Cell(const CBankContentsModel& model, int row, int column)
{
    return model.data(model.index(row, column)).toString();
}

bool IsNumeric(int column)
{
    return column >= Column::ColVariation && column <= Column::ColCubaseProgram;
}

} // namespace

bool CProgramsListing::Shows(const CBankContentsModel& model, int row, Choice choice)
{
    const CBankContents::Row& shown = RowAt(model, row);
    return (choice.bank < 0 || shown.bankId == choice.bank) && (choice.hidden || !shown.IsHidden());
}

// Every column as wide as its widest text; numbers aligned to the right. The last column,
// the answering bank, is left ragged.
void CProgramsListing::PrintText(QTextStream& out, const CBankContentsModel& model, Choice choice)
{
    std::vector<int> rows;
    for (int row = 0; row < model.rowCount(); ++row) {
        if (Shows(model, row, choice))
            rows.push_back(row);
    }
    std::vector<qsizetype> widths(Column::ColumnCount);
    for (int column = 0; column < Column::ColumnCount; ++column) {
        widths[column] = model.headerData(column, Qt::Horizontal).toString().size();
        for (const int row : rows)
            widths[column] = std::max(widths[column], Cell(model, row, column).size());
    }
    const auto printLine = [&](auto text) {
        for (int column = 0; column < Column::ColumnCount; ++column) {
            const QString cell = text(column);
            const bool last = column + 1 == Column::ColumnCount;
            const qsizetype width = last ? 0 : widths[column];
            out << (IsNumeric(column) ? cell.rightJustified(width) : cell.leftJustified(width))
                << (last ? "\n" : "  ");
        }
    };
    printLine([&](int column) { return model.headerData(column, Qt::Horizontal).toString(); });
    for (const int row : rows) {
        printLine([&](int column) {
            const QString cell = Cell(model, row, column);
            return column == Column::ColAnsweredBy && RowAt(model, row).IsHidden()
                       ? QStringLiteral("hidden by ") + cell
                       : cell;
        });
    }
}

void CProgramsListing::PrintJson(QTextStream& out, const CBankContentsModel& model, Choice choice)
{
    QJsonArray programs;
    for (int index = 0; index < model.rowCount(); ++index) {
        if (!Shows(model, index, choice))
            continue;
        const CBankContents::Row& row = RowAt(model, index);
        programs.append(QJsonObject{{"bank", row.bankId},
                                    {"bankName", row.bankName},
                                    {"drumKit", row.drumKit},
                                    {"variation", row.program.variation},
                                    {"program", row.program.program},
                                    {"cubaseBank", row.program.CubaseBank()},
                                    {"cubaseProgram", row.program.CubaseProgram()},
                                    {"name", row.program.name},
                                    {"answeredBy", row.answeredBy},
                                    {"hidden", row.IsHidden()}});
    }
    out << QJsonDocument(programs).toJson(QJsonDocument::Indented);
}
