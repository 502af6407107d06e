#include "BankFit.h"

#include "BankFileCheck.h"
#include "MemoryFormat.h"
#include "NativePath.h"

std::optional<uint64_t> CBankFit::CardSize(const QString& path)
{
    CBankFileCheck check;
    if (check.Check(CNativePath::Encode(path).constData()) != SYNTH_OK)
        return std::nullopt;
    return check.Size();
}

QString CBankFit::Describe(const QString& path, const SynthStatus& status)
{
    const std::optional<uint64_t> size = CardSize(path);
    if (!size)
        return QString();
    const QString figures = QStringLiteral("Size in the card: %1. Free memory: %2.")
                                .arg(CMemoryFormat::Kilobytes(*size).trimmed(),
                                     CMemoryFormat::Kilobytes(status.freeMemory).trimmed());
    if (*size <= status.freeMemory)
        return figures;
    return figures + QStringLiteral(" It will not fit: unload a bank first.");
}
