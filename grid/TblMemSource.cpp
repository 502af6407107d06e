#include "TblMemSource.h"

#include "TblCell.h"
#include "TblCtrl.h"

#include <algorithm>
#include <limits>
#include <memory>

struct CTblMemSource::ColNode
{
    CTblStoredCell cell;
    ColNode* pNext = nullptr;
    ColNode* pPrev = nullptr;
};

struct CTblMemSource::RowNode
{
    // The column numbered 0; heading columns lie before it.
    ColNode* pFirstCol = nullptr;
    RowNode* pNext = nullptr;
    RowNode* pPrev = nullptr;
};

namespace {

long Distance(long from, long to)
{
    return from > to ? from - to : to - from;
}

// Links a new node after (forward) or before (backward) an existing one.
template <typename Node> Node* LinkNew(Node* at, bool forward)
{
    Node* node = new Node;
    if (forward) {
        node->pPrev = at;
        node->pNext = at->pNext;
        if (at->pNext)
            at->pNext->pPrev = node;
        at->pNext = node;
    } else {
        node->pNext = at;
        node->pPrev = at->pPrev;
        if (at->pPrev)
            at->pPrev->pNext = node;
        at->pPrev = node;
    }
    return node;
}

template <typename Node> void Unlink(Node* node)
{
    if (node->pPrev)
        node->pPrev->pNext = node->pNext;
    if (node->pNext)
        node->pNext->pPrev = node->pPrev;
}

// Walks from (node, n) towards target, one link at a time, creating nodes where the list
// ends when asked; stops where the list ends otherwise. Returns the steps taken.
template <typename Node> uint64_t Walk(Node*& node, int& n, int target, bool create)
{
    uint64_t steps = 0;
    while (n != target) {
        const bool forward = n < target;
        Node* next = forward ? node->pNext : node->pPrev;
        if (!next) {
            if (!create)
                break;
            next = LinkNew(node, forward);
        }
        node = next;
        n = forward ? n + 1 : n - 1;
        ++steps;
    }
    return steps;
}

} // namespace

CTblMemSource::~CTblMemSource()
{
    CTblMemSource::RemoveAll();
}

CTblMemSource::RowNode* CTblMemSource::IndexedRow(long row) const
{
    const long at = row - m_nFirstRow;
    return at >= 0 && at < std::ssize(m_rowIndex) ? m_rowIndex[static_cast<size_t>(at)] : nullptr;
}

void CTblMemSource::ResetCursor()
{
    m_pRowCursor = IndexedRow(0);
    m_nRowCursor = 0;
    m_pColCursor = m_pRowCursor ? m_pRowCursor->pFirstCol : nullptr;
    m_nColCursor = 0;
}

CTblMemSource::RowNode* CTblMemSource::FirstRowNode() const
{
    return m_rowIndex.empty() ? nullptr : m_rowIndex.front();
}

void CTblMemSource::CreateRowsTo(long row)
{
    if (m_rowIndex.empty()) {
        m_rowIndex.push_back(new RowNode);
        m_nFirstRow = 0;
        ResetCursor();
    }
    while (row >= m_nFirstRow + std::ssize(m_rowIndex))
        m_rowIndex.push_back(LinkNew(m_rowIndex.back(), true));
    if (row >= m_nFirstRow)
        return;
    // Heading rows: the new nodes go before the first, nearest first.
    std::vector<RowNode*> before;
    for (RowNode* at = m_rowIndex.front(); static_cast<long>(before.size()) < m_nFirstRow - row;)
        before.push_back(at = LinkNew(at, false));
    m_rowIndex.insert(m_rowIndex.begin(), before.rbegin(), before.rend());
    m_nFirstRow = row;
}

CTblMemSource::RowNode* CTblMemSource::SeekRow(long row, bool create)
{
    if (!IndexedRow(row)) {
        if (!create)
            return nullptr;
        CreateRowsTo(row);
    }
    // The index finds the row wherever the cursor is; the cursor keeps the column
    // cursor for the reads along the row that follow.
    RowNode* node = IndexedRow(row);
    if (node != m_pRowCursor) {
        m_pRowCursor = node;
        m_nRowCursor = row;
        m_pColCursor = node->pFirstCol;
        m_nColCursor = 0;
    }
    return node;
}

CTblMemSource::ColNode* CTblMemSource::SeekCol(RowNode* rowNode, int col, bool create)
{
    if (!rowNode->pFirstCol) {
        if (!create)
            return nullptr;
        rowNode->pFirstCol = new ColNode;
        m_pColCursor = rowNode->pFirstCol;
        m_nColCursor = 0;
    }
    ColNode* node = m_pColCursor;
    int n = m_nColCursor;
    if (!node || Distance(0, col) < Distance(n, col)) {
        node = rowNode->pFirstCol;
        n = 0;
    }
    m_nSteps += Walk(node, n, col, create);
    m_pColCursor = node;
    m_nColCursor = n;
    return n == col ? node : nullptr;
}

CTblMemSource::ColNode* CTblMemSource::ColumnOf(RowNode* rowNode, int col) const
{
    ColNode* node = rowNode->pFirstCol;
    if (!node)
        return nullptr;
    int n = 0;
    Walk(node, n, col, false);
    return n == col ? node : nullptr;
}

void CTblMemSource::DeleteColumns(RowNode* rowNode)
{
    ColNode* node = rowNode->pFirstCol;
    while (node && node->pPrev)
        node = node->pPrev;
    while (node) {
        ColNode* next = node->pNext;
        delete node;
        node = next;
    }
    rowNode->pFirstCol = nullptr;
}

void CTblMemSource::DeleteRow(RowNode* rowNode)
{
    DeleteColumns(rowNode);
    delete rowNode;
}

int CTblMemSource::FetchCell(int col, long row, CTblCell& cell)
{
    RowNode* rowNode = SeekRow(row, false);
    if (!rowNode)
        return 1;
    ColNode* node = SeekCol(rowNode, col, false);
    if (!node || node->cell.IsEmpty())
        return 1;
    node->cell.CopyInto(cell);
    return 0;
}

int CTblMemSource::StoreCell(int col, long row, const CTblCell& cell)
{
    ColNode* node = SeekCol(SeekRow(row, true), col, true);
    node->cell.Assign(cell);
    return 0;
}

int CTblMemSource::AddRowBefore(long row)
{
    RowNode* target = IndexedRow(row);
    if (!target)
        return 0;
    m_rowIndex.insert(m_rowIndex.begin() + (row - m_nFirstRow), LinkNew(target, false));
    // Before a heading row the new node is one more heading row; from row 0 on it takes
    // the row's number and the rows from there move down.
    if (row < 0)
        --m_nFirstRow;
    ResetCursor();
    return 0;
}

int CTblMemSource::AddColumnBefore(int col)
{
    for (RowNode* rowNode = FirstRowNode(); rowNode; rowNode = rowNode->pNext) {
        ColNode* target = ColumnOf(rowNode, col);
        if (!target)
            continue;
        ColNode* node = LinkNew(target, false);
        if (target == rowNode->pFirstCol)
            rowNode->pFirstCol = node;
    }
    ResetCursor();
    return 0;
}

int CTblMemSource::RemoveRow(long row)
{
    RowNode* target = IndexedRow(row);
    if (!target)
        return 0;
    if (row == 0 && !target->pNext) {
        // Row 0 numbers every other row: the last one left only loses its cells.
        DeleteColumns(target);
    } else {
        Unlink(target);
        m_rowIndex.erase(m_rowIndex.begin() + (row - m_nFirstRow));
        if (row < 0)
            ++m_nFirstRow;
        DeleteRow(target);
    }
    ResetCursor();
    return 0;
}

int CTblMemSource::RemoveColumn(int col)
{
    for (RowNode* rowNode = FirstRowNode(); rowNode; rowNode = rowNode->pNext) {
        ColNode* target = ColumnOf(rowNode, col);
        if (!target)
            continue;
        if (!target->pNext) {
            target->cell.Clear();
            continue;
        }
        Unlink(target);
        if (target == rowNode->pFirstCol)
            rowNode->pFirstCol = target->pNext;
        delete target;
    }
    ResetCursor();
    return 0;
}

int CTblMemSource::RemoveCell(int col, long row)
{
    RowNode* rowNode = SeekRow(row, false);
    ColNode* node = rowNode ? SeekCol(rowNode, col, false) : nullptr;
    if (!node)
        return 1;
    node->cell.Clear();
    return 0;
}

int CTblMemSource::RemoveAll()
{
    for (RowNode* rowNode : m_rowIndex)
        DeleteRow(rowNode);
    m_rowIndex.clear();
    m_nFirstRow = 0;
    ResetCursor();
    return 0;
}

bool CTblMemSource::Matches(const CTblStoredCell& stored, const QString& text, int flags) const
{
    const std::unique_ptr<CTblCell> cell = stored.ToCell();
    const QString* value = cell ? cell->TextValue() : nullptr;
    if (!value)
        return false;
    if (flags & FindPartial)
        return value->contains(text, Qt::CaseSensitive);
    const auto sensitivity = (flags & FindIgnoreCase) ? Qt::CaseInsensitive : Qt::CaseSensitive;
    return value->compare(text, sensitivity) == 0;
}

int CTblMemSource::FindFrom(const QString& text, int& col, long& row, int flags)
{
    if (flags & FindAllColumns)
        col = -1;
    row = (flags & FindAllColumns) ? 0 : -1;
    return FindAfter(text, col, row, flags);
}

int CTblMemSource::FindAfter(const QString& text, int& col, long& row, int flags)
{
    const bool allColumns = (flags & FindAllColumns) != 0;
    int startCol = allColumns ? col + 1 : col;
    long r = allColumns ? row : row + 1;
    for (RowNode* rowNode = SeekRow(r, false); rowNode; rowNode = rowNode->pNext, ++r) {
        const int lastCol = allColumns ? std::numeric_limits<int>::max() : startCol;
        int c = allColumns ? std::max(startCol, 0) : startCol;
        for (ColNode* node = ColumnOf(rowNode, c); node && c <= lastCol; node = node->pNext, ++c) {
            if (Matches(node->cell, text, flags)) {
                col = m_nFindCol = c;
                row = m_nFindRow = r;
                return 0;
            }
        }
        if (allColumns)
            startCol = 0;
    }
    return 1;
}

int CTblMemSource::CompareRows(const SortKeys& upper, const SortKeys& lower, int flags) const
{
    for (size_t i = 0; i < upper.size(); ++i) {
        const CTblCell* a = upper[i].get();
        const CTblCell* b = lower[i].get();
        const int result =
            m_pGrid ? m_pGrid->CompareCells(a, b, flags) : CTblCell::Compare(a, b, flags);
        if (result != 0)
            return result;
    }
    return 0;
}

int CTblMemSource::SortRows(const int* cols, int count, int flags)
{
    struct Entry
    {
        ColNode* pFirstCol;
        SortKeys keys;
    };
    std::vector<RowNode*> rows;
    for (RowNode* rowNode = IndexedRow(0); rowNode; rowNode = rowNode->pNext)
        rows.push_back(rowNode);
    if (rows.size() < 2 || !cols || count <= 0)
        return 0;
    std::vector<Entry> entries;
    entries.reserve(rows.size());
    for (RowNode* rowNode : rows) {
        Entry entry{rowNode->pFirstCol, {}};
        for (int i = 0; i < count; ++i) {
            ColNode* node = ColumnOf(rowNode, cols[i]);
            entry.keys.push_back(node ? node->cell.ToCell() : nullptr);
        }
        entries.push_back(std::move(entry));
    }
    // A merge sort gives the order of repeated neighbour swaps (a row moves below the next
    // only when the comparison answers positive) without their quadratic cost, and stays
    // within its ranges whatever the comparison answers.
    const auto before = [&](const Entry& lower, const Entry& upper) {
        return CompareRows(upper.keys, lower.keys, flags) > 0;
    };
    std::vector<Entry> merged(entries.size());
    for (size_t width = 1; width < entries.size(); width *= 2) {
        for (size_t start = 0; start < entries.size(); start += 2 * width) {
            const auto first = entries.begin() + static_cast<long>(start);
            const auto middle =
                entries.begin() + static_cast<long>(std::min(start + width, entries.size()));
            const auto last =
                entries.begin() + static_cast<long>(std::min(start + 2 * width, entries.size()));
            std::merge(std::make_move_iterator(first), std::make_move_iterator(middle),
                       std::make_move_iterator(middle), std::make_move_iterator(last),
                       merged.begin() + static_cast<long>(start), before);
        }
        entries.swap(merged);
    }
    for (size_t i = 0; i < rows.size(); ++i)
        rows[i]->pFirstCol = entries[i].pFirstCol;
    ResetCursor();
    return 0;
}

int CTblMemSource::SortRowsBy(int col, int flags)
{
    return SortRows(&col, 1, flags);
}

int CTblMemSource::PrevFilledColumn(int& col, long row)
{
    RowNode* rowNode = SeekRow(row, false);
    if (!rowNode || !rowNode->pFirstCol)
        return 1;
    ColNode* node = SeekCol(rowNode, col, false);
    int n = col;
    if (!node) {
        // Past the row's last column node the search starts from that node.
        if (m_nColCursor > col)
            return 1;
        node = m_pColCursor;
        n = m_nColCursor;
    }
    for (; node && n >= 0; node = node->pPrev, --n) {
        if (n != col && node->cell.TextLength() > 0) {
            col = n;
            return 0;
        }
    }
    return 1;
}
