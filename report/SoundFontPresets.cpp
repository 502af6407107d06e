#include "SoundFontPresets.h"

#include "FluidSynthApi.h"
#include "NativePath.h"
#include "Windows1252.h"

#include <QFile>
#include <QFileInfo>

#include <memory>

bool CSoundFontPresets::Read(const QString& path, std::vector<SoundFontPreset>& presets)
{
    presets.clear();
    // Only a regular file: FluidSynth would wait for ever on a pipe.
    const CFluidSynthApi* api = QFileInfo(path).isFile() ? CFluidSynthApi::Get() : nullptr;
    if (!api)
        return false;
    const std::unique_ptr<fluid_settings_t, decltype(api->delete_fluid_settings)> settings(
        api->new_fluid_settings(), api->delete_fluid_settings);
    // The synthesizer lends its SoundFont loader, which with dynamic sample loading reads a
    // sample only when a preset that plays it is chosen; none is chosen here.
    api->fluid_settings_setint(settings.get(), "synth.dynamic-sample-loading", 1);
    const std::unique_ptr<fluid_synth_t, decltype(api->delete_fluid_synth)> synth(
        api->new_fluid_synth(settings.get()), api->delete_fluid_synth);
    const int id = api->fluid_synth_sfload(synth.get(), CNativePath::Encode(path).constData(), 0);
    fluid_sfont_t* font =
        id == FLUID_FAILED ? nullptr : api->fluid_synth_get_sfont_by_id(synth.get(), id);
    if (!font)
        return false;
    api->fluid_sfont_iteration_start(font);
    while (fluid_preset_t* preset = api->fluid_sfont_iteration_next(font)) {
        // Preset names are bytes like every other name a bank file holds.
        presets.push_back({CWindows1252::Decode(api->fluid_preset_get_name(preset)),
                           api->fluid_preset_get_banknum(preset),
                           api->fluid_preset_get_num(preset)});
    }
    return true;
}
