#include "OptionsDlg.h"

#include "DialogBuilder.h"
#include "DialogTemplate.h"
#include "FileDialogService.h"
#include "FlatButton.h"
#include "MessageBoxService.h"
#include "NativePath.h"
#include "Options.h"
#include "PresetCommands.h"
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
constexpr int IDC_TRAY_ICON = 1002;
constexpr int IDC_STANDARD_DISPLAY = 1005;
constexpr int IDC_LOAD_PRESET = 1028;
constexpr int IDC_PRESET_FILE = 1031;
constexpr int IDB_BROWSE = 220;
constexpr int IDS_OPTIONS_CAPTION = 201;
constexpr int IDS_PRESET_UNUSABLE = 203;

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
    connect(m_checkLoadPreset, &QCheckBox::clicked, this, &COptionsDlg::OnLoadPresetClicked);
    connect(m_btnBrowse, &QPushButton::clicked, this, &COptionsDlg::OnBrowse);
}

// The browse button is ours; every other control is the builder's default.
QWidget* COptionsDlg::CreateControl(const ControlTemplate& control, QWidget* parent)
{
    if (control.id != IDC_BROWSE)
        return nullptr;
    m_btnBrowse = new CFlatButton(control.caption, parent);
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

int COptionsDlg::DoModal()
{
    OnInitDialog();
    return exec();
}

bool COptionsDlg::OnInitDialog()
{
    UpdateData(false);
    LockPresetBox(m_bLoadPreset == 0);
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
    QDialog::accept();
}

void COptionsDlg::UpdateData(bool saveFromControls)
{
    if (saveFromControls) {
        m_bLoadPreset = m_checkLoadPreset->isChecked() ? 1 : 0;
        m_bTrayIcon = m_radioTrayIcon->isChecked() ? 1 : 0;
        m_strPresetFile = m_editPresetFile->text();
        return;
    }
    m_checkLoadPreset->setChecked(m_bLoadPreset != 0);
    // Of two radio buttons in a group, only checking one clears the other.
    (m_bTrayIcon ? m_radioTrayIcon : m_radioStandard)->setChecked(true);
    m_editPresetFile->setText(m_strPresetFile);
}
