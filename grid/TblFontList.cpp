#include "TblFontList.h"

#include <QFontMetrics>

#include <algorithm>
#include <cstdlib>

namespace {

// The family bits of a logical font's pitch-and-family byte.
QFont::StyleHint StyleHintOf(uint8_t pitchAndFamily)
{
    switch (pitchAndFamily & 0xF0) {
    case 0x10:
        return QFont::Serif;
    case 0x20:
        return QFont::SansSerif;
    case 0x30:
        return QFont::TypeWriter;
    case 0x40:
        return QFont::Cursive;
    case 0x50:
        return QFont::Decorative;
    default:
        return QFont::AnyStyle;
    }
}

} // namespace

int CTblFontList::Register(const LogFont& logFont)
{
    LogFont wanted = logFont;
    if (wanted.faceName.size() >= MaxFaceName)
        wanted.faceName.clear();
    for (size_t i = 0; i < m_entries.size(); ++i) {
        if (m_entries[i]->logFont == wanted) {
            ++m_entries[i]->useCount;
            return static_cast<int>(i);
        }
    }
    m_entries.push_back(std::make_unique<Entry>(Entry{wanted, MakeFont(wanted), 1}));
    return Count() - 1;
}

const QFont* CTblFontList::At(int index) const
{
    if (index < 0 || index >= Count())
        return nullptr;
    return &m_entries[static_cast<size_t>(index)]->font;
}

int CTblFontList::UseCount(int index) const
{
    if (index < 0 || index >= Count())
        return 0;
    return m_entries[static_cast<size_t>(index)]->useCount;
}

QFont CTblFontList::MakeFont(const LogFont& logFont)
{
    QFont font;
    if (!logFont.faceName.isEmpty())
        font.setFamily(logFont.faceName);
    font.setStyleHint(StyleHintOf(logFont.pitchAndFamily));
    if (logFont.weight > 0)
        font.setWeight(static_cast<QFont::Weight>(std::clamp(logFont.weight, 1, 1000)));
    font.setItalic(logFont.italic != 0);
    font.setUnderline(logFont.underline != 0);
    font.setStrikeOut(logFont.strikeOut != 0);
    if ((logFont.pitchAndFamily & 0x3) == 1)
        font.setFixedPitch(true);
    if (logFont.height < 0)
        font.setPixelSize(-logFont.height);
    else if (logFont.height > 0)
        font.setPixelSize(PixelSizeForLineHeight(font, logFont.height));
    return font;
}

// A positive height is the whole line a font takes (its ascent and descent), which is
// more than its pixel size: scale the size down until a line fits the height.
int CTblFontList::PixelSizeForLineHeight(QFont font, int lineHeight)
{
    font.setPixelSize(std::max(lineHeight, 1));
    const int measured = QFontMetrics(font).height();
    if (measured <= lineHeight)
        return font.pixelSize();
    // Scaled down, then a pixel at a time where rounding left the line too tall.
    int size = std::max(1, lineHeight * lineHeight / measured);
    for (font.setPixelSize(size); size > 1 && QFontMetrics(font).height() > lineHeight;
         font.setPixelSize(--size)) {
    }
    return size;
}
