#include "PosixFile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

CPosixFile::~CPosixFile()
{
    Close();
}

CPosixFile::CPosixFile(CPosixFile&& other) noexcept : m_fd(std::exchange(other.m_fd, -1)) {}

CPosixFile& CPosixFile::operator=(CPosixFile&& other) noexcept
{
    if (this != &other) {
        Close();
        m_fd = std::exchange(other.m_fd, -1);
    }
    return *this;
}

CPosixFile CPosixFile::Open(const char* path, int flags, mode_t mode)
{
    int fd = -1;
    do {
        fd = ::open(path, flags | O_CLOEXEC, mode);
    } while (fd < 0 && errno == EINTR);
    return CPosixFile(fd);
}

CPosixFile CPosixFile::OpenRegularFile(const char* path, off_t& size)
{
    // O_NONBLOCK keeps a FIFO from blocking the open; it is refused below.
    CPosixFile file = Open(path, O_RDONLY | O_NONBLOCK);
    struct stat info
    {
    };
    if (!file.IsOpen() || ::fstat(file.Get(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return {};
    }
    size = info.st_size;
    return file;
}

ssize_t CPosixFile::ReadAt(std::span<uint8_t> buffer, off_t offset) const
{
    std::size_t done = 0;
    while (done < buffer.size()) {
        const ssize_t got = ::pread(m_fd, buffer.data() + done, buffer.size() - done,
                                    offset + static_cast<off_t>(done));
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            return -1;
        }
        if (got == 0) {
            break;
        }
        done += static_cast<std::size_t>(got);
    }
    return static_cast<ssize_t>(done);
}

bool CPosixFile::ReadAll(std::size_t limit, std::vector<uint8_t>& bytes) const
{
    bytes.clear();
    uint8_t chunk[4096];
    while (bytes.size() <= limit) {
        const ssize_t got = ::read(m_fd, chunk, sizeof chunk);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            return false;
        }
        if (got == 0) {
            return true;
        }
        bytes.insert(bytes.end(), chunk, chunk + got);
    }
    return true;
}

bool CPosixFile::Close()
{
    if (m_fd < 0) {
        return true;
    }
    // close(2) must not be retried on EINTR on Linux: the descriptor is already released.
    return ::close(std::exchange(m_fd, -1)) == 0;
}
