// The fonts a grid has created, addressed by index; asking again for a font with the same
// description hands back the one already made.
#pragma once

#include <QFont>
#include <QString>

#include <cstdint>
#include <memory>
#include <vector>

class CTblFontList
{
public:
    // A font description: the fields of the platform's logical font that make the font.
    struct LogFont
    {
        int height = 0;
        int weight = 0;
        uint8_t italic = 0;
        uint8_t underline = 0;
        uint8_t strikeOut = 0;
        uint8_t pitchAndFamily = 0;
        QString faceName;

        bool operator==(const LogFont& other) const = default;
    };

    // Face names of 32 characters or more are not kept, as the logical font has no room.
    static constexpr int MaxFaceName = 32;

    // The index of the font with this description, made when it is new.
    int Register(const LogFont& logFont);
    const QFont* At(int index) const;
    int Count() const { return static_cast<int>(m_entries.size()); }
    int UseCount(int index) const;

    // The pixel size at which a line of the font (its ascent and descent) fits the height.
    static int PixelSizeForLineHeight(QFont font, int lineHeight);

private:
    struct Entry
    {
        LogFont logFont;
        QFont font;
        int useCount;
    };

    static QFont MakeFont(const LogFont& logFont);

    // Entries stay where they are, as cells point at their fonts.
    std::vector<std::unique_ptr<Entry>> m_entries;
};
