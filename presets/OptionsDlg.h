// The Options dialog: whether a preset is loaded at start-up and which one, and whether the
// program shows its window or only an icon in the notification area.
#pragma once

#include <QDialog>
#include <QString>

class CFlatButton;
class COptions;
class QCheckBox;
class QLineEdit;
class QRadioButton;
struct ControlTemplate;

class COptionsDlg : public QDialog
{
    Q_OBJECT

public:
    explicit COptionsDlg(QWidget* parent = nullptr);

    // Fills the dialog's choices from the options, before it runs.
    void FromOptions(const COptions& options);
    // Puts the choices into the options, which are then marked changed even when nothing
    // differs.
    void ToOptions(COptions& options) const;

    // Fills the controls, then runs the dialog; QDialog::Accepted after OK.
    int DoModal();
    bool OnInitDialog();

    void OnLoadPresetClicked();
    void OnBrowse();
    // Ends the dialog when the check box is clear or the preset file in the box can be
    // read; otherwise says so and stays open.
    void OnOK();
    void accept() override { OnOK(); }

    bool LoadPreset() const { return m_bLoadPreset != 0; }
    bool TrayIcon() const { return m_bTrayIcon != 0; }
    QString PresetFile() const { return m_strPresetFile; }

private:
    QWidget* CreateControl(const ControlTemplate& control, QWidget* parent);
    void UpdateData(bool saveFromControls);
    void LockPresetBox(bool locked);

    int m_bLoadPreset = 0;
    int m_bTrayIcon = 0;
    QString m_strPresetFile;
    CFlatButton* m_btnBrowse = nullptr;
    QCheckBox* m_checkLoadPreset = nullptr;
    QLineEdit* m_editPresetFile = nullptr;
    QRadioButton* m_radioStandard = nullptr;
    QRadioButton* m_radioTrayIcon = nullptr;
};
