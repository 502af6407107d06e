// Memory figures: field width, rounding, the empty card, and the user's locale.
#include "MemoryFormat.h"

#include <gtest/gtest.h>

#include <QLocale>

#include <clocale>

namespace {

SynthStatus CardOf(uint32_t total, uint32_t free)
{
    SynthStatus status{};
    status.totalMemory = total;
    status.freeMemory = free;
    return status;
}

TEST(MemoryFormatTest, KilobytesKeepAFieldOfFiveCharacters)
{
    EXPECT_EQ(CMemoryFormat::Kilobytes(1048576), "1024.0 Ko");
    EXPECT_EQ(CMemoryFormat::Kilobytes(512), "  0.5 Ko");
    EXPECT_EQ(CMemoryFormat::Kilobytes(0), "  0.0 Ko");
    EXPECT_EQ(CMemoryFormat::Kilobytes(0xFFFFFFFFu), "4194304.0 Ko");
}

TEST(MemoryFormatTest, FreePercentOfTheTotal)
{
    EXPECT_EQ(CMemoryFormat::FreePercent(CardOf(4194304, 1048576)), "25.0 %");
    EXPECT_EQ(CMemoryFormat::FreePercent(CardOf(8388608, 8388608)), "100.0 %");
    EXPECT_EQ(CMemoryFormat::FreePercent(CardOf(3, 1)), "33.3 %");
}

TEST(MemoryFormatTest, ACardWithoutMemoryShowsNoFreeShare)
{
    EXPECT_EQ(CMemoryFormat::FreePercent(CardOf(0, 0)), "0.0 %");
}

TEST(MemoryFormatTest, DecimalSeparatorIsADotInEveryLocale)
{
    const QLocale previous;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    // The C library's numeric locale too, where the machine has a comma locale.
    const char* cLocale = std::setlocale(LC_NUMERIC, "de_DE.UTF-8");
    EXPECT_EQ(CMemoryFormat::Kilobytes(1536), "  1.5 Ko");
    EXPECT_EQ(CMemoryFormat::FreePercent(CardOf(4, 1)), "25.0 %");
    if (cLocale)
        std::setlocale(LC_NUMERIC, "C");
    QLocale::setDefault(previous);
}

} // namespace
