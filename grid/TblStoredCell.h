// What the memory source keeps in one place: nothing, a cell that holds only a text, or a
// full cell record. Most stored cells are a short text alone, so those are kept in
// compact form: up to 15 Latin-1 characters inside the object itself, a longer text in
// one block of UTF-16 code units. The full record is made only for a cell with any other
// property.
#pragma once

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
    // record or to a long text, or 1 + the length of a Latin-1 text kept in place.
    static constexpr uint8_t Empty = 0;
    static constexpr uint8_t Full = 0xFF;
    static constexpr uint8_t LongText = 0xFE;
    static constexpr int InlineChars = 15;

    uint8_t Kind() const { return m_bytes[InlineChars]; }
    bool IsInlineText() const { return Kind() != Empty && Kind() < LongText; }
    template <typename T> T* Pointer() const;
    void SetPointer(const void* pointer, uint8_t kind);
    void StoreText(const QString& text);
    QStringView LongTextView() const;

    alignas(8) std::array<uint8_t, InlineChars + 1> m_bytes{};
};
