#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <functional>

class QIODevice;

// Reads what CArchiveWriter writes, trusting nothing: a word or string that would run
// past the end of the data makes the archive bad, and a bad archive reads as zeros and
// empty strings from then on, so callers check Ok() once after a whole record.
class CArchiveReader
{
public:
    explicit CArchiveReader(QIODevice& device);

    uint32_t ReadUInt32();
    // Accepts the one-, three- and seven-byte length prefixes whatever the length.
    QByteArray ReadString();
    // A path written as the file system's bytes, kept whole (see CNativePath).
    QString ReadPath();

    bool Ok() const { return m_bOk; }
    // Whether everything the data holds has been read.
    bool AtEnd() const { return Remaining() == 0; }
    // For values the caller finds out of range: the archive is bad from here on.
    void Fail() { m_bOk = false; }

    enum class FileResult
    {
        Read,
        CannotOpen,
        // The file ends early or holds something read refused.
        Malformed
    };
    // Opens the file at path and hands it to read. Only a regular file is opened: a FIFO,
    // a device or a directory cannot be.
    static FileResult ReadFile(const QString& path,
                               const std::function<void(CArchiveReader&)>& read);

private:
    bool ReadBytes(char* data, qint64 size);
    qint64 Remaining() const;

    QIODevice& m_device;
    bool m_bOk = true;
};
