// The bank contents window: every instrument and drum kit of the banks in the card, which
// bank answers each bank:program, a filter, a choice of bank, and the request to audition
// a row on a chosen channel (played by whoever is connected to AuditionRequested).
#pragma once

#include "BankContentsFilter.h"
#include "BankContentsModel.h"

#include <QDialog>
#include <QString>

class CBankTable;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTableView;

class CContentsDlg : public QDialog
{
    Q_OBJECT

public:
    explicit CContentsDlg(const CBankTable& bankTable, QWidget* parent = nullptr);

    // Reads the card's banks again, as the bank table last read them; nothing while hidden
    // (the window reads them when it is shown).
    void ShowCard();
    // Shows the rows of that bank only; -1 for every bank.
    void ChooseBank(int id);

    QTableView* View() const { return m_view; }
    QLineEdit* FilterField() const { return m_filterField; }
    QComboBox* BankChoice() const { return m_bankChoice; }

public slots:
    // A line of text under the table, such as what the audition plays.
    void SetAuditionStatus(const QString& text);

signals:
    // nBankId: the bank as the card gives its ID. nBankNumber: the bank number as
    // SoundFonts number presets and FluidSynth selects them (the variation; 128 for a drum
    // kit). nProgram: the MIDI program from 0. nChannel: 1..16.
    void AuditionRequested(int nBankId, int nBankNumber, int nProgram, bool bDrumKit, int nChannel);
    // The window was closed or hidden: what it plays should stop.
    void Hidden();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildControls();
    void FillBankChoice();
    void OnBankChosen();
    void RequestAudition();

    const CBankTable& m_bankTable;
    CBankContentsModel m_model;
    CBankContentsFilter m_filter{m_model};
    int m_chosenBank = -1;
    QLineEdit* m_filterField = nullptr;
    QComboBox* m_bankChoice = nullptr;
    QTableView* m_view = nullptr;
    QSpinBox* m_channel = nullptr;
    QPushButton* m_play = nullptr;
    QLabel* m_auditionStatus = nullptr;
};
