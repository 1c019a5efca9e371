// FluidSynth's functions, the library loaded at their first use.
#pragma once

#include <QString>

#include <fluidsynth.h>

namespace pv {

/// The functions of FluidSynth the built-in synthesizer and the MIDI file player call, under
/// FluidSynth's own names.
struct FluidSynthApi
{
    decltype(&::fluid_set_log_function) fluid_set_log_function = nullptr;
    decltype(&::new_fluid_settings) new_fluid_settings = nullptr;
    decltype(&::delete_fluid_settings) delete_fluid_settings = nullptr;
    decltype(&::fluid_settings_setint) fluid_settings_setint = nullptr;
    decltype(&::fluid_settings_setnum) fluid_settings_setnum = nullptr;
    decltype(&::fluid_settings_setstr) fluid_settings_setstr = nullptr;
    decltype(&::new_fluid_synth) new_fluid_synth = nullptr;
    decltype(&::delete_fluid_synth) delete_fluid_synth = nullptr;
    decltype(&::fluid_synth_sfload) fluid_synth_sfload = nullptr;
    decltype(&::fluid_synth_noteon) fluid_synth_noteon = nullptr;
    decltype(&::fluid_synth_noteoff) fluid_synth_noteoff = nullptr;
    decltype(&::fluid_synth_key_pressure) fluid_synth_key_pressure = nullptr;
    decltype(&::fluid_synth_cc) fluid_synth_cc = nullptr;
    decltype(&::fluid_synth_program_change) fluid_synth_program_change = nullptr;
    decltype(&::fluid_synth_channel_pressure) fluid_synth_channel_pressure = nullptr;
    decltype(&::fluid_synth_pitch_bend) fluid_synth_pitch_bend = nullptr;
    decltype(&::fluid_synth_set_gain) fluid_synth_set_gain = nullptr;
    decltype(&::fluid_synth_all_sounds_off) fluid_synth_all_sounds_off = nullptr;
    decltype(&::fluid_synth_system_reset) fluid_synth_system_reset = nullptr;
    decltype(&::fluid_synth_write_float) fluid_synth_write_float = nullptr;
    decltype(&::new_fluid_audio_driver2) new_fluid_audio_driver2 = nullptr;
    decltype(&::delete_fluid_audio_driver) delete_fluid_audio_driver = nullptr;
    decltype(&::new_fluid_player) new_fluid_player = nullptr;
    decltype(&::delete_fluid_player) delete_fluid_player = nullptr;
    decltype(&::fluid_player_add_mem) fluid_player_add_mem = nullptr;
    decltype(&::fluid_player_play) fluid_player_play = nullptr;
    decltype(&::fluid_player_stop) fluid_player_stop = nullptr;
    decltype(&::fluid_player_get_status) fluid_player_get_status = nullptr;
};

/// FluidSynth, loaded by the first call (from any thread; later calls wait for it); null when
/// the library or one of its functions is missing, with the reason in error when given.
const FluidSynthApi* LoadFluidSynth(QString* error = nullptr);

} // namespace pv
