#include "CardStore.h"

#include "PosixFile.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <string_view>
#include <sys/file.h>
#include <system_error>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

// Sets-aside names tried before giving up: "<state>.bad", "<state>.bad.1", ...
constexpr int MAX_SET_ASIDE_NAMES = 1000;
// mkostemp() replaces these six characters with letters and digits.
constexpr std::string_view TEMPORARY_SUFFIX = "XXXXXX";

// True for "<state>.XXXXXX" with the X replaced as mkostemp() does.
bool IsTemporaryOf(const std::string& stateName, const std::string& name)
{
    const std::size_t prefix = stateName.size() + 1;
    return name.size() == prefix + TEMPORARY_SUFFIX.size() && name.starts_with(stateName) &&
           name[stateName.size()] == '.' &&
           std::all_of(name.begin() + static_cast<std::ptrdiff_t>(prefix), name.end(),
                       [](char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0; });
}

bool LockExclusive(const CPosixFile& file)
{
    int result = 0;
    do {
        result = ::flock(file.Get(), LOCK_EX);
    } while (result != 0 && errno == EINTR);
    return result == 0;
}

// Makes a completed rename durable; the state is already consistent without it.
void SyncDirectory(const std::string& directory)
{
    CPosixFile dir = CPosixFile::Open(directory.c_str(), O_RDONLY | O_DIRECTORY);
    if (dir.IsOpen()) {
        dir.Sync();
    }
}

} // namespace

CCardStore::CCardStore(std::string statePath, uint32_t newCardMemory)
    : m_statePath(std::move(statePath)), m_newCardMemory(newCardMemory)
{
}

uint16_t CCardStore::Run(const Operation& operation) const
{
    if (m_statePath.empty() || !PrepareDirectory()) {
        return SYNTHERR_ABORT;
    }
    // The lock lives on a file of its own: the state file is replaced by rename, and a
    // lock on a replaced file would no longer exclude anyone.
    const CPosixFile lock = CPosixFile::Open(LockPath().c_str(), O_RDWR | O_CREAT, 0600);
    if (!lock.IsOpen() || !LockExclusive(lock)) {
        return SYNTHERR_ABORT;
    }
    CCardState state;
    switch (Load(state)) {
    case LoadResult::Loaded:
        break;
    case LoadResult::Missing:
        // The card comes into being with the memory it is given now, and keeps it.
        state = CCardState(m_newCardMemory);
        if (!Save(state)) {
            return SYNTHERR_ABORT;
        }
        break;
    case LoadResult::Failed:
        return SYNTHERR_ABORT;
    }
    bool changed = false;
    const uint16_t result = operation(state, changed);
    if (changed && !Save(state)) {
        return SYNTHERR_ABORT;
    }
    return result;
}

bool CCardStore::PrepareDirectory() const
{
    const std::string directory = Directory();
    std::error_code error;
    std::filesystem::create_directories(directory, error);
    return !error;
}

CCardStore::LoadResult CCardStore::Load(CCardState& state) const
{
    const CPosixFile file = CPosixFile::Open(m_statePath.c_str(), O_RDONLY);
    if (!file.IsOpen()) {
        return errno == ENOENT ? LoadResult::Missing : LoadResult::Failed;
    }
    std::vector<uint8_t> bytes;
    if (!file.ReadAll(CCardState::MAX_SERIALIZED_SIZE, bytes)) {
        return LoadResult::Failed;
    }
    auto parsed = CCardState::Parse(bytes);
    if (!parsed) {
        SetAside();
        return LoadResult::Failed;
    }
    state = std::move(*parsed);
    return LoadResult::Loaded;
}

bool CCardStore::Save(const CCardState& state) const
{
    RemoveStaleTemporaries();
    std::string temporary = m_statePath + "." + std::string(TEMPORARY_SUFFIX);
    CPosixFile file(::mkostemp(temporary.data(), O_CLOEXEC));
    if (!file.IsOpen()) {
        return false;
    }
    const bool written = file.WriteAll(state.Serialize()) && file.Sync() && file.Close() &&
                         ::rename(temporary.c_str(), m_statePath.c_str()) == 0;
    if (!written) {
        ::unlink(temporary.c_str());
        return false;
    }
    SyncDirectory(Directory());
    return true;
}

// Only the holder of the lock writes, so any temporary file found now was left by a
// process that died during its write.
void CCardStore::RemoveStaleTemporaries() const
{
    const std::string stateName = std::filesystem::path(m_statePath).filename().string();
    std::error_code error;
    for (std::filesystem::directory_iterator it(Directory(), error), end; !error && it != end;
         it.increment(error)) {
        if (IsTemporaryOf(stateName, it->path().filename().string())) {
            ::unlink(it->path().c_str());
        }
    }
}

void CCardStore::SetAside() const
{
    // link() fails rather than replace an existing name, so no earlier copy is lost.
    for (int n = 0; n < MAX_SET_ASIDE_NAMES; ++n) {
        const std::string name = m_statePath + ".bad" + (n == 0 ? "" : "." + std::to_string(n));
        if (::link(m_statePath.c_str(), name.c_str()) == 0) {
            ::unlink(m_statePath.c_str());
            return;
        }
        if (errno != EEXIST) {
            return;
        }
    }
}

std::string CCardStore::Directory() const
{
    const std::filesystem::path parent = std::filesystem::path(m_statePath).parent_path();
    return parent.empty() ? std::string(".") : parent.string();
}
