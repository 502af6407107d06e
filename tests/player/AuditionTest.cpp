// The audition of one program on the simulated card: the very preset of the row is heard
// (even one a higher-priority bank hides), and korvane audition as a user runs it, heard
// on a PulseAudio null sink, with its errors.
#include "Audition.h"
#include "AuditionOutput.h"
#include "BankFileWriter.h"
#include "BankTable.h"
#include "FontCard.h"
#include "NullSink.h"
#include "ProgramRun.h"
#include "PumpedAudioOutput.h"
#include "SoundFontWriter.h"
#include "SynthAudition.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <mutex>
#include <set>
#include <string>
#include <vector>

namespace {

// Zero crossings per second of what was recorded: about twice the pitch heard.
double CrossingsPerSecond(const std::vector<float>& samples)
{
    int crossings = 0;
    for (std::size_t i = 1; i < samples.size(); ++i)
        crossings += (samples[i - 1] < 0) != (samples[i] < 0) ? 1 : 0;
    return samples.empty()
               ? 0
               : crossings * double(CSoundFontWriter::SAMPLE_RATE) / double(samples.size());
}

class AuditionTest : public testing::Test
{
protected:
    QString Font(const QString& name, double toneHz) const
    {
        CSoundFontWriter writer(name.toStdString());
        writer.AddPreset("Tone", 0, 0, toneHz);
        writer.AddPreset("Lead", 0, 5, toneHz);
        const QString path = m_dir.filePath(name + ".sf2");
        EXPECT_TRUE(writer.Write(path.toStdString()));
        return path;
    }

    QTemporaryDir m_dir;
};

TEST_F(AuditionTest, TheRowsOwnPresetIsHeardEvenWhenAHigherBankHidesIt)
{
    CFontCard card;
    card.Add(Font("low", 110.0), 0);
    card.Add(Font("top", 1760.0), 5);
    CBankTable table(card);
    ASSERT_EQ(table.RefreshStatus(), SYNTH_OK);
    std::vector<float> recording;
    CAudition audition(
        table, std::make_unique<CSynthAudition>(
                   [&recording](fluid_settings_t*, fluid_audio_func_t render, void* data) {
                       return std::make_unique<CPumpedAudioOutput>(render, data, true, &recording);
                   }));
    std::vector<QString> finished;
    QObject::connect(&audition, &CAudition::Finished, &audition,
                     [&finished](const QString& problem) { finished.push_back(problem); });

    audition.Play({0, 0, 0, false, 16});
    const QDeadlineTimer deadline(10000);
    while (finished.empty() && !deadline.hasExpired()) {
        QCoreApplication::processEvents();
        QThread::msleep(5);
    }
    ASSERT_EQ(finished, std::vector<QString>{QString()});
    ASSERT_FALSE(recording.empty()) << "nothing was heard";
    // The low font's tone, about an octave either way through the phrase, never the top one's.
    EXPECT_LT(CrossingsPerSecond(recording), 1000.0);
}

// An output that keeps what it is asked to do, as "begin <program>", "on <key>",
// "off <key>", "end". With failing, every note is sent but its reply is lost: the call
// fails and Problem() names it.
class CLoggingOutput : public CAuditionOutput
{
public:
    explicit CLoggingOutput(std::vector<std::string>& log, std::mutex& mutex, bool failing = false)
        : m_log(log), m_mutex(mutex), m_bFailing(failing)
    {
    }
    QString Begin(const AuditionPlan& plan) override
    {
        Log("begin " + std::to_string(plan.program));
        return QString();
    }
    bool Note(int key, int velocity) override
    {
        const std::string call = (velocity > 0 ? "on " : "off ") + std::to_string(key);
        Log(call);
        if (m_bFailing)
            m_strProblem = QString::fromStdString("lost: " + call);
        return !m_bFailing;
    }
    bool Sounding() const override { return false; }
    bool End() override
    {
        Log("end");
        return true;
    }
    QString Problem() const override { return m_strProblem; }

private:
    void Log(const std::string& line)
    {
        const std::lock_guard lock(m_mutex);
        m_log.push_back(line);
    }

    std::vector<std::string>& m_log;
    std::mutex& m_mutex;
    const bool m_bFailing;
    QString m_strProblem;
};

bool WaitFor(const std::function<bool()>& done)
{
    const QDeadlineTimer deadline(10000);
    while (!done() && !deadline.hasExpired()) {
        QCoreApplication::processEvents();
        QThread::msleep(1);
    }
    return done();
}

// An audition of a one-font card whose calls are logged.
class LoggedAuditionTest : public AuditionTest
{
protected:
    void SetUp() override
    {
        m_card.Add(Font("font", 440.0), 0);
        ASSERT_EQ(m_table.RefreshStatus(), SYNTH_OK);
    }

    CFontCard m_card;
    CBankTable m_table{m_card};
    std::vector<std::string> m_log;
    std::mutex m_mutex;
};

TEST_F(LoggedAuditionTest, ASecondAuditionEndsTheFirstWithItsNotesOffAndChannelBack)
{
    CAudition audition(m_table, std::make_unique<CLoggingOutput>(m_log, m_mutex));
    int finished = 0;
    QObject::connect(&audition, &CAudition::Finished, &audition, [&finished] { ++finished; });
    const auto logged = [&] {
        const std::lock_guard lock(m_mutex);
        return m_log;
    };

    audition.Play({0, 0, 0, false, 16});
    ASSERT_TRUE(WaitFor([&] { return logged().size() > 1; })) << "the first note";
    audition.Play({0, 0, 5, false, 16});
    ASSERT_TRUE(WaitFor([&] { return finished == 2; }));

    const std::vector<std::string> calls = logged();
    const auto second = std::find(calls.begin(), calls.end(), "begin 5");
    ASSERT_NE(second, calls.end());
    ASSERT_EQ(*(second - 1), "end") << "the first ended before the second began";
    std::multiset<std::string> first;
    for (auto call = calls.begin(); call != second - 1; ++call) {
        if (call->starts_with("on "))
            first.insert(call->substr(3));
        else if (call->starts_with("off "))
            first.erase(first.find(call->substr(4)));
    }
    EXPECT_TRUE(first.empty()) << "every note of the first is switched off";
    EXPECT_LT(std::count_if(calls.begin(), second,
                            [](const std::string& call) { return call.starts_with("on "); }),
              std::count_if(second, calls.end(),
                            [](const std::string& call) { return call.starts_with("on "); }))
        << "the first was cut short, the second played whole";
}

TEST_F(LoggedAuditionTest, ANoteOnWhoseReplyIsLostIsStillSwitchedOffAndTheFirstFailureTold)
{
    CAudition audition(m_table, std::make_unique<CLoggingOutput>(m_log, m_mutex, true));
    std::vector<QString> finished;
    QObject::connect(&audition, &CAudition::Finished, &audition,
                     [&finished](const QString& problem) { finished.push_back(problem); });

    audition.Play({0, 0, 0, false, 16});
    ASSERT_TRUE(WaitFor([&] { return !finished.empty(); }));

    const std::lock_guard lock(m_mutex);
    ASSERT_GE(m_log.size(), 4u) << "begin, the note-on, its note-off, end";
    ASSERT_TRUE(m_log[1].starts_with("on ")) << m_log[1];
    const std::string key = m_log[1].substr(3);
    EXPECT_EQ(m_log[2], "off " + key);
    EXPECT_EQ(m_log.back(), "end");
    EXPECT_EQ(finished, std::vector<QString>{QString::fromStdString("lost: on " + key)});
}

// korvane audition on the simulated card, as a user runs it.
class AuditionCommandTest : public AuditionTest
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_sink.Started()) << "cannot start PulseAudio";
        qputenv("KORVANE_CARD_STATE", m_dir.filePath("card.state").toUtf8());
        qputenv("XDG_CONFIG_HOME", m_dir.filePath("config").toUtf8());
        qputenv("XDG_STATE_HOME", m_dir.filePath("state").toUtf8());
        qputenv("PULSE_SERVER", QByteArray::fromStdString(m_sink.Server()));
        CBankFileWriter bank("PIANO");
        bank.AddInstrument(3, 0);
        ASSERT_TRUE(bank.Write(m_dir.filePath("piano.94b").toStdString()));
        ASSERT_EQ(Run({"load", Font("tones", 440.0), m_dir.filePath("piano.94b")}).status, 0);
    }

    CProgramRun Run(const QStringList& arguments) const
    {
        return CProgramRun::Run(QStringLiteral(KORVANE_PROGRAM), arguments, m_dir.path());
    }

    CNullSink m_sink;
};

TEST_F(AuditionCommandTest, ASoundFontsProgramAndABankFilesAreHeard)
{
    ASSERT_TRUE(m_sink.StartRecording());
    const CProgramRun font = Run({"audition", "0:5"});
    EXPECT_EQ(font.status, 0) << qPrintable(font.err);
    EXPECT_GT(m_sink.StopRecording(), 300) << "the SoundFont's preset was heard";

    ASSERT_TRUE(m_sink.StartRecording());
    const CProgramRun bankFile = Run({"audition", "0:3", "--channel", "10"});
    EXPECT_EQ(bankFile.status, 0) << qPrintable(bankFile.err);
    EXPECT_TRUE(bankFile.out.contains("Played with the General MIDI SoundFont's program 3"))
        << qPrintable(bankFile.out);
    EXPECT_GT(m_sink.StopRecording(), 300) << "the General MIDI program was heard";
}

TEST_F(AuditionCommandTest, ErrorsAreSaidWithTheirExitStatus)
{
    struct Case
    {
        QStringList arguments;
        int status;
        QString said;
    };
    const std::vector<Case> cases = {
        {{"audition", "1:5"}, 3, "no bank in the card has program 1:5"},
        {{"audition", "128:0"}, 3, "no bank in the card has program 128:0"},
        {{"audition", "0:128"}, 2, "not a bank:program"},
        {{"audition", "0:5", "--channel", "17"}, 2, "the channel must be a number from 1 to 16"},
        {{"audition", "0:5", "--channel", "x"}, 2, "the channel must be a number from 1 to 16"},
        {{"status", "--channel", "3"}, 2, "--channel does not go with status"},
    };
    for (const Case& test : cases) {
        const CProgramRun run = Run(test.arguments);
        EXPECT_EQ(run.status, test.status) << qPrintable(test.arguments.join(' '));
        EXPECT_TRUE(run.err.contains(test.said)) << qPrintable(run.err);
    }
    // No sound server, and no sound card for ALSA to fall back on.
    qputenv("PULSE_SERVER", QByteArray("unix:") + m_dir.filePath("none").toUtf8());
    qputenv("ALSA_CONFIG_PATH", m_dir.filePath("none").toUtf8());
    const CProgramRun silent = Run({"audition", "0:5"});
    qunsetenv("ALSA_CONFIG_PATH");
    EXPECT_EQ(silent.status, 3);
    EXPECT_TRUE(silent.err.contains("No audio output can be opened")) << qPrintable(silent.err);
}

} // namespace
