// What the memory source keeps in one place: nothing, a cell that holds only a text, or a
// full cell record. Most stored cells are a text alone, so those are kept in compact form:
// a text of up to 15 bytes in Latin-1 or, failing that, in UTF-8 inside the object
// itself; a longer text in one block, in whichever of Latin-1, UTF-8 and UTF-16 is the
// smallest. The full record is made only for a cell with any other property.
#pragma once

#include <QByteArrayView>
#include <QString>

#include <array>
#include <cstdint>
#include <memory>

class CTblCell;

class CTblStoredCell
{
public:
    CTblStoredCell() = default;
    ~CTblStoredCell();
    CTblStoredCell(const CTblStoredCell&) = delete;
    CTblStoredCell& operator=(const CTblStoredCell&) = delete;

    bool IsEmpty() const { return Kind() == Empty; }
    // Keeps exactly the cell's mask and properties.
    void Assign(const CTblCell& cell);
    void Clear();
    // As CTblCell::CopyInto: the target keeps every property not stored here.
    void CopyInto(CTblCell& target) const;
    // A full record of what is stored; none when nothing is.
    std::unique_ptr<CTblCell> ToCell() const;
    int TextLength() const;

private:
    // The last byte says what the other fifteen hold: nothing, a pointer to the full
    // record or to a long text's block, or a text kept in place: 1 + its length in
    // Latin-1, or InlineUtf8 + its length in UTF-8 bytes.
    static constexpr uint8_t Empty = 0;
    static constexpr uint8_t Full = 0xFF;
    static constexpr uint8_t LongUtf16 = 0xFE;
    static constexpr uint8_t LongUtf8 = 0xFD;
    static constexpr uint8_t LongLatin1 = 0xFC;
    static constexpr int InlineChars = 15;
    static constexpr uint8_t InlineUtf8 = InlineChars + 2;

    uint8_t Kind() const { return m_bytes[InlineChars]; }
    bool IsInlineLatin1() const { return Kind() != Empty && Kind() < InlineUtf8; }
    bool IsInlineUtf8() const { return Kind() >= InlineUtf8 && Kind() < LongLatin1; }
    bool IsLongText() const { return Kind() >= LongLatin1 && Kind() < Full; }
    template <typename T> T* Pointer() const;
    void SetPointer(const void* pointer, uint8_t kind);
    void StoreText(const QString& text);
    void StoreBlock(const void* data, uint32_t size, uint8_t kind);
    // The bytes of a long text's block after its size.
    QByteArrayView BlockBytes() const;
    // The text, whichever form it is kept in.
    QString Text() const;

    alignas(8) std::array<uint8_t, InlineChars + 1> m_bytes{};
};
