#include "ArchiveReader.h"

#include "NativePath.h"

#include <QFile>
#include <QtEndian>

namespace {
constexpr uint8_t kWiderPrefix = 0xFF;
constexpr uint16_t kLongMarker = 0xFFFF;
// Never written as a length: a file that holds it was not written by this program.
constexpr uint16_t kUnusedLength = 0xFFFE;
} // namespace

CArchiveReader::CArchiveReader(QIODevice& device) : m_device(device) {}

uint32_t CArchiveReader::ReadUInt32()
{
    char bytes[4];
    return ReadBytes(bytes, sizeof bytes) ? qFromLittleEndian<uint32_t>(bytes) : 0;
}

QByteArray CArchiveReader::ReadString()
{
    uint8_t prefix = 0;
    if (!ReadBytes(reinterpret_cast<char*>(&prefix), 1))
        return {};
    qint64 length = prefix;
    if (prefix == kWiderPrefix) {
        char word[2];
        if (!ReadBytes(word, sizeof word))
            return {};
        const auto shortLength = qFromLittleEndian<uint16_t>(word);
        if (shortLength == kUnusedLength) {
            Fail();
            return {};
        }
        length = shortLength == kLongMarker ? qint64{ReadUInt32()} : qint64{shortLength};
    }
    // The length is checked against what is left before anything is allocated for it.
    if (!m_bOk || length > Remaining()) {
        Fail();
        return {};
    }
    QByteArray text(static_cast<qsizetype>(length), Qt::Uninitialized);
    return ReadBytes(text.data(), length) ? text : QByteArray();
}

QString CArchiveReader::ReadPath()
{
    return CNativePath::Decode(ReadString());
}

bool CArchiveReader::ReadBytes(char* data, qint64 size)
{
    if (m_bOk && m_device.read(data, size) != size)
        Fail();
    return m_bOk;
}

qint64 CArchiveReader::Remaining() const
{
    return m_device.isSequential() ? m_device.bytesAvailable() : m_device.size() - m_device.pos();
}

CArchiveReader::FileResult
CArchiveReader::ReadFile(const QString& path, const std::function<void(CArchiveReader&)>& read)
{
    QFile file;
    if (!CNativePath::OpenRegular(path, file))
        return FileResult::CannotOpen;
    CArchiveReader archive(file);
    read(archive);
    return archive.Ok() ? FileResult::Read : FileResult::Malformed;
}
