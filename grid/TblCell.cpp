#include "TblCell.h"

#include <QGuiApplication>
#include <QPalette>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstring>
#include <new>
#include <utility>

struct CTblCell::Extras
{
    CTblCellFormat* pFormat = nullptr;
    const CTblCell* pStyle = nullptr;
    QString strNote;
    QString strLabel;
    int32_t nReadOnly = 0;
    int32_t nValue = 0;
    QColor textColor;
    QColor backColor;
    QColor hiTextColor;
    QColor hiBackColor;
    const QPen* pPen = nullptr;
    const QFont* pFont = nullptr;
    const QPixmap* pBitmap = nullptr;
    std::unique_ptr<uint8_t[]> pData;
    uint32_t nDataLength = 0;
    int16_t nJoinColumns = 0;
    int32_t nJoinRows = 0;
    int32_t nJoinPlace = 0;
};

namespace {

// The bytes of a text without leading white space and a leading plus sign, as the C
// library's number readers skip them.
const char* NumberStart(const QByteArray& bytes)
{
    const char* p = bytes.constData();
    while (*p != '\0' && std::isspace(static_cast<unsigned char>(*p)))
        ++p;
    if (*p == '+' && p[1] != '-')
        ++p;
    return p;
}

// The leading decimal number of a text, read in the C locale whatever the user's
// locale is; 0.0 when the text does not start with one.
double ReadDouble(const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    const char* start = NumberStart(bytes);
    double value = 0.0;
    const auto result = std::from_chars(start, bytes.constData() + bytes.size(), value);
    return result.ec == std::errc() ? value : 0.0;
}

// Whether the leading integer of a text is other than 0 (an out-of-range number is).
bool LeadingIntegerIsNonZero(const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    const char* start = NumberStart(bytes);
    long value = 0;
    const auto result = std::from_chars(start, bytes.constData() + bytes.size(), value);
    if (result.ec == std::errc::result_out_of_range)
        return true;
    return result.ec == std::errc() && value != 0;
}

int Sign(double difference)
{
    return difference < 0 ? -1 : (difference > 0 ? 1 : 0);
}

QColor PaletteColor(QPalette::ColorRole role)
{
    return QGuiApplication::palette().color(QPalette::Active, role);
}

} // namespace

CTblCell::CTblCell() = default;
CTblCell::CTblCell(CTblCell&&) noexcept = default;
CTblCell& CTblCell::operator=(CTblCell&&) noexcept = default;
CTblCell::~CTblCell() = default;

CTblCell::CTblCell(const CTblCell& other)
{
    other.ReplaceInto(*this);
}

CTblCell& CTblCell::operator=(const CTblCell& other)
{
    other.ReplaceInto(*this);
    return *this;
}

int CTblCell::Reset()
{
    m_nMask = 0;
    m_strText.clear();
    m_pExtras.reset();
    return 0;
}

int CTblCell::AssignText(const QString& text)
{
    m_strText = text;
    m_nDataType = TypeText;
    m_nMask |= PropText | PropDataType;
    return 0;
}

int CTblCell::AssignText(QStringView text)
{
    m_strText.resize(text.size());
    std::copy(text.begin(), text.end(), m_strText.data());
    m_nDataType = TypeText;
    m_nMask |= PropText | PropDataType;
    return 0;
}

int CTblCell::AssignText(QLatin1StringView text)
{
    m_strText.resize(text.size());
    std::transform(text.begin(), text.end(), m_strText.data(),
                   [](char ch) { return QChar(QLatin1Char(ch)); });
    m_nDataType = TypeText;
    m_nMask |= PropText | PropDataType;
    return 0;
}

const QString* CTblCell::TextValue() const
{
    return Has(PropText) ? &m_strText : nullptr;
}

int CTblCell::TextLength() const
{
    return Has(PropText) ? static_cast<int>(m_strText.size()) : 0;
}

int CTblCell::LabelInto(QString& label) const
{
    if (!Has(PropLabel))
        return 1;
    label = m_pExtras->strLabel;
    return 0;
}

bool CTblCell::AsBool() const
{
    if (TextLength() == 0)
        return false;
    if (m_strText.front() == u'T' || m_strText.front() == u't')
        return true;
    return LeadingIntegerIsNonZero(m_strText);
}

int CTblCell::AssignNumber(double value)
{
    // A negative count of decimals would make a malformed format; it means none.
    m_strText = Has(PropDecimals) ? QString::asprintf("%1.*f", std::max<int>(m_nDecimals, 0), value)
                                  : QString::asprintf("%f", value);
    m_nDataType = TypeNumber;
    m_nMask |= PropText | PropDataType;
    return 0;
}

double CTblCell::AsNumber() const
{
    return Has(PropText) ? ReadDouble(m_strText) : 0.0;
}

int16_t CTblCell::ValueType() const
{
    return Has(PropDataType) ? m_nDataType : int16_t{TypeText};
}

QColor CTblCell::GetTextColor() const
{
    return Has(PropTextColor) ? m_pExtras->textColor : PaletteColor(QPalette::Text);
}

QColor CTblCell::GetBackColor() const
{
    return Has(PropBackColor) ? m_pExtras->backColor : PaletteColor(QPalette::Base);
}

QColor CTblCell::GetHiTextColor() const
{
    return Has(PropHiTextColor) ? m_pExtras->hiTextColor : PaletteColor(QPalette::HighlightedText);
}

QColor CTblCell::GetHiBackColor() const
{
    return Has(PropHiBackColor) ? m_pExtras->hiBackColor : PaletteColor(QPalette::Highlight);
}

const QPen* CTblCell::GetPen() const
{
    return Has(PropPen) ? m_pExtras->pPen : nullptr;
}

const QFont* CTblCell::GetFont() const
{
    return Has(PropFont) ? m_pExtras->pFont : nullptr;
}

const QPixmap* CTblCell::GetBitmap() const
{
    return Has(PropBitmap) ? m_pExtras->pBitmap : nullptr;
}

int CTblCell::GetReadOnly() const
{
    return Has(PropReadOnly) ? m_pExtras->nReadOnly : 0;
}

CTblCellFormat* CTblCell::GetFormat() const
{
    return Has(PropFormat) ? m_pExtras->pFormat : nullptr;
}

const CTblCell* CTblCell::GetStyle() const
{
    return Has(PropStyle) ? m_pExtras->pStyle : nullptr;
}

QString CTblCell::GetNote() const
{
    return Has(PropNote) ? m_pExtras->strNote : QString();
}

int32_t CTblCell::GetValue() const
{
    return Has(PropValue) ? m_pExtras->nValue : 0;
}

const uint8_t* CTblCell::GetExtraData() const
{
    return Has(PropExtra) ? m_pExtras->pData.get() : nullptr;
}

uint32_t CTblCell::GetExtraLength() const
{
    return Has(PropExtra) ? m_pExtras->nDataLength : 0;
}

CTblCell::Extras& CTblCell::Extra()
{
    if (!m_pExtras)
        m_pExtras = std::make_unique<Extras>();
    return *m_pExtras;
}

int CTblCell::SetTextColor(const QColor& color)
{
    Extra().textColor = color;
    m_nMask |= PropTextColor;
    return 0;
}

int CTblCell::SetBackColor(const QColor& color)
{
    Extra().backColor = color;
    m_nMask |= PropBackColor;
    return 0;
}

int CTblCell::SetHiTextColor(const QColor& color)
{
    Extra().hiTextColor = color;
    m_nMask |= PropHiTextColor;
    return 0;
}

int CTblCell::SetHiBackColor(const QColor& color)
{
    Extra().hiBackColor = color;
    m_nMask |= PropHiBackColor;
    return 0;
}

int CTblCell::SetBorder(uint16_t border)
{
    m_nBorder = border;
    m_nMask |= PropBorder;
    return 0;
}

int CTblCell::SetPen(const QPen* pen)
{
    Extra().pPen = pen;
    m_nMask |= PropPen;
    return 0;
}

int CTblCell::SetFont(const QFont* font)
{
    Extra().pFont = font;
    m_nMask |= PropFont;
    return 0;
}

int CTblCell::SetBitmap(const QPixmap* bitmap)
{
    Extra().pBitmap = bitmap;
    m_nMask |= PropBitmap;
    return 0;
}

int CTblCell::SetAlignment(uint16_t alignment)
{
    m_nAlignment = alignment;
    m_nMask |= PropAlignment;
    return 0;
}

int CTblCell::SetCellType(int index)
{
    m_nCellType = index;
    m_nMask |= PropCellType;
    return 0;
}

int CTblCell::SetTypeParam(int param)
{
    m_nTypeParam = param;
    m_nMask |= PropTypeParam;
    return 0;
}

int CTblCell::SetReadOnly(int readOnly)
{
    Extra().nReadOnly = readOnly;
    m_nMask |= PropReadOnly;
    return 0;
}

int CTblCell::SetFormat(CTblCellFormat* format)
{
    Extra().pFormat = format;
    m_nMask |= PropFormat;
    return 0;
}

int CTblCell::SetStyle(const CTblCell* style)
{
    Extra().pStyle = style;
    m_nMask |= PropStyle;
    return 0;
}

int CTblCell::SetNote(const QString& note)
{
    Extra().strNote = note;
    m_nMask |= PropNote;
    return 0;
}

int CTblCell::SetLabel(const QString& label)
{
    Extra().strLabel = label;
    m_nMask |= PropLabel;
    return 0;
}

int CTblCell::SetDataType(int16_t type)
{
    m_nDataType = type;
    m_nMask |= PropDataType;
    return 0;
}

int CTblCell::SetValue(int32_t value)
{
    Extra().nValue = value;
    m_nMask |= PropValue;
    return 0;
}

int CTblCell::SetDecimals(int16_t decimals)
{
    m_nDecimals = decimals;
    m_nMask |= PropDecimals;
    return 0;
}

int CTblCell::SetExtraData(const void* data, uint32_t length)
{
    Extras& extras = Extra();
    extras.pData.reset(new (std::nothrow) uint8_t[length]);
    if (!extras.pData) {
        extras.nDataLength = 0;
        m_nMask &= ~static_cast<uint32_t>(PropExtra);
        return 1;
    }
    if (length > 0)
        std::memcpy(extras.pData.get(), data, length);
    extras.nDataLength = length;
    m_nMask |= PropExtra;
    return 0;
}

int CTblCell::SetJoin(int16_t columns, int32_t rows, int32_t place)
{
    Extras& extras = Extra();
    extras.nJoinColumns = columns;
    extras.nJoinRows = rows;
    extras.nJoinPlace = place;
    m_nMask |= PropJoin;
    return 0;
}

int CTblCell::JoinValues(int16_t& columns, int32_t& rows, int32_t& place) const
{
    if (!Has(PropJoin))
        return 1;
    columns = m_pExtras->nJoinColumns;
    rows = m_pExtras->nJoinRows;
    place = m_pExtras->nJoinPlace;
    return 0;
}

int CTblCell::ReplaceMask(uint32_t mask)
{
    m_nMask = mask;
    return 0;
}

int CTblCell::CopyInto(CTblCell& target) const
{
    if (&target == this)
        return 0;
    target.m_nMask |= m_nMask;
    CopyPropertiesInto(target);
    return 0;
}

int CTblCell::ReplaceInto(CTblCell& target) const
{
    if (&target == this)
        return 0;
    target.m_nMask = m_nMask;
    // A block the new mask no longer covers would only hold memory.
    if (!Has(PropExtra) && target.m_pExtras)
        target.m_pExtras->pData.reset();
    CopyPropertiesInto(target);
    return 0;
}

void CTblCell::CopyPropertiesInto(CTblCell& target) const
{
    if (Has(PropText))
        target.m_strText = m_strText;
    if (Has(PropDataType))
        target.m_nDataType = m_nDataType;
    if (Has(PropAlignment))
        target.m_nAlignment = m_nAlignment;
    if (Has(PropBorder))
        target.m_nBorder = m_nBorder;
    if (Has(PropDecimals))
        target.m_nDecimals = m_nDecimals;
    if (Has(PropCellType))
        target.m_nCellType = m_nCellType;
    if (Has(PropTypeParam))
        target.m_nTypeParam = m_nTypeParam;
    if (m_pExtras)
        CopyExtrasInto(target);
}

void CTblCell::CopyExtrasInto(CTblCell& target) const
{
    constexpr uint32_t extraBits = PropNote | PropLabel | PropValue | PropTextColor |
                                   PropBackColor | PropHiTextColor | PropHiBackColor | PropPen |
                                   PropFont | PropBitmap | PropExtra | PropJoin | PropFormat |
                                   PropStyle | PropReadOnly;
    if (!HasAnyProperty(extraBits))
        return;
    const Extras& from = *m_pExtras;
    Extras& to = target.Extra();
    if (Has(PropNote))
        to.strNote = from.strNote;
    if (Has(PropLabel))
        to.strLabel = from.strLabel;
    if (Has(PropValue))
        to.nValue = from.nValue;
    if (Has(PropTextColor))
        to.textColor = from.textColor;
    if (Has(PropBackColor))
        to.backColor = from.backColor;
    if (Has(PropHiTextColor))
        to.hiTextColor = from.hiTextColor;
    if (Has(PropHiBackColor))
        to.hiBackColor = from.hiBackColor;
    if (Has(PropPen))
        to.pPen = from.pPen;
    if (Has(PropFont))
        to.pFont = from.pFont;
    if (Has(PropBitmap))
        to.pBitmap = from.pBitmap;
    if (Has(PropFormat))
        to.pFormat = from.pFormat;
    if (Has(PropStyle))
        to.pStyle = from.pStyle;
    if (Has(PropReadOnly))
        to.nReadOnly = from.nReadOnly;
    if (Has(PropJoin)) {
        to.nJoinColumns = from.nJoinColumns;
        to.nJoinRows = from.nJoinRows;
        to.nJoinPlace = from.nJoinPlace;
    }
    if (Has(PropExtra))
        target.SetExtraData(from.pData.get(), from.nDataLength);
}

int CTblCell::Compare(const CTblCell* a, const CTblCell* b, int flags)
{
    if (flags & CompareDescending)
        std::swap(a, b);
    if (!a || !b)
        return (a ? 1 : 0) - (b ? 1 : 0);
    const QString* textA = a->TextValue();
    const QString* textB = b->TextValue();
    if (!textA || !textB)
        return (textA ? 1 : 0) - (textB ? 1 : 0);
    switch (a->ValueType()) {
    case 2:
    case 3:
    case 5:
        return Sign(ReadDouble(*textA) - ReadDouble(*textB));
    default:
        return Sign(QString::compare(*textA, *textB, Qt::CaseSensitive));
    }
}
