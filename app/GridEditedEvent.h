// Posted by the bank list to its parent window when an edit of one of its cells has ended.
#pragma once

#include <QEvent>

class CGridEditedEvent : public QEvent
{
public:
    CGridEditedEvent(int column, long row);

    // The event type, registered once per program.
    static QEvent::Type EventType();

    int Column() const { return m_nColumn; }
    long Row() const { return m_nRow; }

private:
    int m_nColumn;
    long m_nRow;
};
