// The data source every sheet owns: cells kept in memory in a doubly linked list of rows,
// each with a doubly linked list of columns. A cursor remembers the last place visited,
// so the row-by-row, column-by-column reads of painting cost one step each.
#pragma once

#include "TblDataSource.h"

#include <cstdint>
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

    // Nodes stepped over by lookups since construction; shows what access patterns cost.
    uint64_t CursorSteps() const { return m_nSteps; }

private:
    struct ColNode;
    struct RowNode;

    RowNode* SeekRow(long row, bool create);
    ColNode* SeekCol(RowNode* rowNode, int col, bool create);
    ColNode* ColumnOf(RowNode* rowNode, int col) const;
    RowNode* FirstRowNode() const;
    void ResetCursor();
    static void DeleteColumns(RowNode* rowNode);
    static void DeleteRow(RowNode* rowNode);
    int CompareRows(const std::vector<const CTblCell*>& upper,
                    const std::vector<const CTblCell*>& lower, int flags) const;
    bool Matches(const CTblCell* cell, const QString& text, int flags) const;

    // Row 0 is the node numbered 0; heading rows (negative numbers) lie before it.
    RowNode* m_pRow0 = nullptr;
    RowNode* m_pLastRow = nullptr;
    long m_nLastRow = -1;
    RowNode* m_pRowCursor = nullptr;
    long m_nRowCursor = 0;
    ColNode* m_pColCursor = nullptr;
    int m_nColCursor = 0;
    int m_nFindCol = -1;
    long m_nFindRow = -1;
    uint64_t m_nSteps = 0;
};
