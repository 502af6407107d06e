#include "ServerAudition.h"

#include "FluidCard.h"
#include "NativePath.h"
#include "StringTable.h"

#include <QRegularExpression>

#include <algorithm>

namespace {
constexpr int IDS_AUDITION_FONT_GONE = 1098;
constexpr int IDS_AUDITION_SERVER_LOST = 1099;
// A reply is awaited however long it takes; only the connect has a time-out.
constexpr std::chrono::milliseconds kConnectTimeout{3000};
} // namespace

CServerAudition::CServerAudition(CFluidShell::Address address) : m_address(std::move(address)) {}

std::optional<std::string> CServerAudition::ProgramOf(const std::string& line, int channel)
{
    static const QRegularExpression form(
        QStringLiteral("^chan (\\d+), sfont (\\d+), bank (\\d+), preset (\\d+), "));
    const QRegularExpressionMatch match = form.match(QString::fromStdString(line));
    if (!match.hasMatch() || match.captured(1).toInt() != channel)
        return std::nullopt;
    return QStringLiteral("%1 %2 %3")
        .arg(match.captured(2), match.captured(3), match.captured(4))
        .toStdString();
}

QString CServerAudition::Unreachable() const
{
    return CStringTable::Load(IDS_AUDITION_SERVER_LOST)
        .arg(QString::fromStdString(m_address.host + ":" + m_address.port));
}

bool CServerAudition::Send(const std::string& command)
{
    std::vector<std::string> reply;
    if (m_shell->Exchange(command, reply))
        return true;
    m_strProblem = Unreachable();
    return false;
}

bool CServerAudition::ReadProgram(std::optional<std::string>& program)
{
    std::vector<std::string> channels;
    if (!m_shell->Exchange("channels -verbose", channels))
        return false;
    program.reset();
    for (const std::string& line : channels) {
        if (!program)
            program = ProgramOf(line, m_nChannel);
    }
    return true;
}

QString CServerAudition::Begin(const AuditionPlan& plan)
{
    m_strProblem.clear();
    m_previous.reset();
    m_nChannel = plan.channel - 1;
    m_shell.emplace(m_address, kConnectTimeout);
    std::vector<ServerFont> stack;
    if (!CFluidCard::ReadStack(*m_shell, stack))
        return Unreachable();
    const std::string path = CNativePath::Encode(plan.soundFont).toStdString();
    const auto font = std::find_if(stack.begin(), stack.end(),
                                   [&](const ServerFont& held) { return held.path == path; });
    if (font == stack.end())
        return CStringTable::Load(IDS_AUDITION_FONT_GONE).arg(CNativePath::Display(plan.soundFont));
    if (!ReadProgram(m_previous))
        return Unreachable();
    // The shell answers nothing to a select, whether or not the preset is found: the
    // channel's program tells.
    const std::string selected = std::to_string(font->serverId) + " " + std::to_string(plan.bank) +
                                 " " + std::to_string(plan.program);
    if (!Send("select " + std::to_string(m_nChannel) + " " + selected))
        return Unreachable();
    std::optional<std::string> program;
    if (!ReadProgram(program)) {
        // The select was sent: the channel is put back as far as the server lets it.
        End();
        return Unreachable();
    }
    if (program != selected) {
        // A select that fails may still have changed the channel's bank.
        End();
        return NoPresetText(plan);
    }
    return QString();
}

bool CServerAudition::Note(int key, int velocity)
{
    const std::string channelKey = std::to_string(m_nChannel) + " " + std::to_string(key);
    return Send(velocity > 0 ? "noteon " + channelKey + " " + std::to_string(velocity)
                             : "noteoff " + channelKey);
}

// The shell answers nothing to a select: the channel's program read back tells whether
// it was put back.
bool CServerAudition::End()
{
    std::optional<std::string> program;
    const bool restored =
        !m_previous || (Send("select " + std::to_string(m_nChannel) + " " + *m_previous) &&
                        ReadProgram(program) && program == m_previous);
    if (!restored && m_strProblem.isEmpty())
        m_strProblem = Unreachable();
    m_shell.reset();
    return restored;
}
