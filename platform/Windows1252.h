// The Windows-1252 character set: Latin-1 with printable characters in 0x80..0x9F (0x80
// is the euro sign). The five bytes it leaves undefined stand for the C1 control of the
// same number, so that every byte decodes and encodes back to itself.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QChar>
#include <QString>
#include <QStringView>

#include <optional>

class CWindows1252
{
public:
    static QString Decode(QByteArrayView bytes);
    static QChar DecodeByte(char byte);
    // The byte of a character, or nothing when the set lacks it.
    static std::optional<char> EncodeChar(char32_t character);
    // Characters the set lacks are written as HTML character references ("&#8364;"), the
    // only form in which they survive in a document of this encoding.
    static QByteArray EncodeForHtml(QStringView text);
};
