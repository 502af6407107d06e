#include "AtomicFileWriter.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <string>
#include <string_view>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace {

// mkostemp() replaces the six X with letters and digits.
constexpr std::string_view TEMPORARY_INFIX = ".krv-";
constexpr std::string_view TEMPORARY_RANDOM = "XXXXXX";
// A temporary file removed by a cleaner between its creation and its lock is made anew.
constexpr int MAX_CREATE_ATTEMPTS = 8;

std::string DirectoryOf(const std::string& path)
{
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string NameOf(const std::string& path)
{
    return path.substr(path.find_last_of('/') + 1);
}

// True for "<target>.krv-XXXXXX" with the X replaced as mkostemp() does.
bool IsTemporaryOf(std::string_view targetName, std::string_view name)
{
    const std::size_t prefix = targetName.size() + TEMPORARY_INFIX.size();
    return name.size() == prefix + TEMPORARY_RANDOM.size() && name.starts_with(targetName) &&
           name.substr(targetName.size()).starts_with(TEMPORARY_INFIX) &&
           std::all_of(name.begin() + static_cast<std::ptrdiff_t>(prefix), name.end(),
                       [](char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0; });
}

bool Lock(int fd, int operation)
{
    int result = 0;
    do {
        result = ::flock(fd, operation);
    } while (result != 0 && errno == EINTR);
    return result == 0;
}

// The process's umask, read without setting it (umask(2) reads it only by changing it, which
// races with other threads creating files); 022 when the kernel does not tell it.
mode_t CurrentUmask()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.starts_with("Umask:"))
            return static_cast<mode_t>(std::strtoul(line.c_str() + 6, nullptr, 8) & 0777);
    }
    return 022;
}

// A file that is replaced keeps its permissions; a new one gets mode less the umask.
mode_t ModeFor(const std::string& target, mode_t mode)
{
    struct stat info
    {
    };
    if (::stat(target.c_str(), &info) == 0)
        return info.st_mode & 07777;
    return mode & ~CurrentUmask();
}

// Removes the temporary file name in directory when no writer holds it and it is still the
// file that was locked.
void RemoveIfUnheld(int directory, const char* name)
{
    const int fd = ::openat(directory, name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return;
    struct stat held
    {
    }, named{};
    if (Lock(fd, LOCK_EX | LOCK_NB) && ::fstat(fd, &held) == 0 && S_ISREG(held.st_mode) &&
        ::fstatat(directory, name, &named, AT_SYMLINK_NOFOLLOW) == 0 &&
        held.st_dev == named.st_dev && held.st_ino == named.st_ino)
        ::unlinkat(directory, name, 0);
    ::close(fd);
}

} // namespace

CAtomicFileWriter::CAtomicFileWriter(std::string path, mode_t newFileMode)
    : m_path(std::move(path)), m_newFileMode(newFileMode)
{
}

CAtomicFileWriter::~CAtomicFileWriter()
{
    Discard();
}

int CAtomicFileWriter::Open()
{
    Discard();
    m_error = 0;
    RemoveStaleTemporaries();
    if (!CreateLockedTemporary())
        return -1;
    if (::fchmod(m_fd, ModeFor(m_path, m_newFileMode)) != 0) {
        Fail();
        return -1;
    }
    return m_fd;
}

// The lock is taken right after the file is made; a cleaner that took it first has removed
// the file, which then has no name left, and another is made.
bool CAtomicFileWriter::CreateLockedTemporary()
{
    for (int attempt = 0; attempt < MAX_CREATE_ATTEMPTS; ++attempt) {
        m_temporary = m_path + std::string(TEMPORARY_INFIX) + std::string(TEMPORARY_RANDOM);
        m_fd = ::mkostemp(m_temporary.data(), O_CLOEXEC);
        if (m_fd < 0) {
            m_error = errno;
            m_temporary.clear();
            return false;
        }
        struct stat info
        {
        };
        if (!Lock(m_fd, LOCK_EX) || ::fstat(m_fd, &info) != 0)
            return Fail();
        if (info.st_nlink > 0)
            return true;
        ::close(m_fd);
        m_fd = -1;
        m_temporary.clear();
    }
    m_error = EAGAIN;
    return false;
}

bool CAtomicFileWriter::Commit()
{
    if (m_fd < 0)
        return false;
    // The lock is held until the rename, so no cleaner takes the file meanwhile.
    if (::fsync(m_fd) != 0 || ::rename(m_temporary.c_str(), m_path.c_str()) != 0)
        return Fail();
    m_temporary.clear();
    const int fd = std::exchange(m_fd, -1);
    if (::close(fd) != 0) {
        m_error = errno;
        return false;
    }
    // Makes the rename durable; the file is whole without it.
    const int directory = ::open(DirectoryOf(m_path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (directory >= 0) {
        ::fsync(directory);
        ::close(directory);
    }
    return true;
}

bool CAtomicFileWriter::Write(const std::string& path, std::span<const uint8_t> bytes,
                              mode_t newFileMode, int* error)
{
    CAtomicFileWriter writer(path, newFileMode);
    const int fd = writer.Open();
    bool written = fd >= 0;
    for (std::size_t done = 0; written && done < bytes.size();) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
        } else if (n == 0 || errno != EINTR) {
            written = writer.Fail();
        }
    }
    written = written && writer.Commit();
    if (!written && error != nullptr)
        *error = writer.Error();
    return written;
}

void CAtomicFileWriter::RemoveStaleTemporaries() const
{
    DIR* directory = ::opendir(DirectoryOf(m_path).c_str());
    if (directory == nullptr)
        return;
    const std::string targetName = NameOf(m_path);
    while (const dirent* entry = ::readdir(directory)) {
        if (IsTemporaryOf(targetName, entry->d_name))
            RemoveIfUnheld(::dirfd(directory), entry->d_name);
    }
    ::closedir(directory);
}

// Keeps the failing step's errno and removes the temporary file; always false.
bool CAtomicFileWriter::Fail()
{
    m_error = errno;
    Discard();
    return false;
}

void CAtomicFileWriter::Discard()
{
    if (!m_temporary.empty())
        ::unlink(m_temporary.c_str());
    m_temporary.clear();
    if (m_fd >= 0)
        ::close(std::exchange(m_fd, -1));
}
