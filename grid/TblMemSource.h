// The data source every sheet owns: cells kept in memory in a doubly linked list of rows,
// each with a doubly linked list of columns. An index of the row nodes finds any row at
// once; a cursor remembers the last place visited, so the column-by-column reads of
// painting cost one step each. A cell that holds only a text is kept in compact form.
#pragma once

#include "TblDataSource.h"
#include "TblStoredCell.h"

#include <cstdint>
#include <memory>
#include <vector>

class CTblMemSource : public CTblDataSource
{
public:
    CTblMemSource() = default;
    ~CTblMemSource() override;

    int AddRowBefore(long row) override;
    int AddColumnBefore(int col) override;
    int RemoveRow(long row) override;
    int RemoveColumn(int col) override;
    int RemoveCell(int col, long row) override;
    int RemoveAll() override;
    int FetchCell(int col, long row, CTblCell& cell) override;
    int StoreCell(int col, long row, const CTblCell& cell) override;
    int FindFrom(const QString& text, int& col, long& row, int flags) override;
    int FindAfter(const QString& text, int& col, long& row, int flags) override;
    int SortRows(const int* cols, int count, int flags) override;
    int SortRowsBy(int col, int flags) override;
    int PrevFilledColumn(int& col, long row) override;

    // Column nodes walked over by lookups since construction (rows are found through the
    // index); shows what access patterns cost.
    uint64_t CursorSteps() const { return m_nSteps; }

private:
    struct ColNode;
    struct RowNode;
    // The cells of a row's sort columns, none where nothing is stored.
    using SortKeys = std::vector<std::unique_ptr<CTblCell>>;

    RowNode* IndexedRow(long row) const;
    // Creates the rows between the existing ones and row (row 0 first when there is none).
    void CreateRowsTo(long row);
    RowNode* SeekRow(long row, bool create);
    ColNode* SeekCol(RowNode* rowNode, int col, bool create);
    ColNode* ColumnOf(RowNode* rowNode, int col) const;
    RowNode* FirstRowNode() const;
    void ResetCursor();
    static void DeleteColumns(RowNode* rowNode);
    static void DeleteRow(RowNode* rowNode);
    int CompareRows(const SortKeys& upper, const SortKeys& lower, int flags) const;
    bool Matches(const CTblStoredCell& stored, const QString& text, int flags) const;

    // Every row node in order, the first numbered m_nFirstRow: row 0 and the heading
    // rows (negative numbers) before it.
    std::vector<RowNode*> m_rowIndex;
    long m_nFirstRow = 0;
    RowNode* m_pRowCursor = nullptr;
    long m_nRowCursor = 0;
    ColNode* m_pColCursor = nullptr;
    int m_nColCursor = 0;
    int m_nFindCol = -1;
    long m_nFindRow = -1;
    uint64_t m_nSteps = 0;
};
