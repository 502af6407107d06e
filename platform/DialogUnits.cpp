#include "DialogUnits.h"

#include <QFontMetrics>

#include <cmath>

namespace {
// value * numerator / denominator rounded to the nearest integer, halves away from zero,
// as dialog layouts have always been scaled.
int MulDiv(int value, int numerator, int denominator)
{
    return static_cast<int>(
        std::lround(static_cast<double>(value) * numerator / static_cast<double>(denominator)));
}

// The average width of the 52 Latin letters, rounded: the dialog font's horizontal base
// unit.
int AverageLetterWidth(const QFontMetrics& metrics)
{
    const int width = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    return (width / 26 + 1) / 2;
}
} // namespace

CDialogUnits::CDialogUnits(const QFont& dialogFont)
    : CDialogUnits(AverageLetterWidth(QFontMetrics(dialogFont)), QFontMetrics(dialogFont).height())
{
}

CDialogUnits::CDialogUnits(int averageCharWidth, int charHeight)
    : m_averageCharWidth(averageCharWidth), m_charHeight(charHeight)
{
}

QRect CDialogUnits::ToPixels(const QRect& dlu) const
{
    return {ToPixelsX(dlu.x()), ToPixelsY(dlu.y()), ToPixelsX(dlu.width()),
            ToPixelsY(dlu.height())};
}

QSize CDialogUnits::ToPixels(const QSize& dlu) const
{
    return {ToPixelsX(dlu.width()), ToPixelsY(dlu.height())};
}

int CDialogUnits::ToPixelsX(int dlu) const
{
    return MulDiv(dlu, m_averageCharWidth, 4);
}

int CDialogUnits::ToPixelsY(int dlu) const
{
    return MulDiv(dlu, m_charHeight, 8);
}
