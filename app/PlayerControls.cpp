#include "PlayerControls.h"

#include "Commands.h"
#include "DialogBuilder.h"
#include "FileDialogService.h"
#include "FlatButton.h"
#include "MessageBoxService.h"
#include "Options.h"
#include "PathElision.h"
#include "ResourceIds.h"
#include "SequencerNotifyEvent.h"
#include "StringTable.h"

#include <QLabel>

namespace {

constexpr int IDS_MIDI_EXT = 113;
constexpr int IDS_MIDI_FILTER = 114;
constexpr int IDC_MIDI_FILE = 1023;
constexpr int IDB_PLAY = 216;
constexpr int IDB_PLAYING = 217;

} // namespace

CPlayerControls::CPlayerControls(QWidget& window, COptions& options, CSequencerService* sequencer,
                                 const CBankTable* bankTable)
    : m_window(window), m_options(options), m_player(sequencer, bankTable)
{
}

void CPlayerControls::ReadOptions()
{
    m_strMidiFile = m_options.GetMidiFile();
}

void CPlayerControls::ShowMidiFile()
{
    if (auto* midiFile =
            qobject_cast<QLabel*>(CDialogBuilder::GetDlgItem(&m_window, IDC_MIDI_FILE)))
        CPathElision::Show(midiFile, m_strMidiFile);
}

void CPlayerControls::OnBrowseMidi()
{
    FileDialogRequest request;
    request.defaultExt = CStringTable::Load(IDS_MIDI_EXT);
    request.filter = CStringTable::Load(IDS_MIDI_FILTER);
    const QString path = CFileDialogService::Current().Run(request);
    if (path.isEmpty())
        return;
    // The file that plays, if any, goes on playing; the options remember the new one.
    m_strMidiFile = path;
    m_options.SetMidiFile(path);
    ShowMidiFile();
}

void CPlayerControls::OnPlayMidi()
{
    const unsigned error = m_player.Play(&m_window, m_strMidiFile);
    ShowPlayerState();
    ShowPlayerProblem(error);
}

void CPlayerControls::OnStopMidi()
{
    m_player.Stop();
    ShowPlayerState();
}

void CPlayerControls::OnMciNotify(const CSequencerNotifyEvent& event)
{
    const unsigned error = m_player.OnNotify(&m_window, event.NotifyCode(), event.DeviceId());
    ShowPlayerState();
    ShowPlayerProblem(error);
}

void CPlayerControls::ShowPlayerProblem(unsigned error)
{
    if (const QString text = m_player.ProblemText(error); !text.isEmpty())
        CMessageBoxService::Current().Show(&m_window, text, CStringTable::Load(IDS_ERROR_CAPTION),
                                           Mb::Ok | Mb::IconHand);
}

// A red triangle on Play while a file plays or waits for its SoundFonts, a green one while
// idle; the busy cursor while the SoundFonts load (the window still answers, Stop included).
void CPlayerControls::ShowPlayerState()
{
    const bool active = m_player.IsPlaying() || m_player.IsLoading();
    if (auto* play =
            qobject_cast<CFlatButton*>(CDialogBuilder::GetDlgItem(&m_window, Command::PlayMidi)))
        play->SetButtonBitmap(active ? IDB_PLAYING : IDB_PLAY, 10, 10);
    if (m_player.IsLoading())
        m_window.setCursor(Qt::BusyCursor);
    else
        m_window.unsetCursor();
}
