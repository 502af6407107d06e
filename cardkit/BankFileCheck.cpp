#include "BankFileCheck.h"

#include "PosixFile.h"
#include "SoundFontChunks.h"
#include "synth32.h"

#include <array>
#include <cstring>

uint16_t CBankFileCheck::Check(const char* path, uint64_t maxSize)
{
    m_name.clear();
    m_size = 0;
    if (path == nullptr) {
        return SYNTHERR_FILENOTFOUND;
    }
    off_t size = 0;
    const CPosixFile file = CPosixFile::OpenRegularFile(path, size);
    if (!file.IsOpen()) {
        return SYNTHERR_FILENOTFOUND;
    }
    // A SoundFont is told by its chunk headers alone, and takes only its sample data.
    switch (CSoundFontChunks soundFont; soundFont.Read(file, size)) {
    case CSoundFontChunks::Result::Read:
        if (soundFont.MemorySize(size) > maxSize) {
            return SYNTHERR_OUTOFMEM;
        }
        TakeSoundFont(soundFont, path, size);
        return SYNTH_OK;
    case CSoundFontChunks::Result::Broken:
        return SYNTHERR_INVCOM;
    case CSoundFontChunks::Result::NotSoundFont:
        break;
    }
    // Any other file takes its whole size: when that does not fit, it cannot be loaded
    // whatever it holds, which is known without reading it, however large it is.
    if (static_cast<uint64_t>(size) > maxSize) {
        return SYNTHERR_OUTOFMEM;
    }
    off_t position = FIRST_LIST_OFFSET;
    if (size < FIRST_LIST_OFFSET || !SkipList(file, size, position) ||
        !SkipList(file, size, position) || !ReadName(file)) {
        return SYNTHERR_INVCOM;
    }
    m_size = static_cast<uint64_t>(size);
    return SYNTH_OK;
}

void CBankFileCheck::TakeSoundFont(const CSoundFontChunks& soundFont, const char* path,
                                   off_t fileSize)
{
    m_size = soundFont.MemorySize(fileSize);
    m_name = soundFont.BankName(path);
}

bool CBankFileCheck::SkipList(const CPosixFile& file, off_t size, off_t& position)
{
    m_block.resize(BLOCK_SIZE);
    // Each block starts at a record position; a record whose first two bytes cross the
    // block's end is looked at again at the start of the next block.
    while (position + TERMINATOR_SIZE <= size) {
        const ssize_t got = file.ReadAt(m_block, position);
        if (got < TERMINATOR_SIZE) {
            return false;
        }
        if (const off_t found = FindTerminator(got); found >= 0) {
            position += found + TERMINATOR_SIZE;
            return true;
        }
        position += ((got - TERMINATOR_SIZE) / RECORD_SIZE + 1) * RECORD_SIZE;
    }
    return false;
}

// The first record position in the block's first length bytes that holds FF FF, or -1.
// memchr() skips the bytes that cannot start one at memory speed, so that a large file
// that is no bank is refused quickly.
off_t CBankFileCheck::FindTerminator(off_t length) const
{
    const uint8_t* const start = m_block.data();
    const uint8_t* byte = start;
    while ((byte = static_cast<const uint8_t*>(std::memchr(
                byte, 0xFF, static_cast<std::size_t>(length - (byte - start))))) != nullptr) {
        const off_t offset = byte - start;
        if (offset + 1 >= length) {
            return -1;
        }
        if (offset % RECORD_SIZE == 0 && byte[1] == 0xFF) {
            return offset;
        }
        ++byte;
    }
    return -1;
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
