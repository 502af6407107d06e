#pragma once

#include "FileDialogService.h"

#include <QQueue>
#include <QString>

#include <vector>

// A file dialog service for tests: records every request and answers from a script. While
// it lives it is the current service; its destructor puts the previous one back.
//
// An answer of "" cancels the dialog, and so does an empty script. Like the real dialog,
// it adds the request's default extension to an answer whose file name has none.
class CScriptedFileDialog : public CFileDialogService
{
public:
    CScriptedFileDialog();
    ~CScriptedFileDialog() override;
    CScriptedFileDialog(const CScriptedFileDialog&) = delete;
    CScriptedFileDialog& operator=(const CScriptedFileDialog&) = delete;

    QString Run(const FileDialogRequest& request) override;

    // Queues the path chosen in the next dialog; "" to cancel it.
    void Script(const QString& answer) { m_answers.enqueue(answer); }
    const std::vector<FileDialogRequest>& Requests() const { return m_requests; }
    // Answers scripted but not used yet.
    qsizetype PendingAnswers() const { return m_answers.size(); }

private:
    CFileDialogService* m_previous;
    QQueue<QString> m_answers;
    std::vector<FileDialogRequest> m_requests;
};
