#include "PresetCommands.h"

#include "BankTable.h"
#include "MessageBoxService.h"
#include "ResourceIds.h"
#include "StringTable.h"

namespace {
constexpr int IDS_PRESET_FILTER = 126;
constexpr int IDS_SAVE_NO_PRESET_MODE = 210;
constexpr int IDS_PRESET_MODIFIED = 212;

void WarnNoPresetMode()
{
    CBankTable::ShowError(IDS_SAVE_NO_PRESET_MODE);
}
} // namespace

FileDialogRequest CPresetCommands::FileRequest(bool open)
{
    FileDialogRequest request;
    request.open = open;
    request.defaultExt = CStringTable::Load(IDS_PRESET_EXT);
    request.filter = CStringTable::Load(IDS_PRESET_FILTER);
    return request;
}

bool CPresetCommands::Open()
{
    const QString path = CFileDialogService::Current().Run(FileRequest(true));
    if (path.isEmpty())
        return false;
    OpenFile(path);
    return true;
}

bool CPresetCommands::OpenFile(const QString& path)
{
    bool opened = true;
    if (m_bankTable.LoadPreset(path, &opened))
        m_recent.Add(path);
    return opened;
}

bool CPresetCommands::OpenRecent(qsizetype index)
{
    const QString path = m_recent.Paths().value(index);
    if (path.isEmpty())
        return false;
    if (!OpenFile(path))
        m_recent.Remove(path);
    return true;
}

void CPresetCommands::Save()
{
    // A preset file whose name merely contains "Untitled" is asked a name too.
    if (m_bankTable.GetPresetName().contains(CStringTable::Load(IDS_UNTITLED)))
        SaveAs();
    else if (IsNoPresetMode())
        WarnNoPresetMode();
    else
        SavePreset();
}

void CPresetCommands::SaveAs()
{
    if (IsNoPresetMode()) {
        WarnNoPresetMode();
        return;
    }
    const QString path = CFileDialogService::Current().Run(FileRequest(false));
    if (!path.isEmpty())
        SavePreset(path);
}

void CPresetCommands::SavePreset(const QString& path)
{
    if (m_bankTable.SavePreset(path))
        m_recent.Add(m_bankTable.GetPresetPath());
}

void CPresetCommands::QuerySave(QWidget* owner)
{
    if (!m_bankTable.IsModified() || IsNoPresetMode())
        return;
    const int answer = CMessageBoxService::Current().Show(
        owner, CStringTable::Load(IDS_PRESET_MODIFIED), CStringTable::Load(IDS_WARNING_CAPTION),
        Mb::YesNo | Mb::IconQuestion);
    if (answer == Id::Yes)
        Save();
}

// No-preset Mode is the state without a preset, told by the fixed name in place of a path:
// a preset file whose name happens to contain that text is saved like any other.
bool CPresetCommands::IsNoPresetMode() const
{
    return m_bankTable.GetPresetPath() == CStringTable::Load(IDS_NO_PRESET_MODE);
}
