#include "TblMemSource.h"

#include "TblCell.h"
#include "TblCtrl.h"

#include <algorithm>
#include <limits>
#include <memory>

struct CTblMemSource::ColNode
{
    std::unique_ptr<CTblCell> pCell;
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
template <typename Node, typename Number>
uint64_t Walk(Node*& node, Number& n, Number target, bool create, Node*& tail)
{
    uint64_t steps = 0;
    while (n != target) {
        const bool forward = n < target;
        Node* next = forward ? node->pNext : node->pPrev;
        if (!next) {
            if (!create)
                break;
            next = LinkNew(node, forward);
            if (node == tail && forward)
                tail = next;
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

void CTblMemSource::ResetCursor()
{
    m_pRowCursor = m_pRow0;
    m_nRowCursor = 0;
    m_pColCursor = m_pRow0 ? m_pRow0->pFirstCol : nullptr;
    m_nColCursor = 0;
}

CTblMemSource::RowNode* CTblMemSource::FirstRowNode() const
{
    RowNode* node = m_pRow0;
    while (node && node->pPrev)
        node = node->pPrev;
    return node;
}

CTblMemSource::RowNode* CTblMemSource::SeekRow(long row, bool create)
{
    if (!m_pRow0) {
        if (!create)
            return nullptr;
        m_pRow0 = m_pLastRow = new RowNode;
        m_nLastRow = 0;
        ResetCursor();
    }
    // Start from whichever known place is nearest: the cursor, row 0 or the last row.
    RowNode* node = m_pRowCursor;
    long n = m_nRowCursor;
    if (Distance(0, row) < Distance(n, row)) {
        node = m_pRow0;
        n = 0;
    }
    if (Distance(m_nLastRow, row) < Distance(n, row)) {
        node = m_pLastRow;
        n = m_nLastRow;
    }
    RowNode* tail = m_pLastRow;
    m_nSteps += Walk(node, n, row, create, tail);
    if (tail != m_pLastRow) {
        m_pLastRow = tail;
        m_nLastRow = n;
    }
    if (node != m_pRowCursor) {
        m_pRowCursor = node;
        m_nRowCursor = n;
        m_pColCursor = node->pFirstCol;
        m_nColCursor = 0;
    }
    return n == row ? node : nullptr;
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
    ColNode* noTail = nullptr;
    m_nSteps += Walk(node, n, col, create, noTail);
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
    ColNode* noTail = nullptr;
    Walk(node, n, col, false, noTail);
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
    if (!node || !node->pCell)
        return 1;
    node->pCell->CopyInto(cell);
    return 0;
}

int CTblMemSource::StoreCell(int col, long row, const CTblCell& cell)
{
    ColNode* node = SeekCol(SeekRow(row, true), col, true);
    if (!node->pCell)
        node->pCell = std::make_unique<CTblCell>();
    cell.ReplaceInto(*node->pCell);
    return 0;
}

int CTblMemSource::AddRowBefore(long row)
{
    RowNode* target = SeekRow(row, false);
    if (!target)
        return 0;
    RowNode* node = LinkNew(target, false);
    if (target == m_pRow0)
        m_pRow0 = node;
    if (row >= 0)
        ++m_nLastRow;
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
    RowNode* target = SeekRow(row, false);
    if (!target)
        return 0;
    if (target == m_pRow0 && !target->pNext) {
        // Row 0 numbers every other row: the last one left only loses its cells.
        DeleteColumns(target);
    } else {
        Unlink(target);
        if (target == m_pRow0)
            m_pRow0 = target->pNext;
        if (target == m_pLastRow)
            m_pLastRow = target->pPrev;
        if (row >= 0)
            --m_nLastRow;
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
            target->pCell.reset();
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
    node->pCell.reset();
    return 0;
}

int CTblMemSource::RemoveAll()
{
    RowNode* rowNode = FirstRowNode();
    while (rowNode) {
        RowNode* next = rowNode->pNext;
        DeleteRow(rowNode);
        rowNode = next;
    }
    m_pRow0 = m_pLastRow = nullptr;
    m_nLastRow = -1;
    ResetCursor();
    return 0;
}

bool CTblMemSource::Matches(const CTblCell* cell, const QString& text, int flags) const
{
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
            if (Matches(node->pCell.get(), text, flags)) {
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

int CTblMemSource::CompareRows(const std::vector<const CTblCell*>& upper,
                               const std::vector<const CTblCell*>& lower, int flags) const
{
    for (size_t i = 0; i < upper.size(); ++i) {
        const int result = m_pGrid ? m_pGrid->CompareCells(upper[i], lower[i], flags)
                                   : CTblCell::Compare(upper[i], lower[i], flags);
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
        std::vector<const CTblCell*> keys;
    };
    std::vector<RowNode*> rows;
    for (RowNode* rowNode = m_pRow0; rowNode; rowNode = rowNode->pNext)
        rows.push_back(rowNode);
    if (rows.size() < 2 || !cols || count <= 0)
        return 0;
    std::vector<Entry> entries;
    entries.reserve(rows.size());
    for (RowNode* rowNode : rows) {
        Entry entry{rowNode->pFirstCol, {}};
        for (int i = 0; i < count; ++i) {
            ColNode* node = ColumnOf(rowNode, cols[i]);
            entry.keys.push_back(node ? node->pCell.get() : nullptr);
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
        if (n != col && node->pCell && node->pCell->TextLength() > 0) {
            col = n;
            return 0;
        }
    }
    return 1;
}
