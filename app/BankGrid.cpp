#include "BankGrid.h"

#include "BankTable.h"
#include "GridEditedEvent.h"
#include "MemoryFormat.h"
#include "ResourceIds.h"
#include "StringTable.h"

#include <QCoreApplication>
#include <QFontMetrics>

#include <algorithm>
#include <cstdlib>
#include <limits>

namespace {

constexpr int kRowHeight = 17;
// Width proportions of the first three columns; the size column keeps the grid's
// default width, 75. The fit to the list's width scales all four.
constexpr int kColumnWidths[] = {12, 70, 30};
constexpr int kFontHeight = 14;
// Headings keep this much room from their column's borders, and shrink no further than this.
constexpr int kHeadingMargin = 2;
constexpr int kSmallestHeadingFont = 8;
// The current cell in the highlight colours, framed while the list has the focus.
constexpr int kCurCellHighlightAndFrame = 3;

// The decimal number at the start of text, as atol reads it, but held at the ends of the
// range instead of overflowing.
long LeadingNumber(const QString& text)
{
    const QByteArray bytes = text.toLatin1();
    return std::strtol(bytes.constData(), nullptr, 10);
}

} // namespace

void CBankGrid::ShowBanks(const CBankTable& table)
{
    for (long row = 0; row < RowCount; ++row) {
        for (int col = 0; col < ColumnCount; ++col)
            ShowCardCell(table, col, row);
    }
}

void CBankGrid::ShowNoBanks()
{
    for (long row = 0; row < RowCount; ++row) {
        for (int col = 0; col < ColumnCount; ++col)
            SetCellText(col, row, QString());
    }
}

void CBankGrid::ShowCardCell(const CBankTable& table, int col, long row)
{
    SetCellText(col, row, CardText(table, col, row));
}

int32_t CBankGrid::TypedPriority(long row)
{
    QString text;
    GetCellText(ColPriority, row, text);
    const long value = LeadingNumber(text);
    if (value <= MAX_PRIORITY)
        return static_cast<int32_t>(std::max<long>(value, std::numeric_limits<int32_t>::min()));
    SetCellText(ColPriority, row, QString::number(MAX_PRIORITY));
    Redraw();
    return MAX_PRIORITY;
}

QString CBankGrid::CardText(const CBankTable& table, int col, long row)
{
    const SynthStatus& status = table.Status();
    for (uint16_t i = 0; row >= 0 && i < status.bankCount && i < MAX_BANKS; ++i) {
        const SynthBankEntry& bank = status.banks[i];
        if (bank.id != static_cast<uint32_t>(row))
            continue;
        switch (col) {
        case ColNumber:
            return QString::number(bank.id);
        case ColName:
            return table.GetBankName(i);
        case ColPriority:
            return QString::number(bank.priority);
        case ColSize:
            return CMemoryFormat::Kilobytes(bank.size);
        default:
            return QString();
        }
    }
    return QString();
}

void CBankGrid::OnGridReady()
{
    SetDefaultRowHeight(kRowHeight);
    SetColumnCount(ColumnCount, 1);
    SetRowCount(RowCount, 1);
    for (int col = 0; col < static_cast<int>(std::size(kColumnWidths)); ++col)
        SetColumnWidth(col, kColumnWidths[col]);
    for (int col = 0; col < ColumnCount; ++col) {
        SetCellText(col, -1, CStringTable::Load(IDS_FIRST_HEADING + col));
        SetCellAlignment(col, -1, CTblCell::AlignHCenter);
    }
    for (long row = 0; row < RowCount; ++row)
        SetCellAlignment(ColSize, row, CTblCell::AlignRight);
    // An empty face name lets the system choose the face.
    SetDefaultFont(RegisterFont(QString(), kFontHeight, 0));
    SetRowHeaderWidth(0);
    SetCurCellStyle(kCurCellHighlightAndFrame);
    FitColumnsToWidth(0, ColumnCount - 1);
    FitHeadingFont();
    Redraw();
}

// The widths are proportions of the list's width, made for a narrower font than the
// desktop's may be: where a heading would touch its column's borders, the headings get a
// smaller font rather than taking the room of the other columns.
void CBankGrid::FitHeadingFont()
{
    int height = kFontHeight;
    int font = -1;
    do {
        font = RegisterFont(QString(), height, 0);
    } while (!HeadingsFit(*GetFont(font)) && --height >= kSmallestHeadingFont);
    if (height == kFontHeight)
        return;
    for (int col = 0; col < ColumnCount; ++col) {
        CTblCell cell;
        ReadCell(col, -1, cell);
        cell.SetFont(GetFont(font));
        WriteCell(col, -1, cell);
    }
}

bool CBankGrid::HeadingsFit(const QFont& font)
{
    const QFontMetrics metrics(font);
    for (int col = 0; col < ColumnCount; ++col) {
        QString heading;
        GetCellText(col, -1, heading);
        if (metrics.horizontalAdvance(heading) + 2 * kHeadingMargin > GetColumnWidth(col))
            return false;
    }
    return true;
}

// The columns keep the widths of the fit to the list's width.
bool CBankGrid::AllowColResize(int)
{
    return false;
}

bool CBankGrid::AllowColHeaderResize()
{
    return false;
}

// The first click of the double click has made the cell the current one.
void CBankGrid::OnCellDoubleClick(int col, long row, const QRect&, const QPoint&, int)
{
    QString text;
    if (col == ColPriority)
        BeginEdit();
    else if ((col == ColNumber || col == ColName) && GetCellText(ColNumber, row, text) == 0 &&
             !text.isEmpty())
        emit BankDoubleClicked(static_cast<int>(row));
}

// F2 and Enter open the priority editor. Tab from the last cell and Shift+Tab from the first
// leave the list for the window's other controls, which the grid's own Tab never reaches.
void CBankGrid::OnGridKeyDown(int* key, int)
{
    const int code = *key & ~Qt::KeyboardModifierMask;
    const bool back = code == Qt::Key_Backtab || (*key & Qt::ShiftModifier);
    switch (code) {
    case Qt::Key_F2:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (GetCurCol() == ColPriority)
            BeginEdit();
        break;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        if (back ? GetCurCol() == 0 && GetCurRow() == 0
                 : GetCurCol() == ColumnCount - 1 && GetCurRow() == RowCount - 1) {
            *key = 0;
            LeaveGrid(!back);
        }
        break;
    default:
        break;
    }
}

// A digit typed on a priority starts its editor with that digit.
void CBankGrid::OnGridChar(int* ch, int)
{
    if (*ch >= '0' && *ch <= '9' && GetCurCol() == ColPriority && !IsEditing())
        BeginEditAt(ColPriority, GetCurRow(), *ch);
}

bool CBankGrid::OnCellTypeEvent(int, int, long, int, intptr_t)
{
    return false;
}

// An empty slot has no priority to edit.
bool CBankGrid::OnEditBegin(int col, long row, QWidget**)
{
    if (col != ColPriority)
        return true;
    QString text;
    GetCellText(col, row, text);
    return !text.isEmpty();
}

// Digits, backspace and tab; the editor drops every other character.
bool CBankGrid::OnEditKey(int, long, QWidget*, int* ch)
{
    return *ch == '\b' || *ch == '\t' || (*ch >= '0' && *ch <= '9');
}

// Posted, so that the window reads the cell once the grid has stored the edited text; a
// cancelled edit is posted too.
bool CBankGrid::OnEditEnd(int col, long row, QWidget*, const QString&, int)
{
    if (QWidget* window = parentWidget())
        QCoreApplication::postEvent(window, new CGridEditedEvent(col, row));
    return true;
}

// Editing that goes on from the name column stays in that column, on the next row.
bool CBankGrid::OnEditNext(int oldCol, long oldRow, int* newCol, long* newRow)
{
    if (oldCol == ColName) {
        *newCol = ColName;
        *newRow = oldRow == GetRowCount() - 1 ? 0 : oldRow + 1;
    }
    return true;
}

// The rows' own background, white in a light theme: below the last row too, so that a dark
// theme shows no white strip there.
QColor CBankGrid::GetDefaultBackColor(int)
{
    return palette().color(QPalette::Base);
}
