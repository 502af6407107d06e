// The card choice over its settings file: defaults, what it refuses, and the library,
// environment, Load-dialog filter and message detail each choice leads to.
#include "CardChoice.h"
#include "QtPrinters.h"
#include "SynthStatus.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

namespace {

class CardChoiceTest : public ::testing::Test
{
protected:
    QTemporaryDir dir;
    QString settingsPath = dir.filePath(QStringLiteral("korvane/korvane.conf"));

    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        qunsetenv("KORVANE_SYNTH_LIBRARY");
    }
};

TEST_F(CardChoiceTest, WithoutUsableSettingsTheSimulatedCardAndTheDefaultServerAreChosen)
{
    EXPECT_EQ(CCardChoice(settingsPath).LibraryPath("/opt/k"), "/opt/k/libsynth32.so");
    EXPECT_FALSE(QFile::exists(settingsPath)) << "reading must not create the file";
    ASSERT_TRUE(QDir().mkpath(dir.filePath("korvane")));
    QFile file(settingsPath);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[synthesizer]\ncard=sampler\n[fluidsynth]\naddress=9800\nmemory=-5\n");
    file.close();
    const CCardChoice choice(settingsPath);
    EXPECT_EQ(choice.CardKind(), CCardChoice::Kind::Simulated);
    EXPECT_EQ(choice.ServerAddress(), "127.0.0.1:9800");
    EXPECT_EQ(choice.MemoryBudget(), 1073741824u);
    EXPECT_EQ(choice.BankFileFilter(), "Lumo Sound sound banks(*.94b)|*.94b|");
}

TEST_F(CardChoiceTest, ChoicesAreKeptForTheNextRunAndBadValuesAreRefused)
{
    {
        CCardChoice choice(settingsPath);
        choice.SetCardKind(CCardChoice::Kind::FluidSynth);
        EXPECT_TRUE(choice.SetServerAddress("synth.local:9900"));
        EXPECT_TRUE(choice.SetMemoryBudget(4294967295u));
        for (const char* bad : {"nohost", ":9800", "host:0", "host:65536", "host:x", "a b:1"})
            EXPECT_FALSE(choice.SetServerAddress(bad)) << bad;
        EXPECT_FALSE(choice.SetMemoryBudget(0));
        EXPECT_FALSE(choice.SetMemoryBudget(4294967296u));
    }
    const CCardChoice next(settingsPath);
    EXPECT_EQ(next.CardKind(), CCardChoice::Kind::FluidSynth);
    EXPECT_EQ(next.ServerAddress(), "synth.local:9900");
    EXPECT_EQ(next.MemoryBudget(), 4294967295u);
    EXPECT_EQ(next.LibraryPath("/opt/k"), "/opt/k/libsynth32-fluidsynth.so");
    EXPECT_EQ(next.BankFileExtension(), "*.sf2");
    EXPECT_EQ(next.BankFileFilter(), "SoundFont files (*.sf2 *.sf3)|*.sf2;*.sf3|");
    qputenv("KORVANE_SYNTH_LIBRARY", "/elsewhere/libother.so");
    EXPECT_EQ(next.LibraryPath("/opt/k"), "/elsewhere/libother.so") << "the variable wins";
    qunsetenv("KORVANE_SYNTH_LIBRARY");
}

TEST_F(CardChoiceTest, TheServerCardsSettingsReachTheLibraryAndItsUnansweredCallsNameTheAddress)
{
    CCardChoice choice(settingsPath);
    choice.SetServerAddress("10.0.0.7:9811");
    choice.SetMemoryBudget(123456);
    choice.ApplyToEnvironment();
    EXPECT_EQ(qgetenv("KORVANE_FLUIDSYNTH"), "10.0.0.7:9811");
    EXPECT_EQ(qgetenv("KORVANE_FLUIDSYNTH_MEMORY"), "123456");

    EXPECT_EQ(choice.StatusDetail(SYNTHERR_NOTSUPPORTED), "") << "the simulated card is chosen";
    choice.SetCardKind(CCardChoice::Kind::FluidSynth);
    const QString detail = choice.StatusDetail(SYNTHERR_NOTSUPPORTED);
    EXPECT_TRUE(detail.contains("10.0.0.7:9811")) << detail.toStdString();
    EXPECT_TRUE(detail.contains("systemctl --user start fluidsynth")) << detail.toStdString();
    EXPECT_EQ(choice.StatusDetail(SYNTHERR_OUTOFMEM), "");
}

} // namespace
