#include "ConsoleMessageBox.h"

CConsoleMessageBox::CConsoleMessageBox(QTextStream& stream, const QString& programName)
    : m_stream(stream), m_strProgram(programName), m_previous(&CMessageBoxService::Current())
{
    CMessageBoxService::Install(this);
}

CConsoleMessageBox::~CConsoleMessageBox()
{
    CMessageBoxService::Install(m_previous);
}

int CConsoleMessageBox::Show(QWidget*, const QString& text, const QString&, unsigned type)
{
    ++m_nShown;
    // The texts come from the window's string table, some with a trailing space or a
    // line break for the box's layout.
    m_stream << m_strProgram << ": " << text.simplified() << '\n';
    m_stream.flush();
    return DismissAnswer(type);
}
