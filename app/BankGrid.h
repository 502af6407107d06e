// The main window's list of the banks in the card: one row per bank slot, with the bank's
// number, name, priority and size, where only the priority of a loaded bank is edited.
#pragma once

#include "SynthStatus.h"
#include "TblCtrl.h"

#include <cstdint>

class CBankTable;

class CBankGrid : public CTblCtrl
{
    Q_OBJECT

public:
    enum Column
    {
        ColNumber = 0,
        ColName = 1,
        ColPriority = 2,
        ColSize = 3,
        ColumnCount = 4
    };

    // One row per bank slot of the card.
    static constexpr long RowCount = MAX_BANKS;
    // The highest priority a bank can have; larger typed values are brought down to it.

    using CTblCtrl::CTblCtrl;

    // Writes every row from the bank table: a loaded bank in the row of its ID, "" in the
    // rows of empty slots.
    void ShowBanks(const CBankTable& table);
    // Empties every row, for a card that cannot be reached.
    void ShowNoBanks();
    // Writes one cell again from the bank table.
    void ShowCardCell(const CBankTable& table, int col, long row);
    // The number typed at the start of the row's priority cell (0 without one); above
    // MAX_PRIORITY the cell is rewritten to MAX_PRIORITY and that is the answer.
    int32_t TypedPriority(long row);
    // The text that a cell shows for the bank with the row's ID; "" when there is none.
    static QString CardText(const CBankTable& table, int col, long row);

    void OnGridReady() override;
    bool AllowColResize(int col) override;
    bool AllowColHeaderResize() override;
    void OnCellDoubleClick(int col, long row, const QRect& rect, const QPoint& point,
                           int processed) override;
    void OnGridKeyDown(int* key, int processed) override;
    void OnGridChar(int* ch, int processed) override;
    bool OnCellTypeEvent(int typeIndex, int col, long row, int message, intptr_t param) override;
    bool OnEditBegin(int col, long row, QWidget** editor) override;
    bool OnEditKey(int col, long row, QWidget* editor, int* ch) override;
    bool OnEditEnd(int col, long row, QWidget* editor, const QString& text, int cancelled) override;
    bool OnEditNext(int oldCol, long oldRow, int* newCol, long* newRow) override;
    QColor GetDefaultBackColor(int section) override;

signals:
    // A double click on a loaded bank's number or name.
    void BankDoubleClicked(int id);

private:
    void FitHeadingFont();
    // Whether every heading, in that font, keeps its margin inside its column.
    bool HeadingsFit(const QFont& font);
};
