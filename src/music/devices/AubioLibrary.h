// aubio's functions, the library loaded at their first use.
#pragma once

#include <aubio/aubio.h>

namespace pv {

/// The functions of aubio the microphone's analysis calls, under aubio's own names.
struct AubioApi
{
    decltype(&::new_aubio_pitch) new_aubio_pitch = nullptr;
    decltype(&::del_aubio_pitch) del_aubio_pitch = nullptr;
    decltype(&::aubio_pitch_set_unit) aubio_pitch_set_unit = nullptr;
    decltype(&::aubio_pitch_set_silence) aubio_pitch_set_silence = nullptr;
    decltype(&::aubio_pitch_do) aubio_pitch_do = nullptr;
    decltype(&::new_fvec) new_fvec = nullptr;
    decltype(&::del_fvec) del_fvec = nullptr;
};

/// aubio, loaded by the first call (from any thread; later calls wait for it); null when the
/// library or one of its functions is missing, which is logged once.
const AubioApi* LoadAubio();

} // namespace pv
