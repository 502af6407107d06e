// The options file: its bytes, where it is read from and written to, and what a damaged
// or unwritable file does.
#include "Options.h"
#include "ExecutableDir.h"
#include "QtPrinters.h"
#include "RecordingMessageBox.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

namespace {

class OptionsTest : public ::testing::Test
{
protected:
    QTemporaryDir dir;
    CRecordingMessageBox messages;

    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("bin")));
        CExecutableDir::Override(dir.filePath(QStringLiteral("bin")));
        qputenv("XDG_CONFIG_HOME", dir.filePath(QStringLiteral("config")).toLocal8Bit());
    }

    void TearDown() override { CExecutableDir::Override(QString()); }

    // A path under a regular file: nothing can be created there, whoever runs the test.
    QString Unwritable(const QString& name)
    {
        const QString blocker = dir.filePath(QStringLiteral("not-a-directory"));
        QFile file(blocker);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        return blocker + QLatin1Char('/') + name;
    }

    static QByteArray Read(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }

    static void Write(const QString& path, const QByteArray& bytes)
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
};

TEST_F(OptionsTest, FileHoldsThePresetPathTheDisplayModeAndTheMidiPath)
{
    COptions defaults;
    defaults.SetMidiFile(QString());
    ASSERT_TRUE(defaults.Save());
    EXPECT_EQ(Read(COptions::ProgramFile()), QByteArray(6, '\0'));

    COptions options;
    options.SetStartupPreset(QStringLiteral("/home/user/live2.pre")); // 20 characters
    options.SetDisplay(COptions::DisplayTrayIcon);
    options.SetMidiFile(QStringLiteral("/m.mid"));
    ASSERT_TRUE(options.Save());
    EXPECT_EQ(Read(COptions::ProgramFile()),
              QByteArray("\x14/home/user/live2.pre\x01\x00\x00\x00\x06/m.mid", 32));
}

TEST_F(OptionsTest, SavedOptionsReadBackAndAreThenUnchanged)
{
    COptions saved;
    saved.SetStartupPreset(QStringLiteral("/home/user/présets/Ünïcode.pre"));
    saved.SetDisplay(COptions::DisplayTrayIcon);
    saved.SetMidiFile(QStringLiteral("/songs/a.mid"));
    ASSERT_TRUE(saved.Save());
    EXPECT_FALSE(saved.IsChanged());

    COptions loaded;
    ASSERT_TRUE(loaded.Load());
    EXPECT_EQ(loaded.GetStartupPreset(), saved.GetStartupPreset());
    EXPECT_EQ(loaded.GetDisplay(), COptions::DisplayTrayIcon);
    EXPECT_EQ(loaded.GetMidiFile(), QStringLiteral("/songs/a.mid"));
    EXPECT_EQ(loaded.GetFilePath(), COptions::ProgramFile());
    EXPECT_FALSE(loaded.IsChanged());
    EXPECT_TRUE(messages.Calls().empty());
}

TEST_F(OptionsTest, WithoutAFileLoadSaysSoAndAnUnchangedSaveWritesNothing)
{
    COptions options;
    EXPECT_FALSE(options.Load());
    EXPECT_EQ(options.GetStartupPreset(), QString());
    EXPECT_EQ(options.GetDisplay(), COptions::DisplayStandard);
    EXPECT_TRUE(options.Save());
    EXPECT_FALSE(QFile::exists(COptions::ProgramFile()));
    EXPECT_FALSE(QFile::exists(COptions::UserFile()));
    EXPECT_TRUE(messages.Calls().empty());
}

TEST_F(OptionsTest, UnwritableProgramDirectorySavesToTheUserConfigurationWhichIsReadFirst)
{
    CExecutableDir::Override(Unwritable(QStringLiteral("bin")));
    COptions options;
    EXPECT_FALSE(options.Load());
    options.SetStartupPreset(QStringLiteral("/p.pre"));
    ASSERT_TRUE(options.Save());
    EXPECT_EQ(options.GetFilePath(), COptions::UserFile());
    EXPECT_EQ(COptions::UserFile(), dir.filePath(QStringLiteral("config/korvane/krv.opt")));
    EXPECT_TRUE(messages.Calls().empty());

    // Back in a writable program directory with an older file of its own, the user's
    // copy still wins, and later saves go on to it.
    CExecutableDir::Override(dir.filePath(QStringLiteral("bin")));
    Write(COptions::ProgramFile(), QByteArray("\x08/old.pre\0\0\0\0\0", 14));
    COptions next;
    ASSERT_TRUE(next.Load());
    EXPECT_EQ(next.GetStartupPreset(), QStringLiteral("/p.pre"));
    next.SetMidiFile(QStringLiteral("/x.mid"));
    ASSERT_TRUE(next.Save());
    EXPECT_EQ(Read(COptions::UserFile()), QByteArray("\x06/p.pre\0\0\0\0\x06/x.mid", 18));
}

// An installed program keeps its options in the user's configuration folder only, never
// beside itself in a system folder that every user would share and that the package
// manager would leave behind.
TEST_F(OptionsTest, InstalledProgramKeepsItsOptionsInTheUserConfigurationOnly)
{
    const QString installed = QStringLiteral("/usr/lib/korvane-options-test");
    CExecutableDir::Override(installed);
    EXPECT_TRUE(COptions::IsInstalled());
    COptions options;
    EXPECT_FALSE(options.Load());
    options.SetStartupPreset(QStringLiteral("/p.pre"));
    ASSERT_TRUE(options.Save());
    EXPECT_EQ(options.GetFilePath(), dir.filePath(QStringLiteral("config/korvane/krv.opt")));
    EXPECT_FALSE(QFileInfo::exists(installed));
    COptions next;
    ASSERT_TRUE(next.Load());
    EXPECT_EQ(next.GetStartupPreset(), QStringLiteral("/p.pre"));
    QDir(installed).removeRecursively();

    CExecutableDir::Override(dir.filePath(QStringLiteral("bin")));
    EXPECT_FALSE(COptions::IsInstalled()) << "a build tree or an unpacked copy";
}

TEST_F(OptionsTest, SaveThatFailsEverywhereIsReportedAndStaysPending)
{
    CExecutableDir::Override(Unwritable(QStringLiteral("bin")));
    qputenv("XDG_CONFIG_HOME", Unwritable(QStringLiteral("config")).toLocal8Bit());
    COptions options;
    options.Load();
    options.SetMidiFile(QStringLiteral("/x.mid"));
    EXPECT_FALSE(options.Save());
    EXPECT_TRUE(options.IsChanged());
    ASSERT_EQ(messages.Calls().size(), size_t{1});
    const auto& call = messages.Calls()[0];
    EXPECT_TRUE(call.text.startsWith(QStringLiteral("Unable to save the options file: ") +
                                     COptions::UserFile()))
        << call.text.toStdString();
    EXPECT_EQ(call.caption, QStringLiteral("Warning"));
}

// Each file is refused as a whole: no field takes a value from it, the damage is reported
// once, and the exit keeps it aside and writes a sound file in its place.
TEST_F(OptionsTest, DamagedFileIsReportedLeavesTheDefaultsAndIsRepairedAtExit)
{
    const QByteArray damaged[] = {
        QByteArray(),
        QByteArray("\x06/p.pre\x01\x00", 9),                      // ends inside the display mode
        QByteArray("\x06/p.pre\x01\x00\x00\x00", 11),             // no MIDI path
        QByteArray("\x06/p.pre\x02\x00\x00\x00\x00", 12),         // no such display mode
        QByteArray("\x09/p.pre", 7),                              // string longer than the file
        QByteArray("\xff\xff\xff\xff\xff\xff\x7f/p.pre", 13),     // 32-bit length past the end
        QByteArray("\xff\xfe\xff/p.pre\x00\x00\x00\x00\x00", 14), // a length never written
    };
    int kept = 0;
    for (const QByteArray& bytes : damaged) {
        SCOPED_TRACE(bytes.toHex(' ').toStdString());
        Write(COptions::ProgramFile(), bytes);
        CRecordingMessageBox boxes;
        COptions options;
        EXPECT_TRUE(options.Load()) << "a damaged file is still not a first run";
        EXPECT_EQ(options.GetStartupPreset(), QString());
        EXPECT_EQ(options.GetDisplay(), COptions::DisplayStandard);
        ASSERT_EQ(boxes.Calls().size(), size_t{1});
        EXPECT_EQ(boxes.Calls()[0].text,
                  QStringLiteral("The options file is damaged; the default options are used: ") +
                      COptions::ProgramFile());
        ASSERT_TRUE(options.Save());
        EXPECT_EQ(Read(COptions::ProgramFile()), QByteArray(6, '\0'));
        // Kept aside first, never over a file kept before.
        const QString suffix =
            kept == 0 ? QStringLiteral(".bad") : QStringLiteral(".bad.%1").arg(kept);
        EXPECT_EQ(Read(COptions::ProgramFile() + suffix), bytes);
        ++kept;
    }
}

TEST_F(OptionsTest, LongPrefixesAndTrailingBytesAreAccepted)
{
    Write(COptions::ProgramFile(),
          QByteArray("\xff\x06\x00/p.pre\x01\x00\x00\x00\xff\xff\xff\x06\x00\x00\x00/m.mid!!", 28));
    COptions options;
    ASSERT_TRUE(options.Load());
    EXPECT_EQ(options.GetStartupPreset(), QStringLiteral("/p.pre"));
    EXPECT_EQ(options.GetDisplay(), COptions::DisplayTrayIcon);
    EXPECT_EQ(options.GetMidiFile(), QStringLiteral("/m.mid"));
    EXPECT_FALSE(options.IsChanged());
    EXPECT_TRUE(messages.Calls().empty());
}

} // namespace
