// Memory figures as the program shows them: kilobytes of 1024 bytes with the unit
// "Ko", and the free share in percent, with a dot as decimal separator in every locale.
#pragma once

#include "SynthStatus.h"

#include <QString>

#include <cstdint>

class CMemoryFormat
{
public:
    // "%5.1f Ko" of bytes / 1024.
    static QString Kilobytes(uint64_t bytes);
    // "%3.1f %" of the free memory's share of the total; "0.0 %" for a card without memory.
    static QString FreePercent(const SynthStatus& status);
};
