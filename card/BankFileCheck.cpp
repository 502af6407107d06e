#include "BankFileCheck.h"

#include "PosixFile.h"
#include "SoundFontChunks.h"
#include "synth32.h"

#include <array>
#include <string_view>

uint16_t CBankFileCheck::Check(const char* path)
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
    switch (CSoundFontChunks soundFont; soundFont.Read(file, size)) {
    case CSoundFontChunks::Result::Read:
        TakeSoundFont(soundFont, path, size);
        return SYNTH_OK;
    case CSoundFontChunks::Result::Broken:
        return SYNTHERR_INVCOM;
    case CSoundFontChunks::Result::NotSoundFont:
        break;
    }
    off_t position = FIRST_LIST_OFFSET;
    if (size < FIRST_LIST_OFFSET || !SkipList(file, size, position) ||
        !SkipList(file, size, position) || !ReadName(file)) {
        return SYNTHERR_INVCOM;
    }
    m_size = static_cast<uint64_t>(size);
    return SYNTH_OK;
}

// The name is the file's own, or else its file name.
void CBankFileCheck::TakeSoundFont(const CSoundFontChunks& soundFont, const char* path,
                                   off_t fileSize)
{
    m_size = soundFont.MemorySize(fileSize);
    m_name = soundFont.Name();
    if (m_name.empty()) {
        const std::string_view whole(path);
        m_name = whole.substr(whole.find_last_of('/') + 1);
    }
}

bool CBankFileCheck::SkipList(const CPosixFile& file, off_t size, off_t& position)
{
    constexpr off_t TERMINATOR_SIZE = 2;
    std::array<uint8_t, TERMINATOR_SIZE> start{};
    while (position + TERMINATOR_SIZE <= size) {
        if (file.ReadAt(start, position) != TERMINATOR_SIZE) {
            return false;
        }
        if (start[0] == 0xFF && start[1] == 0xFF) {
            position += TERMINATOR_SIZE;
            return true;
        }
        position += RECORD_SIZE;
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
