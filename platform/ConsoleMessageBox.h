// The message box service of a program run from a terminal: each box becomes one line on
// the error stream, and every question is answered with its safe choice.
#pragma once

#include "MessageBoxService.h"

#include <QTextStream>

class CConsoleMessageBox : public CMessageBoxService
{
public:
    // Lines go to stream, each after the program's name and a colon. While the service
    // lives it is the current one; its destructor puts the previous one back.
    CConsoleMessageBox(QTextStream& stream, const QString& programName);
    ~CConsoleMessageBox() override;
    CConsoleMessageBox(const CConsoleMessageBox&) = delete;
    CConsoleMessageBox& operator=(const CConsoleMessageBox&) = delete;

    // Nobody answers on a terminal: OK for an OK box, Cancel where there is one, else No,
    // so that nothing is saved or overwritten that was not asked for.
    int Show(QWidget* owner, const QString& text, const QString& caption, unsigned type) override;

    int ShownCount() const { return m_nShown; }

private:
    QTextStream& m_stream;
    QString m_strProgram;
    CMessageBoxService* m_previous;
    int m_nShown = 0;
};
