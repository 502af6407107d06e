// The main window's MIDI file player, driven through its buttons' commands over a
// recording sequencer: what the Play button and the path line show, and what plays.
#include "Commands.h"
#include "DialogBuilder.h"
#include "ExecutableDir.h"
#include "FakeSequencer.h"
#include "FlatButton.h"
#include "KorvaneDlg.h"
#include "MidiFileMaker.h"
#include "PumpedAudioOutput.h"
#include "RecordingMessageBox.h"
#include "ScriptedFileDialog.h"
#include "SequencerFluidSynth.h"
#include "SharedSynthLibrary.h"
#include "SoundFontWriter.h"
#include "StringTable.h"

#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>

namespace {

// The middle of the Play button's triangle in bitmaps 216 (idle) and 217 (playing).
const QColor kGreen(0x3F, 0xB0, 0x4A);
const QColor kRed(0x92, 0x18, 0x18);

QColor PlayTriangle(const QWidget* window)
{
    auto* play = qobject_cast<CFlatButton*>(CDialogBuilder::GetDlgItem(window, Command::PlayMidi));
    if (!play)
        return {};
    return play->grab().toImage().pixelColor(play->ImagePosition(false) + QPoint(4, 5));
}

QString PathShown(const QWidget* window)
{
    const auto* label = qobject_cast<const QLabel*>(CDialogBuilder::GetDlgItem(window, 1023));
    return label ? label->text() : QStringLiteral("<no static 1023>");
}

bool FluidSynthMapped()
{
    QFile maps(QStringLiteral("/proc/self/maps"));
    return maps.open(QIODevice::ReadOnly) && maps.readAll().contains("libfluidsynth");
}

} // namespace

class PlayerWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    // First: it looks at what the whole test program has mapped so far.
    void fluidSynthIsLoadedByTheFirstPlayNotByTheStart();
    void browsingShowsTheChosenFileAndCancelKeepsIt();
    void playTurnsTheButtonRedAndASecondPressDoesNothing();
    void stopEndsThePlayAndDoesNothingWhileIdle();
    void theEndOfTheFileTurnsTheButtonGreenAndPlayStartsAgain();
    void anotherFileChosenWhilePlayingLetsTheFirstPlayOn();
    void aFileThatCannotPlayLeavesTheButtonGreen();
    void noAudioOutputAndDamagedTracksAreSaid();
    void filesPlayWithTheSoundFontsInTheCard();
    void damagedTracksAreSaidAndOtherFilesAreNot();
    void playWaitsForItsSoundFontsAndStopStillWorks();
    void theWindowAnswersWhileALargeSoundFontLoads();
    void aLateNotificationOfAStoppedPlayLeavesTheNextPlayAlone();
    void closingTheWindowWhilePlayingClosesTheDevice();
    void withoutASequencerThePlayerStaysIdle();
    void theChosenFileComesBackAfterARestart();

private:
    QString MakeFile(const QString& name);
    std::unique_ptr<CKorvaneDlg> StartWindow(CSequencerService* sequencer);
    void Choose(CKorvaneDlg& window, const QString& path);

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<CSharedSynthLibrary> m_library;
    std::unique_ptr<CRecordingMessageBox> m_messages;
    std::unique_ptr<CScriptedFileDialog> m_fileDialog;
    std::unique_ptr<CFakeSequencer> m_sequencer;
};

void PlayerWindowTest::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    qputenv("KORVANE_CARD_STATE", m_dir->filePath("card.state").toLocal8Bit());
    // Whatever the window keeps between runs stays in the temporary directory.
    CExecutableDir::Override(m_dir->path());
    qputenv("XDG_CONFIG_HOME", m_dir->filePath("config").toLocal8Bit());
    m_library = std::make_unique<CSharedSynthLibrary>(QStringLiteral(KORVANE_CARD_LIBRARY));
    QVERIFY2(m_library->IsLoaded(), qPrintable(m_library->ErrorString()));
    m_messages = std::make_unique<CRecordingMessageBox>();
    m_fileDialog = std::make_unique<CScriptedFileDialog>();
    m_sequencer = std::make_unique<CFakeSequencer>();
}

void PlayerWindowTest::cleanup()
{
    CExecutableDir::Override(QString());
    m_sequencer.reset();
    m_fileDialog.reset();
    m_messages.reset();
    m_library.reset();
    m_dir.reset();
}

QString PlayerWindowTest::MakeFile(const QString& name)
{
    const QString path = m_dir->filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        QTest::qFail("cannot make a MIDI file", __FILE__, __LINE__);
    return path;
}

std::unique_ptr<CKorvaneDlg> PlayerWindowTest::StartWindow(CSequencerService* sequencer)
{
    auto window = std::make_unique<CKorvaneDlg>(*m_library, sequencer);
    window->OnInitDialog();
    window->show();
    return window;
}

void PlayerWindowTest::Choose(CKorvaneDlg& window, const QString& path)
{
    m_fileDialog->Script(path);
    window.OnCommand(Command::BrowseMidi);
}

void PlayerWindowTest::fluidSynthIsLoadedByTheFirstPlayNotByTheStart()
{
    CSequencerFluidSynth sequencer(CSequencerFluidSynth::DefaultSoundFont(),
                                   [](fluid_settings_t*, fluid_audio_func_t, void*) {
                                       return std::unique_ptr<CSequencerAudioOutput>();
                                   });
    auto window = StartWindow(&sequencer);
    CMidiFileMaker tune;
    tune.Note(0, 480, 60);
    const QString path = m_dir->filePath(QStringLiteral("tune.mid"));
    QVERIFY(tune.Write(path));
    Choose(*window, path);
    QVERIFY(!FluidSynthMapped());

    // Without an audio output the user is told, once the SoundFont has loaded, and the
    // player stays idle.
    window->OnCommand(Command::PlayMidi);
    QVERIFY(FluidSynthMapped());
    QTRY_COMPARE(m_messages->Calls().size(), size_t{1});
    QCOMPARE(m_messages->Calls()[0].text, CStringTable::Load(1070));
    QCOMPARE(PlayTriangle(window.get()), kGreen);
}

void PlayerWindowTest::browsingShowsTheChosenFileAndCancelKeepsIt()
{
    auto window = StartWindow(m_sequencer.get());
    QCOMPARE(PathShown(window.get()), QString());
    QCOMPARE(PlayTriangle(window.get()), kGreen);

    const QString tune = MakeFile(QStringLiteral("tune.mid"));
    Choose(*window, tune);
    QCOMPARE(PathShown(window.get()), tune);
    QCOMPARE(m_fileDialog->Requests().size(), size_t{1});
    const FileDialogRequest& request = m_fileDialog->Requests()[0];
    QVERIFY(request.open);
    QCOMPARE(request.defaultExt, QStringLiteral("*.mid"));
    QCOMPARE(request.filter, QStringLiteral("MIDI files (*.mid)|*.mid|"));
    QCOMPARE(request.fileName, QString());

    Choose(*window, QString());
    QCOMPARE(PathShown(window.get()), tune);
    QVERIFY(m_sequencer->Calls().isEmpty());
    QVERIFY(m_messages->Calls().empty());
}

void PlayerWindowTest::playTurnsTheButtonRedAndASecondPressDoesNothing()
{
    auto window = StartWindow(m_sequencer.get());
    window->OnCommand(Command::PlayMidi); // no file chosen yet
    QVERIFY(m_sequencer->Calls().isEmpty());

    const QString tune = MakeFile(QStringLiteral("tune.mid"));
    Choose(*window, tune);
    window->OnCommand(Command::PlayMidi);
    QCOMPARE(PlayTriangle(window.get()), kRed);
    QCOMPARE(m_sequencer->PlayingFile(), tune);
    window->OnCommand(Command::PlayMidi);
    QCOMPARE(m_sequencer->Calls(), QStringList({"open " + tune + " -> 0", "play 1 -> 0"}));
    QCOMPARE(PlayTriangle(window.get()), kRed);
}

void PlayerWindowTest::stopEndsThePlayAndDoesNothingWhileIdle()
{
    auto window = StartWindow(m_sequencer.get());
    Choose(*window, MakeFile(QStringLiteral("tune.mid")));
    window->OnCommand(Command::StopMidi);
    QVERIFY(m_sequencer->Calls().isEmpty());

    window->OnCommand(Command::PlayMidi);
    window->OnCommand(Command::StopMidi);
    QCOMPARE(PlayTriangle(window.get()), kGreen);
    QCOMPARE(m_sequencer->Calls().mid(2), QStringList({"stop 1 -> 0", "close 1 -> 0"}));
    QCOMPARE(m_sequencer->OpenDevices(), 0);
    // The stopped play's notification arrives while idle and changes nothing.
    QCoreApplication::sendPostedEvents(window.get());
    QVERIFY(!window->Player().IsPlaying());
    QCOMPARE(PlayTriangle(window.get()), kGreen);
}

void PlayerWindowTest::theEndOfTheFileTurnsTheButtonGreenAndPlayStartsAgain()
{
    auto window = StartWindow(m_sequencer.get());
    const QString tune = MakeFile(QStringLiteral("tune.mid"));
    Choose(*window, tune);
    window->OnCommand(Command::PlayMidi);
    m_sequencer->EndOfFile(window->Player().DeviceId());
    QCOMPARE(PlayTriangle(window.get()), kRed); // the notification is still on its way
    QCoreApplication::sendPostedEvents(window.get());
    QCOMPARE(PlayTriangle(window.get()), kGreen);
    QCOMPARE(m_sequencer->OpenDevices(), 0);

    window->OnCommand(Command::PlayMidi);
    QCOMPARE(PlayTriangle(window.get()), kRed);
    QCOMPARE(m_sequencer->Calls().mid(2),
             QStringList({"close 1 -> 0", "open " + tune + " -> 0", "play 2 -> 0"}));
}

void PlayerWindowTest::anotherFileChosenWhilePlayingLetsTheFirstPlayOn()
{
    auto window = StartWindow(m_sequencer.get());
    const QString first = MakeFile(QStringLiteral("first.mid"));
    const QString second = MakeFile(QStringLiteral("second.mid"));
    Choose(*window, first);
    window->OnCommand(Command::PlayMidi);
    Choose(*window, second);
    QCOMPARE(PathShown(window.get()), second);
    QCOMPARE(m_sequencer->PlayingFile(), first);
    QCOMPARE(PlayTriangle(window.get()), kRed);

    window->OnCommand(Command::StopMidi);
    window->OnCommand(Command::PlayMidi);
    QCOMPARE(m_sequencer->PlayingFile(), second);
}

void PlayerWindowTest::aFileThatCannotPlayLeavesTheButtonGreen()
{
    auto window = StartWindow(m_sequencer.get());
    const QString tune = MakeFile(QStringLiteral("tune.mid"));
    Choose(*window, tune);
    QVERIFY(QFile::remove(tune));
    window->OnCommand(Command::PlayMidi);
    QCOMPARE(PlayTriangle(window.get()), kGreen);
    QVERIFY(!window->Player().IsPlaying());

    // A device that opens but cannot play is closed at once.
    MakeFile(QStringLiteral("tune.mid"));
    m_sequencer->FailNextPlay(SequencerError::NotReady);
    window->OnCommand(Command::PlayMidi);
    QCOMPARE(PlayTriangle(window.get()), kGreen);
    QVERIFY(!window->Player().IsPlaying());
    QCOMPARE(m_sequencer->OpenDevices(), 0);
    QCOMPARE(m_sequencer->Calls().last(), QStringLiteral("close 1 -> 0"));
    QVERIFY(m_messages->Calls().empty());
}

void PlayerWindowTest::noAudioOutputAndDamagedTracksAreSaid()
{
    auto window = StartWindow(m_sequencer.get());
    Choose(*window, MakeFile(QStringLiteral("tune.mid")));
    m_sequencer->FailNextPlay(SequencerError::NoAudioOutput);
    window->OnCommand(Command::PlayMidi);
    QCOMPARE(PlayTriangle(window.get()), kGreen);

    window->OnCommand(Command::PlayMidi);
    m_sequencer->FailPlay(window->Player().DeviceId());
    QCoreApplication::sendPostedEvents();
    QCOMPARE(PlayTriangle(window.get()), kGreen);
    QVERIFY(!window->Player().IsPlaying());
    QCOMPARE(m_sequencer->OpenDevices(), 0);

    QCOMPARE(m_messages->Calls().size(), size_t{2});
    QCOMPARE(m_messages->Calls()[0].text, CStringTable::Load(1070));
    QCOMPARE(m_messages->Calls()[1].text, CStringTable::Load(1072));
    for (const auto& call : m_messages->Calls())
        QCOMPARE(call.caption, QStringLiteral("Error"));
}

void PlayerWindowTest::filesPlayWithTheSoundFontsInTheCard()
{
    auto window = StartWindow(m_sequencer.get());
    Choose(*window, MakeFile(QStringLiteral("tune.mid")));
    window->OnCommand(Command::PlayMidi);
    QCOMPARE(m_sequencer->SoundFonts(), QStringList()); // the General MIDI SoundFont
    window->OnCommand(Command::StopMidi);

    QStringList fonts;
    for (const char* name : {"strings.sf2", "brass.sf2"}) {
        CSoundFontWriter font(name);
        font.AddPreset("Tone", 0, 0);
        fonts << m_dir->filePath(QString::fromLatin1(name));
        QVERIFY(font.Write(fonts.last().toStdString()));
        m_fileDialog->Script(fonts.last());
        window->OnCommand(Command::LoadBank);
    }
    QCOMPARE(window->BankTable().Status().bankCount, 2u);
    window->OnCommand(Command::PlayMidi);
    QCOMPARE(m_sequencer->SoundFonts(), fonts);
    QVERIFY(m_messages->Calls().empty());
}

// Checked before anything plays, each kind of damage is said at once; a file that is not
// MIDI at all passes in silence.
void PlayerWindowTest::damagedTracksAreSaidAndOtherFilesAreNot()
{
    CSequencerFluidSynth sequencer(CSequencerFluidSynth::DefaultSoundFont(),
                                   CPumpedAudioOutput::OpenerFor(false));
    auto window = StartWindow(&sequencer);
    for (const auto& [name, bytes] : CMidiFileMaker::DamagedFiles()) {
        QFile file(MakeFile(name));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
        file.close();
        Choose(*window, file.fileName());
        const size_t said = m_messages->Calls().size();
        window->OnCommand(Command::PlayMidi);
        QTRY_VERIFY(!window->Player().IsLoading());
        QCOMPARE(PlayTriangle(window.get()), kGreen);
        QCOMPARE(m_messages->Calls().size(), said + 1);
        QCOMPARE(m_messages->Calls().back().text, CStringTable::Load(1072));
    }
    QFile text(MakeFile(QStringLiteral("text.mid")));
    QVERIFY(text.open(QIODevice::WriteOnly) && text.write("not MIDI at all") > 0);
    text.close();
    Choose(*window, text.fileName());
    window->OnCommand(Command::PlayMidi);
    QCOMPARE(PlayTriangle(window.get()), kGreen);
    QCOMPARE(m_messages->Calls().size(), CMidiFileMaker::DamagedFiles().size());
}

// While its SoundFonts load the file waits: Play shows red and the cursor is busy, a second
// press does nothing, and Stop returns the player to idle for good.
void PlayerWindowTest::playWaitsForItsSoundFontsAndStopStillWorks()
{
    auto window = StartWindow(m_sequencer.get());
    const QString tune = MakeFile(QStringLiteral("tune.mid"));
    Choose(*window, tune);
    m_sequencer->HoldLoads();
    window->OnCommand(Command::PlayMidi);
    window->OnCommand(Command::PlayMidi);
    QVERIFY(window->Player().IsLoading());
    QCOMPARE(PlayTriangle(window.get()), kRed);
    QCOMPARE(window->cursor().shape(), Qt::BusyCursor);
    QVERIFY(m_sequencer->Calls().isEmpty());

    window->OnCommand(Command::StopMidi);
    QCOMPARE(PlayTriangle(window.get()), kGreen);
    QCOMPARE(window->cursor().shape(), Qt::ArrowCursor);
    m_sequencer->FinishLoad();
    QCoreApplication::sendPostedEvents(window.get());
    QVERIFY(m_sequencer->Calls().isEmpty());

    window->OnCommand(Command::PlayMidi);
    m_sequencer->FinishLoad();
    QCoreApplication::sendPostedEvents(window.get());
    QCOMPARE(m_sequencer->PlayingFile(), tune);
    QCOMPARE(PlayTriangle(window.get()), kRed);
    QCOMPARE(window->cursor().shape(), Qt::ArrowCursor);
}

// A SoundFont bank just loaded into the card is loaded for the player off the window's
// thread: the window's timers fire meanwhile, and the file then plays.
void PlayerWindowTest::theWindowAnswersWhileALargeSoundFontLoads()
{
    CSequencerFluidSynth sequencer(CSequencerFluidSynth::DefaultSoundFont(),
                                   CPumpedAudioOutput::OpenerFor(true));
    auto window = StartWindow(&sequencer);
    CSoundFontWriter font("Large");
    font.AddPreset("Tone", 0, 0);
    font.SetSampleDataSize(6 * 1024 * 1024); // within the card's 8 MiB
    const QString path = m_dir->filePath(QStringLiteral("large.sf2"));
    QVERIFY(font.Write(path.toStdString()));
    m_fileDialog->Script(path);
    window->OnCommand(Command::LoadBank);
    CMidiFileMaker tune;
    tune.Note(0, 480 * 8, 60);
    const QString song = m_dir->filePath(QStringLiteral("tune.mid"));
    QVERIFY(tune.Write(song));
    Choose(*window, song);

    int ticks = 0;
    QTimer timer;
    connect(&timer, &QTimer::timeout, [&ticks] { ++ticks; });
    timer.start(0);
    window->OnCommand(Command::PlayMidi);
    QVERIFY(window->Player().IsLoading());
    QTRY_VERIFY(window->Player().IsPlaying());
    QVERIFY2(ticks > 0, "no timer fired while the SoundFont loaded");
    window->OnCommand(Command::StopMidi);
    QCOMPARE(m_messages->Calls().size(), size_t{0});
}

void PlayerWindowTest::aLateNotificationOfAStoppedPlayLeavesTheNextPlayAlone()
{
    auto window = StartWindow(m_sequencer.get());
    const QString tune = MakeFile(QStringLiteral("tune.mid"));
    Choose(*window, tune);
    window->OnCommand(Command::PlayMidi);
    window->OnCommand(Command::StopMidi);
    // Play again before the stopped play's notification has been delivered.
    window->OnCommand(Command::PlayMidi);
    QCoreApplication::sendPostedEvents(window.get());
    QCOMPARE(PlayTriangle(window.get()), kRed);
    QCOMPARE(m_sequencer->PlayingFile(), tune);
}

void PlayerWindowTest::closingTheWindowWhilePlayingClosesTheDevice()
{
    auto window = StartWindow(m_sequencer.get());
    Choose(*window, MakeFile(QStringLiteral("tune.mid")));
    window->OnCommand(Command::PlayMidi);
    window->OnCommand(Command::PresetExit);
    window.reset();
    QCOMPARE(m_sequencer->OpenDevices(), 0);
}

void PlayerWindowTest::withoutASequencerThePlayerStaysIdle()
{
    auto window = StartWindow(nullptr);
    Choose(*window, MakeFile(QStringLiteral("tune.mid")));
    window->OnCommand(Command::PlayMidi);
    QCOMPARE(PlayTriangle(window.get()), kGreen);
    QVERIFY(!window->Player().IsPlaying());
}

void PlayerWindowTest::theChosenFileComesBackAfterARestart()
{
    const QString tune = MakeFile(QStringLiteral("tune.mid"));
    {
        auto window = StartWindow(m_sequencer.get());
        Choose(*window, tune);
        window->OnCommand(Command::PresetExit);
    }
    auto window = StartWindow(m_sequencer.get());
    QCOMPARE(PathShown(window.get()), tune);
    window->OnCommand(Command::PlayMidi);
    QCOMPARE(m_sequencer->PlayingFile(), tune);
}

QTEST_MAIN(PlayerWindowTest)
#include "PlayerWindowTest.moc"
