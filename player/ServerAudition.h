// Auditions on the FluidSynth server card: the server itself plays, through its shell. One
// channel is borrowed for the phrase: the preset is selected on it and, when the phrase is
// over, the program the channel had is selected again, so that a musician playing on that
// channel keeps their sound. No other channel is touched, and nothing is reset or silenced.
#pragma once

#include "AuditionOutput.h"
#include "FluidShell.h"

#include <optional>
#include <string>

class CServerAudition : public CAuditionOutput
{
public:
    explicit CServerAudition(CFluidShell::Address address);

    QString Begin(const AuditionPlan& plan) override;
    bool Note(int key, int velocity) override;
    // The server sounds the release out itself.
    bool Sounding() const override { return false; }
    bool End() override;
    QString Problem() const override { return m_strProblem; }

    // A channel's program as "channels -verbose" names it: "chan 15, sfont 1, bank 0,
    // preset 5, Name" gives "1 0 5"; nothing for a channel without one ("chan 15, no
    // preset") or a line of another channel or form.
    static std::optional<std::string> ProgramOf(const std::string& line, int channel);

private:
    bool Send(const std::string& command);
    // The channel's program now, from "channels -verbose"; false when the server does not
    // answer.
    bool ReadProgram(std::optional<std::string>& program);
    QString Unreachable() const;

    CFluidShell::Address m_address;
    std::optional<CFluidShell> m_shell;
    int m_nChannel = 0;
    // The channel's program before the audition, to select again after it.
    std::optional<std::string> m_previous;
    QString m_strProblem;
};
