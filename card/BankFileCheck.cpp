#include "BankFileCheck.h"

#include "PosixFile.h"
#include "synth32.h"

#include <array>
#include <fcntl.h>
#include <sys/stat.h>

uint16_t CBankFileCheck::Check(const char* path, uint64_t maxSize)
{
    m_name.clear();
    m_size = 0;
    if (path == nullptr) {
        return SYNTHERR_FILENOTFOUND;
    }
    // O_NONBLOCK keeps a FIFO given as a bank from blocking the call; it is refused below.
    const CPosixFile file = CPosixFile::Open(path, O_RDONLY | O_NONBLOCK);
    struct stat info
    {
    };
    if (!file.IsOpen() || ::fstat(file.Get(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return SYNTHERR_FILENOTFOUND;
    }
    // Whatever the file holds, it cannot be loaded when it does not fit: that is known
    // without reading it, however large it is.
    if (static_cast<uint64_t>(info.st_size) > maxSize) {
        return SYNTHERR_OUTOFMEM;
    }
    off_t position = FIRST_LIST_OFFSET;
    if (info.st_size < FIRST_LIST_OFFSET || !SkipList(file, info.st_size, position) ||
        !SkipList(file, info.st_size, position) || !ReadName(file)) {
        return SYNTHERR_INVCOM;
    }
    m_size = static_cast<uint64_t>(info.st_size);
    return SYNTH_OK;
}

bool CBankFileCheck::SkipList(const CPosixFile& file, off_t size, off_t& position)
{
    constexpr off_t TERMINATOR_SIZE = 2;
    m_block.resize(BLOCK_SIZE);
    // Each block starts at a record position; a record whose first two bytes cross the
    // block's end is looked at again at the start of the next block.
    while (position + TERMINATOR_SIZE <= size) {
        const ssize_t got = file.ReadAt(m_block, position);
        if (got < TERMINATOR_SIZE) {
            return false;
        }
        off_t offset = 0;
        for (; offset + TERMINATOR_SIZE <= got; offset += RECORD_SIZE) {
            if (m_block[offset] == 0xFF && m_block[offset + 1] == 0xFF) {
                position += offset + TERMINATOR_SIZE;
                return true;
            }
        }
        position += offset;
    }
    return false;
}

bool CBankFileCheck::ReadName(const CPosixFile& file)
{
    std::array<uint8_t, NAME_SIZE> bytes{};
    if (file.ReadAt(bytes, NAME_OFFSET) != NAME_SIZE) {
        return false;
    }
    for (const uint8_t byte : bytes) {
        if (byte == 0) {
            break;
        }
        m_name.push_back(static_cast<char>(byte));
    }
    return true;
}
