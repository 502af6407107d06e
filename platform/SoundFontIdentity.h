// What tells a SoundFont file apart from the same file changed: path, size and time.
#pragma once

#include <QString>

#include <vector>

struct SoundFontIdentity
{
    QString path;
    long long size = -1;
    long long seconds = 0;
    long long nanoseconds = 0;

    bool operator==(const SoundFontIdentity&) const = default;
};
using SoundFontIdentities = std::vector<SoundFontIdentity>;
