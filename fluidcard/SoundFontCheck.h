// Decides whether a file can be loaded as a SoundFont and takes what the card records of
// it: its name (the INAM chunk of its INFO list) and the sample memory it takes, which is
// the size of the smpl chunk of its sdta list or, for a compressed .sf3 font, whose
// samples the server unpacks as it pleases, the file's size.
#pragma once

#include <cstdint>
#include <string>
#include <sys/types.h>

class CPosixFile;

class CSoundFontCheck
{
public:
    // SYNTHERR_FILENOTFOUND when path does not name a regular file that can be opened for
    // reading; SYNTHERR_INVCOM when the file is not a RIFF sfbk file or, unless it is an
    // .sf3 font, has no smpl chunk; SYNTH_OK otherwise.
    uint16_t Check(const char* path);

    // The INAM text cut at 15 bytes, else the file's name.
    const std::string& Name() const { return m_name; }
    uint64_t SampleSize() const { return m_sampleSize; }

private:
    struct Chunk
    {
        char id[4];
        off_t data;    // where its data starts
        uint32_t size; // its data's size
    };

    // The chunk at position, when its header and its whole data lie before end.
    static bool ReadChunk(const CPosixFile& file, off_t position, off_t end, Chunk& chunk);
    // The first chunk with that id among the chunks from begin to end.
    static bool FindChunk(const CPosixFile& file, off_t begin, off_t end, const char* id,
                          Chunk& found);
    // The LIST chunk of that type among the file's top-level chunks.
    static bool FindList(const CPosixFile& file, off_t end, const char* type, Chunk& found);
    void ReadName(const CPosixFile& file, off_t end);

    std::string m_name;
    uint64_t m_sampleSize = 0;
};
