#include "TblStoredCell.h"

#include "TblCell.h"

#include <algorithm>
#include <cstring>

namespace {

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
    else if (IsLongText())
        delete[] Pointer<char>();
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
    if (IsLatin1(text)) {
        const QByteArray latin1 = text.toLatin1();
        if (length > InlineChars) {
            StoreBlock(latin1.constData(), static_cast<uint32_t>(length), LongLatin1);
            return;
        }
        std::copy(latin1.begin(), latin1.end(), m_bytes.begin());
        m_bytes[InlineChars] = static_cast<uint8_t>(length + 1);
        return;
    }
    // UTF-8 cannot hold a lone surrogate (a text may carry one for a byte that is not
    // UTF-8): such a text is kept as it is, in UTF-16.
    if (!text.isValidUtf16()) {
        StoreBlock(text.utf16(), static_cast<uint32_t>(2 * length), LongUtf16);
        return;
    }
    const QByteArray utf8 = text.toUtf8();
    const auto bytes = static_cast<size_t>(utf8.size());
    if (bytes <= InlineChars) {
        std::copy(utf8.begin(), utf8.end(), m_bytes.begin());
        m_bytes[InlineChars] = static_cast<uint8_t>(InlineUtf8 + bytes);
    } else if (bytes <= 2 * length) {
        StoreBlock(utf8.constData(), static_cast<uint32_t>(bytes), LongUtf8);
    } else {
        StoreBlock(text.utf16(), static_cast<uint32_t>(2 * length), LongUtf16);
    }
}

// A long text's block: its size in bytes, then the bytes.
void CTblStoredCell::StoreBlock(const void* data, uint32_t size, uint8_t kind)
{
    auto* block = new char[sizeof size + size];
    std::memcpy(block, &size, sizeof size);
    std::memcpy(block + sizeof size, data, size);
    SetPointer(block, kind);
}

QByteArrayView CTblStoredCell::BlockBytes() const
{
    const char* block = Pointer<char>();
    uint32_t size = 0;
    std::memcpy(&size, block, sizeof size);
    return QByteArrayView(block + sizeof size, static_cast<qsizetype>(size));
}

QString CTblStoredCell::Text() const
{
    const auto* inlineBytes = reinterpret_cast<const char*>(m_bytes.data());
    switch (Kind()) {
    case LongUtf16: {
        const QByteArrayView bytes = BlockBytes();
        return QStringView(reinterpret_cast<const char16_t*>(bytes.data()), bytes.size() / 2)
            .toString();
    }
    case LongUtf8:
        return QString::fromUtf8(BlockBytes());
    case LongLatin1:
        return QString::fromLatin1(BlockBytes());
    default:
        if (IsInlineUtf8())
            return QString::fromUtf8(inlineBytes, Kind() - InlineUtf8);
        return IsInlineLatin1() ? QString::fromLatin1(inlineBytes, Kind() - 1) : QString();
    }
}

void CTblStoredCell::CopyInto(CTblCell& target) const
{
    if (Kind() == Full)
        Pointer<CTblCell>()->CopyInto(target);
    else if (IsInlineLatin1())
        target.AssignText(
            QLatin1StringView(reinterpret_cast<const char*>(m_bytes.data()), Kind() - 1));
    else if (!IsEmpty())
        target.AssignText(Text());
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
    if (Kind() == LongLatin1)
        return static_cast<int>(BlockBytes().size());
    if (Kind() == LongUtf16)
        return static_cast<int>(BlockBytes().size() / 2);
    return IsInlineLatin1() ? Kind() - 1 : static_cast<int>(Text().size());
}
