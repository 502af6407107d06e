#include "SequencerAudioDriver.h"

namespace {
// PipeWire desktops serve PulseAudio clients too.
constexpr const char* kDrivers[] = {"pulseaudio", "alsa"};
} // namespace

std::unique_ptr<CSequencerAudioOutput>
CSequencerAudioDriver::Open(fluid_settings_t* settings, fluid_audio_func_t render, void* data)
{
    const CFluidSynthApi* api = CFluidSynthApi::Get();
    if (!api)
        return nullptr;
    for (const char* name : kDrivers) {
        api->fluid_settings_setstr(settings, "audio.driver", name);
        if (fluid_audio_driver_t* driver = api->new_fluid_audio_driver2(settings, render, data))
            return std::make_unique<CSequencerAudioDriver>(*api, driver);
    }
    return nullptr;
}

CSequencerAudioDriver::~CSequencerAudioDriver()
{
    // Stops the driver's thread before returning.
    m_api.delete_fluid_audio_driver(m_driver);
}
