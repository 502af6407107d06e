#include "TblCtrl.h"

#include "TblAccessibleTable.h"
#include "TblCellArea.h"
#include "TblCellFormat.h"
#include "TblChildWindow.h"
#include "TblColHeader.h"
#include "TblCornerBox.h"
#include "TblDataSource.h"
#include "TblEditWnd.h"
#include "TblHScrollBar.h"
#include "TblLayout.h"
#include "TblRowHeader.h"
#include "TblSheetTabs.h"
#include "TblTipWnd.h"
#include "TblVScrollBar.h"

#include <QAction>
#include <QApplication>
#include <QLayout>
#include <QMenu>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>

#include <algorithm>

CTblCtrl::CTblCtrl(QWidget* parent)
    : QWidget(parent), m_pPopupMenu(new QMenu(this)), m_whitePen(QColor(0xFF, 0xFF, 0xFF), 1),
      m_shadowPen(palette().color(QPalette::Dark), 1)
{
    connect(m_pPopupMenu, &QMenu::triggered, this, &CTblCtrl::OnPopupAction);
    // The built-in types first, so that every cell has a type from the first sheet on.
    for (CTblCellType* type :
         {&m_normalType, static_cast<CTblCellType*>(&m_dropListType),
          static_cast<CTblCellType*>(&m_checkBoxType), static_cast<CTblCellType*>(&m_arrowType)})
        RegisterCellType(type);
    SetSheetCount(1);
    m_nRedraw = 1;
}

CTblCtrl::~CTblCtrl()
{
    for (CTblChildWindow* window : m_windows) {
        if (window)
            window->SetSheet(nullptr);
    }
    // The grid's own windows go before the sheets and cell types they use; Qt would
    // delete them only after this destructor.
    delete m_pEditWnd;
    delete m_pTipWnd;
    for (QWidget* window :
         std::initializer_list<QWidget*>{m_pSheetTabs, m_pHScrollBar, m_pVScrollBar, m_pCornerBox,
                                         m_pRowHeader, m_pColHeader, m_pCellArea})
        delete window;
}

// ---- Counts and sizes ----

int CTblCtrl::SetDefaultRowHeight(int height)
{
    if (height < 1 || height > MaxSize)
        return 1;
    m_pSheet->m_nDefRowHeight = height;
    m_navigator.ApplyRowGeometry();
    return 0;
}

int CTblCtrl::SetColumnCount(int count, int redraw)
{
    if (count < 0 || count > MaxColumns)
        return 1;
    CTblSheet& s = *m_pSheet;
    if (static_cast<size_t>(count) < s.m_columns.size())
        s.m_columns.erase(s.m_columns.begin() + count, s.m_columns.end());
    for (int col = static_cast<int>(s.m_columns.size()); col < count; ++col)
        s.m_columns.push_back(s.NewColumn(col));
    s.m_nColCount = count;
    // The current, previous and requested columns stay within the columns.
    for (int* col : {&s.m_nCurCol, &s.m_nPrevCurCol, &s.m_nReqCol})
        *col = std::min(*col, count - 1);
    m_navigator.ApplyColumnGeometry();
    CTblAccessibleTable::AnnounceLayoutChanged(m_pCellArea);
    if (s.m_nCurCol < 0 && count > 0)
        MoveToCol(0);
    if (redraw)
        Redraw();
    return 0;
}

int CTblCtrl::SetRowCount(long count, int redraw)
{
    if (count < 0)
        return 1;
    CTblSheet& s = *m_pSheet;
    if (count > UniformRowsAbove)
        SetUniformRows(1);
    if (!s.m_bUniformRows)
        s.m_rowHeights.resize(static_cast<size_t>(count), s.m_nDefRowHeight);
    s.m_nRowCount = count;
    for (long* row : {&s.m_nCurRow, &s.m_nPrevCurRow, &s.m_nReqRow})
        *row = std::min(*row, count - 1);
    m_navigator.ApplyRowGeometry();
    CTblAccessibleTable::AnnounceLayoutChanged(m_pCellArea);
    if (s.m_nCurRow < 0 && count > 0)
        MoveToRow(0);
    if (redraw)
        Redraw();
    return 0;
}

int CTblCtrl::SetColumnWidth(int col, int width)
{
    if (col < 0) {
        SetHeadingColumnWidth(col, width);
        return 1;
    }
    // Negative widths would break every walk over the columns.
    if (col >= m_pSheet->m_nColCount || width < 0)
        return 1;
    m_pSheet->m_columns[static_cast<size_t>(col)].m_nWidth = width;
    m_navigator.ApplyColumnGeometry();
    return 0;
}

int CTblCtrl::GetColumnWidth(int col) const
{
    if (col < 0 || col >= m_pSheet->m_nColCount)
        return 1;
    return m_pSheet->m_columns[static_cast<size_t>(col)].m_nWidth;
}

int CTblCtrl::SetHeadingColumnWidth(int col, int width)
{
    CTblSheet& s = *m_pSheet;
    const int k = -1 - col;
    if (k < 0 || k >= s.HeadColCount())
        return 1;
    if (width < 0 || width > MaxSize)
        return 2;
    s.m_headColWidths[static_cast<size_t>(k)] = width;
    if (s.HeadColCount() == 1 && s.m_nRowHeaderWidth != width) {
        s.m_nRowHeaderWidth = width;
        RecalcLayout();
    }
    return 0;
}

int CTblCtrl::SetHeadingRowHeight(long row, int height)
{
    CTblSheet& s = *m_pSheet;
    const long k = -1 - row;
    if (k < 0 || k >= s.HeadRowCount())
        return 1;
    if (height < 0 || height > MaxSize)
        return 2;
    s.m_headRowHeights[static_cast<size_t>(k)] = height;
    return 0;
}

int CTblCtrl::SetRowSize(long row, int height)
{
    CTblSheet& s = *m_pSheet;
    if (row < 0 || row >= s.m_nRowCount)
        return 0;
    // The common height of uniform rows is a default height, which is at least 1.
    if (height < (s.m_bUniformRows ? 1 : 0))
        return 1;
    if (s.m_bUniformRows)
        s.m_nDefRowHeight = height;
    else if (static_cast<size_t>(row) < s.m_rowHeights.size())
        s.m_rowHeights[static_cast<size_t>(row)] = height;
    m_navigator.ApplyRowGeometry();
    return 0;
}

int CTblCtrl::GetRowSize(long row) const
{
    if (row < 0 || row >= m_pSheet->m_nRowCount)
        return 0;
    return m_pSheet->RowSize(row);
}

int CTblCtrl::SetUniformRows(int uniform)
{
    CTblSheet& s = *m_pSheet;
    if (uniform) {
        std::vector<int>().swap(s.m_rowHeights);
        s.m_bUniformRows = 1;
    } else if (s.m_bUniformRows) {
        s.m_rowHeights.assign(static_cast<size_t>(s.m_nRowCount), s.m_nDefRowHeight);
        s.m_bUniformRows = 0;
    }
    m_navigator.ApplyRowGeometry();
    return 0;
}

int CTblCtrl::SetColHeaderHeight(int height)
{
    if (height < 0 || height > MaxSize)
        return 1;
    m_pSheet->m_headRowHeights = CTblLayout::ShareOut(m_pSheet->m_headRowHeights, height);
    m_pSheet->m_nColHeaderHeight = height;
    RecalcLayout();
    return 0;
}

int CTblCtrl::SetRowHeaderWidth(int width)
{
    if (width < 0 || width > MaxSize)
        return 1;
    m_pSheet->m_headColWidths = CTblLayout::ShareOut(m_pSheet->m_headColWidths, width);
    m_pSheet->m_nRowHeaderWidth = width;
    RecalcLayout();
    return 0;
}

int CTblCtrl::SetLockedCounts(int cols, long rows)
{
    CTblSheet& s = *m_pSheet;
    if (cols < 0 || cols > s.m_nColCount || rows < 0 || rows > s.m_nRowCount)
        return 1;
    s.m_nLockedCols = cols;
    s.m_nLockedRows = rows;
    s.m_nLeftCol = std::max(s.m_nLeftCol, cols);
    s.m_nTopRow = std::max(s.m_nTopRow, rows);
    m_navigator.ApplyColumnGeometry();
    m_navigator.ApplyRowGeometry();
    return 0;
}

int CTblCtrl::SetCurCellStyle(int style)
{
    if (style < 0 || style > 3)
        return 1;
    m_pSheet->m_nCurCellStyle = style;
    return 0;
}

// ---- Fonts ----

int CTblCtrl::SetDefaultFont(int index)
{
    const QFont* font = m_fonts.At(index);
    if (!font)
        return 1;
    m_pSheet->m_pDefaultFont = font;
    return 0;
}

int CTblCtrl::RegisterFontEx(int height, int weight, uint8_t italic, uint8_t underline,
                             uint8_t strikeOut, uint8_t pitchAndFamily, const QString& faceName)
{
    return m_fonts.Register(CTblFontList::LogFont{height, weight, italic, underline, strikeOut,
                                                  pitchAndFamily, faceName});
}

int CTblCtrl::RegisterFont(const QString& faceName, int height, int weight)
{
    return RegisterFontEx(height, weight, 0, 0, 0, 0, faceName);
}

// ---- Cells ----

CTblDataSource* CTblCtrl::SourceOf(int col, int& sourceCol) const
{
    const CTblSheet& s = *m_pSheet;
    if (col >= 0 && col < s.m_nColCount) {
        const CTblColumnInfo& column = s.m_columns[static_cast<size_t>(col)];
        if (column.m_pSource) {
            sourceCol = column.m_nSourceCol;
            return column.m_pSource;
        }
    }
    sourceCol = col;
    return s.m_pDefaultSource.get();
}

CTblCellType* CTblCtrl::TypeOf(const CTblCell& cell) const
{
    CTblCellType* type = GetCellType(cell.GetCellType());
    return type ? type : m_cellTypes.front();
}

CTblCellType* CTblCtrl::TypeAt(int col, long row)
{
    CTblCell cell;
    ComposeCell(col, row, cell);
    return TypeOf(cell);
}

int CTblCtrl::ReadCell(int col, long row, CTblCell& cell)
{
    if (col >= m_pSheet->m_nColCount)
        return 1;
    cell.ReplaceMask(0);
    int sourceCol = col;
    return SourceOf(col, sourceCol)->FetchCell(sourceCol, row, cell);
}

int CTblCtrl::ComposeCell(int col, long row, CTblCell& cell)
{
    const CTblSheet& s = *m_pSheet;
    cell.ReplaceMask(0);
    if (col < 0 || row < 0 || col >= s.m_nColCount)
        s.m_headDefCell.CopyInto(cell);
    else if (const auto& defaultCell = s.m_columns[static_cast<size_t>(col)].m_pDefaultCell)
        defaultCell->CopyInto(cell);
    if (row >= s.m_nRowCount)
        return 0;
    int sourceCol = col;
    SourceOf(col, sourceCol)->FetchCell(sourceCol, row, cell);
    OnCellFetch(sourceCol, row, cell);
    if (CTblCellFormat* format = cell.GetFormat())
        format->AdjustCell(col, row, cell);
    // One level of style: a style that names a style itself does not chain on.
    if (const CTblCell* style = cell.GetStyle(); style && style != &cell)
        style->CopyInto(cell);
    return 0;
}

int CTblCtrl::WriteCell(int col, long row, CTblCell& cell)
{
    if (col >= m_pSheet->m_nColCount)
        return 1;
    OnCellStore(col, row, cell);
    int sourceCol = col;
    SourceOf(col, sourceCol)->StoreCell(sourceCol, row, cell);
    CTblAccessibleTable::AnnounceCellChanged(m_pCellArea, col, row);
    // What the program writes shows at once, not at the next repaint for another reason.
    if (m_nRedraw)
        RepaintCell(col, row);
    return 0;
}

int CTblCtrl::SetCellText(int col, long row, const QString& text)
{
    if (col >= m_pSheet->m_nColCount)
        return 1;
    // A cell of its own rather than a shared one: OnCellStore may write other cells.
    CTblCell cell;
    ReadCell(col, row, cell);
    cell.AssignText(text);
    return WriteCell(col, row, cell);
}

int CTblCtrl::GetCellText(int col, long row, QString& text)
{
    text.clear();
    if (col >= m_pSheet->m_nColCount)
        return 1;
    CTblCell cell;
    ReadCell(col, row, cell);
    if (const QString* value = cell.TextValue())
        text = *value;
    return 0;
}

int CTblCtrl::SetCellAlignment(int col, long row, uint16_t alignment)
{
    if (col >= m_pSheet->m_nColCount)
        return 1;
    CTblCell cell;
    ReadCell(col, row, cell);
    cell.SetAlignment(alignment);
    return WriteCell(col, row, cell);
}

// ---- Column layout ----

int CTblCtrl::FitColumnsToWidth(int first, int last)
{
    CTblSheet& s = *m_pSheet;
    if (first < 0 || last < first || last >= s.m_nColCount)
        return 1;
    std::vector<int> widths;
    for (int col = first; col <= last; ++col)
        widths.push_back(s.m_columns[static_cast<size_t>(col)].m_nWidth);
    widths = CTblLayout::FitToWidth(std::move(widths), s.m_nCellAreaWidth);
    for (int col = first; col <= last; ++col)
        s.m_columns[static_cast<size_t>(col)].m_nWidth = widths[static_cast<size_t>(col - first)];
    m_navigator.ApplyColumnGeometry();
    Redraw();
    return 0;
}

int CTblCtrl::FitColumnsToContent(int first, int last, long rowLimit, int flags)
{
    CTblSheet& s = *m_pSheet;
    if (first < -s.HeadColCount())
        return 1;
    if (last >= s.m_nColCount)
        return 2;
    if (last < first)
        return 3;
    // Text is measured as the cell area draws it: in the sheet's default font at the
    // screen's resolution.
    QImage image(1, 1, QImage::Format_RGB32);
    image.setDotsPerMeterX(qRound(logicalDpiX() / 0.0254));
    image.setDotsPerMeterY(qRound(logicalDpiY() / 0.0254));
    QPainter dc(&image);
    dc.setFont(s.m_pDefaultFont ? *s.m_pDefaultFont : font());
    const std::vector<long> rows =
        CTblLayout::RowsToMeasure(s, (flags & FitHeadings) != 0, rowLimit);
    for (int col = first; col <= last; ++col) {
        int widest = -1;
        for (long row : rows) {
            CTblCell cell;
            ComposeCell(col, row, cell);
            if (cell.HasAnyProperty(CTblCell::PropJoin))
                continue;
            QSize size;
            TypeOf(cell)->PreferredSize(dc, &size, cell);
            widest = std::max(widest, size.width());
        }
        if (widest >= 0)
            SetColumnWidth(col, widest);
    }
    RecalcLayout();
    return 0;
}

int CTblCtrl::MoveColumn(int from, int to, int before)
{
    CTblSheet& s = *m_pSheet;
    if (from < 0 || from >= s.m_nColCount)
        return 1;
    const int insert = before ? to : to + 1;
    if (insert < 0 || insert > s.m_nColCount)
        return 1;
    if (insert == from || insert == from + 1)
        return 0;
    const auto at = [&](int index) { return s.m_columns.begin() + index; };
    if (insert < from)
        std::rotate(at(insert), at(from), at(from + 1));
    else
        std::rotate(at(from), at(from + 1), at(insert));
    m_navigator.ApplyColumnGeometry();
    return 0;
}

// ---- Sheets ----

int CTblCtrl::SetSheetCount(int count)
{
    if (count < 1 || count > MaxSheets)
        return 1;
    const int previous = m_nCurSheet;
    const int tabWidth = m_pSheet ? m_pSheet->m_nTabWidth : 0;
    if (previous >= count) {
        // Child windows must not read the sheet while it goes away.
        m_pSheet = nullptr;
        for (CTblChildWindow* window : m_windows) {
            if (window)
                window->SetSheet(nullptr);
        }
    }
    if (static_cast<size_t>(count) < m_sheets.size())
        m_sheets.erase(m_sheets.begin() + count, m_sheets.end());
    const int scrollExtent = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    for (int index = GetSheetCount(); index < count; ++index) {
        m_sheets.push_back(std::make_unique<CTblSheet>(this, scrollExtent, scrollExtent));
        m_sheets.back()->m_pEditor = m_pEditWnd;
        CTblSheet* current = m_pSheet;
        m_pSheet = m_sheets.back().get();
        OnSheetReady(index);
        m_pSheet = current;
    }
    if (previous < 0 || previous >= count)
        ShowSheetAt(count - 1, 1, previous < 0 ? nullptr : &tabWidth);
    return 0;
}

int CTblCtrl::ShowSheet(int index, int redraw)
{
    if (index < 0 || index >= GetSheetCount())
        return 1;
    const int tabWidth = m_pSheet->m_nTabWidth;
    ShowSheetAt(index, redraw, &tabWidth);
    return 0;
}

void CTblCtrl::ShowSheetAt(int index, int redraw, const int* inheritedTabWidth)
{
    const int savedRedraw = m_nRedraw;
    if (!redraw)
        m_nRedraw = 0;
    m_nCurSheet = index;
    m_pSheet = m_sheets[static_cast<size_t>(index)].get();
    if (inheritedTabWidth)
        m_pSheet->m_nTabWidth = *inheritedTabWidth;
    for (CTblChildWindow* window : m_windows) {
        if (window)
            window->SetSheet(m_pSheet);
    }
    CTblAccessibleTable::AnnounceLayoutChanged(m_pCellArea);
    if (CTblChildWindow* cells = m_windows[SectionCells])
        cells->Widget()->setFocus();
    // Forgotten, so that the next notification reports both.
    m_pSheet->m_nPrevTopRow = -1;
    m_pSheet->m_nPrevLeftCol = -1;
    RecalcLayout();
    m_nRedraw = savedRedraw;
}

// ---- Windows ----

void CTblCtrl::SetChildWindow(int section, CTblChildWindow* window)
{
    if (section < SectionCells || section > SectionHScroll)
        return;
    m_windows[static_cast<size_t>(section)] = window;
    if (window)
        window->SetSheet(m_pSheet);
}

CTblChildWindow* CTblCtrl::GetChildWindow(int section) const
{
    if (section < SectionCells || section > SectionHScroll)
        return nullptr;
    return m_windows[static_cast<size_t>(section)];
}

void CTblCtrl::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    RecalcLayout();
}

void CTblCtrl::RecalcLayout()
{
    if (m_bInLayout || !m_pSheet)
        return;
    m_bInLayout = true;
    CTblSheet& s = *m_pSheet;
    FocusCellsIfInGrid();
    const QRect client = contentsRect();
    CTblLayout layout = CTblLayout::Compute(s, client.size());
    OnLayout(&layout.cells, &layout.colHeader, &layout.rowHeader, &layout.corner, &layout.vScroll,
             &layout.hScroll, &layout.tabs);
    PlaceWindows(layout, client.topLeft());
    s.m_rcCells = layout.cells;
    s.m_rcCorner = layout.corner;
    s.m_rcVScroll = layout.vScroll;
    s.m_rcHScroll = layout.hScroll;
    s.m_rcTabs = layout.tabs;
    s.m_nCellAreaWidth = layout.cells.width();
    s.m_nCellAreaHeight = layout.cells.height();
    m_navigator.ApplyLargestTopRow();
    m_navigator.ApplyLargestLeftCol();
    Redraw();
    s.m_nPrevTopRow = s.m_nTopRow;
    s.m_nPrevLeftCol = s.m_nLeftCol;
    m_bInLayout = false;
}

void CTblCtrl::PlaceWindows(const CTblLayout& layout, const QPoint& origin)
{
    const std::array<std::pair<int, const QRect*>, 7> placed = {{
        {SectionCells, &layout.cells},
        {SectionColHeader, &layout.colHeader},
        {SectionRowHeader, &layout.rowHeader},
        {SectionCorner, &layout.corner},
        {SectionVScroll, &layout.vScroll},
        {SectionHScroll, &layout.hScroll},
        {SectionTabs, &layout.tabs},
    }};
    for (const auto& [section, rect] : placed) {
        CTblChildWindow* window = m_windows[static_cast<size_t>(section)];
        if (!window)
            continue;
        QWidget* widget = window->Widget();
        widget->setGeometry(rect->translated(origin));
        // Windows of the grid with no room are hidden (scroll bars not needed, no tabs).
        if (section != SectionCells && widget->parentWidget() == this)
            widget->setVisible(!rect->isEmpty());
    }
}

int CTblCtrl::Redraw()
{
    if (!m_nRedraw)
        return 0;
    for (CTblChildWindow* window : m_windows) {
        if (window)
            window->RepaintAll();
    }
    return 0;
}

int CTblCtrl::RepaintCell(int col, long row)
{
    // A heading cell repaints its whole heading.
    const int section = col < 0 ? SectionRowHeader : (row < 0 ? SectionColHeader : SectionCells);
    CTblChildWindow* window = m_windows[static_cast<size_t>(section)];
    if (!window)
        return 0;
    if (section == SectionCells)
        window->RepaintCell(col, row);
    else
        window->RepaintAll();
    return 0;
}

int CTblCtrl::ShowPopupMenu(int col, long row, const QPoint& screenPoint, int section)
{
    if (!m_pSheet->m_bPopupMenu)
        return 1;
    CTblJoinGeometry::Block block;
    if (m_joins.BlockAt(col, row, block)) {
        col = block.col;
        row = block.row;
    }
    if (!OnPopupOpen(col, row, section))
        return 2;
    m_nPopupCol = col;
    m_nPopupRow = row;
    m_nPopupSection = section;
    if (m_pPopupMenu->isEmpty())
        return 3;
    m_pPopupMenu->popup(screenPoint);
    return 0;
}

void CTblCtrl::OnPopupAction(QAction* action)
{
    bool isNumber = false;
    const int id = action->data().toInt(&isNumber);
    if (isNumber && id >= FirstPopupCommand)
        OnPopupCommand(m_nPopupCol, m_nPopupRow, m_nPopupSection, id);
}

// ---- Attaching and the grid's windows ----

int CTblCtrl::AttachToDlgItem(QWidget* parent, int id)
{
    if (!parent)
        return 1;
    const QList<QWidget*> children = parent->findChildren<QWidget*>();
    for (QWidget* child : children) {
        const QVariant controlId = child->property(ControlIdProperty);
        if (child != this && controlId.isValid() && controlId.toInt() == id)
            return AttachToWidget(child);
    }
    return 1;
}

int CTblCtrl::AttachToWidget(QWidget* placeholder)
{
    if (!placeholder || m_pCellArea || placeholder == this || isAncestorOf(placeholder) ||
        !placeholder->parentWidget())
        return 1;
    QWidget* host = placeholder->parentWidget();
    const bool shown = !placeholder->isHidden();
    setParent(host);
    setGeometry(placeholder->geometry());
    setEnabled(placeholder->isEnabled());
    // The grid answers for the placeholder's id from now on.
    setProperty(ControlIdProperty, placeholder->property(ControlIdProperty));
    placeholder->setProperty(ControlIdProperty, QVariant());
    if (QLayout* layout = host->layout())
        delete layout->replaceWidget(placeholder, this);
    QWidget::setTabOrder(placeholder, this);
    placeholder->hide();
    // A one-pixel border round the grid, which takes part in the tab order.
    setContentsMargins(1, 1, 1, 1);
    setFocusPolicy(Qt::StrongFocus);
    CreateWindows();
    setVisible(shown);
    RecalcLayout();
    OnGridReady();
    return 0;
}

void CTblCtrl::CreateWindows()
{
    m_pCellArea = new CTblCellArea(this);
    m_pColHeader = new CTblColHeader(this);
    m_pRowHeader = new CTblRowHeader(this);
    m_pCornerBox = new CTblCornerBox(this);
    m_pSheetTabs = new CTblSheetTabs(this);
    m_pVScrollBar = new CTblVScrollBar(this);
    m_pHScrollBar = new CTblHScrollBar(this);
    m_pTipWnd = new CTblTipWnd(this);
    const std::array<std::pair<int, CTblChildWindow*>, 7> windows = {{
        {SectionCells, m_pCellArea},
        {SectionColHeader, m_pColHeader},
        {SectionRowHeader, m_pRowHeader},
        {SectionCorner, m_pCornerBox},
        {SectionTabs, m_pSheetTabs},
        {SectionVScroll, m_pVScrollBar},
        {SectionHScroll, m_pHScrollBar},
    }};
    for (const auto& [section, window] : windows) {
        SetChildWindow(section, window);
        window->Widget()->show();
    }
    m_pEditWnd = new CTblEditWnd(this);
    for (const auto& sheet : m_sheets) {
        if (!sheet->m_pEditor)
            sheet->m_pEditor = m_pEditWnd;
    }
    setFocusProxy(m_pCellArea);
}

void CTblCtrl::FocusCellsIfInGrid()
{
    if (!m_pCellArea)
        return;
    const QWidget* focus = window()->focusWidget();
    if (focus == m_pCellArea || m_pCellArea->isAncestorOf(focus))
        return;
    if (!focus || focus == this || isAncestorOf(focus))
        m_pCellArea->setFocus(Qt::OtherFocusReason);
}

void CTblCtrl::paintEvent(QPaintEvent*)
{
    // What the windows leave uncovered: the square between the two scroll bars, and the
    // border.
    QPainter dc(this);
    dc.fillRect(rect(), palette().color(QPalette::Button));
    if (contentsMargins().left() > 0) {
        dc.setPen(palette().color(QPalette::Shadow));
        dc.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}

void CTblCtrl::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange) {
        for (CTblCellType* type : m_cellTypes)
            type->SystemColorsChanged();
    }
}

// ---- Registries ----

int CTblCtrl::RegisterCellType(CTblCellType* type)
{
    if (!type)
        return -1;
    m_cellTypes.push_back(type);
    type->m_pGrid = this;
    type->m_nIndex = GetCellTypeCount() - 1;
    return type->m_nIndex;
}

CTblCellType* CTblCtrl::GetCellType(int index) const
{
    if (index < 0 || index >= GetCellTypeCount())
        return nullptr;
    return m_cellTypes[static_cast<size_t>(index)];
}

int CTblCtrl::RegisterDataSource(CTblDataSource* source)
{
    if (!source)
        return -1;
    auto free = std::find(m_sources.begin() + std::min<long>(1, std::ssize(m_sources)),
                          m_sources.end(), nullptr);
    if (free == m_sources.end()) {
        const size_t used = std::max<size_t>(m_sources.size(), 1);
        m_sources.resize(m_sources.size() + 16, nullptr);
        free = m_sources.begin() + static_cast<long>(used);
    }
    *free = source;
    source->m_pGrid = this;
    source->m_nIndex = static_cast<int>(free - m_sources.begin());
    return source->m_nIndex;
}

CTblDataSource* CTblCtrl::GetDataSource(int index) const
{
    if (index < 1 || index >= static_cast<int>(m_sources.size()))
        return nullptr;
    return m_sources[static_cast<size_t>(index)];
}

// ---- Callbacks that draw ----

QColor CTblCtrl::GetDefaultBackColor(int section)
{
    return palette().color(section == SectionCells ? QPalette::Base : QPalette::Button);
}

void CTblCtrl::DrawCurrentCellFrame(QPainter& dc, const QRect& rect)
{
    QStyleOptionFocusRect option;
    option.initFrom(this);
    option.rect = rect.adjusted(0, 0, -1, -1);
    style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &dc, this);
}
