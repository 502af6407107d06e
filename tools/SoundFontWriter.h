// Writes minimal SoundFont 2 files (RIFF "sfbk") for demos and test fixtures: a name,
// presets at chosen bank and program numbers, each playing a looped sine tone of its own,
// and sample data of a chosen size.
//
// Every preset has one instrument with one mono sample, so fonts that define the same
// bank:program with different tones can be told apart by what they render.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

class CSoundFontWriter
{
public:
    static constexpr uint32_t SAMPLE_RATE = 44100;
    // Zero frames the format asks for after every sample.
    static constexpr uint32_t SAMPLE_GAP_FRAMES = 46;
    static constexpr std::size_t MAX_NAME_LENGTH = 19;

    // name: the font's INAM; empty writes no INAM chunk.
    explicit CSoundFontWriter(std::string name = {}) : m_name(std::move(name)) {}
    void SetName(std::string name) { m_name = std::move(name); }

    // A preset named name (at most MAX_NAME_LENGTH bytes, cut beyond) at bank:program,
    // playing a tone of toneHz at its original key (60).
    void AddPreset(std::string name, uint16_t bank, uint16_t program, double toneHz = 440.0);
    // The smallest size of the smpl chunk; the tones are lengthened and zero frames added
    // to reach it.
    void SetSampleDataSize(uint32_t bytes) { m_minimumSampleBytes = bytes; }

    // The exact size of the smpl chunk that Bytes() writes.
    uint32_t SampleDataSize() const;
    std::vector<uint8_t> Bytes() const;

    // Writes the file whole through a temporary file renamed over path; on failure nothing
    // is left behind and *error (when given) says why.
    bool Write(const std::string& path, std::string* error = nullptr) const;

private:
    struct Preset
    {
        std::string name;
        uint16_t bank;
        uint16_t program;
        double toneHz;
    };

    uint32_t ToneFrames() const;
    std::vector<uint8_t> SampleData() const;
    std::vector<uint8_t> PresetData() const;
    std::vector<uint8_t> InfoList() const;

    std::string m_name;
    std::vector<Preset> m_presets;
    uint32_t m_minimumSampleBytes = 0;
};
