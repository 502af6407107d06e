#pragma once

#include <QFont>
#include <QRect>
#include <QSize>

// Converts dialog units to pixels from a dialog font's average character size: a
// horizontal unit is a quarter of the average character width, a vertical unit an eighth
// of the character height.
class CDialogUnits
{
public:
    explicit CDialogUnits(const QFont& dialogFont);
    CDialogUnits(int averageCharWidth, int charHeight);

    QRect ToPixels(const QRect& dlu) const;
    QSize ToPixels(const QSize& dlu) const;

    int AverageCharWidth() const { return m_averageCharWidth; }
    int CharHeight() const { return m_charHeight; }

private:
    int ToPixelsX(int dlu) const;
    int ToPixelsY(int dlu) const;

    int m_averageCharWidth;
    int m_charHeight;
};
