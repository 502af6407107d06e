// The binary archive: the exact bytes of words and length prefixes, reading back every
// prefix form, refusing data that runs short, and whole files written all or nothing.
#include "ArchiveReader.h"
#include "ArchiveWriter.h"
#include "QtPrinters.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>

namespace {

QByteArray Written(const std::function<void(CArchiveWriter&)>& write)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    CArchiveWriter archive(buffer);
    write(archive);
    EXPECT_TRUE(archive.Ok());
    return bytes;
}

struct Prefix
{
    qsizetype length;
    QByteArray prefix;
};

TEST(Archive, WordsAreLittleEndian)
{
    EXPECT_EQ(Written([](CArchiveWriter& ar) { ar.WriteUInt32(0x12345678); }),
              QByteArray("\x78\x56\x34\x12", 4));
}

TEST(Archive, StringLengthTakesOneThreeOrSevenBytesAndReadsBack)
{
    const Prefix cases[] = {
        {0, QByteArray(1, '\0')},
        {254, QByteArray("\xfe", 1)},
        {255, QByteArray("\xff\xff\x00", 3)},
        {0xFFFD, QByteArray("\xff\xfd\xff", 3)},
        {0xFFFE, QByteArray("\xff\xff\xff\xfe\xff\x00\x00", 7)},
        {0x10000, QByteArray("\xff\xff\xff\x00\x00\x01\x00", 7)},
    };
    for (const Prefix& item : cases) {
        SCOPED_TRACE(item.length);
        const QByteArray text(item.length, 'p');
        QByteArray bytes = Written([&](CArchiveWriter& ar) { ar.WriteString(text); });
        EXPECT_EQ(bytes.size(), item.prefix.size() + item.length);
        EXPECT_EQ(bytes.left(item.prefix.size()), item.prefix);

        QBuffer buffer(&bytes);
        buffer.open(QIODevice::ReadOnly);
        CArchiveReader reader(buffer);
        EXPECT_EQ(reader.ReadString(), text);
        EXPECT_TRUE(reader.Ok());
        EXPECT_TRUE(buffer.atEnd());
    }
}

TEST(Archive, LongerPrefixFormsAreReadForShortStrings)
{
    QByteArray bytes("\xff\x02\x00hi\xff\xff\xff\x03\x00\x00\x00"
                     "abc\x02ok",
                     18);
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    CArchiveReader reader(buffer);
    EXPECT_EQ(reader.ReadString(), "hi");
    EXPECT_EQ(reader.ReadString(), "abc");
    EXPECT_EQ(reader.ReadString(), "ok");
    EXPECT_TRUE(reader.Ok());
}

TEST(Archive, PathsKeepCharactersBeyondAscii)
{
    const QString path = QStringLiteral("/home/zoë/Klänge.94b");
    QByteArray bytes = Written([&](CArchiveWriter& ar) { ar.WritePath(path); });
    EXPECT_EQ(bytes.at(0), char(QFile::encodeName(path).size()));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    CArchiveReader reader(buffer);
    EXPECT_EQ(reader.ReadPath(), path);
}

// Each of these runs short or holds a length never written; the reader then goes bad and
// stays bad, answering zeros and empty strings.
TEST(Archive, ShortOrMalformedDataMakesTheReaderBad)
{
    struct Bad
    {
        bool word;
        QByteArray bytes;
    };
    const Bad bad[] = {
        {true, QByteArray("\x01\x02\x03", 3)}, // word cut short
        {false, QByteArray("\x05"
                           "abcd",
                           5)},                                 // string longer than the rest
        {false, QByteArray("\xff\x10", 2)},                     // 16-bit length cut short
        {false, QByteArray("\xff\xff\xff\xff\xff\xff\xff", 7)}, // 4 GiB string in 7 bytes
        {false, QByteArray("\xff\xfe\xff"
                           "abc",
                           6)}, // 0xFFFE is never a length
    };
    for (Bad item : bad) {
        SCOPED_TRACE(item.bytes.toHex(' ').toStdString());
        QBuffer buffer(&item.bytes);
        buffer.open(QIODevice::ReadOnly);
        CArchiveReader reader(buffer);
        if (item.word)
            reader.ReadUInt32();
        else
            reader.ReadString();
        EXPECT_FALSE(reader.Ok());
        EXPECT_EQ(reader.ReadUInt32(), 0u);
        EXPECT_EQ(reader.ReadString(), QByteArray());
        EXPECT_FALSE(reader.Ok());
    }
}

TEST(Archive, FilesAreWrittenWholeOrNotAtAll)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath("a.bin");
    const auto writeWord = [](uint32_t value) {
        return [value](CArchiveWriter& ar) { ar.WriteUInt32(value); };
    };
    ASSERT_TRUE(CArchiveWriter::WriteFile(path, writeWord(7)));
    QByteArray whileWriting;
    ASSERT_TRUE(CArchiveWriter::WriteFile(path, [&](CArchiveWriter& ar) {
        ar.WriteUInt32(9);
        QFile current(path);
        current.open(QIODevice::ReadOnly);
        whileWriting = current.readAll();
    }));
    EXPECT_EQ(whileWriting, QByteArray("\x07\0\0\0", 4)) << "the old file stays until the end";

    QString error;
    QFile blocker(dir.filePath("blocker"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    EXPECT_FALSE(CArchiveWriter::WriteFile(dir.filePath("blocker/a.bin"), writeWord(8), &error));
    EXPECT_FALSE(error.isEmpty());

    uint32_t read = 0;
    const auto readWord = [&read](CArchiveReader& ar) { read = ar.ReadUInt32(); };
    EXPECT_EQ(CArchiveReader::ReadFile(path, readWord), CArchiveReader::FileResult::Read);
    EXPECT_EQ(read, 9u);
    EXPECT_EQ(CArchiveReader::ReadFile(dir.filePath("none"), readWord),
              CArchiveReader::FileResult::CannotOpen);
    EXPECT_EQ(CArchiveReader::ReadFile(dir.path(), readWord),
              CArchiveReader::FileResult::CannotOpen)
        << "a directory is not a file to read";
    EXPECT_EQ(CArchiveReader::ReadFile(blocker.fileName(), readWord),
              CArchiveReader::FileResult::Malformed);
}

} // namespace
