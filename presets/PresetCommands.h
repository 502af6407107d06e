// The Preset menu's commands on the bank table: which preset file to open or to save to,
// the warnings, and the question asked at exit. The window shows the outcome afterwards.
#pragma once

#include "FileDialogService.h"

class CBankTable;
class QWidget;

class CPresetCommands
{
public:
    explicit CPresetCommands(CBankTable& bankTable) : m_bankTable(bankTable) {}

    // Asks for a preset file and loads it; the current preset is not saved first, even
    // when modified. False when the dialog was cancelled: nothing has changed.
    bool Open();
    // Writes the preset to its file. An untitled preset goes through SaveAs; in No-preset
    // Mode nothing is written and the user is told why.
    void Save();
    // Asks for a file name and writes the preset there.
    void SaveAs();
    // At exit: offers to save a modified preset, unless in No-preset Mode. Whatever the
    // answer, and whether or not the save succeeds, the caller goes on.
    void QuerySave(QWidget* owner);

    // The file dialog of every choice of a preset file, to open or to save.
    static FileDialogRequest FileRequest(bool open);

private:
    bool IsNoPresetMode() const;

    CBankTable& m_bankTable;
};
