// Settings text made for QSettings reads back as the very values written, whatever they hold.
#include "IniWriter.h"
#include "QtPrinters.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

namespace {

TEST(IniWriter, QSettingsReadsBackEveryValueExactly)
{
    const QString values[] = {
        QString(),
        QStringLiteral("/banks/piano one.94b"),
        QStringLiteral("a,b;c=d \"quoted\" back\\slash"),
        QStringLiteral("@Variant(x) @ first"),
        QStringLiteral("  spaces around  "),
        QStringLiteral("tab\there\nnew line\x01"
                       "0f after an escape"),
        QStringLiteral("Gr\u00fc\u00dfe \u266b \U0001F3B9"),
        QString(QChar(0xDCFF)) + QStringLiteral("lone surrogate"),
    };
    CIniWriter writer;
    writer.BeginGroup(QStringLiteral("bank1"));
    for (std::size_t i = 0; i < std::size(values); ++i)
        writer.SetValue(QStringLiteral("v%1").arg(i), values[i]);
    writer.BeginGroup(QStringLiteral("bank2"));
    writer.SetValue(QStringLiteral("size"), QStringLiteral("4096"));

    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("memory.ini")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(writer.Text()), writer.Text().size());
    file.close();
    QSettings settings(file.fileName(), QSettings::IniFormat);
    ASSERT_EQ(settings.status(), QSettings::NoError);
    for (std::size_t i = 0; i < std::size(values); ++i)
        EXPECT_EQ(settings.value(QStringLiteral("bank1/v%1").arg(i)).toString(), values[i]) << i;
    EXPECT_EQ(settings.value(QStringLiteral("bank2/size")).toUInt(), 4096u);
}

} // namespace
