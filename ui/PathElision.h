// Fits a text that ends in a file path into a static: where it does not fit, the middle of
// what comes before the file's name gives way to "…", so that the name stays in sight.
#pragma once

#include <QString>

class QFontMetrics;
class QLabel;
class QSize;

class CPathElision
{
public:
    // text as it fits in box in that font, on one line or wrapped over the box's lines. The
    // part after the last "/" is kept whole while anything before it can give way; a name
    // too long even for that is cut in its middle.
    static QString Elide(const QString& text, const QFontMetrics& metrics, const QSize& box,
                         bool wrap);
    // Shows text in label, elided to the label's room, with the whole text as its tooltip.
    static void Show(QLabel* label, const QString& text);
};
