#pragma once

#include "MessageBoxService.h"

#include <QQueue>
#include <QString>

#include <vector>

class QWidget;

// A message box service for tests: records every box and answers from a script. While it
// lives it is the current service; its destructor puts the previous one back.
//
// With the script empty it answers what dismissing the box would: Id::Ok for an OK box,
// Id::Cancel when the box has a Cancel button, else Id::No.
class CRecordingMessageBox : public CMessageBoxService
{
public:
    struct Call
    {
        QWidget* owner;
        QString text;
        QString caption;
        unsigned type;
    };

    CRecordingMessageBox();
    ~CRecordingMessageBox() override;
    CRecordingMessageBox(const CRecordingMessageBox&) = delete;
    CRecordingMessageBox& operator=(const CRecordingMessageBox&) = delete;

    int Show(QWidget* owner, const QString& text, const QString& caption, unsigned type) override;

    // Queues the answer (an Id value) to the next box.
    void Script(int answer) { m_answers.enqueue(answer); }
    const std::vector<Call>& Calls() const { return m_calls; }
    // Answers scripted but not used yet.
    qsizetype PendingAnswers() const { return m_answers.size(); }

private:
    CMessageBoxService* m_previous;
    QQueue<int> m_answers;
    std::vector<Call> m_calls;
};
