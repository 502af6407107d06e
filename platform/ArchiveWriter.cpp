#include "ArchiveWriter.h"

#include "NativePath.h"
#include "WholeFile.h"

#include <QIODevice>
#include <QtEndian>

namespace {
// Lengths from this one on need the seven-byte prefix: 0xFFFF marks it, and 0xFFFE is
// not used as a length at all.
constexpr qsizetype kFirstLongLength = 0xFFFE;
constexpr uint8_t kWiderPrefix = 0xFF;

} // namespace

CArchiveWriter::CArchiveWriter(QIODevice& device) : m_device(device) {}

void CArchiveWriter::WriteUInt32(uint32_t value)
{
    char bytes[4];
    qToLittleEndian(value, bytes);
    WriteBytes(bytes, sizeof bytes);
}

void CArchiveWriter::WriteString(QByteArrayView text)
{
    const qsizetype length = text.size();
    if (length < kWiderPrefix) {
        const char prefix = static_cast<char>(length);
        WriteBytes(&prefix, 1);
    } else {
        const char marker = static_cast<char>(kWiderPrefix);
        WriteBytes(&marker, 1);
        char word[2];
        if (length < kFirstLongLength) {
            qToLittleEndian(static_cast<uint16_t>(length), word);
            WriteBytes(word, sizeof word);
        } else {
            qToLittleEndian(uint16_t{0xFFFF}, word);
            WriteBytes(word, sizeof word);
            WriteUInt32(static_cast<uint32_t>(length));
        }
    }
    WriteBytes(text.data(), length);
}

void CArchiveWriter::WritePath(const QString& path)
{
    WriteString(CNativePath::Encode(path));
}

void CArchiveWriter::WriteBytes(const char* data, qint64 size)
{
    if (m_bOk && size > 0 && m_device.write(data, size) != size)
        m_bOk = false;
}

bool CArchiveWriter::WriteFile(const QString& path,
                               const std::function<void(CArchiveWriter&)>& write, QString* error)
{
    return CWholeFile::Write(
        path,
        [&write](QIODevice& device) {
            CArchiveWriter archive(device);
            write(archive);
            return archive.Ok();
        },
        error);
}
