// Decides whether a file can be loaded as a SoundFont and takes what the card records of
// it: its name (the INAM chunk of its INFO list) and the sample memory it takes.
#pragma once

#include <cstdint>
#include <string>

class CSoundFontCheck
{
public:
    // SYNTHERR_FILENOTFOUND when path does not name a regular file that can be opened for
    // reading; SYNTHERR_INVCOM when the file is not a RIFF sfbk file or has no sample data;
    // SYNTH_OK otherwise.
    uint16_t Check(const char* path);

    // The name every card gives the font (CSoundFontChunks::BankName) cut at 15 bytes.
    const std::string& Name() const { return m_name; }
    uint64_t SampleSize() const { return m_sampleSize; }

private:
    std::string m_name;
    uint64_t m_sampleSize = 0;
};
