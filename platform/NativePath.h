// File paths as the file system holds them: bytes, which need not be valid UTF-8. A path
// becomes text with each byte that is not part of valid UTF-8 kept as the lone surrogate
// U+DC80..U+DCFF, so that it encodes back to the very bytes it came from (Qt's own
// conversion would turn them into U+FFFD and lose the file).
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

class QFile;

class CNativePath
{
public:
    static QString Decode(QByteArrayView bytes);
    static QByteArray Encode(QStringView path);
    // The path for people to read: kept bytes show as their Windows-1252 characters.
    static QString Display(const QString& path);
    // The path made absolute against the current directory, as text alone: Qt's own way
    // goes through the file system's encoding and would lose the kept bytes.
    static QString Absolute(const QString& path);

    // Opens path for reading when it names a regular file; a FIFO, a device or a
    // directory is refused without blocking. False when it cannot be opened.
    static bool OpenRegular(const QString& path, QFile& file);
    // The file that a write to path is to replace: a symbolic link is followed to its
    // target, which need not exist yet, as editors do. Null, with why in error, when the
    // links never end (a loop) or lead to something other than a regular file (a FIFO, a
    // device, a directory), which a write must not replace.
    static QString WriteTarget(const QString& path, QString& error);
};
