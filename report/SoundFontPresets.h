// The presets of a SoundFont file as FluidSynth reads them, with dynamic sample loading so
// that only the preset headers are read, never the samples.
#pragma once

#include <QString>

#include <vector>

struct SoundFontPreset
{
    QString name;
    int bank = 0;
    int program = 0;
};

class CSoundFontPresets
{
public:
    // The presets of the SoundFont at path, in FluidSynth's order (by bank, then program).
    // False when it is not a regular file, FluidSynth cannot be loaded, or it refuses the
    // file.
    static bool Read(const QString& path, std::vector<SoundFontPreset>& presets);
};
