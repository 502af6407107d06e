#include "MemoryFormat.h"

// QString::asprintf formats numbers in the C locale, whatever locale the user runs.

QString CMemoryFormat::Kilobytes(uint64_t bytes)
{
    return QString::asprintf("%5.1f Ko", static_cast<double>(bytes) * 0.0009765625);
}

QString CMemoryFormat::FreePercent(const SynthStatus& status)
{
    // A card without memory has no free share; showing 0 avoids dividing by zero.
    const double percent =
        status.totalMemory == 0 ? 0.0 : (100.0 / status.totalMemory) * status.freeMemory;
    return QString::asprintf("%3.1f %%", percent);
}
