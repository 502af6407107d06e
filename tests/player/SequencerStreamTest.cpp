// A MIDI file made here, rendered offline through the stream that the sequencer's audio
// thread uses, with the system's General MIDI SoundFont.
#include "SequencerStream.h"
#include "MidiFileMaker.h"
#include "SequencerFluidSynth.h"
#include "SequencerService.h"

#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

using Progress = CSequencerStream::Progress;

// Small blocks, so that the end is placed to within 1.5 ms.
constexpr int kBlock = 64;
// A sample that rounds to zero in 16-bit audio is silence.
constexpr float kSilence = 0.5f / 32768;

struct Rendering
{
    int rate = 0;
    // The louder channel of each frame.
    std::vector<float> level;
    // Frames rendered when Render first said the file was over; -1 if it never did.
    long endFrame = -1;
    Progress end = Progress::Playing;

    long Frame(double seconds) const { return std::lround(seconds * rate); }
    double Rms(long from, long to) const
    {
        double sum = 0;
        for (long frame = std::max(0L, from); frame < to; ++frame)
            sum += double(level[frame]) * level[frame];
        return std::sqrt(sum / double(to - from));
    }
    long LastAudibleFrame() const
    {
        for (long frame = long(level.size()) - 1; frame >= 0; --frame) {
            if (level[frame] >= kSilence)
                return frame;
        }
        return -1;
    }
};

Rendering Render(CSequencerStream& stream, double seconds)
{
    Rendering rendering;
    rendering.rate = stream.SampleRate();
    std::vector<float> left(kBlock);
    std::vector<float> right(kBlock);
    float* out[] = {left.data(), right.data()};
    stream.Start();
    while (long(rendering.level.size()) < rendering.Frame(seconds)) {
        std::fill(left.begin(), left.end(), 0.0f);
        std::fill(right.begin(), right.end(), 0.0f);
        const Progress progress = stream.Render(kBlock, 0, nullptr, 2, out);
        for (int i = 0; i < kBlock; ++i)
            rendering.level.push_back(std::max(std::fabs(left[i]), std::fabs(right[i])));
        if (progress != Progress::Playing && rendering.endFrame < 0) {
            rendering.endFrame = long(rendering.level.size());
            rendering.end = progress;
        }
    }
    return rendering;
}

class SequencerStreamTest : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        ASSERT_TRUE(QFileInfo::exists(m_soundFont))
            << "no General MIDI SoundFont at " << m_soundFont.toStdString()
            << " (Debian: timgm6mb-soundfont)";
    }

    QString Write(const QString& name, const QByteArray& bytes)
    {
        const QString path = m_dir.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }

    QTemporaryDir m_dir;
    QString m_soundFont = CSequencerFluidSynth::DefaultSoundFont();
};

TEST_F(SequencerStreamTest, PlaysTheNotesWhereTheFilePutsThemAndEndsAsTheSoundDiesAway)
{
    CMidiFileMaker maker;
    maker.Note(0, 240, 60);
    maker.Note(960, 240, 64);
    maker.Tempo(1440, 1000000); // half the speed from the fourth beat on
    maker.Note(1920, 240, 67);
    const QString path = Write(QStringLiteral("tune.mid"), maker.Bytes());
    ASSERT_DOUBLE_EQ(maker.Seconds(1920), 2.5);

    CSequencerStream stream;
    ASSERT_EQ(stream.Load(path, m_soundFont), SequencerError::None);
    const double length = maker.Seconds(maker.LastTick());
    const Rendering rendering = Render(stream, length + 4.0);

    EXPECT_GT(*std::max_element(rendering.level.begin(), rendering.level.end()), 0.01f);
    // Each note starts within a few milliseconds of its time: the sound jumps there.
    for (int tick : {960, 1920}) {
        const long onset = rendering.Frame(maker.Seconds(tick));
        const long margin = rendering.Frame(0.005);
        const long window = rendering.Frame(0.025);
        EXPECT_GT(rendering.Rms(onset + margin, onset + margin + window),
                  10 * rendering.Rms(onset - margin - window, onset - margin))
            << "note at tick " << tick;
    }
    const auto firstSound = std::find_if(rendering.level.begin(), rendering.level.end(),
                                         [](float level) { return level >= 0.001f; });
    EXPECT_LT(firstSound - rendering.level.begin(), rendering.Frame(0.005));

    ASSERT_EQ(rendering.end, Progress::Ended);
    EXPECT_GE(rendering.endFrame, rendering.Frame(length));
    EXPECT_LE(rendering.endFrame, rendering.LastAudibleFrame() + rendering.Frame(0.5));
}

TEST_F(SequencerStreamTest, AFileWithoutEventsEndsAtOnce)
{
    CSequencerStream stream;
    ASSERT_EQ(
        stream.Load(Write(QStringLiteral("empty.mid"), CMidiFileMaker().Bytes()), m_soundFont),
        SequencerError::None);
    const Rendering rendering = Render(stream, 0.1);
    EXPECT_EQ(rendering.end, Progress::Ended);
    EXPECT_EQ(rendering.endFrame, kBlock);
}

TEST_F(SequencerStreamTest, AFileWhoseTrackCannotBeReadFailsAtOnce)
{
    CMidiFileMaker maker;
    maker.Note(0, 480, 60);
    const QByteArray whole = maker.Bytes();
    CSequencerStream stream;
    ASSERT_EQ(
        stream.Load(Write(QStringLiteral("cut.mid"), whole.left(whole.size() - 6)), m_soundFont),
        SequencerError::None);
    const Rendering rendering = Render(stream, 0.1);
    EXPECT_EQ(rendering.end, Progress::Failed);
    EXPECT_EQ(rendering.endFrame, kBlock);
}

TEST_F(SequencerStreamTest, LoadSaysWhatIsWrong)
{
    CMidiFileMaker maker;
    maker.Note(0, 480, 60);
    const QString midi = Write(QStringLiteral("tune.mid"), maker.Bytes());
    const QString text = Write(QStringLiteral("notes.mid"), "not a MIDI file at all");

    EXPECT_EQ(CSequencerStream().Load(m_dir.filePath(QStringLiteral("gone.mid")), m_soundFont),
              SequencerError::FileNotFound);
    EXPECT_EQ(CSequencerStream().Load(m_dir.path(), m_soundFont), SequencerError::FileNotFound);
    EXPECT_EQ(CSequencerStream().Load(text, m_soundFont), SequencerError::InvalidFile);
    EXPECT_EQ(CSequencerStream().Load(midi, m_dir.filePath(QStringLiteral("none.sf2"))),
              SequencerError::NoSoundFont);
    EXPECT_EQ(CSequencerStream().Load(midi, text), SequencerError::NoSoundFont);
    EXPECT_EQ(CSequencerStream().Load(midi, QString()), SequencerError::NoSoundFont);
}

} // namespace
