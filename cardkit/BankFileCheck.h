// Decides whether a file can be loaded as a bank and takes what the card records of it:
// the name at offset 8 and the file's size, which is the sample memory it will take.
// A SoundFont file is a bank too, named and sized as CSoundFontChunks says.
//
// A bank file holds, from offset 26, its instrument list and then its drum-kit list:
// 6-byte records, each list ended by a record position that starts with FF FF, the
// second list starting right after those two bytes. Only that structure is checked.
#pragma once

#include <cstdint>
#include <string>
#include <sys/types.h>
#include <vector>

class CPosixFile;
class CSoundFontChunks;

class CBankFileCheck
{
public:
    static constexpr off_t NAME_OFFSET = 8;
    static constexpr off_t NAME_SIZE = 8;
    static constexpr off_t FIRST_LIST_OFFSET = 26;
    static constexpr off_t RECORD_SIZE = 6;
    static constexpr off_t TERMINATOR_SIZE = 2;
    // The lists are read in blocks of this size: a file is walked with few system calls.
    static constexpr off_t BLOCK_SIZE = 64 * 1024;

    // In this order: SYNTHERR_FILENOTFOUND when path is null or does not name a regular
    // file that can be opened for reading; SYNTHERR_OUTOFMEM when the file is larger than
    // maxSize, before any of it is read; SYNTHERR_INVCOM when the file is shorter than its
    // header or a list has no terminator before the end of the file, or it is a SoundFont
    // without sample data; SYNTH_OK otherwise.
    uint16_t Check(const char* path, uint64_t maxSize = UINT64_MAX);

    const std::string& Name() const { return m_name; }
    uint64_t Size() const { return m_size; }

private:
    void TakeSoundFont(const CSoundFontChunks& soundFont, const char* path, off_t fileSize);
    // Walks one list from position; on success position stands just after its terminator.
    bool SkipList(const CPosixFile& file, off_t size, off_t& position);
    off_t FindTerminator(off_t length) const;
    bool ReadName(const CPosixFile& file);

    std::vector<uint8_t> m_block;

    std::string m_name;
    uint64_t m_size = 0;
};
