// The Preset menu's commands on a bank table over the card library: which file dialogs they
// open, what they write, and when the exit question is asked.
#include "PresetCommands.h"
#include "BankFileWriter.h"
#include "BankTable.h"
#include "NativePath.h"
#include "QtPrinters.h"
#include "RecordingMessageBox.h"
#include "ScriptedFileDialog.h"
#include "SharedSynthLibrary.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <memory>

namespace {

const QString kNoPresetWarning = QStringLiteral("Unable to save in No-preset Mode.");

class PresetCommandsTest : public ::testing::Test
{
protected:
    QTemporaryDir dir;
    std::unique_ptr<CSharedSynthLibrary> card;
    std::unique_ptr<CBankTable> table;
    std::unique_ptr<CPresetCommands> commands;
    CRecordingMessageBox messages;
    CScriptedFileDialog files;

    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        qputenv("KORVANE_CARD_STATE", dir.filePath("card.state").toLocal8Bit());
        qputenv("KORVANE_CARD_MEMORY", QByteArray::number(4 * 1024 * 1024));
        card = std::make_unique<CSharedSynthLibrary>(QStringLiteral(KORVANE_CARD_LIBRARY));
        ASSERT_TRUE(card->IsLoaded()) << card->ErrorString().toStdString();
        table = std::make_unique<CBankTable>(*card);
        table->SetSleep([](int) {});
        ASSERT_TRUE(table->Init(nullptr));
        commands = std::make_unique<CPresetCommands>(*table, Settings());
    }

    QString File(const QString& name) const { return dir.filePath(name); }
    QString Settings() const { return File("korvane.conf"); }

    // Loads a new bank file of that name into the card through the bank table.
    void LoadBank(const std::string& name)
    {
        const QString path = File(QString::fromStdString(name) + ".94b");
        CBankFileWriter bank(name);
        bank.AddInstrument(0, 0);
        bank.SetSize(4096);
        std::string error;
        ASSERT_TRUE(bank.Write(path.toStdString(), &error)) << error;
        ASSERT_LT(table->LoadBank(path), SYNTH_LOAD_ERROR_BASE);
    }

    // A preset file with the banks in memory now, made by Save as from a new preset.
    QString SavedPreset(const QString& name)
    {
        files.Script(File(name));
        commands->SaveAs();
        EXPECT_FALSE(table->IsModified());
        return File(name);
    }

    QStringList Presets() const { return QDir(dir.path()).entryList({"*.pre"}, QDir::Files); }

    static QByteArray Read(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }
};

TEST_F(PresetCommandsTest, NoPresetModeIsNeverSaved)
{
    LoadBank("PIANO");
    commands->Save();
    commands->SaveAs();
    EXPECT_TRUE(files.Requests().empty());
    ASSERT_EQ(messages.Calls().size(), 2u);
    for (const CRecordingMessageBox::Call& call : messages.Calls()) {
        EXPECT_EQ(call.text, kNoPresetWarning);
        EXPECT_EQ(call.caption, QStringLiteral("Warning"));
        EXPECT_EQ(call.type, Mb::Ok | Mb::IconExclamation);
    }
    EXPECT_TRUE(Presets().isEmpty());
    // Nor offered at exit, modified as it is.
    commands->QuerySave(nullptr);
    EXPECT_EQ(messages.Calls().size(), 2u);
}

TEST_F(PresetCommandsTest, AnUntitledPresetIsSavedUnderTheNameAskedFor)
{
    table->NewPreset();
    commands->Save();
    ASSERT_EQ(files.Requests().size(), 1u);
    const FileDialogRequest& request = files.Requests()[0];
    EXPECT_FALSE(request.open);
    EXPECT_EQ(request.defaultExt, QStringLiteral("*.pre"));
    EXPECT_EQ(request.filter, QStringLiteral("Korvane Presets (*.pre]|*.pre|"));
    EXPECT_TRUE(request.fileName.isEmpty());
    // Cancelled: nothing written, still untitled and modified.
    EXPECT_TRUE(Presets().isEmpty());
    EXPECT_EQ(table->GetPresetName(), QStringLiteral("Untitled"));
    EXPECT_TRUE(table->IsModified());

    files.Script(File("live"));
    commands->Save();
    EXPECT_EQ(table->GetPresetName(), QStringLiteral("live.pre"));
    EXPECT_EQ(Read(File("live.pre")).size(), 16);
    EXPECT_FALSE(table->IsModified());
    EXPECT_TRUE(messages.Calls().empty());
}

TEST_F(PresetCommandsTest, ANamedPresetIsRewrittenWithoutAsking)
{
    table->NewPreset();
    const QString preset = SavedPreset("live.pre");
    LoadBank("PIANO");
    commands->Save();
    EXPECT_EQ(files.Requests().size(), 1u);
    EXPECT_TRUE(Read(preset).contains("PIANO.94b"));
    EXPECT_FALSE(table->IsModified());
}

// The state is told by the preset, not by the text of its file name: a file called
// Untitled still asks for a name, one called after No-preset Mode is saved like any other.
TEST_F(PresetCommandsTest, FileNamesThatLookLikeTheFixedNames)
{
    table->NewPreset();
    SavedPreset("Untitled.pre");
    commands->Save();
    EXPECT_EQ(files.Requests().size(), 2u);

    const QString odd = SavedPreset("No-preset Mode.pre");
    LoadBank("PADS");
    commands->Save();
    EXPECT_EQ(files.Requests().size(), 3u);
    EXPECT_TRUE(Read(odd).contains("PADS.94b"));
    EXPECT_TRUE(messages.Calls().empty());
}

TEST_F(PresetCommandsTest, ExitQuestionOnlyForAModifiedPreset)
{
    table->NewPreset();
    const QString preset = SavedPreset("live.pre");
    commands->QuerySave(nullptr);
    EXPECT_TRUE(messages.Calls().empty());

    // No: the file stays as it was.
    LoadBank("PIANO");
    const QByteArray before = Read(preset);
    messages.Script(Id::No);
    commands->QuerySave(nullptr);
    ASSERT_EQ(messages.Calls().size(), 1u);
    const CRecordingMessageBox::Call& question = messages.Calls()[0];
    EXPECT_EQ(question.text, QStringLiteral("Presest is modified. Do you want to save it ?"));
    EXPECT_EQ(question.caption, QStringLiteral("Warning"));
    EXPECT_EQ(question.type, 0x24u);
    EXPECT_EQ(Read(preset), before);

    // Yes: written to its file.
    messages.Script(Id::Yes);
    commands->QuerySave(nullptr);
    EXPECT_EQ(messages.Calls().size(), 2u);
    EXPECT_TRUE(Read(preset).contains("PIANO.94b"));
    EXPECT_FALSE(table->IsModified());
}

TEST_F(PresetCommandsTest, OpenReplacesTheBanksWithoutAsking)
{
    table->NewPreset();
    LoadBank("PIANO");
    const QString piano = SavedPreset("piano.pre");
    table->NewPreset();
    LoadBank("DRUMS");
    LoadBank("PADS");

    // Cancelled: the modified banks stay.
    EXPECT_FALSE(commands->Open());
    EXPECT_TRUE(files.Requests().back().open);
    EXPECT_EQ(table->Status().bankCount, 2u);

    files.Script(piano);
    EXPECT_TRUE(commands->Open());
    EXPECT_TRUE(messages.Calls().empty());
    EXPECT_EQ(table->Status().bankCount, 1u);
    EXPECT_EQ(table->GetBankName(0), QStringLiteral("PIANO"));
    EXPECT_EQ(table->GetPresetName(), QStringLiteral("piano.pre"));

    // A file that cannot be read: the banks and the name stay.
    files.Script(File("gone.pre"));
    EXPECT_TRUE(commands->Open());
    EXPECT_EQ(table->Status().bankCount, 1u);
    EXPECT_EQ(table->GetPresetName(), QStringLiteral("piano.pre"));
    ASSERT_EQ(messages.Calls().size(), 1u);
    EXPECT_EQ(messages.Calls()[0].text, "Unable to find the preset file.\n" + File("gone.pre"));
}

// The last four presets opened or saved, the newest first and each once, are there for the
// next run; a name with a comma and a byte that is not UTF-8 comes back whole.
TEST_F(PresetCommandsTest, RecentPresetsAreTheLastFourOpenedOrSavedAcrossRuns)
{
    table->NewPreset();
    const QString first = SavedPreset("first.pre");
    const QString second = SavedPreset("second.pre");
    const QString third = SavedPreset("third.pre");
    const QString odd = SavedPreset(CNativePath::Decode("caf\xe9, live.pre"));
    files.Script(first);
    EXPECT_TRUE(commands->Open());
    const QString fifth = SavedPreset("fifth.pre");
    EXPECT_TRUE(messages.Calls().empty());

    const CPresetCommands nextRun(*table, Settings());
    EXPECT_EQ(nextRun.RecentPresets(), (QStringList{fifth, first, odd, third}));
    EXPECT_FALSE(nextRun.RecentPresets().contains(second));
}

// A recent preset whose file has gone leaves the list with the message of a preset not
// found; the card and the current preset stay as they were.
TEST_F(PresetCommandsTest, AMissingRecentPresetIsDroppedAndTheCardKept)
{
    table->NewPreset();
    const QString gone = SavedPreset("gone.pre");
    const QString kept = SavedPreset("kept.pre");
    LoadBank("PIANO");
    ASSERT_TRUE(QFile::remove(gone));

    EXPECT_TRUE(commands->OpenRecent(1));
    ASSERT_EQ(messages.Calls().size(), 1u);
    EXPECT_EQ(messages.Calls()[0].text, "Unable to find the preset file.\n" + gone);
    EXPECT_EQ(table->Status().bankCount, 1u);
    EXPECT_EQ(table->GetPresetName(), QStringLiteral("kept.pre"));
    EXPECT_EQ(commands->RecentPresets(), QStringList{kept});
    EXPECT_FALSE(commands->OpenRecent(1));
}

} // namespace
