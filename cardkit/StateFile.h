// A state file that every process using a card shares: an exclusive lock on a file of
// its own, whole-file reads, atomic replacement (CAtomicFileWriter) and the
// setting aside of a file that turned out not to be a valid state.
#pragma once

#include "PosixFile.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

class CStateFile
{
public:
    enum class ReadResult
    {
        Read,
        Missing,
        Failed
    };

    explicit CStateFile(std::string path) : m_path(std::move(path)) {}

    const std::string& Path() const { return m_path; }
    std::string LockPath() const { return m_path + ".lock"; }

    // Makes the directory and takes the lock, held until the returned file is closed; the
    // file is not open when that fails.
    CPosixFile Lock() const;
    // Another lock, on "<state>.<name>.lock", for callers that keep each other out of
    // something longer than a change of the state; operation as flock(2) takes it (LOCK_SH
    // or LOCK_EX, with LOCK_NB not to wait). Not open when it is not taken.
    CPosixFile LockBeside(std::string_view name, int operation) const;
    // The file's bytes, stopping once more than limit bytes are held.
    ReadResult Read(std::size_t limit, std::vector<uint8_t>& bytes) const;
    // Call it under the lock.
    bool Write(std::span<const uint8_t> bytes) const;
    // Renames the file with a ".bad" suffix, never over an earlier one, so that the next
    // call starts afresh and the broken file is kept for whoever wants to look at it.
    // Returns the new name; empty when the file could not be renamed.
    std::string SetAside() const;

private:
    CPosixFile LockFile(const std::string& lockPath, int operation) const;
    std::string Directory() const;

    std::string m_path;
};
