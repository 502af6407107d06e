// The desktop's audio output through FluidSynth's audio drivers.
#pragma once

#include "FluidSynthApi.h"
#include "SequencerAudioOutput.h"

class CSequencerAudioDriver : public CSequencerAudioOutput
{
public:
    // Tries the sound server first, then plain ALSA (FluidSynth alone would try ALSA only,
    // which fails while a sound server holds the card). nullptr when neither opens.
    static std::unique_ptr<CSequencerAudioOutput> Open(fluid_settings_t* settings,
                                                       fluid_audio_func_t render, void* data);

    CSequencerAudioDriver(const CFluidSynthApi& api, fluid_audio_driver_t* driver)
        : m_api(api), m_driver(driver)
    {
    }
    ~CSequencerAudioDriver() override;
    CSequencerAudioDriver(const CSequencerAudioDriver&) = delete;
    CSequencerAudioDriver& operator=(const CSequencerAudioDriver&) = delete;

private:
    const CFluidSynthApi& m_api;
    fluid_audio_driver_t* m_driver;
};
