#include "TerminalLoadProgress.h"

#include <algorithm>
#include <unistd.h>

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
    const QString line = QStringLiteral("%1% ").arg(percent, 3) + m_strLegend;
    m_stream << '\r' << line;
    if (m_erase == Erase::WithEscapeCode)
        m_stream << "\x1b[K";
    else if (line.size() < m_nWidth)
        m_stream << QString(m_nWidth - line.size(), u' ');
    m_nWidth = std::max(m_nWidth, line.size());
    m_stream.flush();
}

LoadProgressFactory CTerminalLoadProgress::Factory(QTextStream& stream, Erase erase)
{
    return [&stream, erase](QWidget*) {
        return std::make_unique<CTerminalLoadProgress>(stream, erase);
    };
}

LoadProgressFactory CTerminalLoadProgress::ForStandardError()
{
    const std::optional<Erase> erase = EraseFor(isatty(STDERR_FILENO) == 1, qgetenv("TERM"));
    if (!erase)
        return nullptr;
    // Lives as long as the program, beyond any load.
    static QTextStream standardError(stderr);
    return Factory(standardError, *erase);
}

std::optional<CTerminalLoadProgress::Erase> CTerminalLoadProgress::EraseFor(bool isTerminal,
                                                                            const QByteArray& term)
{
    if (!isTerminal)
        return std::nullopt;
    return term.isEmpty() || term == "dumb" ? Erase::WithSpaces : Erase::WithEscapeCode;
}
