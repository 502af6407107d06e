#include "Windows1252.h"

#include <array>

namespace {

constexpr char16_t kFirstSpecial = 0x80;
// The characters of bytes 0x80..0x9F; the undefined ones keep their C1 control.
constexpr std::array<char16_t, 32> kSpecials = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

} // namespace

QChar CWindows1252::DecodeByte(char byte)
{
    const auto value = static_cast<unsigned char>(byte);
    const bool special = value >= kFirstSpecial && value < kFirstSpecial + kSpecials.size();
    return special ? QChar(kSpecials[value - kFirstSpecial]) : QChar(value);
}

QString CWindows1252::Decode(QByteArrayView bytes)
{
    QString text;
    text.reserve(bytes.size());
    for (const char byte : bytes)
        text.append(DecodeByte(byte));
    return text;
}

std::optional<char> CWindows1252::EncodeChar(char32_t character)
{
    if (character <= 0xFF && (character < kFirstSpecial || character >= 0xA0))
        return static_cast<char>(character);
    for (std::size_t i = 0; i < kSpecials.size(); ++i) {
        if (kSpecials[i] == character)
            return static_cast<char>(kFirstSpecial + i);
    }
    return std::nullopt;
}

QByteArray CWindows1252::EncodeForHtml(QStringView text)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t character = text[i].unicode();
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            character = QChar::surrogateToUcs4(text[i], text[i + 1]);
            ++i;
        }
        if (const std::optional<char> byte = EncodeChar(character))
            bytes.append(*byte);
        else
            bytes.append("&#" + QByteArray::number(static_cast<uint>(character)) + ';');
    }
    return bytes;
}
