#include "TerminalLoadProgress.h"

#include <algorithm>

CTerminalLoadProgress::~CTerminalLoadProgress()
{
    m_stream << '\n';
    m_stream.flush();
}

void CTerminalLoadProgress::SetLegend(const QString& text)
{
    m_strLegend = text;
    Draw();
}

void CTerminalLoadProgress::SetRange(uint32_t max)
{
    m_nMax = max;
    Draw();
}

void CTerminalLoadProgress::SetPos(uint32_t position)
{
    m_nPos = position;
    Draw();
}

// Back to the start of the line, the percentage, the legend, and the rest of the line
// erased, so that a shorter legend leaves nothing of a longer one behind.
void CTerminalLoadProgress::Draw()
{
    const uint64_t percent =
        m_nMax == 0 ? 100 : std::min<uint64_t>(100, uint64_t{m_nPos} * 100 / m_nMax);
    m_stream << '\r' << qSetFieldWidth(3) << percent << qSetFieldWidth(0) << "% " << m_strLegend
             << "\x1b[K";
    m_stream.flush();
}

LoadProgressFactory CTerminalLoadProgress::Factory(QTextStream& stream)
{
    return [&stream](QWidget*) { return std::make_unique<CTerminalLoadProgress>(stream); };
}
