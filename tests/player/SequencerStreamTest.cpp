// A MIDI file made here, rendered offline through the stream that the sequencer's audio
// thread uses, with the system's General MIDI SoundFont.
#include "SequencerStream.h"
#include "FluidSynthApi.h"
#include "MidiFileMaker.h"
#include "NativePath.h"
#include "SequencerFluidSynth.h"
#include "SequencerService.h"
#include "SoundFontWriter.h"

#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <sys/stat.h>
#include <unistd.h>
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

// A synthesizer with SoundFonts and a stream on it, as the sequencer sets them up.
struct OfflinePlayer
{
    explicit OfflinePlayer(const QStringList& soundFonts)
        : synth(*CFluidSynthApi::Get()), stream(synth),
          soundFontResult(synth.LoadSoundFonts(soundFonts, failedSoundFont))
    {
    }
    unsigned Load(const QString& path)
    {
        QByteArray midi;
        const unsigned error = CSequencerStream::ReadFile(path, midi);
        return error ? error : stream.Load(midi);
    }

    CSequencerSynth synth;
    CSequencerStream stream;
    QString failedSoundFont;
    unsigned soundFontResult;
};

class SequencerStreamTest : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        ASSERT_NE(CFluidSynthApi::Get(), nullptr);
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

    OfflinePlayer player({m_soundFont});
    ASSERT_EQ(player.soundFontResult, SequencerError::None);
    ASSERT_EQ(player.Load(path), SequencerError::None);
    const double length = maker.Seconds(maker.LastTick());
    const Rendering rendering = Render(player.stream, length + 4.0);

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
    OfflinePlayer player({m_soundFont});
    ASSERT_EQ(player.Load(Write(QStringLiteral("empty.mid"), CMidiFileMaker().Bytes())),
              SequencerError::None);
    const Rendering rendering = Render(player.stream, 0.1);
    EXPECT_EQ(rendering.end, Progress::Ended);
    EXPECT_EQ(rendering.endFrame, kBlock);
}

// FluidSynth's player refuses a file timed in SMPTE frames, whose tracks are sound.
TEST_F(SequencerStreamTest, AFileThePlayerCannotReadFailsAtOnce)
{
    CMidiFileMaker maker;
    maker.Note(0, 480, 60);
    QByteArray smpte = maker.Bytes();
    smpte[12] = static_cast<char>(0xE7); // 25 frames a second
    OfflinePlayer player({m_soundFont});
    ASSERT_EQ(player.Load(Write(QStringLiteral("smpte.mid"), smpte)), SequencerError::None);
    const Rendering rendering = Render(player.stream, 0.1);
    EXPECT_EQ(rendering.end, Progress::Failed);
    EXPECT_EQ(rendering.endFrame, kBlock);
}

TEST_F(SequencerStreamTest, LoadSaysWhatIsWrong)
{
    CMidiFileMaker maker;
    maker.Note(0, 480, 60);
    const QString midi = Write(QStringLiteral("tune.mid"), maker.Bytes());
    const QString text = Write(QStringLiteral("notes.mid"), "not a MIDI file at all");

    OfflinePlayer player({m_soundFont});
    EXPECT_EQ(player.Load(m_dir.filePath(QStringLiteral("gone.mid"))),
              SequencerError::FileNotFound);
    EXPECT_EQ(player.Load(m_dir.path()), SequencerError::FileNotFound);
    EXPECT_EQ(player.Load(text), SequencerError::InvalidFile);
    const auto [name, damaged] = CMidiFileMaker::DamagedFiles().front();
    EXPECT_EQ(player.Load(Write(name, damaged)), SequencerError::DamagedFile);
    EXPECT_EQ(player.Load(midi), SequencerError::None);
    // A name that is not UTF-8 is still the file's own; a FIFO is refused without waiting
    // for a writer.
    const QByteArray latin1Name = QFile::encodeName(m_dir.path()) + "/caf\xe9.mid";
    ASSERT_EQ(::link(QFile::encodeName(midi).constData(), latin1Name.constData()), 0);
    EXPECT_EQ(player.Load(CNativePath::Decode(latin1Name)), SequencerError::None);
    const QString fifo = m_dir.filePath(QStringLiteral("pipe.mid"));
    ASSERT_EQ(::mkfifo(fifo.toLocal8Bit().constData(), 0600), 0);
    EXPECT_EQ(player.Load(fifo), SequencerError::FileNotFound);

    const QString missing = m_dir.filePath(QStringLiteral("none.sf2"));
    for (const QStringList& fonts : {QStringList{missing}, QStringList{text},
                                     QStringList{m_soundFont, m_dir.path()}, QStringList{}})
        EXPECT_EQ(OfflinePlayer(fonts).soundFontResult, SequencerError::NoSoundFont)
            << fonts.join(u',').toStdString();
}

// The louder channel's difference, frame by frame, over the shorter of two renderings.
double Difference(const Rendering& a, const Rendering& b)
{
    double sum = 0;
    const size_t frames = std::min(a.level.size(), b.level.size());
    for (size_t frame = 0; frame < frames; ++frame)
        sum += std::pow(double(a.level[frame]) - b.level[frame], 2);
    return std::sqrt(sum / double(frames));
}

TEST_F(SequencerStreamTest, AProgramInTwoSoundFontsSoundsFromTheHigherOne)
{
    QStringList fonts;
    for (const double tone : {440.0, 660.0}) {
        CSoundFontWriter font;
        font.AddPreset("Tone", 0, 0, tone);
        fonts.append(m_dir.filePath(QStringLiteral("tone%1.sf2").arg(tone)));
        ASSERT_TRUE(font.Write(fonts.last().toStdString()));
    }
    CMidiFileMaker maker;
    maker.Note(0, 480, 69);
    const QString path = Write(QStringLiteral("tone.mid"), maker.Bytes());
    const auto render = [&](const QStringList& highestFirst) {
        OfflinePlayer player(highestFirst);
        EXPECT_EQ(player.soundFontResult, SequencerError::None);
        EXPECT_EQ(player.Load(path), SequencerError::None);
        return Render(player.stream, 0.5);
    };
    const Rendering low = render({fonts[0]});
    const Rendering high = render({fonts[1]});
    ASSERT_GT(Difference(low, high), 0.01);
    EXPECT_LT(Difference(render({fonts[1], fonts[0]}), high), 1e-6);
    EXPECT_LT(Difference(render({fonts[0], fonts[1]}), low), 1e-6);
}

// Strings have a long release, and the reverb sounds on after it: a file whose notes are all
// switched off ends once that has faded far below the file's loudest, not when the tail for
// held notes runs out.
TEST_F(SequencerStreamTest, AFileWhoseNotesAreAllOffEndsWhenItsSoundHasFaded)
{
    CMidiFileMaker strings;
    strings.Program(0, 48);
    strings.Note(0, 960, 60);
    OfflinePlayer player({m_soundFont});
    ASSERT_EQ(player.Load(Write(QStringLiteral("strings.mid"), strings.Bytes())),
              SequencerError::None);
    const double lastEvent = strings.Seconds(strings.LastTick());
    const Rendering rendering = Render(player.stream, lastEvent + 4.0);

    ASSERT_EQ(rendering.end, Progress::Ended);
    const double end = double(rendering.endFrame) / rendering.rate;
    EXPECT_LT(end, lastEvent + CSequencerStream::kMaxTailSeconds - 0.2);
    const float peak = *std::max_element(rendering.level.begin(), rendering.level.end());
    const long fadeStart = rendering.endFrame - rendering.Frame(0.1);
    EXPECT_LT(*std::max_element(rendering.level.begin() + fadeStart,
                                rendering.level.begin() + rendering.endFrame),
              peak / 1000);
}

TEST_F(SequencerStreamTest, NotesHeldPastTheLastEventAreSilencedTwoSecondsAfterIt)
{
    CMidiFileMaker neverSwitchedOff;
    neverSwitchedOff.Program(0, 19); // an organ: its notes sound as long as they are held
    neverSwitchedOff.NoteOn(0, 60);
    neverSwitchedOff.Note(0, 480, 67);
    CMidiFileMaker heldByThePedal;
    heldByThePedal.Program(0, 19);
    heldByThePedal.SustainPedal(0, true);
    heldByThePedal.Note(0, 480, 60);

    for (const CMidiFileMaker* maker : {&heldByThePedal, &neverSwitchedOff}) {
        OfflinePlayer player({m_soundFont});
        ASSERT_EQ(player.Load(Write(QStringLiteral("held.mid"), maker->Bytes())),
                  SequencerError::None);
        const double lastEvent = maker->Seconds(maker->LastTick());
        const Rendering rendering = Render(player.stream, lastEvent + 4.0);

        ASSERT_EQ(rendering.end, Progress::Ended);
        const double end = double(rendering.endFrame) / rendering.rate;
        EXPECT_LE(end, lastEvent + 2.5);
        if (maker == &neverSwitchedOff) {
            EXPECT_GE(end, lastEvent + 1.9) << "the note sounds until it is cut";
            // Then only what is left of the reverb sounds on, 20 dB down and fading.
            const long cut = rendering.endFrame;
            EXPECT_LT(10 * rendering.Rms(cut + rendering.Frame(0.05), cut + rendering.Frame(0.15)),
                      rendering.Rms(cut - rendering.Frame(0.15), cut - rendering.Frame(0.05)));
        }
    }
}

} // namespace
