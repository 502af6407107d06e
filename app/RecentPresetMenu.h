// The Preset menu's items of the recent presets. The menu template holds one item per place
// in the list, its text that place's access key ("&1"); each shows its preset's path after
// the key, and an item without a preset is hidden. The items follow the list each time the
// menu opens.
#pragma once

#include <QList>
#include <QStringList>

#include <functional>

class QAction;
class QMenuBar;

class CRecentPresetMenu
{
public:
    using PathList = std::function<QStringList()>;

    // Finds the items in menuBar; recentPresets gives the list when the menu opens.
    void Attach(QMenuBar* menuBar, PathList recentPresets);
    void Show(const QStringList& paths);

    // The place in the list of a recent preset's command; -1 for any other command.
    static qsizetype PlaceOf(int commandId);

private:
    QList<QAction*> m_items;
    QStringList m_keys;
};
