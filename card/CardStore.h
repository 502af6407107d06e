// Keeps the card's state in a file that every process using the card shares. Each call
// runs under an exclusive lock: it reads the state, lets an operation change it and
// writes it back atomically (temporary file, fsync, rename), so concurrent callers never
// lose each other's changes and a crash never leaves half a file. The temporary file of a
// write that was killed is removed by the next write.
#pragma once

#include "CardState.h"

#include <cstdint>
#include <functional>
#include <string>

class CCardStore
{
public:
    // Applies one operation to the state and returns its status code; it sets changed
    // when the state must be written back (only on success, so that a failed operation
    // leaves the file as it was).
    using Operation = std::function<uint16_t(CCardState& state, bool& changed)>;

    // A missing state file stands for a new, empty card with newCardMemory bytes.
    CCardStore(std::string statePath, uint32_t newCardMemory);

    // SYNTHERR_ABORT when the state cannot be locked, read or written; also when the file
    // is not a valid state, which is then set aside (renamed with a ".bad" suffix, never
    // over an earlier one) so that the next call starts from a new card. Otherwise the
    // operation's result; the operation does not run when the state is not available.
    uint16_t Run(const Operation& operation) const;

    const std::string& StatePath() const { return m_statePath; }
    std::string LockPath() const { return m_statePath + ".lock"; }

private:
    enum class LoadResult
    {
        Loaded,
        Missing,
        Failed
    };

    bool PrepareDirectory() const;
    LoadResult Load(CCardState& state) const;
    bool Save(const CCardState& state) const;
    void RemoveStaleTemporaries() const;
    void SetAside() const;
    std::string Directory() const;

    std::string m_statePath;
    uint32_t m_newCardMemory;
};
