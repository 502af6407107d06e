#include "ScriptedFileDialog.h"

CScriptedFileDialog::CScriptedFileDialog() : m_previous(&CFileDialogService::Current())
{
    Install(this);
}

CScriptedFileDialog::~CScriptedFileDialog()
{
    Install(m_previous);
}

QString CScriptedFileDialog::Run(const FileDialogRequest& request)
{
    m_requests.push_back(request);
    const QString answer = m_answers.isEmpty() ? QString() : m_answers.dequeue();
    return answer.isEmpty() ? answer : WithDefaultExtension(answer, request.defaultExt);
}
