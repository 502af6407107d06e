// Where a playing sequencer device's samples go: a thread of its own that asks a render
// function for them block by block, from the output's opening until its destruction.
#pragma once

#include <fluidsynth.h>

#include <functional>
#include <memory>

class CSequencerAudioOutput
{
public:
    // Opens an output on the sample rate and channels of settings that calls
    // render(data, frames, nfx, fx, nout, out) with zeroed buffers; nullptr when none opens.
    using Opener = std::function<std::unique_ptr<CSequencerAudioOutput>(
        fluid_settings_t* settings, fluid_audio_func_t render, void* data)>;

    // Returns once the render function has run for the last time.
    virtual ~CSequencerAudioOutput();
};
