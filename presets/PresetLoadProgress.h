// The "Load in progress" window as the bank table's preset load drives it.
#pragma once

#include "LoadProgress.h"
#include "LoadProgressDlg.h"

class CPresetLoadProgress : public LoadProgress
{
public:
    // Shows the window at once, as a top-level window of its own for that owner.
    explicit CPresetLoadProgress(QWidget* owner) : m_dialog(owner) {}

    void SetLegend(const QString& text) override { m_dialog.SetLegend(text); }
    void SetRange(uint32_t max) override { m_dialog.SetRange(max); }
    void SetPos(uint32_t position) override { m_dialog.SetPos(position); }

    // The factory the bank table takes.
    static LoadProgressFactory Factory();

private:
    CLoadProgressDlg m_dialog;
};
