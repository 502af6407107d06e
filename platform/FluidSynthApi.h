// FluidSynth's functions, taken from the shared library the first time they are needed: a
// program that neither plays a MIDI file nor reads a SoundFont never maps FluidSynth and the
// many libraries it pulls in.
#pragma once

#include <fluidsynth.h>

#include <QString>

// Every FluidSynth function this program calls; each becomes a member of the same name.
#define KORVANE_FLUIDSYNTH_FUNCTIONS(X)                                                            \
    X(new_fluid_settings)                                                                          \
    X(delete_fluid_settings)                                                                       \
    X(fluid_settings_setstr)                                                                       \
    X(fluid_settings_setint)                                                                       \
    X(fluid_settings_getnum)                                                                       \
    X(new_fluid_synth)                                                                             \
    X(delete_fluid_synth)                                                                          \
    X(fluid_synth_sfload)                                                                          \
    X(fluid_synth_get_sfont_by_id)                                                                 \
    X(fluid_synth_process)                                                                         \
    X(fluid_synth_get_active_voice_count)                                                          \
    X(fluid_synth_all_notes_off)                                                                   \
    X(fluid_synth_all_sounds_off)                                                                  \
    X(fluid_synth_system_reset)                                                                    \
    X(fluid_synth_noteon)                                                                          \
    X(fluid_synth_noteoff)                                                                         \
    X(fluid_synth_program_select)                                                                  \
    X(fluid_sfont_iteration_start)                                                                 \
    X(fluid_sfont_iteration_next)                                                                  \
    X(fluid_preset_get_name)                                                                       \
    X(fluid_preset_get_banknum)                                                                    \
    X(fluid_preset_get_num)                                                                        \
    X(new_fluid_player)                                                                            \
    X(delete_fluid_player)                                                                         \
    X(fluid_player_add_mem)                                                                        \
    X(fluid_player_play)                                                                           \
    X(fluid_player_get_status)                                                                     \
    X(fluid_player_get_current_tick)                                                               \
    X(fluid_player_get_total_ticks)                                                                \
    X(new_fluid_audio_driver2)                                                                     \
    X(delete_fluid_audio_driver)                                                                   \
    X(fluid_set_log_function)

class CFluidSynthApi
{
public:
    // The library's functions, loaded on the first call; nullptr when the library or one of
    // its functions cannot be found, with the reason in *error when given.
    static const CFluidSynthApi* Get(QString* error = nullptr);

#define KORVANE_FLUIDSYNTH_MEMBER(name) decltype(&::name) name = nullptr;
    KORVANE_FLUIDSYNTH_FUNCTIONS(KORVANE_FLUIDSYNTH_MEMBER)
#undef KORVANE_FLUIDSYNTH_MEMBER
};
