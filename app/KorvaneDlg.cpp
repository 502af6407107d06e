#include "KorvaneDlg.h"

#include "AboutDlg.h"
#include "BankFit.h"
#include "BitmapResource.h"
#include "CardChoice.h"
#include "Commands.h"
#include "DialogBuilder.h"
#include "DialogTemplate.h"
#include "DroppedFiles.h"
#include "FileDialogService.h"
#include "FileKind.h"
#include "FlatButton.h"
#include "GridEditedEvent.h"
#include "MappingReport.h"
#include "MemoryFormat.h"
#include "MenuBuilder.h"
#include "MessageBoxService.h"
#include "NativePath.h"
#include "OptionsDlg.h"
#include "PresetLoadProgress.h"
#include "ResourceIds.h"
#include "SequencerNotifyEvent.h"
#include "SharedSynthLibrary.h"
#include "SmoothProgressBar.h"
#include "StringTable.h"
#include "TblCellArea.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDropEvent>
#include <QEventLoop>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QMenuBar>
#include <QProgressBar>
#include <QScreen>

#include <algorithm>
#include <climits>

namespace {

constexpr int IDD_MAIN = 102;
constexpr int IDR_MENU = 202;
constexpr int IDI_KORVANE = 200;
constexpr int IDS_KORVANE = 180;
constexpr int IDS_REPORT_EXT = 186;
constexpr int IDS_REPORT_FILTER = 187;
constexpr int IDS_SELECT_BANK = 109;
constexpr int IDS_STOP = 1041;
constexpr int IDS_PLAY = 1042;
constexpr int IDS_BROWSE_MIDI = 1043;
constexpr int IDS_MEMORY_GAUGE = 1044;
constexpr int IDS_BANK_LIST = 1045;
constexpr int IDS_STARTUP_PRESET_DROPPED = 1004;

constexpr int IDC_FREE_MEMORY = 1024;
constexpr int IDC_FREE_PERCENT = 1025;
constexpr int IDC_TOTAL_MEMORY = 1029;
constexpr int IDC_USED_MEMORY = 1027;
constexpr int IDC_MEMORY_GAUGE = 1022;
constexpr int IDC_BANK_LIST = 1021;

// Room between the list's border and what it says of a card that cannot be reached.
constexpr int kCardProblemMargin = 6;

constexpr int IDB_STOP = 215;
constexpr int IDB_MIDI_MAPPING = 218;
constexpr int IDB_BROWSE_MIDI = 219;

// A control without a caption of its own, named for the pointer and for screen readers.
void NameControl(QWidget* control, int textId)
{
    const QString name = CStringTable::Load(textId);
    control->setToolTip(name);
    control->setAccessibleName(name);
}

// Gives a button Alt with letter as its access key, named in its tooltip after name. The
// menu bar has Alt+P and Alt+B already.
void GiveAccessKey(QAbstractButton* button, const QString& name, Qt::Key letter)
{
    const QKeySequence keys(Qt::ALT | letter);
    button->setShortcut(keys);
    button->setToolTip(
        QStringLiteral("%1 (%2)").arg(name, keys.toString(QKeySequence::NativeText)));
}

// A right-aligned figure wider than its static grows to the left, so that its unit stays in
// sight on a large card.
void SetStatic(QWidget* dialog, int id, const QString& text)
{
    auto* label = qobject_cast<QLabel*>(CDialogBuilder::GetDlgItem(dialog, id));
    if (!label)
        return;
    label->setText(text);
    const int needed = label->sizeHint().width();
    if (label->alignment().testFlag(Qt::AlignRight) && needed > label->width())
        label->setGeometry(label->geometry().adjusted(label->width() - needed, 0, 0, 0));
}

} // namespace

CKorvaneDlg::CKorvaneDlg(SynthLibrary& library, CSequencerService* sequencer, QWidget* parent)
    : QDialog(parent), m_playerControls(*this, m_options, sequencer, &m_bankTable),
      m_bankTable(library), m_cardWatch(library, m_bankTable)
{
    setWindowIcon(CBitmapResource::Icon(IDI_KORVANE));
    BuildControls();
    m_bankTable.SetLoadProgress(CPresetLoadProgress::Factory());
    // A card's errors say more where the card knows more, such as a server's address.
    CBankTable::SetStatusDetail([](int code) { return CCardChoice().StatusDetail(code); });
    // Keys reach the window wherever the focus is, so Delete can act on the bank list.
    qApp->installEventFilter(this);
    setAcceptDrops(true);
    connect(&m_cardWatch, &CCardWatch::StatusRead, this, &CKorvaneDlg::OnCardRead);
    connect(&m_bankGrid, &CBankGrid::BankDoubleClicked, this, &CKorvaneDlg::OnBankContents);
}

CKorvaneDlg::~CKorvaneDlg()
{
    CBankTable::SetStatusDetail(nullptr);
    qApp->removeEventFilter(this);
}

void CKorvaneDlg::BuildControls()
{
    m_menuBar = CMenuBuilder::BuildMenuBar(IDR_MENU, this, [this](int id) { OnCommand(id); });
    // Menus keep the desktop's font; only the controls take the dialog's.
    m_menuBar->setFont(QApplication::font(m_menuBar));
    // Delete is the window's own key (eventFilter), which also leaves it to the list's
    // editor: the menu only shows it, and acts on it only while the menu has the focus.
    if (QAction* unload = CMenuBuilder::FindCommand(m_menuBar, Command::UnloadBank))
        unload->setShortcutContext(Qt::WidgetShortcut);
    m_recentPresetMenu.Attach(m_menuBar, [this] { return m_presetCommands.RecentPresets(); });
    const int menuHeight = m_menuBar->sizeHint().height();
    CDialogBuilder::Build(
        this, DialogTemplate::Load(IDD_MAIN),
        [this](const ControlTemplate& control, QWidget* parent) {
            return CreateControl(control, parent);
        },
        menuHeight);
    m_menuBar->setGeometry(0, 0, width(), menuHeight);
}

// The four bitmap buttons are ours; every other control is the builder's default.
QWidget* CKorvaneDlg::CreateControl(const ControlTemplate& control, QWidget* parent)
{
    const int id = control.id;
    CFlatButton** slot = nullptr;
    switch (id) {
    case Command::MidiMapping:
        slot = &m_btnMidiMapping;
        break;
    case Command::BrowseMidi:
        slot = &m_btnBrowseMidi;
        break;
    case Command::StopMidi:
        slot = &m_btnStop;
        break;
    case Command::PlayMidi:
        slot = &m_btnPlay;
        break;
    default:
        return nullptr;
    }
    auto* button = new CFlatButton(control.caption, parent);
    // A dialog without an OK button must not turn Enter into a click on whichever
    // button happens to have the focus.
    button->setAutoDefault(false);
    connect(button, &QPushButton::clicked, this, [this, id] { OnCommand(id); });
    *slot = button;
    return button;
}

int CKorvaneDlg::DoModal()
{
    OnInitDialog();
    return RunModal();
}

// QDialog::exec() would end as soon as the window is hidden, which in tray mode happens
// while the program is meant to run on: this run ends only when the dialog is done.
int CKorvaneDlg::RunModal()
{
    QEventLoop loop;
    connect(this, &QDialog::finished, &loop, &QEventLoop::quit);
    setResult(0);
    show();
    loop.exec(QEventLoop::DialogExec);
    return result();
}

bool CKorvaneDlg::OnInitDialog()
{
    CenterOnDesktop();
    SetUpButtons();
    const bool optionsRead = m_options.Load();
    m_playerControls.ReadOptions();
    m_displayMode.CreateTrayIcon(CStringTable::Load(IDS_KORVANE));
    CreateMemoryGauge();
    m_bankGrid.AttachToDlgItem(this, IDC_BANK_LIST);
    CreateCardProblem();
    // The list's cell area is what takes the keyboard focus.
    m_bankGrid.setAccessibleName(CStringTable::Load(IDS_BANK_LIST));
    if (QWidget* cells = m_bankGrid.GetCellArea())
        cells->setAccessibleName(m_bankGrid.accessibleName());
    m_bankTable.Init(this);
    LoadStartupPreset(optionsRead);
    SetPresetTitle(m_bankTable.GetPresetName());
    UpdateBankView();
    m_bStarted = true;
    WatchCard();
    if (isVisible())
        m_cardWatch.Start();
    return true;
}

void CKorvaneDlg::CenterOnDesktop()
{
    if (const QScreen* desktop = screen())
        move(desktop->availableGeometry().center() - rect().center());
}

void CKorvaneDlg::SetUpButtons()
{
    m_btnPlay->SetFlat(false);
    m_btnStop->SetFlat(false);
    m_playerControls.ShowPlayerState();
    m_btnStop->SetButtonBitmap(IDB_STOP, 10, 10);
    m_btnBrowseMidi->SetFlat(false);
    m_btnMidiMapping->SetFlat(false);
    m_btnBrowseMidi->SetButtonBitmap(IDB_BROWSE_MIDI, 15, 19);
    m_btnMidiMapping->SetButtonBitmap(IDB_MIDI_MAPPING, 16, 15);
    m_btnMidiMapping->SetImageTextGap(45);
    NameControl(m_btnStop, IDS_STOP);
    NameControl(m_btnPlay, IDS_PLAY);
    NameControl(m_btnBrowseMidi, IDS_BROWSE_MIDI);
    GiveAccessKey(m_btnMidiMapping, m_btnMidiMapping->text(), Qt::Key_M);
    GiveAccessKey(m_btnPlay, CStringTable::Load(IDS_PLAY), Qt::Key_L);
    GiveAccessKey(m_btnStop, CStringTable::Load(IDS_STOP), Qt::Key_S);
    GiveAccessKey(m_btnBrowseMidi, CStringTable::Load(IDS_BROWSE_MIDI), Qt::Key_R);
}

// The gauge takes the place of the hidden placeholder static of the same id.
void CKorvaneDlg::CreateMemoryGauge()
{
    m_memoryGauge = CSmoothProgressBar::ReplacePlaceholder(this, IDC_MEMORY_GAUGE);
    m_memoryGauge->setAccessibleName(CStringTable::Load(IDS_MEMORY_GAUGE));
}

// Over the list's rows, where the banks would be, hidden while the card answers.
void CKorvaneDlg::CreateCardProblem()
{
    m_cardProblem = new QLabel(&m_bankGrid);
    m_cardProblem->setWordWrap(true);
    m_cardProblem->setAlignment(Qt::AlignCenter);
    m_cardProblem->setMargin(kCardProblemMargin);
    m_cardProblem->setAttribute(Qt::WA_TransparentForMouseEvents);
    if (const QWidget* cells = m_bankGrid.GetCellArea())
        m_cardProblem->setGeometry(cells->geometry());
    m_cardProblem->hide();
}

QString CKorvaneDlg::CardProblem() const
{
    return m_cardProblem && !m_cardProblem->isHidden() ? m_cardProblem->text() : QString();
}

// The simulated card tells of its changes through its state file; any other card is asked.
void CKorvaneDlg::WatchCard()
{
    m_cardWatch.SetStateFile(CCardChoice().StateFileToWatch(m_cardForThisRun));
}

// A first run (no options file) leaves the card as it finds it: its banks are the user's,
// or other programs', loaded before. It writes the options file at its exit. A start-up
// preset that can no longer be opened is dropped, so the options file no longer names it
// after the exit, and the user is told so; one that opens but is damaged keeps its place,
// since the user may well repair it.
void CKorvaneDlg::LoadStartupPreset(bool optionsRead)
{
    if (!optionsRead) {
        m_options.MarkChanged();
        return;
    }
    const QString preset = m_options.GetStartupPreset();
    bool opened = true;
    if (preset.isEmpty() || m_bankTable.LoadPreset(preset, &opened) || opened)
        return;
    m_options.SetStartupPreset(QString());
    CBankTable::ShowError(IDS_STARTUP_PRESET_DROPPED,
                          CStringTable::Load(IDS_STARTUP_PRESET_DROPPED) +
                              CNativePath::Display(preset));
}

void CKorvaneDlg::OnCommand(int id)
{
    switch (id) {
    case Command::LoadBank:
        OnLoadBank();
        break;
    case Command::UnloadBank:
        OnUnloadBank();
        break;
    case Command::UnloadAllBanks:
        OnUnloadAllBanks();
        break;
    case Command::BankContents:
        OnBankContents();
        break;
    case Command::About:
    case Command::TrayAbout:
        ShowAbout();
        break;
    case Command::PresetExit:
    case Command::TrayExit:
        OnQuit();
        break;
    case Command::TrayRestoreWindow:
        OnRestoreWindow();
        break;
    case Command::PresetOpen:
        OnPresetOpen();
        break;
    case Command::TrayLoadPreset:
        OnTrayLoadPreset();
        break;
    case Command::PresetNew:
        OnPresetNew();
        break;
    case Command::PresetSave:
        OnPresetSave();
        break;
    case Command::PresetSaveAs:
        OnPresetSaveAs();
        break;
    case Command::Options:
        OnOptions();
        break;
    case Command::MidiMapping:
        OnMidiMapping();
        break;
    case Command::BrowseMidi:
        m_playerControls.OnBrowseMidi();
        break;
    case Command::PlayMidi:
        m_playerControls.OnPlayMidi();
        break;
    case Command::StopMidi:
        m_playerControls.OnStopMidi();
        break;
    default:
        // Commands whose handlers are not part of this window (yet) do nothing, like
        // the tray menu's "Unload current preset".
        if (const qsizetype place = CRecentPresetMenu::PlaceOf(id); place >= 0)
            OnRecentPreset(place);
        break;
    }
}

// A ninth bank is refused before the file dialog opens. A failed load leaves the list as
// it was.
void CKorvaneDlg::OnLoadBank()
{
    if (RefuseNinthBank())
        return;
    const CCardChoice card;
    FileDialogRequest request;
    request.defaultExt = card.BankFileExtension();
    request.filter = card.BankFileFilter();
    request.describeFile = [this](const QString& file) {
        return CBankFit::Describe(file, m_bankTable.Status());
    };
    const QString path = CFileDialogService::Current().Run(request);
    if (!path.isEmpty())
        LoadBankFile(path);
}

bool CKorvaneDlg::OpenFile(const QString& path)
{
    if (CFileKind::Of(path) == CFileKind::Preset) {
        m_presetCommands.OpenFile(path);
        ShowPreset();
        return true;
    }
    return !RefuseNinthBank() && LoadBankFile(path);
}

// A dropped preset replaces the card's banks, so the user is asked first about a modified
// one.
void CKorvaneDlg::OpenDroppedFiles(const QStringList& paths, bool preset)
{
    if (preset)
        QuerySavePreset();
    for (const QString& path : paths) {
        if (!OpenFile(path))
            return;
    }
}

// True, after telling the user, when the card holds as many banks as it can.
bool CKorvaneDlg::RefuseNinthBank()
{
    const QString refusal = m_bankTable.RefusalToLoad(1);
    if (refusal.isEmpty())
        return false;
    CMessageBoxService::Current().Show(this, refusal, CStringTable::Load(IDS_ERROR_CAPTION),
                                       Mb::Ok | Mb::IconExclamation);
    return true;
}

bool CKorvaneDlg::LoadBankFile(const QString& path)
{
    // A large SoundFont takes the server a moment to load.
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const uint16_t result = m_bankTable.LoadBank(path);
    QApplication::restoreOverrideCursor();
    if (result > SYNTH_LOAD_ERROR_BASE) {
        CBankTable::ShowError(result - SYNTH_LOAD_ERROR_BASE);
        return false;
    }
    UpdateBankView();
    return true;
}

int CKorvaneDlg::GetSelectedBank()
{
    const int col = m_bankGrid.GetCurCol();
    const long row = m_bankGrid.GetCurRow();
    QString text;
    if (col >= 0 && row >= 0)
        m_bankGrid.GetCellText(col, row, text);
    if (text.isEmpty()) {
        CBankTable::ShowError(IDS_SELECT_BANK);
        return -1;
    }
    return static_cast<int>(row);
}

// With no bank in the card there is nothing to select, and nothing is said. When another
// program has changed the card since the list was drawn, the list is drawn anew and nothing
// is unloaded: the user unloads only a bank they have seen.
void CKorvaneDlg::OnUnloadBank()
{
    if (m_bankTable.FollowCard()) {
        UpdateBankView();
        return;
    }
    if (m_bankTable.Status().bankCount == 0)
        return;
    const int id = GetSelectedBank();
    if (id < 0)
        return;
    const uint16_t code = m_bankTable.UnloadBank(static_cast<uint16_t>(id));
    if (code == 0)
        UpdateBankView();
    else
        CBankTable::ShowError(code);
}

// Nothing is asked first. When a bank cannot be unloaded the list keeps showing the banks
// until the next successful command.
void CKorvaneDlg::OnUnloadAllBanks()
{
    if (m_bankTable.Status().bankCount == 0)
        return;
    const uint16_t code = m_bankTable.UnloadAllBanks();
    if (code == 0)
        UpdateBankView();
    else
        CBankTable::ShowError(code);
}

// Every edit in the list ends here, a cancelled one too: the priority cell's number goes to
// the card. Edits carried on by Tab into the other columns change nothing in the card, so
// those cells show the card's values again.
void CKorvaneDlg::OnPriorityEdited(int column, long row)
{
    CTblCell cell;
    if (m_bankGrid.ReadCell(column, row, cell) != 0)
        return;
    if (column != CBankGrid::ColPriority)
        m_bankGrid.ShowCardCell(m_bankTable, column, row);
    const int32_t priority = m_bankGrid.TypedPriority(row);
    // An empty slot has no bank to give a priority to.
    if (CBankGrid::CardText(m_bankTable, CBankGrid::ColNumber, row).isEmpty())
        return;
    // A priority the card refuses is not reported; the next redraw shows the card's.
    m_bankTable.SetBankPriority(static_cast<uint16_t>(row), priority);
    m_cardWatch.ReadSoon();
}

void CKorvaneDlg::UpdateBankView()
{
    // The files of the banks are shared with the command line, so that whichever loaded a
    // bank, the other can save it in a preset or list it in a report.
    m_pathMemory.Restore(m_bankTable);
    m_pathMemory.Save(m_bankTable);
    m_cardProblem->hide();
    m_bankGrid.ShowBanks(m_bankTable);
    ShowMemory(m_bankTable.Status(), m_bankTable.GetUsedMemory());
    m_bankGrid.Redraw();
    UpdateData(false);
    m_contentsHost.ShowCard();
}

void CKorvaneDlg::ShowMemory(const SynthStatus& status, uint32_t used)
{
    m_memoryGauge->hide();
    // The gauge counts bytes; its range is a signed int, so a card of 2 GiB or more
    // is counted in pairs of bytes. A range of 0..0 would make it a busy indicator:
    // a card without memory shows an empty gauge instead.
    const int shift = status.totalMemory > INT_MAX ? 1 : 0;
    m_memoryGauge->setRange(0, std::max(static_cast<int>(status.totalMemory >> shift), 1));
    m_memoryGauge->setValue(static_cast<int>(used >> shift));
    m_strTotalMemory = CMemoryFormat::Kilobytes(status.totalMemory);
    m_strFreeMemory = CMemoryFormat::Kilobytes(status.freeMemory);
    m_strFreePercent = CMemoryFormat::FreePercent(status);
    m_strUsedMemory = CMemoryFormat::Kilobytes(used);
    m_memoryGauge->show();
}

// The table keeps the banks it last saw, with their files, for the card's return: only the
// view shows no card.
void CKorvaneDlg::ShowNoCard(const QString& text)
{
    if (CardProblem() == text)
        return;
    m_bankGrid.ShowNoBanks();
    ShowMemory(SynthStatus{}, 0);
    m_cardProblem->setText(text);
    m_cardProblem->show();
    m_bankGrid.Redraw();
    UpdateData(false);
}

// An open editor would have its cell rewritten under it: the edit's end looks again. A card
// with more banks than the list holds still shows the first eight.
void CKorvaneDlg::OnCardRead(const SynthStatus& status, uint16_t code, const QString& failureDetail)
{
    if (!m_bStarted || m_bankGrid.IsEditing())
        return;
    if (code != 0 && code != SYNTHERR_INVCOUNT) {
        CSharedSynthLibrary::TakeFailureDetail(code, failureDetail);
        ShowNoCard(CBankTable::ErrorText(code).trimmed());
        return;
    }
    const bool cameBack = !m_cardProblem->isHidden();
    if (m_bankTable.FollowStatus(status) || cameBack)
        UpdateBankView();
}

void CKorvaneDlg::UpdateData(bool saveFromControls)
{
    // Every bound control is a static: there is nothing to read back from them.
    if (saveFromControls)
        return;
    m_playerControls.ShowMidiFile();
    SetStatic(this, IDC_FREE_MEMORY, m_strFreeMemory);
    SetStatic(this, IDC_FREE_PERCENT, m_strFreePercent);
    SetStatic(this, IDC_TOTAL_MEMORY, m_strTotalMemory);
    SetStatic(this, IDC_USED_MEMORY, m_strUsedMemory);
}

void CKorvaneDlg::SetPresetTitle(const QString& name)
{
    setWindowTitle(CStringTable::Load(IDS_KORVANE) + QStringLiteral(" - [") + name +
                   QStringLiteral("]"));
}

void CKorvaneDlg::ShowAbout()
{
    CAboutDlg about;
    about.exec();
}

void CKorvaneDlg::OnQuit()
{
    m_options.Save();
    QuerySavePreset();
    m_bQuitting = true;
    UpdateData(true);
    accept();
}

void CKorvaneDlg::OnPresetOpen()
{
    if (m_presetCommands.Open())
        ShowPreset();
}

void CKorvaneDlg::ShowPreset()
{
    UpdateBankView();
    SetPresetTitle(m_bankTable.GetPresetName());
}

void CKorvaneDlg::OnTrayLoadPreset()
{
    OnPresetOpen();
}

void CKorvaneDlg::OnPresetNew()
{
    m_bankTable.NewPreset();
    ShowPreset();
}

// Saving an untitled preset names it.
void CKorvaneDlg::OnPresetSave()
{
    m_presetCommands.Save();
    SetPresetTitle(m_bankTable.GetPresetName());
}

void CKorvaneDlg::OnPresetSaveAs()
{
    m_presetCommands.SaveAs();
    SetPresetTitle(m_bankTable.GetPresetName());
}

void CKorvaneDlg::OnRecentPreset(qsizetype place)
{
    if (m_presetCommands.OpenRecent(place))
        ShowPreset();
}

void CKorvaneDlg::QuerySavePreset()
{
    m_presetCommands.QuerySave(this);
}

void CKorvaneDlg::OnOptions()
{
    COptionsDlg dialog;
    dialog.FromOptions(m_options);
    CCardChoice card;
    dialog.FromCardChoice(card);
    if (dialog.DoModal() != QDialog::Accepted)
        return;
    dialog.ToOptions(m_options);
    if (dialog.ToCardChoice(card))
        OnCardChanged();
    m_displayMode.ApplyTrayChoice(dialog.TrayIcon());
}

// The paths the table holds belong to the banks of the card left behind, which keeps
// remembering them in its own file. So does the current preset: a modified one is offered
// for saving while its banks are still the table's, and the other card starts in No-preset
// Mode, so that no Save writes its banks over a preset of the card left behind.
void CKorvaneDlg::OnCardChanged()
{
    QuerySavePreset();
    if (m_switchCard)
        m_switchCard();
    // The switch opens the card chosen in Options.
    SetCardForThisRun(QString());
    WatchCard();
    m_bankTable.ForgetBankPaths();
    m_bankTable.Init(this);
    SetPresetTitle(m_bankTable.GetPresetName());
    UpdateBankView();
}

// The report is proposed under the preset's name without its extension.
void CKorvaneDlg::OnMidiMapping()
{
    const QString presetName = m_bankTable.GetPresetName();
    FileDialogRequest request;
    request.open = false;
    request.defaultExt = CStringTable::Load(IDS_REPORT_EXT);
    request.fileName = presetName.left(presetName.indexOf(u'.'));
    request.filter = CStringTable::Load(IDS_REPORT_FILTER);
    const QString reportPath = CFileDialogService::Current().Run(request);
    if (reportPath.isEmpty())
        return;
    // A report that could not be written is said, not passed over in silence.
    QString error;
    if (!CMappingReport::WriteMidiMapping(m_bankTable, reportPath, &error)) {
        CMessageBoxService::Current().Show(this, CStringTable::Load(IDS_REPORT_FAILED) + error,
                                           CStringTable::Load(IDS_ERROR_CAPTION),
                                           Mb::Ok | Mb::IconHand);
    }
}

void CKorvaneDlg::OnBankContents(int id)
{
    m_contentsHost.Show(id);
}

CContentsDlg& CKorvaneDlg::ContentsWindow()
{
    return m_contentsHost.Window();
}

void CKorvaneDlg::OnSysCommand(SysCommand command)
{
    if (command == SysCommand::Minimize)
        m_displayMode.Minimize();
    else if (command == SysCommand::Close)
        OnQuit();
}

void CKorvaneDlg::changeEvent(QEvent* event)
{
    QDialog::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        m_displayMode.OnWindowStateChanged();
}

// The list follows the card while the user can see it, and looks again when the window
// becomes active.
bool CKorvaneDlg::event(QEvent* event)
{
    if (event->type() == QEvent::WindowActivate)
        m_cardWatch.ReadSoon();
    return QDialog::event(event);
}

// A drag that brings nothing the window opens is refused, and the pointer says so.
void CKorvaneDlg::dragEnterEvent(QDragEnterEvent* event)
{
    if (CDroppedFiles(event->mimeData()).IsAccepted())
        event->acceptProposedAction();
}

// The files open once the drop is over: the messages they may bring must not keep the
// dragging program waiting.
void CKorvaneDlg::dropEvent(QDropEvent* event)
{
    const CDroppedFiles dropped(event->mimeData());
    if (!dropped.IsAccepted())
        return;
    event->acceptProposedAction();
    QMetaObject::invokeMethod(
        this,
        [this, paths = dropped.Paths(), preset = dropped.IsPreset()] {
            OpenDroppedFiles(paths, preset);
        },
        Qt::QueuedConnection);
}

void CKorvaneDlg::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (m_bStarted)
        m_cardWatch.Start();
}

void CKorvaneDlg::hideEvent(QHideEvent* event)
{
    QDialog::hideEvent(event);
    m_cardWatch.Stop();
}

void CKorvaneDlg::closeEvent(QCloseEvent* event)
{
    // The close box quits like Preset > Exit; a close that the quit itself caused
    // is simply let through.
    if (!m_bQuitting)
        OnSysCommand(SysCommand::Close);
    event->accept();
}

void CKorvaneDlg::paintEvent(QPaintEvent* event)
{
    m_displayMode.OnPaint();
    QDialog::paintEvent(event);
}

void CKorvaneDlg::customEvent(QEvent* event)
{
    if (event->type() == CSequencerNotifyEvent::EventType()) {
        m_playerControls.OnMciNotify(*static_cast<CSequencerNotifyEvent*>(event));
    } else if (event->type() == CGridEditedEvent::EventType()) {
        const auto* edited = static_cast<CGridEditedEvent*>(event);
        OnPriorityEdited(edited->Column(), edited->Row());
    }
}

bool CKorvaneDlg::eventFilter(QObject* watched, QEvent* event)
{
    if (!IsOwnKeyPress(watched, event) || m_bankGrid.IsEditing())
        return QDialog::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    // Delete unloads the selected bank wherever the focus is in this window; the key
    // still goes on to the focused control. In the list's priority editor it only
    // deletes a character.
    if (key->key() == Qt::Key_Delete)
        OnCommand(Command::UnloadBank);
    // Escape, which would end a dialog without a word, quits like the close box instead:
    // the options are saved and a modified preset is asked about. In the list's editor it
    // only cancels the edit.
    if (key->key() == Qt::Key_Escape && key->modifiers() == Qt::NoModifier) {
        OnSysCommand(SysCommand::Close);
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

bool CKorvaneDlg::IsOwnKeyPress(QObject* watched, QEvent* event) const
{
    if (event->type() != QEvent::KeyPress)
        return false;
    // A key press that the focused control ignores travels on to its parents, and the
    // filter sees each step: only its first receiver counts.
    QWidget* focus = QApplication::focusWidget();
    const QWidget* receiver = focus ? focus : this;
    return watched == receiver && (receiver == this || isAncestorOf(receiver));
}
