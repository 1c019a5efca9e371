// aubio, loaded at its first use: it links FFmpeg's whole tree, about a hundred libraries that
// would otherwise be loaded at every start of the program, microphone or not.
#include "music/devices/AubioLibrary.h"

#include "music/base/Log.h"
#include "music/devices/OnDemandLibrary.h"

#include <optional>

namespace pv {

namespace {

std::optional<AubioApi> Load()
{
    static OnDemandLibrary library(PV_AUBIO_LIBRARY);
    AubioApi api;
    // Each name once: the member and the function looked up can never differ.
#define PV_RESOLVE(name) library.Resolve(#name, api.name)
    const bool found = PV_RESOLVE(new_aubio_pitch) && PV_RESOLVE(del_aubio_pitch) &&
                       PV_RESOLVE(aubio_pitch_set_unit) && PV_RESOLVE(aubio_pitch_set_silence) &&
                       PV_RESOLVE(aubio_pitch_do) && PV_RESOLVE(new_fvec) && PV_RESOLVE(del_fvec);
#undef PV_RESOLVE
    if (!found) {
        qCWarning(lcPellivark, "aubio could not be loaded, so the microphone finds no notes: %s",
                  qUtf8Printable(library.Error()));
        return std::nullopt;
    }
    return api;
}

} // namespace

const AubioApi* LoadAubio()
{
    static const std::optional<AubioApi> loaded = Load();
    return loaded ? &*loaded : nullptr;
}

} // namespace pv
