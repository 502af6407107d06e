#include "NativePath.h"

#include "Windows1252.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr char16_t kEscapeBase = 0xDC00;
constexpr char16_t kFirstEscape = 0xDC80;
constexpr char16_t kLastEscape = 0xDCFF;
// As many links as the kernel itself follows in one path.
constexpr int kMaxLinkHops = 40;

bool IsContinuation(uint8_t byte)
{
    return byte >= 0x80 && byte <= 0xBF;
}

// The length of the well-formed UTF-8 sequence at the start of bytes, or 0 when there is
// none (a stray byte, an overlong form, a surrogate or a code point past U+10FFFF).
qsizetype SequenceLength(QByteArrayView bytes)
{
    const auto lead = static_cast<uint8_t>(bytes[0]);
    qsizetype length = 0;
    uint8_t secondMin = 0x80;
    uint8_t secondMax = 0xBF;
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        secondMin = lead == 0xE0 ? 0xA0 : 0x80;
        secondMax = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        secondMin = lead == 0xF0 ? 0x90 : 0x80;
        secondMax = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (bytes.size() < length)
        return 0;
    const auto second = static_cast<uint8_t>(bytes[1]);
    if (second < secondMin || second > secondMax)
        return 0;
    for (qsizetype i = 2; i < length; ++i) {
        if (!IsContinuation(static_cast<uint8_t>(bytes[i])))
            return 0;
    }
    return length;
}

bool IsEscape(QChar c)
{
    return c.unicode() >= kFirstEscape && c.unicode() <= kLastEscape;
}

} // namespace

QString CNativePath::Decode(QByteArrayView bytes)
{
    QString path;
    path.reserve(bytes.size());
    while (!bytes.isEmpty()) {
        const qsizetype length = SequenceLength(bytes);
        if (length == 0) {
            path.append(QChar(kEscapeBase + static_cast<uint8_t>(bytes[0])));
            bytes = bytes.sliced(1);
        } else {
            path.append(QString::fromUtf8(bytes.first(length)));
            bytes = bytes.sliced(length);
        }
    }
    return path;
}

QByteArray CNativePath::Encode(QStringView path)
{
    QByteArray bytes;
    bytes.reserve(path.size());
    qsizetype runStart = 0;
    for (qsizetype i = 0; i <= path.size(); ++i) {
        if (i < path.size() && !IsEscape(path[i]))
            continue;
        // A kept byte can never be the second half of a pair: a low surrogate that follows
        // a high one is text.
        if (i < path.size() && i > 0 && path[i - 1].isHighSurrogate())
            continue;
        bytes.append(path.sliced(runStart, i - runStart).toUtf8());
        if (i < path.size())
            bytes.append(static_cast<char>(path[i].unicode() - kEscapeBase));
        runStart = i + 1;
    }
    return bytes;
}

QString CNativePath::Display(const QString& path)
{
    QString text = path;
    for (QChar& c : text) {
        if (IsEscape(c))
            c = CWindows1252::DecodeByte(static_cast<char>(c.unicode() - kEscapeBase));
    }
    return text;
}

// The working directory is taken as bytes too: Qt's own would turn a byte that is not UTF-8
// into a replacement character, and the file would not be found.
QString CNativePath::Absolute(const QString& path)
{
    if (QDir::isAbsolutePath(path))
        return QDir::cleanPath(path);
    char* const current = ::getcwd(nullptr, 0);
    const QString directory = current ? Decode(QByteArrayView(current)) : QDir::currentPath();
    std::free(current);
    return QDir::cleanPath(directory + QLatin1Char('/') + path);
}

bool CNativePath::OpenRegular(const QString& path, QFile& file)
{
    const QByteArray native = Encode(path);
    if (native.isEmpty())
        return false;
    // O_NONBLOCK: opening a FIFO for reading would otherwise wait for a writer.
    const int fd = ::open(native.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat info
    {
    };
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) ||
        !file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return false;
    }
    return true;
}

QString CNativePath::WriteTarget(const QString& path, QString& error)
{
    QByteArray target = Encode(path);
    for (int hop = 0; hop <= kMaxLinkHops; ++hop) {
        struct stat info
        {
        };
        // Nothing there yet (or nothing that can be looked at): the write itself tells.
        if (::lstat(target.constData(), &info) != 0 || S_ISREG(info.st_mode))
            return Decode(target);
        if (!S_ISLNK(info.st_mode)) {
            error = QStringLiteral("Not a regular file");
            return QString();
        }
        char link[PATH_MAX];
        const ssize_t length = ::readlink(target.constData(), link, sizeof link);
        if (length < 0) {
            error = QString::fromLocal8Bit(std::strerror(errno));
            return QString();
        }
        const QByteArray linked(link, length);
        // A relative target is relative to the link's own directory.
        target =
            linked.startsWith('/') ? linked : target.left(target.lastIndexOf('/') + 1) + linked;
    }
    error = QString::fromLocal8Bit(std::strerror(ELOOP));
    return QString();
}
