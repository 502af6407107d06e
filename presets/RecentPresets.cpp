#include "RecentPresets.h"

#include <QSettings>

namespace {
const QString kRecentKey = QStringLiteral("presets/recent");
} // namespace

CRecentPresets::CRecentPresets(QString settingsPath) : m_settingsPath(std::move(settingsPath)) {}

// A list edited by hand to hold more, or an empty entry, is read as far as it makes sense.
QStringList CRecentPresets::Paths() const
{
    const QSettings settings(m_settingsPath, QSettings::IniFormat);
    QStringList paths = settings.value(kRecentKey).toStringList();
    paths.removeAll(QString());
    paths.removeDuplicates();
    return paths.mid(0, MAX_PRESETS);
}

void CRecentPresets::Add(const QString& path)
{
    QStringList paths = Paths();
    paths.removeAll(path);
    paths.prepend(path);
    Store(paths.mid(0, MAX_PRESETS));
}

void CRecentPresets::Remove(const QString& path)
{
    QStringList paths = Paths();
    if (paths.removeAll(path) > 0)
        Store(paths);
}

void CRecentPresets::Store(const QStringList& paths)
{
    QSettings settings(m_settingsPath, QSettings::IniFormat);
    settings.setValue(kRecentKey, paths);
}
