#include "StateFile.h"

#include "AtomicFileWriter.h"

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <string_view>
#include <sys/file.h>
#include <system_error>
#include <unistd.h>

namespace {

// Sets-aside names tried before giving up: "<state>.bad", "<state>.bad.1", ...
constexpr int MAX_SET_ASIDE_NAMES = 1000;
// The state is the user's own: a new state file is readable by its owner only.
constexpr mode_t STATE_FILE_MODE = 0600;

bool TakeLock(const CPosixFile& file, int operation)
{
    int result = 0;
    do {
        result = ::flock(file.Get(), operation);
    } while (result != 0 && errno == EINTR);
    return result == 0;
}

} // namespace

CPosixFile CStateFile::Lock() const
{
    return LockFile(LockPath(), LOCK_EX);
}

CPosixFile CStateFile::LockBeside(std::string_view name, int operation) const
{
    return LockFile(m_path + "." + std::string(name) + ".lock", operation);
}

CPosixFile CStateFile::LockFile(const std::string& lockPath, int operation) const
{
    std::error_code error;
    std::filesystem::create_directories(Directory(), error);
    if (error) {
        return {};
    }
    // The lock lives on a file of its own: the state file is replaced by rename, and a
    // lock on a replaced file would no longer exclude anyone.
    CPosixFile lock = CPosixFile::Open(lockPath.c_str(), O_RDWR | O_CREAT, 0600);
    if (!lock.IsOpen() || !TakeLock(lock, operation)) {
        return {};
    }
    return lock;
}

CStateFile::ReadResult CStateFile::Read(std::size_t limit, std::vector<uint8_t>& bytes) const
{
    const CPosixFile file = CPosixFile::Open(m_path.c_str(), O_RDONLY);
    if (!file.IsOpen()) {
        return errno == ENOENT ? ReadResult::Missing : ReadResult::Failed;
    }
    return file.ReadAll(limit, bytes) ? ReadResult::Read : ReadResult::Failed;
}

bool CStateFile::Write(std::span<const uint8_t> bytes) const
{
    return CAtomicFileWriter::Write(m_path, bytes, STATE_FILE_MODE);
}

std::string CStateFile::SetAside() const
{
    // link() fails rather than replace an existing name, so no earlier copy is lost.
    for (int n = 0; n < MAX_SET_ASIDE_NAMES; ++n) {
        const std::string name = m_path + ".bad" + (n == 0 ? "" : "." + std::to_string(n));
        if (::link(m_path.c_str(), name.c_str()) == 0) {
            ::unlink(m_path.c_str());
            return name;
        }
        if (errno != EEXIST) {
            return {};
        }
    }
    return {};
}

std::string CStateFile::Directory() const
{
    const std::filesystem::path parent = std::filesystem::path(m_path).parent_path();
    return parent.empty() ? std::string(".") : parent.string();
}
