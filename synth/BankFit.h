// Whether a bank file will fit in the card, told before it is loaded: what it would take
// of the card's sample memory (as the cards count it: a SoundFont's sample data, any other
// bank file's whole size) beside what the card has free.
#pragma once

#include "SynthStatus.h"

#include <QString>

#include <cstdint>
#include <optional>

class CBankFit
{
public:
    // The sample memory the file would take; nothing for a file that is no bank file.
    static std::optional<uint64_t> CardSize(const QString& path);
    // The line the Load dialog shows for the file, with the card's last status: its size
    // and the free memory, and a warning when it is larger; "" for no bank file.
    static QString Describe(const QString& path, const SynthStatus& status);
};
