#pragma once

#include <QByteArrayView>
#include <QString>

#include <cstdint>
#include <functional>

class QIODevice;

// Writes the program's binary files: little-endian 32-bit words and strings with a
// length prefix of one, three or seven bytes, byte for byte as older files have them.
class CArchiveWriter
{
public:
    explicit CArchiveWriter(QIODevice& device);

    void WriteUInt32(uint32_t value);
    // The 8-bit characters of text, without terminator, after their length.
    void WriteString(QByteArrayView text);
    // A path as the file system's bytes, kept whole (see CNativePath).
    void WritePath(const QString& path);

    // False once a write to the device has failed.
    bool Ok() const { return m_bOk; }

    // Writes the file at path through write, all of it or nothing (see CWholeFile). On
    // failure error (when given) says why.
    static bool WriteFile(const QString& path, const std::function<void(CArchiveWriter&)>& write,
                          QString* error = nullptr);

private:
    void WriteBytes(const char* data, qint64 size);

    QIODevice& m_device;
    bool m_bOk = true;
};
