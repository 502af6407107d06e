// Runs a card's operations on the state it keeps in a shared state file: each call reads
// the state under the file's lock, lets the operation change it and writes it back
// atomically, so concurrent callers never lose each other's changes and a crash never
// leaves half a file. State provides Parse(bytes), Serialize() and MAX_SERIALIZED_SIZE.
#pragma once

#include "StateFile.h"
#include "synth32.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <utility>

template <typename State> class CStateStore
{
public:
    // Applies one operation to the state and returns its status code; it sets changed
    // when the state must be written back (only on success, so that a failed operation
    // leaves the file as it was).
    using Operation = std::function<uint16_t(State& state, bool& changed)>;

    // A missing state file stands for newState.
    CStateStore(std::string statePath, State newState)
        : m_file(std::move(statePath)), m_newState(std::move(newState))
    {
    }

    // SYNTHERR_ABORT when the state cannot be locked, read or written; also when the file
    // is not a valid state, which is then set aside. Otherwise the operation's result; the
    // operation does not run when the state is not available.
    uint16_t Run(const Operation& operation) const
    {
        if (m_file.Path().empty()) {
            return SYNTHERR_ABORT;
        }
        const CPosixFile lock = m_file.Lock();
        if (!lock.IsOpen()) {
            return SYNTHERR_ABORT;
        }
        State state = m_newState;
        std::vector<uint8_t> bytes;
        switch (m_file.Read(State::MAX_SERIALIZED_SIZE, bytes)) {
        case CStateFile::ReadResult::Read:
            if (auto parsed = State::Parse(bytes)) {
                state = std::move(*parsed);
                break;
            }
            ReportSetAside(m_file.SetAside());
            return SYNTHERR_ABORT;
        case CStateFile::ReadResult::Missing:
            // The card comes into being as it is given now, and keeps what it was given.
            if (!m_file.Write(state.Serialize())) {
                return SYNTHERR_ABORT;
            }
            break;
        case CStateFile::ReadResult::Failed:
            return SYNTHERR_ABORT;
        }
        bool changed = false;
        const uint16_t result = operation(state, changed);
        if (changed && !m_file.Write(state.Serialize())) {
            return SYNTHERR_ABORT;
        }
        return result;
    }

    const std::string& StatePath() const { return m_file.Path(); }
    const CStateFile& File() const { return m_file; }
    std::string LockPath() const { return m_file.LockPath(); }

private:
    // The status code alone cannot say where the user's banks went: the line on the
    // program's error stream does.
    void ReportSetAside(const std::string& newName) const
    {
        std::fprintf(stderr, "%s: the card's state file %s is damaged%s%s\n",
                     program_invocation_short_name, m_file.Path().c_str(),
                     newName.empty() ? "" : ": it was set aside as ", newName.c_str());
    }

    CStateFile m_file;
    State m_newState;
};
