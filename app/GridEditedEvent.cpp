#include "GridEditedEvent.h"

CGridEditedEvent::CGridEditedEvent(int column, long row)
    : QEvent(EventType()), m_nColumn(column), m_nRow(row)
{
}

QEvent::Type CGridEditedEvent::EventType()
{
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}
