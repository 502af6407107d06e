// The Preset menu's commands on the bank table: which preset file to open or to save to,
// the warnings, the question asked at exit, and the presets opened or saved last. The
// window shows the outcome afterwards.
#pragma once

#include "CardChoice.h"
#include "FileDialogService.h"
#include "RecentPresets.h"

class CBankTable;
class QWidget;

class CPresetCommands
{
public:
    // The recent presets are kept in the settings file at settingsPath.
    explicit CPresetCommands(CBankTable& bankTable,
                             QString settingsPath = CCardChoice::DefaultSettingsPath())
        : m_bankTable(bankTable), m_recent(std::move(settingsPath))
    {
    }

    // Asks for a preset file and loads it; the current preset is not saved first, even
    // when modified. False when the dialog was cancelled: nothing has changed.
    bool Open();
    // Loads the preset at path, which becomes the most recent one once loaded. False when
    // the file could not be opened at all.
    bool OpenFile(const QString& path);
    // Loads the recent preset at that place in the list. One that can no longer be opened
    // leaves the list, after the message that says so; the card stays as it was. False
    // when there is no such preset.
    bool OpenRecent(qsizetype index);
    QStringList RecentPresets() const { return m_recent.Paths(); }
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
    // Writes the preset to path, or with no path to its file; a preset written is recent.
    void SavePreset(const QString& path = QString());

    CBankTable& m_bankTable;
    CRecentPresets m_recent;
};
