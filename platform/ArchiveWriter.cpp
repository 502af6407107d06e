#include "ArchiveWriter.h"

#include "NativePath.h"

#include <QFile>
#include <QtEndian>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
// Lengths from this one on need the seven-byte prefix: 0xFFFF marks it, and 0xFFFE is
// not used as a length at all.
constexpr qsizetype kFirstLongLength = 0xFFFE;
constexpr uint8_t kWiderPrefix = 0xFF;

// A file that is replaced keeps its permissions; a new one gets the usual ones.
mode_t ModeFor(const QByteArray& target)
{
    struct stat info
    {
    };
    if (::stat(target.constData(), &info) == 0)
        return info.st_mode & 07777;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}
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

// The file is written beside the target under a temporary name and renamed over it once
// it is complete and on disk; a link is written through to its target. The names are the
// path's own bytes: Qt's file classes take names as text and would lose bytes that are not
// UTF-8.
bool CArchiveWriter::WriteFile(const QString& path,
                               const std::function<void(CArchiveWriter&)>& write, QString* error)
{
    QString refusal;
    const QString resolved = CNativePath::WriteTarget(path, refusal);
    if (resolved.isNull()) {
        if (error)
            *error = refusal;
        return false;
    }
    const QByteArray target = CNativePath::Encode(resolved);
    QByteArray temporary = target + ".XXXXXX";
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    const bool written = fd >= 0 && WriteTemporary(fd, ModeFor(target), write) &&
                         ::rename(temporary.constData(), target.constData()) == 0;
    if (!written) {
        const QString problem = errno != 0 ? QString::fromLocal8Bit(std::strerror(errno))
                                           : QStringLiteral("The file could not be written.");
        if (fd >= 0)
            ::unlink(temporary.constData());
        if (error)
            *error = problem;
    }
    return written;
}

// Writes through write into the temporary file open on fd, gives it its mode and puts it
// on disk; the file is closed in every case.
bool CArchiveWriter::WriteTemporary(int fd, mode_t mode,
                                    const std::function<void(CArchiveWriter&)>& write)
{
    QFile file;
    if (!file.open(fd, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return false;
    }
    errno = 0;
    CArchiveWriter archive(file);
    write(archive);
    return archive.Ok() && file.flush() && ::fchmod(fd, mode) == 0 && ::fsync(fd) == 0;
}
