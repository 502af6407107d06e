#include "RecordingMessageBox.h"

CRecordingMessageBox::CRecordingMessageBox() : m_previous(&CMessageBoxService::Current())
{
    Install(this);
}

CRecordingMessageBox::~CRecordingMessageBox()
{
    Install(m_previous);
}

int CRecordingMessageBox::Show(QWidget* owner, const QString& text, const QString& caption,
                               unsigned type)
{
    m_calls.push_back({owner, text, caption, type});
    return m_answers.isEmpty() ? DismissAnswer(type) : m_answers.dequeue();
}
