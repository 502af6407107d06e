// The Options dialog: whether a preset is loaded at start-up and which one, whether the
// program shows its window or only an icon in the notification area, and which card it
// drives: the simulated card or a FluidSynth server with its address and memory budget.
#pragma once

#include <QDialog>
#include <QString>

#include <cstdint>

class CCardChoice;
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
    void FromCardChoice(const CCardChoice& choice);
    // Puts the card choice into the settings; true when the card in use, or the server's
    // address or budget the settings held, has to change.
    bool ToCardChoice(CCardChoice& choice) const;

    // Fills the controls, then runs the dialog; QDialog::Accepted after OK.
    int DoModal();
    bool OnInitDialog();

    void OnLoadPresetClicked();
    void OnBrowse();
    void OnCardClicked();
    // Ends the dialog when the check box is clear or the preset file in the box can be
    // read, and the server's address and budget are usable when the server is chosen;
    // otherwise says so and stays open.
    void OnOK();
    void accept() override { OnOK(); }

    bool LoadPreset() const { return m_bLoadPreset != 0; }
    bool TrayIcon() const { return m_bTrayIcon != 0; }
    QString PresetFile() const { return m_strPresetFile; }
    bool FluidSynthCard() const { return m_bFluidSynth != 0; }

private:
    QWidget* CreateControl(const ControlTemplate& control, QWidget* parent);
    void UpdateData(bool saveFromControls);
    void LockPresetBox(bool locked);
    // The budget box in bytes; 0 when it does not hold a whole number of MB in range.
    uint64_t MemoryBudgetBytes() const;
    bool ServerSettingsUsable();

    int m_bLoadPreset = 0;
    int m_bTrayIcon = 0;
    QString m_strPresetFile;
    CFlatButton* m_btnBrowse = nullptr;
    QCheckBox* m_checkLoadPreset = nullptr;
    QLineEdit* m_editPresetFile = nullptr;
    QRadioButton* m_radioStandard = nullptr;
    QRadioButton* m_radioTrayIcon = nullptr;
    int m_bFluidSynth = 0;
    QString m_strServerAddress;
    QString m_strMemoryBudget; // in MB
    QRadioButton* m_radioSimulated = nullptr;
    QRadioButton* m_radioFluidSynth = nullptr;
    QLineEdit* m_editServerAddress = nullptr;
    QLineEdit* m_editMemoryBudget = nullptr;
};
