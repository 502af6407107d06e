// Paths kept as the file system's bytes, the Windows-1252 character set, and files opened
// and written under names that are not UTF-8.
#include "NativePath.h"
#include "ArchiveReader.h"
#include "ArchiveWriter.h"
#include "QtPrinters.h"
#include "Windows1252.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

class NativeFileTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }

    QString Path(const QByteArray& name) const
    {
        return CNativePath::Decode(QFile::encodeName(m_dir.path()) + '/' + name);
    }

    QTemporaryDir m_dir;
};

TEST_F(NativeFileTest, ArchivesAreWrittenAndReadUnderNamesThatAreNotUtf8)
{
    const QString path = Path("odd copy\xff.pre");
    const QString inside = CNativePath::Decode("/banks/latin\xff\xfe.94b");
    ASSERT_TRUE(CArchiveWriter::WriteFile(path, [&](CArchiveWriter& ar) { ar.WritePath(inside); }));

    struct stat info
    {
    };
    const QByteArray native = CNativePath::Encode(path);
    ASSERT_EQ(::stat(native.constData(), &info), 0) << "the file has the very name given";
    EXPECT_EQ(info.st_size, 1 + 18);
    const mode_t mask = ::umask(0);
    ::umask(mask);
    EXPECT_EQ(info.st_mode & 0777, 0666 & ~mask);

    QString read;
    EXPECT_EQ(CArchiveReader::ReadFile(path, [&](CArchiveReader& ar) { read = ar.ReadPath(); }),
              CArchiveReader::FileResult::Read);
    EXPECT_EQ(CNativePath::Encode(read), QByteArray("/banks/latin\xff\xfe.94b"));

    // A file that is replaced keeps its permissions.
    ASSERT_EQ(::chmod(native.constData(), 0640), 0);
    ASSERT_TRUE(CArchiveWriter::WriteFile(path, [](CArchiveWriter& ar) { ar.WriteUInt32(1); }));
    ASSERT_EQ(::stat(native.constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
    EXPECT_EQ(info.st_size, 4);
}

TEST_F(NativeFileTest, OnlyRegularFilesAreOpened)
{
    const QString fifo = Path("fifo");
    ASSERT_EQ(::mkfifo(CNativePath::Encode(fifo).constData(), 0600), 0);
    QFile file;
    EXPECT_FALSE(CNativePath::OpenRegular(fifo, file)) << "without waiting for a writer";
    EXPECT_FALSE(CNativePath::OpenRegular(m_dir.path(), file));
    EXPECT_FALSE(CNativePath::OpenRegular(Path("missing"), file));
    EXPECT_FALSE(CNativePath::OpenRegular(QString(), file));
    EXPECT_FALSE(file.isOpen());
    EXPECT_EQ(CArchiveReader::ReadFile(fifo, [](CArchiveReader&) {}),
              CArchiveReader::FileResult::CannotOpen);

    const QString latin = Path("latin\xff\xfe.94b");
    const int fd = ::creat(CNativePath::Encode(latin).constData(), 0600);
    ASSERT_GE(fd, 0);
    ::close(fd);
    ASSERT_TRUE(CNativePath::OpenRegular(latin, file));
    EXPECT_TRUE(file.isOpen());
    EXPECT_FALSE(file.isSequential());
}

} // namespace
