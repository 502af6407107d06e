// The SoundFont writer's files as FluidSynth reads them: the presets at their numbers, and
// each preset sounding its own tone.
#include "SoundFontWriter.h"

#include <QDir>
#include <QTemporaryDir>

#include <fluidsynth.h>
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

namespace {

struct SynthDeleter
{
    void operator()(fluid_synth_t* synth) const { delete_fluid_synth(synth); }
    void operator()(fluid_settings_t* settings) const { delete_fluid_settings(settings); }
};

class CLoadedFont
{
public:
    explicit CLoadedFont(const std::string& path)
        : m_settings(new_fluid_settings()), m_synth(new_fluid_synth(m_settings.get())),
          m_id(fluid_synth_sfload(m_synth.get(), path.c_str(), 1))
    {
    }

    bool Loaded() const { return m_id >= 0; }

    std::vector<std::string> Presets() const
    {
        std::vector<std::string> presets;
        fluid_sfont_t* font = fluid_synth_get_sfont_by_id(m_synth.get(), m_id);
        fluid_sfont_iteration_start(font);
        while (fluid_preset_t* preset = fluid_sfont_iteration_next(font)) {
            presets.push_back(std::to_string(fluid_preset_get_banknum(preset)) + ":" +
                              std::to_string(fluid_preset_get_num(preset)) + " " +
                              fluid_preset_get_name(preset));
        }
        return presets;
    }

    // The number of upward zero crossings in a tenth of a second of key 60 on bank:program.
    int ZeroCrossings(int bank, int program)
    {
        fluid_synth_program_select(m_synth.get(), 0, m_id, bank, program);
        fluid_synth_noteon(m_synth.get(), 0, 60, 127);
        std::vector<float> left(4410);
        std::vector<float> right(4410);
        fluid_synth_write_float(m_synth.get(), 4410, left.data(), 0, 1, right.data(), 0, 1);
        fluid_synth_noteoff(m_synth.get(), 0, 60);
        int crossings = 0;
        for (std::size_t i = 1; i < left.size(); ++i)
            crossings += left[i - 1] < 0.0f && left[i] >= 0.0f ? 1 : 0;
        return crossings;
    }

private:
    std::unique_ptr<fluid_settings_t, SynthDeleter> m_settings;
    std::unique_ptr<fluid_synth_t, SynthDeleter> m_synth;
    int m_id;
};

TEST(SoundFontWriter, FluidSynthReadsThePresetsAndPlaysEachTone)
{
    QTemporaryDir dir;
    const std::string path = dir.filePath("test.sf2").toStdString();
    CSoundFontWriter writer("Test Font");
    writer.AddPreset("Low", 0, 0, 200.0);
    writer.AddPreset("High variation", 8, 5, 800.0);
    writer.AddPreset("Kit", 128, 0, 400.0);
    writer.SetSampleDataSize(200000);
    EXPECT_GE(writer.SampleDataSize(), 200000u);
    ASSERT_TRUE(writer.Write(path));

    CLoadedFont font(path);
    ASSERT_TRUE(font.Loaded());
    EXPECT_EQ(font.Presets(),
              (std::vector<std::string>{"0:0 Low", "8:5 High variation", "128:0 Kit"}));
    // A tenth of a second of 200 Hz crosses zero about 20 times, of 800 Hz about 80.
    EXPECT_NEAR(font.ZeroCrossings(0, 0), 20, 2);
    EXPECT_NEAR(font.ZeroCrossings(8, 5), 80, 2);
}

TEST(SoundFontWriter, AFontWithoutNameOrPresetsStillLoads)
{
    QTemporaryDir dir;
    const std::string path = dir.filePath("empty.sf2").toStdString();
    CSoundFontWriter writer;
    writer.SetSampleDataSize(1001);
    EXPECT_EQ(writer.SampleDataSize(), 1002u);
    ASSERT_TRUE(writer.Write(path));
    EXPECT_TRUE(CLoadedFont(path).Loaded());
}

TEST(SoundFontWriter, AFailedWriteLeavesNothingBehind)
{
    QTemporaryDir dir;
    std::string error;
    EXPECT_FALSE(CSoundFontWriter("X").Write(dir.filePath("missing/x.sf2").toStdString(), &error));
    EXPECT_NE(error.find("missing/x.sf2"), std::string::npos);
    EXPECT_TRUE(QDir(dir.path()).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot));
}

} // namespace
