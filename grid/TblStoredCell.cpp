#include "TblStoredCell.h"

#include "TblCell.h"

#include <algorithm>
#include <cstring>

namespace {

// A long text block: its length in the first two code units, then the text.
constexpr size_t LengthUnits = 2;

bool IsLatin1(const QString& text)
{
    return std::all_of(text.begin(), text.end(), [](QChar ch) { return ch.unicode() <= 0xFF; });
}

} // namespace

CTblStoredCell::~CTblStoredCell()
{
    Clear();
}

template <typename T> T* CTblStoredCell::Pointer() const
{
    T* pointer = nullptr;
    std::memcpy(&pointer, m_bytes.data(), sizeof pointer);
    return pointer;
}

void CTblStoredCell::SetPointer(const void* pointer, uint8_t kind)
{
    std::memcpy(m_bytes.data(), &pointer, sizeof pointer);
    m_bytes[InlineChars] = kind;
}

void CTblStoredCell::Clear()
{
    if (Kind() == Full)
        delete Pointer<CTblCell>();
    else if (Kind() == LongText)
        delete[] Pointer<char16_t>();
    m_bytes.fill(0);
}

void CTblStoredCell::Assign(const CTblCell& cell)
{
    constexpr uint32_t textOnly = CTblCell::PropText | CTblCell::PropDataType;
    if (cell.GetMask() == textOnly && cell.ValueType() == CTblCell::TypeText) {
        const QString text = *cell.TextValue();
        Clear();
        StoreText(text);
        return;
    }
    if (Kind() == Full) {
        cell.ReplaceInto(*Pointer<CTblCell>());
        return;
    }
    auto record = std::make_unique<CTblCell>(cell);
    Clear();
    SetPointer(record.release(), Full);
}

void CTblStoredCell::StoreText(const QString& text)
{
    const auto length = static_cast<size_t>(text.size());
    if (length <= InlineChars && IsLatin1(text)) {
        std::transform(text.begin(), text.end(), m_bytes.begin(),
                       [](QChar ch) { return static_cast<uint8_t>(ch.unicode()); });
        m_bytes[InlineChars] = static_cast<uint8_t>(length + 1);
        return;
    }
    auto* block = new char16_t[LengthUnits + length];
    const auto stored = static_cast<uint32_t>(length);
    std::memcpy(block, &stored, sizeof stored);
    std::copy(text.utf16(), text.utf16() + length, block + LengthUnits);
    SetPointer(block, LongText);
}

QStringView CTblStoredCell::LongTextView() const
{
    const char16_t* block = Pointer<char16_t>();
    uint32_t length = 0;
    std::memcpy(&length, block, sizeof length);
    return QStringView(block + LengthUnits, static_cast<qsizetype>(length));
}

void CTblStoredCell::CopyInto(CTblCell& target) const
{
    if (Kind() == Full)
        Pointer<CTblCell>()->CopyInto(target);
    else if (Kind() == LongText)
        target.AssignText(LongTextView());
    else if (IsInlineText())
        target.AssignText(
            QLatin1StringView(reinterpret_cast<const char*>(m_bytes.data()), Kind() - 1));
}

std::unique_ptr<CTblCell> CTblStoredCell::ToCell() const
{
    if (IsEmpty())
        return nullptr;
    auto cell = std::make_unique<CTblCell>();
    CopyInto(*cell);
    return cell;
}

int CTblStoredCell::TextLength() const
{
    if (Kind() == Full)
        return Pointer<CTblCell>()->TextLength();
    if (Kind() == LongText)
        return static_cast<int>(LongTextView().size());
    return IsInlineText() ? Kind() - 1 : 0;
}
