#include "SoundFontWriter.h"
#include "WholeFileWrite.h"

#include <algorithm>

#include <cmath>
#include <numbers>

namespace {

constexpr uint32_t MINIMUM_TONE_FRAMES = 2205;
constexpr uint16_t GEN_INSTRUMENT = 41;
constexpr uint16_t GEN_SAMPLE_MODES = 54;
constexpr uint16_t GEN_SAMPLE_ID = 53;
constexpr uint16_t LOOP_CONTINUOUSLY = 1;
constexpr uint16_t MONO_SAMPLE = 1;
constexpr uint8_t ORIGINAL_KEY = 60;
constexpr double TONE_AMPLITUDE = 16383.0;
constexpr std::size_t RECORD_NAME_SIZE = 20;
constexpr std::size_t MODULATOR_RECORD_SIZE = 10;

class ByteSink
{
public:
    void U8(uint8_t value) { m_bytes.push_back(value); }
    void U16(uint16_t value)
    {
        U8(static_cast<uint8_t>(value));
        U8(static_cast<uint8_t>(value >> 8));
    }
    void U32(uint32_t value)
    {
        U16(static_cast<uint16_t>(value));
        U16(static_cast<uint16_t>(value >> 16));
    }
    void Tag(const char* fourCC) { Append(fourCC, 4); }
    // A fixed-size, NUL-padded name field.
    void Name(const std::string& name)
    {
        const std::size_t length = std::min(name.size(), RECORD_NAME_SIZE - 1);
        Append(name.data(), length);
        m_bytes.resize(m_bytes.size() + RECORD_NAME_SIZE - length, 0);
    }
    void Zeros(std::size_t count) { m_bytes.resize(m_bytes.size() + count, 0); }
    // A chunk: its tag, its size and its data, padded to an even size.
    void Chunk(const char* fourCC, const std::vector<uint8_t>& data)
    {
        Tag(fourCC);
        U32(static_cast<uint32_t>(data.size()));
        Append(data.data(), data.size());
        if (data.size() % 2 != 0)
            U8(0);
    }
    void List(const char* type, const std::vector<uint8_t>& chunks)
    {
        Chunk("LIST", Prefixed(type, chunks));
    }
    static std::vector<uint8_t> Prefixed(const char* type, const std::vector<uint8_t>& data)
    {
        ByteSink sink;
        sink.Tag(type);
        sink.Append(data.data(), data.size());
        return sink.Take();
    }
    void Append(const void* data, std::size_t size)
    {
        const auto* bytes = static_cast<const uint8_t*>(data);
        m_bytes.insert(m_bytes.end(), bytes, bytes + size);
    }
    std::vector<uint8_t> Take() { return std::move(m_bytes); }

private:
    std::vector<uint8_t> m_bytes;
};

} // namespace

void CSoundFontWriter::AddPreset(std::string name, uint16_t bank, uint16_t program, double toneHz)
{
    m_presets.push_back({std::move(name), bank, program, toneHz});
}

// Every tone has the same length: long enough for the requested sample data, shared out.
uint32_t CSoundFontWriter::ToneFrames() const
{
    if (m_presets.empty())
        return 0;
    const uint32_t framesEach = m_minimumSampleBytes / 2 / static_cast<uint32_t>(m_presets.size());
    return std::max(MINIMUM_TONE_FRAMES,
                    framesEach > SAMPLE_GAP_FRAMES ? framesEach - SAMPLE_GAP_FRAMES : 0);
}

uint32_t CSoundFontWriter::SampleDataSize() const
{
    const auto tones =
        static_cast<uint32_t>(m_presets.size()) * (ToneFrames() + SAMPLE_GAP_FRAMES) * 2;
    const uint32_t wanted = std::max(tones, m_minimumSampleBytes);
    return wanted + wanted % 2;
}

std::vector<uint8_t> CSoundFontWriter::SampleData() const
{
    ByteSink sink;
    const uint32_t frames = ToneFrames();
    for (const Preset& preset : m_presets) {
        for (uint32_t frame = 0; frame < frames; ++frame) {
            const double phase = 2.0 * std::numbers::pi * preset.toneHz * frame / SAMPLE_RATE;
            sink.U16(static_cast<uint16_t>(
                static_cast<int16_t>(std::lround(TONE_AMPLITUDE * std::sin(phase)))));
        }
        sink.Zeros(SAMPLE_GAP_FRAMES * 2);
    }
    std::vector<uint8_t> data = sink.Take();
    data.resize(SampleDataSize(), 0);
    return data;
}

// The "hydra": presets, their zones and generators, instruments, samples, each list closed
// by the terminal record the format requires.
std::vector<uint8_t> CSoundFontWriter::PresetData() const
{
    const auto count = static_cast<uint16_t>(m_presets.size());
    ByteSink phdr, pbag, pgen, inst, ibag, igen, shdr;
    const uint32_t frames = ToneFrames();
    for (uint16_t i = 0; i < count; ++i) {
        const Preset& preset = m_presets[i];
        phdr.Name(preset.name);
        phdr.U16(preset.program);
        phdr.U16(preset.bank);
        phdr.U16(i);
        phdr.Zeros(12);
        pbag.U16(i);
        pbag.U16(0);
        pgen.U16(GEN_INSTRUMENT);
        pgen.U16(i);
        inst.Name(preset.name);
        inst.U16(i);
        ibag.U16(static_cast<uint16_t>(2 * i));
        ibag.U16(0);
        igen.U16(GEN_SAMPLE_MODES);
        igen.U16(LOOP_CONTINUOUSLY);
        igen.U16(GEN_SAMPLE_ID);
        igen.U16(i);
        const uint32_t start = i * (frames + SAMPLE_GAP_FRAMES);
        shdr.Name(preset.name);
        for (uint32_t point : {start, start + frames, start, start + frames})
            shdr.U32(point);
        shdr.U32(SAMPLE_RATE);
        shdr.U8(ORIGINAL_KEY);
        shdr.U8(0);
        shdr.U16(0);
        shdr.U16(MONO_SAMPLE);
    }
    phdr.Name("EOP");
    phdr.Zeros(4);
    phdr.U16(count);
    phdr.Zeros(12);
    pbag.U16(count);
    pbag.U16(0);
    pgen.Zeros(4);
    inst.Name("EOI");
    inst.U16(count);
    ibag.U16(static_cast<uint16_t>(2 * count));
    ibag.U16(0);
    igen.Zeros(4);
    shdr.Name("EOS");
    shdr.Zeros(26);

    const std::vector<uint8_t> noModulators(MODULATOR_RECORD_SIZE, 0);
    ByteSink hydra;
    hydra.Chunk("phdr", phdr.Take());
    hydra.Chunk("pbag", pbag.Take());
    hydra.Chunk("pmod", noModulators);
    hydra.Chunk("pgen", pgen.Take());
    hydra.Chunk("inst", inst.Take());
    hydra.Chunk("ibag", ibag.Take());
    hydra.Chunk("imod", noModulators);
    hydra.Chunk("igen", igen.Take());
    hydra.Chunk("shdr", shdr.Take());
    return hydra.Take();
}

std::vector<uint8_t> CSoundFontWriter::InfoList() const
{
    ByteSink info;
    info.Chunk("ifil", {2, 0, 1, 0});
    if (!m_name.empty()) {
        std::vector<uint8_t> name(m_name.begin(), m_name.end());
        name.push_back(0);
        info.Chunk("INAM", name);
    }
    return info.Take();
}

std::vector<uint8_t> CSoundFontWriter::Bytes() const
{
    ByteSink body;
    body.List("INFO", InfoList());
    ByteSink samples;
    samples.Chunk("smpl", SampleData());
    body.List("sdta", samples.Take());
    body.List("pdta", PresetData());
    ByteSink file;
    file.Chunk("RIFF", ByteSink::Prefixed("sfbk", body.Take()));
    return file.Take();
}

bool CSoundFontWriter::Write(const std::string& path, std::string* error) const
{
    const std::vector<uint8_t> bytes = Bytes();
    const std::string problem = WriteWholeFile(path, [&bytes](std::FILE* file) {
        return std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    });
    if (error != nullptr)
        *error = problem;
    return problem.empty();
}
