#pragma once

#include <QString>

#include <functional>

class QIODevice;

// Writes the program's files (options, presets, reports) whole or not at all, through
// CAtomicFileWriter: until the new file is complete and on disk the previous one stays as it
// was. A link is written through to its target, and a FIFO, a device or a directory is
// refused. The path's bytes are kept whole (see CNativePath): Qt's file classes take names
// as text and would lose bytes that are not UTF-8.
class CWholeFile
{
public:
    // write fills the new file and returns false to leave the target as it is. On failure
    // error (when given) says why the file could not be written.
    static bool Write(const QString& path, const std::function<bool(QIODevice&)>& write,
                      QString* error = nullptr);
};
