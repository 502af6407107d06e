// The sequencer service on libfluidsynth with its audio pulled by a test thread: one
// notification per play, on the window's thread, and no audio thread left behind.
#include "SequencerFluidSynth.h"
#include "MidiFileMaker.h"
#include "MidiPlayer.h"
#include "PumpedAudioOutput.h"
#include "SequencerNotifyEvent.h"
#include "SoundFontWriter.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstdio>
#include <fcntl.h>
#include <functional>
#include <memory>
#include <sys/stat.h>
#include <vector>

namespace {

// Stands for the window: keeps the notifications it receives, and on which thread.
class CNotificationLog : public QObject
{
public:
    struct Entry
    {
        unsigned code;
        unsigned deviceId;
        QThread* thread;
    };
    std::vector<Entry> entries;

protected:
    void customEvent(QEvent* event) override
    {
        if (event->type() == CSequencerNotifyEvent::EventType()) {
            const auto* notify = static_cast<CSequencerNotifyEvent*>(event);
            entries.push_back({notify->NotifyCode(), notify->DeviceId(), QThread::currentThread()});
        }
    }
};

// Delivers posted events until done() holds or ten seconds have passed.
bool WaitFor(const std::function<bool()>& done)
{
    QDeadlineTimer deadline(10000);
    while (!done() && !deadline.hasExpired()) {
        QCoreApplication::processEvents();
        QThread::msleep(5);
    }
    return done();
}

// Delivers what has been posted by now, and what arrives in the next moment.
void Settle()
{
    QDeadlineTimer deadline(200);
    while (!deadline.hasExpired()) {
        QCoreApplication::processEvents();
        QThread::msleep(5);
    }
}

class SequencerFluidSynthTest : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        CMidiFileMaker shortTune;
        shortTune.Note(0, 240, 60);
        ASSERT_TRUE(shortTune.Write(ShortFile()));
        // A minute long: it cannot end while a test stops it, even on a slow machine.
        CMidiFileMaker longTune;
        longTune.Note(0, 120 * CMidiFileMaker::kDivision, 60);
        ASSERT_TRUE(longTune.Write(LongFile()));
    }

    void TearDown() override { EXPECT_EQ(CPumpedAudioOutput::Running(), 0); }

    QString ShortFile() const { return m_dir.filePath(QStringLiteral("short.mid")); }
    QString LongFile() const { return m_dir.filePath(QStringLiteral("long.mid")); }

    // A service whose audio is pulled at the pace of a real device.
    static std::unique_ptr<CSequencerFluidSynth> RealTime()
    {
        return std::make_unique<CSequencerFluidSynth>(CSequencerFluidSynth::DefaultSoundFont(),
                                                      CPumpedAudioOutput::OpenerFor(true));
    }

    QTemporaryDir m_dir;
    CNotificationLog m_window;
};

TEST_F(SequencerFluidSynthTest, OpenSaysWhyItCannotPlay)
{
    const QString text = m_dir.filePath(QStringLiteral("text.mid"));
    QFile file(text);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("MIDI? no.");
    file.close();

    unsigned id = 77;
    CSequencerFluidSynth sequencer(CSequencerFluidSynth::DefaultSoundFont(),
                                   CPumpedAudioOutput::OpenerFor(false));
    EXPECT_EQ(sequencer.Open(m_dir.filePath(QStringLiteral("gone.mid")), id),
              SequencerError::FileNotFound);
    EXPECT_EQ(sequencer.Open(text, id), SequencerError::InvalidFile);

    CSequencerFluidSynth withoutSoundFont(m_dir.filePath(QStringLiteral("none.sf2")),
                                          CPumpedAudioOutput::OpenerFor(false));
    EXPECT_EQ(withoutSoundFont.Open(ShortFile(), id), SequencerError::NoSoundFont);

    CSequencerFluidSynth withoutAudio(
        CSequencerFluidSynth::DefaultSoundFont(),
        [](fluid_settings_t*, fluid_audio_func_t, void*) { return nullptr; });
    EXPECT_EQ(withoutAudio.Open(ShortFile(), id), SequencerError::NoAudioOutput);

    EXPECT_EQ(id, 77u);
    EXPECT_EQ(CPumpedAudioOutput::Running(), 0);
}

TEST_F(SequencerFluidSynthTest, AFileChangedSinceItsLastPlayIsReadAgain)
{
    QFile tune(ShortFile());
    ASSERT_TRUE(tune.open(QIODevice::ReadOnly));
    const QByteArray played = tune.readAll();
    tune.close();
    struct stat status = {};
    ASSERT_EQ(::stat(QFile::encodeName(ShortFile()).constData(), &status), 0);
    // As long as the tune and as old, but its note-on is an undefined status byte.
    QByteArray damaged = played;
    damaged[damaged.indexOf('\x90')] = '\xf4';
    const auto writeFile = [](const QString& path, const QByteArray& bytes) {
        QFile file(path);
        return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
    };

    CSequencerFluidSynth sequencer(CSequencerFluidSynth::DefaultSoundFont(),
                                   CPumpedAudioOutput::OpenerFor(false));
    const auto openAndClose = [&sequencer, path = ShortFile()] {
        unsigned id = 0;
        const unsigned opened = sequencer.Open(path, id);
        if (opened == SequencerError::None)
            sequencer.Close(id);
        return opened;
    };
    ASSERT_EQ(openAndClose(), SequencerError::None);
    // Replaced by a rename, with the same size and time.
    const QString replacement = m_dir.filePath(QStringLiteral("replacement.mid"));
    ASSERT_TRUE(writeFile(replacement, damaged));
    const timespec times[] = {status.st_atim, status.st_mtim};
    ASSERT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(replacement).constData(), times, 0), 0);
    ASSERT_EQ(::rename(QFile::encodeName(replacement).constData(),
                       QFile::encodeName(ShortFile()).constData()),
              0);
    EXPECT_EQ(openAndClose(), SequencerError::DamagedFile);
    // Mended in place.
    ASSERT_TRUE(writeFile(ShortFile(), played));
    EXPECT_EQ(openAndClose(), SequencerError::None);
    ASSERT_TRUE(QFile::remove(ShortFile()));
    EXPECT_EQ(openAndClose(), SequencerError::FileNotFound);
}

TEST_F(SequencerFluidSynthTest, AFileThatEndsIsReportedOnceOnTheWindowThread)
{
    CSequencerFluidSynth sequencer(CSequencerFluidSynth::DefaultSoundFont(),
                                   CPumpedAudioOutput::OpenerFor(false));
    unsigned id = 0;
    ASSERT_EQ(sequencer.Open(ShortFile(), id), SequencerError::None);
    ASSERT_EQ(sequencer.Play(id, &m_window), SequencerError::None);
    ASSERT_TRUE(WaitFor([this] { return !m_window.entries.empty(); }));
    Settle();
    ASSERT_EQ(m_window.entries.size(), 1u);
    EXPECT_EQ(m_window.entries[0].code, SequencerNotify::Ended);
    EXPECT_EQ(m_window.entries[0].deviceId, id);
    EXPECT_EQ(m_window.entries[0].thread, QThread::currentThread());

    // Stopping and closing after the end add nothing.
    EXPECT_EQ(sequencer.Stop(id), SequencerError::None);
    EXPECT_EQ(sequencer.Close(id), SequencerError::None);
    Settle();
    EXPECT_EQ(m_window.entries.size(), 1u);
}

// FluidSynth's player refuses a file timed in SMPTE frames, whose tracks are sound.
TEST_F(SequencerFluidSynthTest, AFileThePlayerCannotReadFailsAfterStarting)
{
    CMidiFileMaker maker;
    maker.Note(0, 480, 60);
    const QString cut = m_dir.filePath(QStringLiteral("smpte.mid"));
    QFile file(cut);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    QByteArray smpte = maker.Bytes();
    smpte[12] = static_cast<char>(0xE7); // 25 frames a second
    file.write(smpte);
    file.close();

    CSequencerFluidSynth sequencer(CSequencerFluidSynth::DefaultSoundFont(),
                                   CPumpedAudioOutput::OpenerFor(false));
    unsigned id = 0;
    ASSERT_EQ(sequencer.Open(cut, id), SequencerError::None);
    ASSERT_EQ(sequencer.Play(id, &m_window), SequencerError::None);
    ASSERT_TRUE(WaitFor([this] { return !m_window.entries.empty(); }));
    Settle();
    ASSERT_EQ(m_window.entries.size(), 1u);
    EXPECT_EQ(m_window.entries[0].code, SequencerNotify::Failed);
}

TEST_F(SequencerFluidSynthTest, StopAndCloseEachEndAPlayWithOneAbortedNotification)
{
    auto sequencer = RealTime();
    unsigned stopped = 0;
    ASSERT_EQ(sequencer->Open(LongFile(), stopped), SequencerError::None);
    ASSERT_EQ(sequencer->Play(stopped, &m_window), SequencerError::None);
    QThread::msleep(50);
    EXPECT_EQ(sequencer->Stop(stopped), SequencerError::None);
    EXPECT_EQ(CPumpedAudioOutput::Running(), 0);
    EXPECT_EQ(sequencer->Stop(stopped), SequencerError::None);
    // One file at a time: they would share the synthesizer.
    unsigned closed = 0;
    EXPECT_EQ(sequencer->Open(LongFile(), closed), SequencerError::Busy);
    EXPECT_EQ(sequencer->Close(stopped), SequencerError::None);

    ASSERT_EQ(sequencer->Open(LongFile(), closed), SequencerError::None);
    EXPECT_NE(stopped, closed);
    ASSERT_EQ(sequencer->Play(closed, &m_window), SequencerError::None);
    QThread::msleep(50);
    EXPECT_EQ(sequencer->Close(closed), SequencerError::None);
    EXPECT_EQ(CPumpedAudioOutput::Running(), 0);
    Settle();
    ASSERT_EQ(m_window.entries.size(), 2u);
    EXPECT_EQ(m_window.entries[0].deviceId, stopped);
    EXPECT_EQ(m_window.entries[1].deviceId, closed);
    for (const auto& entry : m_window.entries)
        EXPECT_EQ(entry.code, SequencerNotify::Aborted);
}

TEST_F(SequencerFluidSynthTest, SoundFontsStayLoadedUntilOtherOnesOrChangedOnesAreAskedFor)
{
    CSequencerFluidSynth sequencer(CSequencerFluidSynth::DefaultSoundFont(),
                                   CPumpedAudioOutput::OpenerFor(false));
    const auto playToTheEnd = [&] {
        const size_t before = m_window.entries.size();
        unsigned id = 0;
        const unsigned opened = sequencer.Open(ShortFile(), id);
        if (opened != SequencerError::None)
            return opened;
        EXPECT_EQ(sequencer.Play(id, &m_window), SequencerError::None);
        EXPECT_TRUE(WaitFor([&] { return m_window.entries.size() > before; }));
        return sequencer.Close(id);
    };
    ASSERT_EQ(playToTheEnd(), SequencerError::None);
    ASSERT_EQ(playToTheEnd(), SequencerError::None);
    EXPECT_EQ(sequencer.SoundFontLoads(), 1);

    const QString copy = m_dir.filePath(QStringLiteral("copy.sf2"));
    ASSERT_TRUE(QFile::copy(CSequencerFluidSynth::DefaultSoundFont(), copy));
    sequencer.UseSoundFonts({copy});
    ASSERT_EQ(playToTheEnd(), SequencerError::None);
    ASSERT_EQ(playToTheEnd(), SequencerError::None);
    EXPECT_EQ(sequencer.SoundFontLoads(), 2);

    QFile file(copy);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_TRUE(file.setFileTime(file.fileTime(QFileDevice::FileModificationTime).addSecs(-60),
                                 QFileDevice::FileModificationTime));
    file.close();
    ASSERT_EQ(playToTheEnd(), SequencerError::None);
    EXPECT_EQ(sequencer.SoundFontLoads(), 3);

    // The font that fails is named, be it missing or cut short after it was loaded.
    const QString gone = m_dir.filePath(QStringLiteral("gone.sf2"));
    sequencer.UseSoundFonts({copy, gone});
    EXPECT_EQ(playToTheEnd(), SequencerError::NoSoundFont);
    EXPECT_EQ(sequencer.FailedSoundFont(), gone);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_TRUE(file.resize(file.size() / 2));
    file.close();
    sequencer.UseSoundFonts({copy});
    EXPECT_EQ(playToTheEnd(), SequencerError::NoSoundFont);
    EXPECT_EQ(sequencer.FailedSoundFont(), copy);
    sequencer.UseSoundFonts({});
    ASSERT_EQ(playToTheEnd(), SequencerError::None);
    EXPECT_EQ(sequencer.SoundFontLoads(), 6);
}

// A load asked ahead runs while the caller's event loop goes on, ends with one notification
// whether or not it succeeds, and leaves Open nothing to load; a failure is said by the
// open that follows it.
TEST_F(SequencerFluidSynthTest, SoundFontsLoadAheadOnAThreadOfTheirOwn)
{
    CSoundFontWriter large("Large");
    large.AddPreset("Tone", 0, 0);
    large.SetSampleDataSize(32 * 1024 * 1024);
    const QString largeFont = m_dir.filePath(QStringLiteral("large.sf2"));
    ASSERT_TRUE(large.Write(largeFont.toStdString()));
    CSequencerFluidSynth sequencer(CSequencerFluidSynth::DefaultSoundFont(),
                                   CPumpedAudioOutput::OpenerFor(false));
    int ticks = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&ticks] { ++ticks; });
    timer.start(0);

    sequencer.UseSoundFonts({largeFont});
    ASSERT_FALSE(sequencer.LoadSoundFonts(&m_window));
    // A second request while the load runs waits for the same load.
    ASSERT_FALSE(sequencer.LoadSoundFonts(&m_window));
    ASSERT_TRUE(WaitFor([this] { return !m_window.entries.empty(); }));
    EXPECT_GT(ticks, 0) << "the caller's timer fired while the SoundFont loaded";
    Settle();
    ASSERT_EQ(m_window.entries.size(), 1u);
    EXPECT_EQ(m_window.entries[0].code, SequencerNotify::SoundFontsLoaded);
    EXPECT_EQ(m_window.entries[0].thread, QThread::currentThread());
    EXPECT_TRUE(sequencer.LoadSoundFonts(&m_window));
    unsigned id = 0;
    ASSERT_EQ(sequencer.Open(ShortFile(), id), SequencerError::None);
    EXPECT_EQ(sequencer.Close(id), SequencerError::None);
    EXPECT_EQ(sequencer.SoundFontLoads(), 1);

    const QString gone = m_dir.filePath(QStringLiteral("gone.sf2"));
    sequencer.UseSoundFonts({gone});
    ASSERT_FALSE(sequencer.LoadSoundFonts(&m_window));
    ASSERT_TRUE(WaitFor([this] { return m_window.entries.size() == 2; }));
    EXPECT_EQ(sequencer.Open(ShortFile(), id), SequencerError::NoSoundFont);
    EXPECT_EQ(sequencer.FailedSoundFont(), gone);
    EXPECT_EQ(sequencer.SoundFontLoads(), 2);

    // Other SoundFonts asked for while a load runs load after it, before its notification.
    sequencer.UseSoundFonts({largeFont});
    ASSERT_FALSE(sequencer.LoadSoundFonts(&m_window));
    sequencer.UseSoundFonts({});
    ASSERT_FALSE(sequencer.LoadSoundFonts(&m_window));
    ASSERT_TRUE(WaitFor([this] { return m_window.entries.size() == 3; }));
    Settle();
    EXPECT_EQ(m_window.entries.size(), 3u);
    EXPECT_TRUE(sequencer.LoadSoundFonts(&m_window));
    EXPECT_EQ(sequencer.SoundFontLoads(), 4);

    // A service that goes while a load runs waits for it, and nothing is posted after.
    {
        CSequencerFluidSynth leaving(CSequencerFluidSynth::DefaultSoundFont(),
                                     CPumpedAudioOutput::OpenerFor(false));
        leaving.UseSoundFonts({largeFont});
        ASSERT_FALSE(leaving.LoadSoundFonts(&m_window));
    }
    Settle();
    EXPECT_EQ(m_window.entries.size(), 3u);
}

TEST_F(SequencerFluidSynthTest, ADevicePlaysOnceAndIdsAreNeverGivenOutTwice)
{
    CSequencerFluidSynth sequencer(CSequencerFluidSynth::DefaultSoundFont(),
                                   CPumpedAudioOutput::OpenerFor(true));
    unsigned first = 0;
    ASSERT_EQ(sequencer.Open(LongFile(), first), SequencerError::None);
    EXPECT_EQ(sequencer.Play(first, nullptr), SequencerError::NotReady);
    EXPECT_EQ(sequencer.Play(first, &m_window), SequencerError::None);
    EXPECT_EQ(sequencer.Play(first, &m_window), SequencerError::NotReady);
    EXPECT_EQ(sequencer.Play(first + 100, &m_window), SequencerError::InvalidDevice);
    EXPECT_EQ(sequencer.Stop(first + 100), SequencerError::InvalidDevice);
    EXPECT_EQ(sequencer.Close(first), SequencerError::None);
    EXPECT_EQ(sequencer.Close(first), SequencerError::InvalidDevice);

    unsigned second = 0;
    ASSERT_EQ(sequencer.Open(LongFile(), second), SequencerError::None);
    EXPECT_NE(second, first);
    // Stopped before it played, a device cannot play any more.
    EXPECT_EQ(sequencer.Stop(second), SequencerError::None);
    EXPECT_EQ(sequencer.Play(second, &m_window), SequencerError::NotReady);
    Settle();
    EXPECT_EQ(m_window.entries.size(), 1u);
}

TEST_F(SequencerFluidSynthTest, EndingTheProgramWhilePlayingStopsTheAudioCleanly)
{
    auto sequencer = RealTime();
    {
        CMidiPlayer player(sequencer.get());
        ASSERT_EQ(player.PlayMidiFile(&m_window, LongFile()), SequencerError::None);
        ASSERT_TRUE(player.IsPlaying());
        QThread::msleep(50);
    }
    EXPECT_EQ(CPumpedAudioOutput::Running(), 0);

    // A device the player did not close goes with the service.
    unsigned id = 0;
    ASSERT_EQ(sequencer->Open(LongFile(), id), SequencerError::None);
    ASSERT_EQ(sequencer->Play(id, &m_window), SequencerError::None);
    sequencer.reset();
    EXPECT_EQ(CPumpedAudioOutput::Running(), 0);
    Settle();
    ASSERT_EQ(m_window.entries.size(), 2u);
    EXPECT_EQ(m_window.entries[1].deviceId, id);
    EXPECT_EQ(m_window.entries[1].code, SequencerNotify::Aborted);
}

TEST_F(SequencerFluidSynthTest, OpensTheDesktopAudioOrSaysThereIsNone)
{
    // Machines without sound, like the one the tests run on in CI, have no audio output to
    // open; either way nothing hangs and a device that opened plays and closes.
    CSequencerFluidSynth sequencer;
    unsigned id = 0;
    const unsigned result = sequencer.Open(ShortFile(), id);
    if (result == SequencerError::NoAudioOutput)
        return;
    ASSERT_EQ(result, SequencerError::None);
    EXPECT_EQ(sequencer.Play(id, &m_window), SequencerError::None);
    EXPECT_EQ(sequencer.Close(id), SequencerError::None);
}

} // namespace
