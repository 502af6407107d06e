// The program's one window: the banks in the card, the memory figures and gauge, the
// report button and the MIDI player, with the menu bar that drives them all.
#pragma once

#include "BankGrid.h"
#include "BankPathMemory.h"
#include "BankTable.h"
#include "CardWatch.h"
#include "ContentsHost.h"
#include "DisplayMode.h"
#include "Options.h"
#include "PlayerControls.h"
#include "PresetCommands.h"
#include "RecentPresetMenu.h"

#include <QDialog>
#include <QString>

#include <functional>
#include <utility>

class CContentsDlg;
class CFlatButton;
class CSequencerService;
struct ControlTemplate;
class QLabel;
class QMenuBar;
class QProgressBar;
class SynthLibrary;

class CKorvaneDlg : public QDialog
{
    Q_OBJECT

public:
    // Without a sequencer the MIDI player stays idle, as on a system without one.
    explicit CKorvaneDlg(SynthLibrary& library, CSequencerService* sequencer = nullptr,
                         QWidget* parent = nullptr);
    ~CKorvaneDlg() override;

    // How the program switches to the card chosen in the Options dialog: it hands the
    // choice to the card libraries and loads the chosen one in place of the current one.
    void SetCardSwitch(std::function<void()> switchCard) { m_switchCard = std::move(switchCard); }
    // The card named for this run on the command line, in place of the chosen one until
    // Options switches cards; its banks' files are remembered in that card's own file.
    void SetCardForThisRun(const QString& card)
    {
        m_cardForThisRun = card;
        m_pathMemory = CBankPathMemory(CBankPathMemory::FileForCard(card));
    }

    // Runs the start-up sequence, then the modal loop.
    int DoModal();
    // The modal run alone, until Preset > Exit, the close box or Escape ends it.
    int RunModal();
    // The start-up sequence alone, for callers that show the window themselves.
    bool OnInitDialog();

    // The command table: menus, buttons, tray menu and keys all arrive here.
    void OnCommand(int id);

    // The Bank menu, the Delete key and the priorities edited in the bank list.
    void OnLoadBank();
    // A file handed to the program, as a file manager's "Open with" does: a preset is
    // loaded as Preset > Open loads it, any other file as Bank > Load a bank loads a bank.
    // False when a bank was refused or failed to load, after the message that says why.
    bool OpenFile(const QString& path);
    // Files dropped on the window: bank files load in order until one fails; a preset
    // opens after the question about a modified one.
    void OpenDroppedFiles(const QStringList& paths, bool preset);
    void OnUnloadBank();
    void OnUnloadAllBanks();
    // The bank ID of the list's current row when that row holds a bank; else -1, after
    // telling the user to select one.
    int GetSelectedBank();
    void OnPriorityEdited(int column, long row);

    void UpdateBankView();
    // Shows what the card watch has read: what another program has changed in the card
    // since the list was drawn, or a card that cannot be reached.
    void OnCardRead(const SynthStatus& status, uint16_t code, const QString& failureDetail);
    void SetPresetTitle(const QString& name);
    void OnQuit();
    void OnRestoreWindow() { m_displayMode.Restore(); }

    // The Preset menu, the tray menu's "Load a preset" and the Options dialog.
    void OnPresetOpen();
    void OnTrayLoadPreset();
    void OnPresetNew();
    void OnPresetSave();
    void OnPresetSaveAs();
    // The recent preset at that place in the Preset menu's list.
    void OnRecentPreset(qsizetype place);
    void QuerySavePreset();
    void OnOptions();
    // The bank list and memory figures of the card just chosen.
    void OnCardChanged();
    const CSystemTray& TrayIcon() const { return m_displayMode.TrayIcon(); }

    // The MIDI file player.
    const CMidiPlayer& Player() const { return m_playerControls.Player(); }

    // Asks for the report file and writes the MIDI mapping report of the banks in memory.
    void OnMidiMapping();
    // Shows the bank contents window, with the rows of that bank only, or of every bank (-1).
    void OnBankContents(int id = -1);
    // The bank contents window, made at its first use.
    CContentsDlg& ContentsWindow();

    const CBankTable& BankTable() const { return m_bankTable; }
    CBankGrid& BankGrid() { return m_bankGrid; }
    const COptions& Options() const { return m_options; }
    QMenuBar* MenuBar() const { return m_menuBar; }
    QProgressBar* MemoryGauge() const { return m_memoryGauge; }
    const CCardWatch& CardWatch() const { return m_cardWatch; }
    // What the list says instead of banks while the card cannot be reached; "" otherwise.
    QString CardProblem() const;

    enum class SysCommand
    {
        Minimize,
        Close
    };
    void OnSysCommand(SysCommand command);

protected:
    bool event(QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void customEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildControls();
    QWidget* CreateControl(const ControlTemplate& control, QWidget* parent);
    void SetUpButtons();
    void CreateMemoryGauge();
    void CreateCardProblem();
    void ShowMemory(const SynthStatus& status, uint32_t used);
    // The list and the gauge of a card that cannot be reached, and why.
    void ShowNoCard(const QString& text);
    void WatchCard();
    void LoadStartupPreset(bool optionsRead);
    bool RefuseNinthBank();
    bool LoadBankFile(const QString& path);
    void ShowPreset();
    void CenterOnDesktop();
    void UpdateData(bool saveFromControls);
    void ShowAbout();
    bool IsOwnKeyPress(QObject* watched, QEvent* event) const;

    CFlatButton* m_btnMidiMapping = nullptr;
    CFlatButton* m_btnBrowseMidi = nullptr;
    CFlatButton* m_btnStop = nullptr;
    CFlatButton* m_btnPlay = nullptr;
    QString m_strFreeMemory;
    QString m_strFreePercent;
    QString m_strTotalMemory;
    QString m_strUsedMemory;
    COptions m_options;
    CPlayerControls m_playerControls;
    CBankTable m_bankTable;
    CBankPathMemory m_pathMemory{CBankPathMemory::FileForCard()};
    CBankGrid m_bankGrid;
    QMenuBar* m_menuBar = nullptr;
    QProgressBar* m_memoryGauge = nullptr;
    QLabel* m_cardProblem = nullptr;
    bool m_bQuitting = false;
    bool m_bStarted = false;
    CCardWatch m_cardWatch;
    QString m_cardForThisRun;
    CPresetCommands m_presetCommands{m_bankTable};
    CRecentPresetMenu m_recentPresetMenu;
    CDisplayMode m_displayMode{*this, m_options, [this](int id) { OnCommand(id); }};
    std::function<void()> m_switchCard;
    CContentsHost m_contentsHost{m_bankTable, *this, m_cardForThisRun};
};
