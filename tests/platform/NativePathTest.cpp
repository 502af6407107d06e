// Paths kept as the file system's bytes, the Windows-1252 character set, and archives
// written under names that are not UTF-8.
#include "NativePath.h"
#include "ArchiveReader.h"
#include "ArchiveWriter.h"
#include "QtPrinters.h"
#include "Windows1252.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include <sys/stat.h>

namespace {

TEST(NativePath, EveryByteSequenceComesBackWhole)
{
    const QByteArray paths[] = {
        "/plain/ascii.94b",
        "/caf\xc3\xa9/\xe2\x82\xac/\xf0\x9f\x8e\xb9.94b", // valid UTF-8 of 2, 3 and 4 bytes
        "/\xf0\x90\x82\x80",                              // U+10080: its low half is U+DC80
        "latin\xff\xfe.94b",
        "/\xc0\x80/\xed\xa0\x80/\xf5\x80\x80\x80", // overlong NUL, a surrogate, past U+10FFFF
        "/cut\xe2\x82",                            // a sequence cut short by the end
        "\x80\xbf\xc3",
    };
    for (const QByteArray& bytes : paths) {
        SCOPED_TRACE(bytes.toHex(' ').toStdString());
        const QString path = CNativePath::Decode(bytes);
        EXPECT_EQ(CNativePath::Encode(path), bytes);
        if (bytes.isValidUtf8()) {
            EXPECT_EQ(path, QString::fromUtf8(bytes)) << "valid UTF-8 is plain text";
        }
    }
    EXPECT_EQ(CNativePath::Display(CNativePath::Decode("odd copy\xff\x80.pre")),
              QStringLiteral("odd copy\u00ff\u20ac.pre"));
}

TEST(Windows1252, BytesReadAsItsCharactersAndWriteBackAsThemselves)
{
    EXPECT_EQ(CWindows1252::Decode("\x80\x9f\xe9\x81"), QStringLiteral("\u20ac\u0178\u00e9\u0081"));
    QByteArray all;
    for (int byte = 0; byte < 256; ++byte)
        all.append(static_cast<char>(byte));
    EXPECT_EQ(CWindows1252::EncodeForHtml(CWindows1252::Decode(all)), all);
    EXPECT_EQ(CWindows1252::EncodeForHtml(QStringLiteral("\u20ac \u0394 \U0001F3B9 \u0080")),
              QByteArray("\x80 &#916; &#127929; &#128;"));
}

// Written under the path's own bytes, with the usual permissions for a new file and the
// old ones for a file replaced.
TEST(NativePath, ArchivesAreWrittenAndReadUnderNamesThatAreNotUtf8)
{
    QTemporaryDir dir;
    const QByteArray native = QFile::encodeName(dir.path()) + "/odd copy\xff.pre";
    const QString path = CNativePath::Decode(native);
    const QByteArray inside = "/banks/latin\xff\xfe.94b";
    ASSERT_TRUE(CArchiveWriter::WriteFile(
        path, [&](CArchiveWriter& ar) { ar.WritePath(CNativePath::Decode(inside)); }));
    struct stat info
    {
    };
    ASSERT_EQ(::stat(native.constData(), &info), 0);
    const mode_t mask = ::umask(0);
    ::umask(mask);
    EXPECT_EQ(info.st_mode & 0777, 0666 & ~mask);
    QString read;
    EXPECT_EQ(CArchiveReader::ReadFile(path, [&](CArchiveReader& ar) { read = ar.ReadPath(); }),
              CArchiveReader::FileResult::Read);
    EXPECT_EQ(CNativePath::Encode(read), inside);

    ASSERT_EQ(::chmod(native.constData(), 0640), 0);
    ASSERT_TRUE(CArchiveWriter::WriteFile(path, [](CArchiveWriter& ar) { ar.WriteUInt32(1); }));
    ASSERT_EQ(::stat(native.constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
}

} // namespace
