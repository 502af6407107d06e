// The few facts about a SoundFont file that are kept without reading its presets or its
// samples: its format version, its name (the INAM chunk) and the size of its sample data.
// Only chunk headers are walked: chunks not needed are skipped by their size, and nothing
// is read past the end of the file or of the list that holds a chunk.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <sys/types.h>

class CPosixFile;

class CSoundFontChunks
{
public:
    enum class Result
    {
        NotSoundFont, // not a RIFF "sfbk" form
        Broken,       // a SoundFont form without sample data, or cut short before it
        Read
    };

    // Reads the regular file open as file, fileSize bytes long.
    Result Read(const CPosixFile& file, off_t fileSize);
    // The same from the file at path; NotSoundFont when it is not a regular file.
    Result Read(const char* path);

    // INAM up to its first NUL byte; "" when the file has none.
    const std::string& Name() const { return m_name; }
    // The name every card gives the font: its INAM, else the file's name without its
    // extension ("my font" for "my font.sf2"). path is the file system's bytes.
    std::string BankName(std::string_view path) const;
    // The major version of the format (ifil); 3 marks compressed samples.
    uint16_t MajorVersion() const { return m_majorVersion; }
    // The size of the "smpl" chunk of the "sdta" list.
    uint64_t SampleDataSize() const { return m_sampleDataSize; }
    // The sample memory the font takes: its sample data, or for compressed samples
    // (version 3), which a synthesizer unpacks as it pleases, the whole file.
    uint64_t MemorySize(off_t fileSize) const;

    static constexpr std::size_t MAX_NAME_SIZE = 256;

private:
    struct Chunk;
    bool ReadChunk(const CPosixFile& file, uint64_t offset, uint64_t end, Chunk& chunk) const;
    void ReadList(const CPosixFile& file, const Chunk& list, uint64_t end);
    void ReadInfo(const CPosixFile& file, const Chunk& chunk);

    std::string m_name;
    uint16_t m_majorVersion = 0;
    uint64_t m_sampleDataSize = 0;
    bool m_hasSampleData = false;
};
