// What a drag brings to the main window: bank files, to be loaded in their order, or one
// preset, to be opened. Anything else is not taken: a file of another kind, a preset with
// other files, an address that is not a local file.
#pragma once

#include <QStringList>

class QMimeData;

class CDroppedFiles
{
public:
    explicit CDroppedFiles(const QMimeData* data);

    bool IsAccepted() const { return !m_paths.isEmpty(); }
    bool IsPreset() const { return m_bPreset; }
    // The files in the drag's order; empty when the drag is not taken.
    const QStringList& Paths() const { return m_paths; }

private:
    QStringList m_paths;
    bool m_bPreset = false;
};
