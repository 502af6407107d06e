// The presets opened or saved last, the newest first, kept between runs in the program's
// settings file for the Preset menu to list.
#pragma once

#include <QString>
#include <QStringList>

class CRecentPresets
{
public:
    static constexpr qsizetype MAX_PRESETS = 4;

    // The list kept in the settings file at settingsPath.
    explicit CRecentPresets(QString settingsPath);

    QStringList Paths() const;
    // Puts path first, once; the oldest beyond the four is forgotten.
    void Add(const QString& path);
    void Remove(const QString& path);

private:
    void Store(const QStringList& paths);

    QString m_settingsPath;
};
