#include "OptionsDlg.h"

#include "CardChoice.h"
#include "DialogBuilder.h"
#include "DialogTemplate.h"
#include "FileDialogService.h"
#include "FlatButton.h"
#include "MessageBoxService.h"
#include "NativePath.h"
#include "Options.h"
#include "PresetCommands.h"
#include "ResourceIds.h"
#include "StringTable.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QRadioButton>

namespace {
constexpr int IDD_OPTIONS = 206;
constexpr int IDC_BROWSE = 3;
constexpr int IDS_CHOOSE_PRESET = 1046;
constexpr int IDC_TRAY_ICON = 1002;
constexpr int IDC_STANDARD_DISPLAY = 1005;
constexpr int IDC_LOAD_PRESET = 1028;
constexpr int IDC_PRESET_FILE = 1031;
constexpr int IDB_BROWSE = 220;
constexpr int IDS_PRESET_UNUSABLE = 203;
constexpr int IDC_SIMULATED_CARD = 1050;
constexpr int IDC_FLUIDSYNTH_CARD = 1051;
constexpr int IDC_SERVER_ADDRESS = 1052;
constexpr int IDC_MEMORY_BUDGET = 1053;
constexpr int IDS_BAD_SERVER_ADDRESS = 1063;
constexpr int IDS_BAD_MEMORY_BUDGET = 1064;
constexpr uint64_t kMegabyte = 1024 * 1024;
constexpr uint64_t kMaxBudgetMegabytes = 4095; // the status record counts bytes in 32 bits

template <typename Widget> Widget* Control(QWidget* dialog, int id)
{
    return qobject_cast<Widget*>(CDialogBuilder::GetDlgItem(dialog, id));
}

// Only a regular file: a FIFO would block the dialog until someone writes to it.
bool CanRead(const QString& path)
{
    QFile file;
    return CNativePath::OpenRegular(path, file);
}
} // namespace

COptionsDlg::COptionsDlg(QWidget* parent) : QDialog(parent)
{
    CDialogBuilder::Build(this, DialogTemplate::Load(IDD_OPTIONS),
                          [this](const ControlTemplate& control, QWidget* controlParent) {
                              return CreateControl(control, controlParent);
                          });
    m_checkLoadPreset = Control<QCheckBox>(this, IDC_LOAD_PRESET);
    m_editPresetFile = Control<QLineEdit>(this, IDC_PRESET_FILE);
    m_radioStandard = Control<QRadioButton>(this, IDC_STANDARD_DISPLAY);
    m_radioTrayIcon = Control<QRadioButton>(this, IDC_TRAY_ICON);
    m_radioSimulated = Control<QRadioButton>(this, IDC_SIMULATED_CARD);
    m_radioFluidSynth = Control<QRadioButton>(this, IDC_FLUIDSYNTH_CARD);
    m_editServerAddress = Control<QLineEdit>(this, IDC_SERVER_ADDRESS);
    m_editMemoryBudget = Control<QLineEdit>(this, IDC_MEMORY_BUDGET);
    // The preset's field has no label of its own: the check box above it says what it holds.
    m_editPresetFile->setAccessibleName(m_checkLoadPreset->text());
    connect(m_checkLoadPreset, &QCheckBox::clicked, this, &COptionsDlg::OnLoadPresetClicked);
    connect(m_btnBrowse, &QPushButton::clicked, this, &COptionsDlg::OnBrowse);
    connect(m_radioSimulated, &QRadioButton::clicked, this, &COptionsDlg::OnCardClicked);
    connect(m_radioFluidSynth, &QRadioButton::clicked, this, &COptionsDlg::OnCardClicked);
}

// The browse button is ours; every other control is the builder's default.
QWidget* COptionsDlg::CreateControl(const ControlTemplate& control, QWidget* parent)
{
    if (control.id != IDC_BROWSE)
        return nullptr;
    m_btnBrowse = new CFlatButton(control.caption, parent);
    // It shows a picture only: named for the pointer and for screen readers.
    m_btnBrowse->setAccessibleName(CStringTable::Load(IDS_CHOOSE_PRESET));
    m_btnBrowse->setToolTip(m_btnBrowse->accessibleName());
    return m_btnBrowse;
}

void COptionsDlg::FromOptions(const COptions& options)
{
    m_strPresetFile = options.GetStartupPreset();
    m_bLoadPreset = m_strPresetFile.isEmpty() ? 0 : 1;
    m_bTrayIcon = options.GetDisplay() == COptions::DisplayTrayIcon ? 1 : 0;
}

void COptionsDlg::ToOptions(COptions& options) const
{
    options.SetStartupPreset(m_bLoadPreset ? m_strPresetFile : QString());
    options.SetDisplay(m_bTrayIcon ? COptions::DisplayTrayIcon : COptions::DisplayStandard);
}

// The dialog shows the card in use, which a run may have named in place of the chosen one:
// choosing the other card then switches, and OK without a change leaves the card as it is.
void COptionsDlg::FromCardChoice(const CCardChoice& choice)
{
    m_bFluidSynth = choice.KindInUse() == CCardChoice::Kind::FluidSynth ? 1 : 0;
    m_strServerAddress = choice.ServerAddress();
    m_strMemoryBudget = QString::number(choice.MemoryBudget() / kMegabyte);
}

bool COptionsDlg::ToCardChoice(CCardChoice& choice) const
{
    const auto kind = m_bFluidSynth ? CCardChoice::Kind::FluidSynth : CCardChoice::Kind::Simulated;
    bool changed = kind != choice.KindInUse();
    if (m_bFluidSynth) {
        changed = changed || m_strServerAddress != choice.ServerAddress() ||
                  MemoryBudgetBytes() != choice.MemoryBudget();
        choice.SetServerAddress(m_strServerAddress);
        choice.SetMemoryBudget(MemoryBudgetBytes());
    }
    // A card named for this run alone stays out of the settings until something changes: the
    // switch then opens the card the settings name.
    if (changed)
        choice.SetCardKind(kind);
    return changed;
}

uint64_t COptionsDlg::MemoryBudgetBytes() const
{
    bool ok = false;
    const uint64_t megabytes = m_strMemoryBudget.trimmed().toULongLong(&ok);
    return ok && megabytes >= 1 && megabytes <= kMaxBudgetMegabytes ? megabytes * kMegabyte : 0;
}

int COptionsDlg::DoModal()
{
    OnInitDialog();
    return exec();
}

bool COptionsDlg::OnInitDialog()
{
    UpdateData(false);
    LockPresetBox(m_bLoadPreset == 0);
    OnCardClicked();
    m_btnBrowse->SetFlat(false);
    m_btnBrowse->SetButtonBitmap(IDB_BROWSE, 19, 16);
    return true;
}

// Clearing the check box also clears the path: the box is left empty and locked.
void COptionsDlg::OnLoadPresetClicked()
{
    UpdateData(true);
    if (m_bLoadPreset != 1)
        m_editPresetFile->clear();
    LockPresetBox(m_bLoadPreset != 1);
}

// A locked box is read-only and shows the dialog's face, so that it looks out of use.
void COptionsDlg::LockPresetBox(bool locked)
{
    m_editPresetFile->setReadOnly(locked);
    QPalette palette = m_editPresetFile->palette();
    const QPalette normal = QApplication::palette(m_editPresetFile);
    palette.setColor(QPalette::Base, normal.color(locked ? QPalette::Window : QPalette::Base));
    m_editPresetFile->setPalette(palette);
}

// The server's boxes are in use only while the server is chosen.
void COptionsDlg::OnCardClicked()
{
    const bool server = m_radioFluidSynth->isChecked();
    m_editServerAddress->setEnabled(server);
    m_editMemoryBudget->setEnabled(server);
}

void COptionsDlg::OnBrowse()
{
    UpdateData(true);
    if (m_bLoadPreset == 0)
        return;
    const QString path = CFileDialogService::Current().Run(CPresetCommands::FileRequest(true));
    if (path.isEmpty())
        return;
    m_strPresetFile = path;
    UpdateData(false);
}

// The path checked is the one in the box now, typed or browsed. It is kept as an absolute
// path, since the program may start from another directory.
void COptionsDlg::OnOK()
{
    UpdateData(true);
    if (m_bLoadPreset) {
        if (!CanRead(m_strPresetFile)) {
            CMessageBoxService::Current().Show(this, CStringTable::Load(IDS_PRESET_UNUSABLE),
                                               CStringTable::Load(IDS_OPTIONS_CAPTION), Mb::Ok);
            return;
        }
        m_strPresetFile = QFileInfo(m_strPresetFile).absoluteFilePath();
    }
    if (m_bFluidSynth && !ServerSettingsUsable())
        return;
    QDialog::accept();
}

bool COptionsDlg::ServerSettingsUsable()
{
    m_strServerAddress = m_strServerAddress.trimmed();
    int problem = 0;
    if (!CCardChoice::IsValidAddress(m_strServerAddress))
        problem = IDS_BAD_SERVER_ADDRESS;
    else if (MemoryBudgetBytes() == 0)
        problem = IDS_BAD_MEMORY_BUDGET;
    if (problem == 0)
        return true;
    CMessageBoxService::Current().Show(this, CStringTable::Load(problem),
                                       CStringTable::Load(IDS_OPTIONS_CAPTION),
                                       Mb::Ok | Mb::IconExclamation);
    return false;
}

void COptionsDlg::UpdateData(bool saveFromControls)
{
    if (saveFromControls) {
        m_bLoadPreset = m_checkLoadPreset->isChecked() ? 1 : 0;
        m_bTrayIcon = m_radioTrayIcon->isChecked() ? 1 : 0;
        m_strPresetFile = m_editPresetFile->text();
        m_bFluidSynth = m_radioFluidSynth->isChecked() ? 1 : 0;
        m_strServerAddress = m_editServerAddress->text();
        m_strMemoryBudget = m_editMemoryBudget->text();
        return;
    }
    m_checkLoadPreset->setChecked(m_bLoadPreset != 0);
    // Of two radio buttons in a group, only checking one clears the other.
    (m_bTrayIcon ? m_radioTrayIcon : m_radioStandard)->setChecked(true);
    m_editPresetFile->setText(m_strPresetFile);
    (m_bFluidSynth ? m_radioFluidSynth : m_radioSimulated)->setChecked(true);
    m_editServerAddress->setText(m_strServerAddress);
    m_editMemoryBudget->setText(m_strMemoryBudget);
}
