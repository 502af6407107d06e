// The grid's cell record: a set of optional properties, each present only when its bit
// is set in the property mask, so that "not set" stays distinct from every value.
#pragma once

#include <QColor>
#include <QString>

#include <cstdint>
#include <memory>

class CTblCellFormat;
class QFont;
class QPen;
class QPixmap;

class CTblCell
{
public:
    // Property mask bits.
    enum Property : uint32_t
    {
        PropText = 0x1,
        PropNote = 0x2,
        PropLabel = 0x4,
        PropDataType = 0x8,
        PropValue = 0x10,
        PropCellType = 0x20,
        PropTypeParam = 0x40,
        PropTextColor = 0x80,
        PropBackColor = 0x100,
        PropHiTextColor = 0x200,
        PropHiBackColor = 0x400,
        PropBorder = 0x800,
        PropPen = 0x1000,
        PropFont = 0x2000,
        PropBitmap = 0x4000,
        PropAlignment = 0x8000,
        PropExtra = 0x10000,
        PropJoin = 0x20000,
        PropFormat = 0x200000,
        PropStyle = 0x800000,
        PropReadOnly = 0x1000000,
        PropDecimals = 0x2000000,
    };

    enum DataType : int16_t
    {
        TypeText = 1,
        TypeNumber = 2
    };

    // Alignment bits: left and top when none is set.
    enum Alignment : uint16_t
    {
        AlignRight = 0x2,
        AlignHCenter = 0x4,
        AlignBottom = 0x10,
        AlignVCenter = 0x20,
    };

    // Border style bits: one-pixel lines; shifted left by 4 they are two pixels wide, by 8
    // three pixels wide. The 3-D frames replace the sheet's grid lines.
    enum Border : uint16_t
    {
        BorderLeft = 0x1,
        BorderTop = 0x2,
        BorderRight = 0x4,
        BorderBottom = 0x8,
        BorderSunken = 0x1000,
        BorderRaised = 0x2000,
    };

    // CompareCells flag: sort in descending order.
    static constexpr int CompareDescending = 0x2;

    CTblCell();
    CTblCell(const CTblCell& other);
    CTblCell& operator=(const CTblCell& other);
    CTblCell(CTblCell&&) noexcept;
    CTblCell& operator=(CTblCell&&) noexcept;
    ~CTblCell();

    int Reset();

    int AssignText(const QString& text);
    // The same from characters kept elsewhere, copied into the cell's own text buffer
    // where it has room: reading stored texts into one cell allocates nothing.
    int AssignText(QStringView text);
    int AssignText(QLatin1StringView text);
    // The text, or nullptr when it is not set.
    const QString* TextValue() const;
    int TextLength() const;
    int LabelInto(QString& label) const;
    bool AsBool() const;
    // Formats independently of the user's locale, with the number of decimals when set.
    int AssignNumber(double value);
    double AsNumber() const;
    int16_t ValueType() const;

    QColor GetTextColor() const;
    QColor GetBackColor() const;
    QColor GetHiTextColor() const;
    QColor GetHiBackColor() const;
    uint16_t GetBorder() const { return Has(PropBorder) ? m_nBorder : 0; }
    const QPen* GetPen() const;
    const QFont* GetFont() const;
    const QPixmap* GetBitmap() const;
    uint16_t GetAlignment() const { return Has(PropAlignment) ? m_nAlignment : 0; }
    int GetCellType() const { return Has(PropCellType) ? m_nCellType : 0; }
    int GetTypeParam() const { return Has(PropTypeParam) ? m_nTypeParam : 0; }
    int GetReadOnly() const;
    CTblCellFormat* GetFormat() const;
    const CTblCell* GetStyle() const;
    QString GetNote() const;
    int32_t GetValue() const;
    int16_t GetDecimals() const { return Has(PropDecimals) ? m_nDecimals : 0; }
    const uint8_t* GetExtraData() const;
    uint32_t GetExtraLength() const;

    int SetTextColor(const QColor& color);
    int SetBackColor(const QColor& color);
    int SetHiTextColor(const QColor& color);
    int SetHiBackColor(const QColor& color);
    int SetBorder(uint16_t border);
    int SetPen(const QPen* pen);
    int SetFont(const QFont* font);
    int SetBitmap(const QPixmap* bitmap);
    int SetAlignment(uint16_t alignment);
    int SetCellType(int index);
    int SetTypeParam(int param);
    int SetReadOnly(int readOnly);
    int SetFormat(CTblCellFormat* format);
    int SetStyle(const CTblCell* style);
    int SetNote(const QString& note);
    int SetLabel(const QString& label);
    int SetDataType(int16_t type);
    int SetValue(int32_t value);
    int SetDecimals(int16_t decimals);
    // Copies the block; 1 and no extra data when the copy cannot be allocated.
    int SetExtraData(const void* data, uint32_t length);

    // A joined block of columns x rows cells: every cell of it carries the block's
    // column count, its row count and its own place in it, counted row by row from the
    // block's first (top-left) cell, which has place 0.
    int SetJoin(int16_t columns, int32_t rows, int32_t place);
    int JoinValues(int16_t& columns, int32_t& rows, int32_t& place) const;

    bool HasAnyProperty(uint32_t bits) const { return (m_nMask & bits) != 0; }
    uint32_t GetMask() const { return m_nMask; }
    int ReplaceMask(uint32_t mask);

    // ORs this cell's mask into the target's and copies every property set here.
    int CopyInto(CTblCell& target) const;
    // Gives the target exactly this cell's mask and properties.
    int ReplaceInto(CTblCell& target) const;

    // The grid's default cell order: missing cells and cells without text first, then
    // numbers (data types 2, 3, 5) by value and anything else by its text's code units.
    static int Compare(const CTblCell* a, const CTblCell* b, int flags);

private:
    struct Extras;

    bool Has(uint32_t bit) const { return (m_nMask & bit) != 0; }
    Extras& Extra();
    void CopyPropertiesInto(CTblCell& target) const;
    void CopyExtrasInto(CTblCell& target) const;

    // The properties nearly every stored cell has live here; the rest in m_pExtras,
    // allocated when the first of them is set, so a stored text cell stays small.
    uint32_t m_nMask = 0;
    int16_t m_nDataType = TypeText;
    uint16_t m_nAlignment = 0;
    uint16_t m_nBorder = 0;
    int16_t m_nDecimals = 0;
    int32_t m_nCellType = 0;
    int32_t m_nTypeParam = 0;
    QString m_strText;
    std::unique_ptr<Extras> m_pExtras;
};
