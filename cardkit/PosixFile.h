// An open POSIX file descriptor that is closed when it goes out of scope, with the
// whole-buffer reads the card needs (retrying short transfers and EINTR).
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <sys/types.h>
#include <vector>

class CPosixFile
{
public:
    CPosixFile() = default;
    explicit CPosixFile(int fd) : m_fd(fd) {}
    ~CPosixFile();
    CPosixFile(CPosixFile&& other) noexcept;
    CPosixFile& operator=(CPosixFile&& other) noexcept;
    CPosixFile(const CPosixFile&) = delete;
    CPosixFile& operator=(const CPosixFile&) = delete;

    // Opens path with open(2)'s flags (O_CLOEXEC is always added); check IsOpen().
    static CPosixFile Open(const char* path, int flags, mode_t mode = 0);
    // Opens path for reading when it names a regular file, and gives its size; not open
    // otherwise. A FIFO cannot block the call.
    static CPosixFile OpenRegularFile(const char* path, off_t& size);

    bool IsOpen() const { return m_fd >= 0; }
    int Get() const { return m_fd; }

    // Reads up to buffer.size() bytes at offset; stops early only at the end of the file.
    // Returns the number of bytes read, or -1 on an error.
    ssize_t ReadAt(std::span<uint8_t> buffer, off_t offset) const;
    // Reads from the current position to the end of the file, but stops once more than
    // limit bytes are held, so that an oversized file shows as bytes.size() > limit without
    // being read whole. False on a read error.
    bool ReadAll(std::size_t limit, std::vector<uint8_t>& bytes) const;
    // Closes now and reports the result: a failed close after a write means lost data.
    bool Close();

private:
    int m_fd = -1;
};
