#include "TblTabScroll.h"

#include <QStyle>

CTblTabScroll::CTblTabScroll(QWidget* parent) : QScrollBar(Qt::Horizontal, parent)
{
    setFocusPolicy(Qt::NoFocus);
}

int CTblTabScroll::ArrowsWidth() const
{
    return 2 * style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
}
