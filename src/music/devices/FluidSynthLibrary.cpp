// FluidSynth, loaded at its first use: with the sound servers' and file formats' libraries it
// links, a few dozen libraries the program's start-up need not wait for.
#include "music/devices/FluidSynthLibrary.h"

#include "music/base/Log.h"
#include "music/devices/OnDemandLibrary.h"

#include <optional>

namespace pv {

namespace {

struct Loaded
{
    std::optional<FluidSynthApi> api;
    QString error;
};

Loaded Load()
{
    static OnDemandLibrary library(PV_FLUIDSYNTH_LIBRARY);
    FluidSynthApi api;
    // Each name once: the member and the function looked up can never differ.
#define PV_RESOLVE(name) library.Resolve(#name, api.name)
    const bool found =
        PV_RESOLVE(fluid_set_log_function) && PV_RESOLVE(new_fluid_settings) &&
        PV_RESOLVE(delete_fluid_settings) && PV_RESOLVE(fluid_settings_setint) &&
        PV_RESOLVE(fluid_settings_setnum) && PV_RESOLVE(fluid_settings_setstr) &&
        PV_RESOLVE(new_fluid_synth) && PV_RESOLVE(delete_fluid_synth) &&
        PV_RESOLVE(fluid_synth_sfload) && PV_RESOLVE(fluid_synth_noteon) &&
        PV_RESOLVE(fluid_synth_noteoff) && PV_RESOLVE(fluid_synth_key_pressure) &&
        PV_RESOLVE(fluid_synth_cc) && PV_RESOLVE(fluid_synth_program_change) &&
        PV_RESOLVE(fluid_synth_channel_pressure) && PV_RESOLVE(fluid_synth_pitch_bend) &&
        PV_RESOLVE(fluid_synth_set_gain) && PV_RESOLVE(fluid_synth_all_sounds_off) &&
        PV_RESOLVE(fluid_synth_system_reset) && PV_RESOLVE(fluid_synth_write_float) &&
        PV_RESOLVE(new_fluid_audio_driver2) && PV_RESOLVE(delete_fluid_audio_driver) &&
        PV_RESOLVE(new_fluid_player) && PV_RESOLVE(delete_fluid_player) &&
        PV_RESOLVE(fluid_player_add_mem) && PV_RESOLVE(fluid_player_play) &&
        PV_RESOLVE(fluid_player_stop) && PV_RESOLVE(fluid_player_get_status);
#undef PV_RESOLVE
    if (!found) {
        qCWarning(lcPellivark, "FluidSynth could not be loaded: %s",
                  qUtf8Printable(library.Error()));
        return {std::nullopt, library.Error()};
    }
    return {api, QString()};
}

} // namespace

const FluidSynthApi* LoadFluidSynth(QString* error)
{
    static const Loaded loaded = Load();
    if (error != nullptr)
        *error = loaded.error;
    return loaded.api ? &*loaded.api : nullptr;
}

} // namespace pv
