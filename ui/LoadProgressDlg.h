// The small "Load in progress" window of a preset load: the bank file being loaded, a
// bar and a percentage. The load runs without an event loop, so the window is on screen
// when constructed and every change is painted at once.
#pragma once

#include <QDialog>
#include <QString>

#include <cstdint>

class QProgressBar;

class CLoadProgressDlg : public QDialog
{
    Q_OBJECT

public:
    // Creates, centres and shows the window; with no parent it is a window of its own.
    explicit CLoadProgressDlg(QWidget* owner, QWidget* parent = nullptr);

    void SetLegend(const QString& text);
    // The bar runs from 0 to max.
    void SetRange(uint32_t max);
    // Moves the bar, clamped to its range, and rewrites the percentage; returns the
    // previous position.
    uint32_t SetPos(uint32_t position);
    void UpdatePercent();

    QWidget* Owner() const { return m_pOwner; }

private:
    bool OnInitDialog();
    void UpdateData(bool saveFromControls);
    void CenterOnDesktop();
    void WaitUntilOnScreen();

    QWidget* m_pOwner;
    QString m_strLegend;
    QProgressBar* m_progress = nullptr;
    // The bar counts in ints; these keep the full 32-bit range and position.
    uint32_t m_nMax = 0;
    uint32_t m_nPos = 0;
};
