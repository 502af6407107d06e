#include "TblSheetTabs.h"

#include "TblCtrl.h"
#include "TblFontList.h"
#include "TblTabScroll.h"

#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <QPolygon>

#include <algorithm>

namespace {

// Room kept left and right of a tab scrolled into view.
constexpr int MarginLeft = 5;
constexpr int MarginRight = 19;
// Space between a label and the slanted sides of its tab.
constexpr int LabelPadding = 8;
constexpr int FontHeight = 14;
constexpr int FontWeight = 500;

} // namespace

CTblSheetTabs::CTblSheetTabs(CTblCtrl* grid)
    : QWidget(grid), m_pGrid(grid), m_pScroll(new CTblTabScroll(this))
{
    m_font.setFamily(QStringLiteral("Arial"));
    m_font.setWeight(static_cast<QFont::Weight>(FontWeight));
    m_font.setPixelSize(CTblFontList::PixelSizeForLineHeight(m_font, FontHeight));
    m_pScroll->setRange(0, 0);
    connect(m_pScroll, &QScrollBar::valueChanged, this, &CTblSheetTabs::SetOffset);
}

void CTblSheetTabs::SetSheet(CTblSheet*)
{
    update();
}

void CTblSheetTabs::RepaintAll()
{
    if (m_pGrid->GetRedraw())
        update();
}

int CTblSheetTabs::AddTab(const QString& label, int id)
{
    if (GetTabCount() >= MaxTabs)
        return -1;
    m_tabs.push_back(Tab{label, id});
    if (m_nCurTab < 0)
        m_nCurTab = 0;
    UpdateScroll();
    update();
    return GetTabCount() - 1;
}

void CTblSheetTabs::RemoveAllTabs()
{
    m_tabs.clear();
    m_nCurTab = -1;
    m_nOffset = 0;
    UpdateScroll();
    update();
}

bool CTblSheetTabs::SetCurTab(int index)
{
    if (index < 0 || index >= GetTabCount())
        return false;
    m_nCurTab = index;
    ScrollIntoView(index);
    update();
    return true;
}

int CTblSheetTabs::TabWidth(int index) const
{
    return QFontMetrics(m_font).horizontalAdvance(m_tabs[static_cast<size_t>(index)].label) +
           2 * LabelPadding;
}

int CTblSheetTabs::TabLeft(int index) const
{
    int left = 0;
    for (int n = 0; n < index; ++n)
        left += TabWidth(n);
    return left;
}

int CTblSheetTabs::TotalWidth() const
{
    return TabLeft(GetTabCount());
}

int CTblSheetTabs::StripLeft() const
{
    return m_pScroll->ArrowsWidth();
}

QRect CTblSheetTabs::TabRect(int index) const
{
    if (index < 0 || index >= GetTabCount())
        return QRect();
    return QRect(StripLeft() + TabLeft(index) - m_nOffset, 0, TabWidth(index), height());
}

int CTblSheetTabs::TabAt(const QPoint& point) const
{
    if (point.x() < StripLeft())
        return -1;
    for (int index = 0; index < GetTabCount(); ++index) {
        if (TabRect(index).contains(point))
            return index;
    }
    return -1;
}

void CTblSheetTabs::ScrollIntoView(int index)
{
    const int room = width() - StripLeft();
    const int left = TabLeft(index);
    const int right = left + TabWidth(index);
    int offset = m_nOffset;
    if (left - MarginLeft < offset)
        offset = left - MarginLeft;
    else if (right + MarginRight > offset + room)
        offset = right + MarginRight - room;
    SetOffset(std::clamp(offset, 0, std::max(m_pScroll->maximum(), 0)));
}

void CTblSheetTabs::UpdateScroll()
{
    const int room = std::max(width() - StripLeft(), 0);
    m_pScroll->setRange(0, std::max(TotalWidth() + MarginRight - room, 0));
    m_pScroll->setSingleStep(FontHeight);
    m_pScroll->setPageStep(std::max(room, 1));
}

void CTblSheetTabs::SetOffset(int offset)
{
    offset = std::clamp(offset, 0, std::max(m_pScroll->maximum(), 0));
    if (offset == m_nOffset)
        return;
    m_nOffset = offset;
    m_pScroll->setValue(offset);
    update();
}

void CTblSheetTabs::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    // A label's line fits inside its tab's outline, so no letter is cut off.
    m_font.setPixelSize(
        CTblFontList::PixelSizeForLineHeight(m_font, std::min(FontHeight, height() - 2)));
    m_pScroll->setGeometry(0, 0, m_pScroll->ArrowsWidth(), height());
    UpdateScroll();
}

void CTblSheetTabs::paintEvent(QPaintEvent*)
{
    QPainter dc(this);
    dc.fillRect(rect(), palette().color(QPalette::Button));
    dc.setFont(m_font);
    dc.setClipRect(QRect(StripLeft(), 0, width() - StripLeft(), height()));
    dc.setRenderHint(QPainter::Antialiasing, false);
    for (int index = 0; index < GetTabCount(); ++index) {
        const QRect tab = TabRect(index);
        if (tab.right() < StripLeft() || tab.left() > width())
            continue;
        // A tab with slanted sides hanging from the cells; the current one in the cells'
        // colour.
        const bool current = index == m_nCurTab;
        const int slant = std::min(4, tab.height() / 3);
        const QPolygon shape({tab.topLeft(), tab.topRight(),
                              QPoint(tab.right() - slant, tab.bottom()),
                              QPoint(tab.left() + slant, tab.bottom())});
        dc.setPen(palette().color(QPalette::Dark));
        dc.setBrush(palette().color(current ? QPalette::Base : QPalette::Button));
        dc.drawPolygon(shape);
        dc.setPen(palette().color(QPalette::ButtonText));
        dc.drawText(tab, Qt::AlignCenter, m_tabs[static_cast<size_t>(index)].label);
    }
}

void CTblSheetTabs::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const int index = TabAt(event->position().toPoint());
    if (index < 0)
        return;
    SetCurTab(index);
    m_pGrid->OnSheetTabClick(m_tabs[static_cast<size_t>(index)].id);
}
